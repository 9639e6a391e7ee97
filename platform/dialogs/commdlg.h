// The common dialogs: choosing a file to open or save and choosing a colour. Nothing waits for
// a person: each call takes the next answer a test queued (dialogs_sim.h) and records what it
// was asked; without an answer it ends as a cancel, recorded as unscripted.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using LPCCHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEW {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCWSTR lpstrFilter;  // pairs of texts (shown, pattern), each ended by a NUL, the list by two
  LPWSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPWSTR lpstrFile;
  DWORD nMaxFile;
  LPWSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCWSTR lpstrInitialDir;
  LPCWSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCWSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCWSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};
using LPOPENFILENAMEW = OPENFILENAMEW*;
// The structure's earlier size, without the last three fields; both are taken.
inline constexpr DWORD kOpenFileNameSizeV4 = offsetof(OPENFILENAMEW, pvReserved);
static_assert(sizeof(OPENFILENAMEW) == 152 && kOpenFileNameSizeV4 == 136);

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000

struct CHOOSECOLORW {
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;
  COLORREF* lpCustColors;  // 16 colours
  DWORD Flags;
  LPARAM lCustData;
  LPCCHOOKPROC lpfnHook;
  LPCWSTR lpTemplateName;
};
using LPCHOOSECOLORW = CHOOSECOLORW*;
static_assert(sizeof(CHOOSECOLORW) == 72);
inline constexpr int kCustomColours = 16;

#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
#define CC_PREVENTFULLOPEN 0x00000004
#define CC_SHOWHELP 0x00000008
#define CC_ENABLEHOOK 0x00000010
#define CC_ENABLETEMPLATE 0x00000020
#define CC_SOLIDCOLOR 0x00000080
#define CC_ANYCOLOR 0x00000100

// CommDlgExtendedError.
#define CDERR_DIALOGFAILURE 0xFFFF
#define CDERR_STRUCTSIZE 0x0001
#define CDERR_INITIALIZATION 0x0002
#define CDERR_NOTEMPLATE 0x0003
#define CDERR_NOHINSTANCE 0x0004
#define CDERR_LOADSTRFAILURE 0x0005
#define CDERR_FINDRESFAILURE 0x0006
#define CDERR_LOADRESFAILURE 0x0007
#define CDERR_LOCKRESFAILURE 0x0008
#define CDERR_MEMALLOCFAILURE 0x0009
#define CDERR_MEMLOCKFAILURE 0x000A
#define CDERR_NOHOOK 0x000B
#define FNERR_SUBCLASSFAILURE 0x3001
#define FNERR_INVALIDFILENAME 0x3002
#define FNERR_BUFFERTOOSMALL 0x3003

// TRUE with the chosen path in lpstrFile (nFileOffset: the name's start, nFileExtension: the
// extension's start, or the terminator's place without one, or 0 when the name ends with a
// dot; lpstrFileTitle: the name). FALSE for a cancel (extended error 0) or an error: a path
// longer than nMaxFile leaves its needed size in lpstrFile's first character with
// FNERR_BUFFERTOOSMALL.
PLATFORM_API BOOL GetOpenFileNameW(LPOPENFILENAMEW ofn);
PLATFORM_API BOOL GetSaveFileNameW(LPOPENFILENAMEW ofn);
// TRUE with the colour in rgbResult; FALSE for a cancel.
PLATFORM_API BOOL ChooseColorW(LPCHOOSECOLORW cc);
// The last common dialog's error (0 after a cancel or a success).
PLATFORM_API DWORD CommDlgExtendedError();
