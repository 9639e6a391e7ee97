// The job record of a device: job flags, the page-store state and the counters of pages, sheet
// sides and sheets. The page's colour and its colour census live in the device's PageColorState
// (graphics/imaging/page_color.h), which colour detection shares.
#pragma once

#include "platform/base/types.h"

// Job flags.
constexpr DWORD kJobStarted = 0x1;      // the job's objects exist
constexpr DWORD kJobOutputBegun = 0x2;  // the job's output has begun: its bytes may be written
constexpr DWORD kJobSideOpen = 0x4;     // a sheet side is open
constexpr DWORD kJobPageOpen = 0x8;     // a page is open
constexpr DWORD kJobReset = 0x40;       // the page settings changed (ResetDC): the next page re-reads its paper
constexpr DWORD kJobAborted = 0x8000;

// Page-store states: the store is open between pages; while a page is being recorded the state
// is kPageStoreRecording with the page's kind bits.
constexpr DWORD kPageStoreOpen = 0x8000;
constexpr DWORD kPageStoreRecording = 0x8001;
// Kind bits of a recorded page: which stored records it gets.
constexpr DWORD kPageKindKeep = 0x02;       // kept for the end of the document
constexpr DWORD kPageKindStart = 0x04;      // page-start record
constexpr DWORD kPageKindShow = 0x08;       // show-page record
constexpr DWORD kPageKindEnd = 0x10;        // end-page record
constexpr DWORD kPageKindAxis = 0x20;       // axis records
constexpr DWORD kPageKindMask = 0x3E;

struct JobState {
  DWORD flags;
  // 0 nothing stored; the stored-page states of the temporary job store otherwise.
  DWORD pageStoreState;
  WORD sheets;          // sheets completed
  WORD sides;           // sheet sides completed
  WORD pages;           // the engine's pages completed
  WORD pagesOnSide;     // pages placed on the current side
  WORD sidesOnSheet;    // sides used on the current sheet
  WORD firstStoredPage;  // page number of the first page in the store
  WORD storedPages;      // pages completed in the store
  DWORD stampDrawing;    // 1 while the user-interface module draws a stamp
  DWORD jobInfoDrawing;  // 1 while it draws job information
  DWORD paperChanged;    // the last page paper read had no device paper code
  WORD colorCount;       // colours of the page handed to the page start
  WORD mediaCode;        // the paper-source code of the page start
  LONG colorParameter;   // the page-start colour parameter
  DWORD overlayDrawn;    // an overlay was drawn into this page
  SHORT firstSideSource;  // the paper source of the job's first side
};
