// The tooltip control ("tooltips_class32"): a popup window that keeps tools (a rectangle of a
// window, or a whole window with TTF_IDISHWND) and their tip texts. Nothing is shown on a
// screen: the mouse messages a tool's window gets (relayed, or seen through TTF_SUBCLASS) make
// the tool under the mouse the current one, and tests read the tools and their texts; a
// callback tool's text is asked of its window (TTN_GETDISPINFOW) only when someone reads it.
#pragma once

#include "platform/comctl/commctrl.h"

#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02
#define TTS_NOANIMATE 0x10
#define TTS_NOFADE 0x20
#define TTS_BALLOON 0x40

#define TTF_IDISHWND 0x0001
#define TTF_CENTERTIP 0x0002
#define TTF_RTLREADING 0x0004
#define TTF_SUBCLASS 0x0010
#define TTF_TRACK 0x0020
#define TTF_ABSOLUTE 0x0080
#define TTF_TRANSPARENT 0x0100
#define TTF_PARSELINKS 0x1000
#define TTF_DI_SETITEM 0x8000

#define TTDT_AUTOMATIC 0
#define TTDT_RESHOW 1
#define TTDT_AUTOPOP 2
#define TTDT_INITIAL 3

#define TTM_ACTIVATE (WM_USER + 1)
#define TTM_SETDELAYTIME (WM_USER + 3)
#define TTM_RELAYEVENT (WM_USER + 7)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_WINDOWFROMPOINT (WM_USER + 16)
#define TTM_TRACKACTIVATE (WM_USER + 17)
#define TTM_TRACKPOSITION (WM_USER + 18)
#define TTM_SETTIPBKCOLOR (WM_USER + 19)
#define TTM_SETTIPTEXTCOLOR (WM_USER + 20)
#define TTM_GETDELAYTIME (WM_USER + 21)
#define TTM_GETTIPBKCOLOR (WM_USER + 22)
#define TTM_GETTIPTEXTCOLOR (WM_USER + 23)
#define TTM_SETMAXTIPWIDTH (WM_USER + 24)
#define TTM_GETMAXTIPWIDTH (WM_USER + 25)
#define TTM_SETMARGIN (WM_USER + 26)
#define TTM_GETMARGIN (WM_USER + 27)
#define TTM_POP (WM_USER + 28)
#define TTM_UPDATE (WM_USER + 29)
#define TTM_ADDTOOLW (WM_USER + 50)
#define TTM_DELTOOLW (WM_USER + 51)
#define TTM_NEWTOOLRECTW (WM_USER + 52)
#define TTM_GETTOOLINFOW (WM_USER + 53)
#define TTM_SETTOOLINFOW (WM_USER + 54)
#define TTM_HITTESTW (WM_USER + 55)
#define TTM_GETTEXTW (WM_USER + 56)
#define TTM_UPDATETIPTEXTW (WM_USER + 57)
#define TTM_ENUMTOOLSW (WM_USER + 58)
#define TTM_GETCURRENTTOOLW (WM_USER + 59)

#define TTN_FIRST (0U - 520)
#define TTN_GETDISPINFOW (TTN_FIRST - 10)
#define TTN_NEEDTEXTW TTN_GETDISPINFOW
#define TTN_SHOW (TTN_FIRST - 1)
#define TTN_POP (TTN_FIRST - 2)

// A tool's text kept as "ask the tool's window" (TTN_GETDISPINFOW).
#define LPSTR_TEXTCALLBACKW (reinterpret_cast<LPWSTR>(static_cast<LONG_PTR>(-1)))

struct TOOLINFOW {
  UINT cbSize;
  UINT uFlags;
  HWND hwnd;
  UINT_PTR uId;
  RECT rect;
  HINSTANCE hinst;
  LPWSTR lpszText;
  LPARAM lParam;
  void* lpReserved;
};
using LPTOOLINFOW = TOOLINFOW*;
// The structure's earlier sizes, without lpReserved and without lParam; both are accepted.
inline constexpr UINT kToolInfoSizeV2 = offsetof(TOOLINFOW, lpReserved);
inline constexpr UINT kToolInfoSizeV1 = offsetof(TOOLINFOW, lParam);

struct TTHITTESTINFOW {
  HWND hwnd;
  POINT pt;
  TOOLINFOW ti;
};

// TTN_GETDISPINFOW: the window answers with lpszText (a text, or a string number with hinst),
// or by filling szText.
struct NMTTDISPINFOW {
  NMHDR hdr;
  LPWSTR lpszText;
  WCHAR szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};

// The longest tip text kept or answered, in characters (longer ones are cut).
inline constexpr int kToolTipTextMax = 1024;
