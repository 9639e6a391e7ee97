// Property sheets: pages made from dialog templates (CreatePropertySheetPageW) shown as tabs
// of a sheet (PropertySheetW) with OK, Cancel, Apply and Help. The sheet tells its pages what
// happens with WM_NOTIFY (PSN_...) in the platform's order; a page answers through
// DWLP_MSGRESULT. A modal sheet does not wait for a person: it runs the dialog driver a test
// queued (user_sim.h SimOnDialog, template 0) and without one is cancelled, as a dialog is.
//
// The notices: showing a page PSN_SETACTIVE (-1 refuses); leaving it PSN_KILLACTIVE (non-zero
// keeps it); OK and Apply PSN_KILLACTIVE to the current page, then PSN_APPLY (lParam TRUE for
// OK) to every page made so far in page order (PSNRET_INVALID shows the refusing page,
// PSNRET_INVALID_NOCHANGEPAGE keeps the current one; either stops), after Apply PSN_SETACTIVE
// to the current page again; Cancel PSN_QUERYCANCEL to the current page (non-zero keeps the
// sheet), then PSN_RESET to every page made; Help PSN_HELP to the current page.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/comctl/commctrl.h"
#include "platform/user/dialog.h"

struct PageRecord;
using HPROPSHEETPAGE = PageRecord*;

struct PROPSHEETPAGEW;
using LPFNPSPCALLBACKW = UINT (*)(HWND hwnd, UINT msg, PROPSHEETPAGEW* page);
using PFNPROPSHEETCALLBACK = int (*)(HWND sheet, UINT msg, LPARAM lParam);

struct PROPSHEETPAGEW {
  DWORD dwSize;
  DWORD dwFlags;
  HINSTANCE hInstance;
  union {
    LPCWSTR pszTemplate;
    const void* pResource;  // PSP_DLGINDIRECT
  };
  union {
    HICON hIcon;
    LPCWSTR pszIcon;
  };
  LPCWSTR pszTitle;
  DLGPROC pfnDlgProc;
  LPARAM lParam;
  LPFNPSPCALLBACKW pfnCallback;
  UINT* pcRefParent;
  LPCWSTR pszHeaderTitle;
  LPCWSTR pszHeaderSubTitle;
  HANDLE hActCtx;
};
static_assert(sizeof(PROPSHEETPAGEW) == 96);
using LPCPROPSHEETPAGEW = const PROPSHEETPAGEW*;
// The structure's earlier sizes (without the header texts, without the activation context).
inline constexpr DWORD kPropSheetPageSizeV1 = offsetof(PROPSHEETPAGEW, pszHeaderTitle);
inline constexpr DWORD kPropSheetPageSizeV2 = offsetof(PROPSHEETPAGEW, hActCtx);
// A caller may append its own bytes after the structure (dwSize counts them); the sheet keeps
// them with its copy. Larger sizes than this are refused.
inline constexpr DWORD kPropSheetPageMaxSize = 4096;

struct PROPSHEETHEADERW {
  DWORD dwSize;
  DWORD dwFlags;
  HWND hwndParent;
  HINSTANCE hInstance;
  union {
    HICON hIcon;
    LPCWSTR pszIcon;
  };
  LPCWSTR pszCaption;
  UINT nPages;
  union {
    UINT nStartPage;
    LPCWSTR pStartPage;  // PSH_USEPSTARTPAGE
  };
  union {
    const PROPSHEETPAGEW* ppsp;  // PSH_PROPSHEETPAGE
    HPROPSHEETPAGE* phpage;
  };
  PFNPROPSHEETCALLBACK pfnCallback;
  union {
    HBITMAP hbmWatermark;
    LPCWSTR pszbmWatermark;
  };
  HPALETTE hplWatermark;
  union {
    HBITMAP hbmHeader;
    LPCWSTR pszbmHeader;
  };
};
static_assert(sizeof(PROPSHEETHEADERW) == 96 && offsetof(PROPSHEETHEADERW, ppsp) == 56);
using LPCPROPSHEETHEADERW = const PROPSHEETHEADERW*;
inline constexpr DWORD kPropSheetHeaderSizeV1 = offsetof(PROPSHEETHEADERW, hbmWatermark);

