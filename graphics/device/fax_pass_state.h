// The fax-pass record of a device on a fax model: whether the job sends a fax header sheet
// (and of which kind), how many passes it makes, whether each pass goes to one destination of
// its own, the fax send list the user-interface module handed over, and the paper of the
// header sheet. Filled from the settings when the send list arrives; carried over a ResetDC.
#pragma once

#include "graphics/device/page_state.h"
#include "platform/base/types.h"

// Kinds of the fax header sheet.
constexpr DWORD kFaxSheetNone = 0;
constexpr DWORD kFaxSheetDriverFile = 1;  // a file of the driver directory copied into the stream
constexpr DWORD kFaxSheetOverlay = 2;     // a record naming a stored overlay

struct FaxPassState {
  DWORD headerOnly;          // item 381: the job is the header sheet alone
  DWORD headerSheet;         // item 376
  DWORD sheetKind;           // kFaxSheet...
  WORD passes;               // item 380
  DWORD passPerDestination;  // every pass its own job to one destination
  BYTE* list;                // the "DFAX001" send list, a global block; NULL for none
  DWORD listSize;
  DWORD listCount;           // destinations in the list
  PagePaperBlock sheetPaper;  // the header sheet's paper, with its device code and size in mm
  BYTE sheetPaperCode;
  float sheetPaperSize[2];
};