#define PSP_DEFAULT 0x00000000
#define PSP_DLGINDIRECT 0x00000001
#define PSP_USEHICON 0x00000002
#define PSP_USEICONID 0x00000004
#define PSP_USETITLE 0x00000008
#define PSP_RTLREADING 0x00000010
#define PSP_HASHELP 0x00000020
#define PSP_USEREFPARENT 0x00000040
#define PSP_USECALLBACK 0x00000080
#define PSP_PREMATURE 0x00000400

#define PSPCB_ADDREF 0
#define PSPCB_RELEASE 1
#define PSPCB_CREATE 2

#define PSH_DEFAULT 0x00000000
#define PSH_PROPTITLE 0x00000001
#define PSH_USEHICON 0x00000002
#define PSH_USEICONID 0x00000004
#define PSH_PROPSHEETPAGE 0x00000008
#define PSH_WIZARD 0x00000020
#define PSH_USEPSTARTPAGE 0x00000040
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_USECALLBACK 0x00000100
#define PSH_HASHELP 0x00000200
#define PSH_MODELESS 0x00000400
#define PSH_RTLREADING 0x00000800
#define PSH_NOCONTEXTHELP 0x02000000

#define PSCB_INITIALIZED 1

#define PSN_FIRST (0U - 200)
#define PSN_SETACTIVE (PSN_FIRST - 0)
#define PSN_KILLACTIVE (PSN_FIRST - 1)
#define PSN_APPLY (PSN_FIRST - 2)
#define PSN_RESET (PSN_FIRST - 3)
#define PSN_HELP (PSN_FIRST - 5)
#define PSN_QUERYCANCEL (PSN_FIRST - 9)

#define PSNRET_NOERROR 0
#define PSNRET_INVALID 1
#define PSNRET_INVALID_NOCHANGEPAGE 2
#define PSNRET_MESSAGEHANDLED 3

// The notice a sheet sends its pages; lParam: for PSN_APPLY TRUE when OK closes the sheet.
struct PSHNOTIFY {
  NMHDR hdr;
  LPARAM lParam;
};

#define PSM_SETCURSEL (WM_USER + 101)
#define PSM_REMOVEPAGE (WM_USER + 102)
#define PSM_ADDPAGE (WM_USER + 103)
#define PSM_CHANGED (WM_USER + 104)
#define PSM_RESTARTWINDOWS (WM_USER + 105)
#define PSM_REBOOTSYSTEM (WM_USER + 106)
#define PSM_CANCELTOCLOSE (WM_USER + 107)
#define PSM_QUERYSIBLINGS (WM_USER + 108)
#define PSM_UNCHANGED (WM_USER + 109)
#define PSM_APPLY (WM_USER + 110)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSM_GETTABCONTROL (WM_USER + 116)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)
#define PSM_SETTITLEW (WM_USER + 120)
#define PSM_HWNDTOINDEX (WM_USER + 129)
#define PSM_INDEXTOHWND (WM_USER + 130)
#define PSM_PAGETOINDEX (WM_USER + 131)
#define PSM_INDEXTOPAGE (WM_USER + 132)

#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6

#define ID_PSRESTARTWINDOWS 0x2
#define ID_PSREBOOTSYSTEM (ID_PSRESTARTWINDOWS | 0x1)

// The sheet's own controls.
#define IDHELP 9
inline constexpr int kSheetTabId = 0x3020;
inline constexpr int kSheetApplyId = 0x3021;

// A copy of the page (with PSP_USECALLBACK the callback hears PSPCB_ADDREF); NULL with
// ERROR_INVALID_PARAMETER for a structure of no known size.
PLATFORM_API HPROPSHEETPAGE CreatePropertySheetPageW(LPCPROPSHEETPAGEW page);
// Forgets a page no sheet has taken (the callback hears PSPCB_RELEASE).
PLATFORM_API BOOL DestroyPropertySheetPage(HPROPSHEETPAGE page);
// Modal: 1 when OK closed the sheet or an Apply succeeded before it was cancelled, 0 when it
// was cancelled without one, ID_PSRESTARTWINDOWS or ID_PSREBOOTSYSTEM when a page asked so,
// -1 when no page or the sheet could be made. PSH_MODELESS: the sheet's window. The sheet takes
// the pages it is given (and destroys them when it closes), also on failure.
PLATFORM_API INT_PTR PropertySheetW(LPCPROPSHEETHEADERW header);
