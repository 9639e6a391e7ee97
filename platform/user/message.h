// Messages: the platform's message numbers, synchronous and re-entrant sending, the posted
// message queue, timers on the layer's settable clock, and the keyboard state. Nothing waits:
// a queue that runs dry ends GetMessageW (see there), and tests pump the queue through
// user_sim.h.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define WM_NULL 0x0000
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_ENABLE 0x000A
#define WM_SETREDRAW 0x000B
#define WM_SETTEXT 0x000C
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_ERASEBKGND 0x0014
#define WM_SYSCOLORCHANGE 0x0015
#define WM_SHOWWINDOW 0x0018
#define WM_SETCURSOR 0x0020
#define WM_MOUSEACTIVATE 0x0021
#define WM_GETMINMAXINFO 0x0024
#define WM_DRAWITEM 0x002B
#define WM_MEASUREITEM 0x002C
#define WM_DELETEITEM 0x002D
#define WM_VKEYTOITEM 0x002E
#define WM_CHARTOITEM 0x002F
#define WM_SETFONT 0x0030
#define WM_GETFONT 0x0031
#define WM_QUERYDRAGICON 0x0037
#define WM_COMPAREITEM 0x0039
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_COPYDATA 0x004A
#define WM_NOTIFY 0x004E
#define WM_HELP 0x0053
#define WM_NOTIFYFORMAT 0x0055
#define WM_CONTEXTMENU 0x007B
#define WM_QUERYNEWPALETTE 0x030F
#define WM_PALETTECHANGED 0x0311
#define WM_STYLECHANGING 0x007C
#define WM_STYLECHANGED 0x007D
#define WM_GETICON 0x007F
#define WM_SETICON 0x0080
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCCALCSIZE 0x0083
#define WM_NCHITTEST 0x0084
#define WM_NCPAINT 0x0085
#define WM_GETDLGCODE 0x0087
#define WM_KEYDOWN 0x0100
#define WM_KEYUP 0x0101
#define WM_CHAR 0x0102
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSKEYUP 0x0105
#define WM_SYSCHAR 0x0106
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_SYSCOMMAND 0x0112
#define WM_TIMER 0x0113
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115
#define WM_INITMENU 0x0116
#define WM_INITMENUPOPUP 0x0117
#define WM_MENUSELECT 0x011F
#define WM_ENTERIDLE 0x0121
#define WM_CTLCOLORMSGBOX 0x0132
#define WM_CTLCOLOREDIT 0x0133
#define WM_CTLCOLORLISTBOX 0x0134
#define WM_CTLCOLORBTN 0x0135
#define WM_CTLCOLORDLG 0x0136
#define WM_CTLCOLORSCROLLBAR 0x0137
#define WM_CTLCOLORSTATIC 0x0138
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_RBUTTONUP 0x0205
#define WM_PARENTNOTIFY 0x0210
#define WM_ENTERMENULOOP 0x0211
#define WM_EXITMENULOOP 0x0212
#define WM_NEXTDLGCTL 0x0028
#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_CLEAR 0x0303
#define WM_UNDO 0x0304
#define WM_USER 0x0400
#define WM_APP 0x8000

// Mouse key flags of button messages.
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008

// WM_SIZE.
#define SIZE_RESTORED 0

// WM_ACTIVATE.
#define WA_INACTIVE 0
#define WA_ACTIVE 1

// WM_SETICON.
#define ICON_SMALL 0
#define ICON_BIG 1

// WM_NCHITTEST.
#define HTTRANSPARENT (-1)
#define HTNOWHERE 0
#define HTCLIENT 1

// Virtual keys.
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_DELETE 0x2E
#define VK_F1 0x70
#define VK_F4 0x73

// PeekMessageW.
#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

// Timers are at least this many milliseconds apart.
#define USER_TIMER_MINIMUM 0x0000000A

#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define MAKELPARAM(l, h) (static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(l, h))))
#define GET_X_LPARAM(lp) (static_cast<int>(static_cast<short>(LOWORD(lp))))
#define GET_Y_LPARAM(lp) (static_cast<int>(static_cast<short>(HIWORD(lp))))

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
using LPMSG = MSG*;

// The header every WM_NOTIFY carries in lParam.
struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};
using LPNMHDR = NMHDR*;

using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

// Calls the window's procedure at once, also from inside another message; a window that does
// not exist (or no longer does) answers 0 with ERROR_INVALID_WINDOW_HANDLE.
PLATFORM_API LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// SendMessageTimeoutW's flags.
#define SMTO_NORMAL 0x0000
#define SMTO_BLOCK 0x0001
#define SMTO_ABORTIFHUNG 0x0002
#define SMTO_NOTIMEOUTIFNOTHUNG 0x0008
#define SMTO_ERRORONEXIT 0x0020
// Sends as SendMessageW and answers nonzero with the procedure's answer in `*result` (when
// given). A window that has stopped answering (SimSetWindowHung) does not get the message: the
// call answers 0 with ERROR_TIMEOUT at once with SMTO_ABORTIFHUNG, else after `timeout`
// milliseconds (a Sleep, instant when the test makes sleeps instant); `*result` is then 0. A
// window that does not exist answers 0 with ERROR_INVALID_WINDOW_HANDLE.
PLATFORM_API LRESULT SendMessageTimeoutW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                                         PDWORD_PTR result);
// Appends to the queue (a NULL window posts to the thread). FALSE with
// ERROR_INVALID_WINDOW_HANDLE for a window that does not exist.
PLATFORM_API BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
PLATFORM_API void PostQuitMessage(int exitCode);
// The first queued message of the window (and its descendants; NULL: any) within the range
// (0, 0: any); when none is queued, a due timer's WM_TIMER. PM_REMOVE takes it out.
PLATFORM_API BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove);
// As PeekMessageW with PM_REMOVE; when nothing is queued the clock moves on to the next timer
// that can fire. With no message and no timer left nobody could ever post again, so it
// answers FALSE as if WM_QUIT had come (SimIdleWaits counts these).
PLATFORM_API BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last);
// Calls the message's window procedure (or a WM_TIMER's timer procedure).
PLATFORM_API LRESULT DispatchMessageW(const MSG* msg);

// A window timer (window, id) replaces one with the same id; a NULL window gets a new id.
// Timers run on the layer's clock: once a test stops it (SimSetClock) only SimAdvanceClock and
// instant sleeps move it, so timers fire exactly when the test says.
PLATFORM_API UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
// FALSE with ERROR_INVALID_PARAMETER for a timer that does not exist.
PLATFORM_API BOOL KillTimer(HWND hwnd, UINT_PTR id);

// Key state as the driver API sets it: the high bit set while a key is down.
PLATFORM_API SHORT GetKeyState(int virtualKey);
PLATFORM_API SHORT GetAsyncKeyState(int virtualKey);
// Recorded (SimBeeps), nothing sounds.
PLATFORM_API BOOL MessageBeep(UINT type);
PLATFORM_API BOOL GetCursorPos(LPPOINT point);

// What WM_HELP carries in lParam: the control (or menu item) help was asked for and where the
// mouse was.
#define HELPINFO_WINDOW 0x0001
#define HELPINFO_MENUITEM 0x0002
struct HELPINFO {
  UINT cbSize;
  int iContextType;
  int iCtrlId;
  HANDLE hItemHandle;
  DWORD_PTR dwContextId;
  POINT MousePos;
};
using LPHELPINFO = HELPINFO*;

// The lParam of WM_COPYDATA: a number and a block of bytes handed to another window.
struct COPYDATASTRUCT {
  ULONG_PTR dwData;
  DWORD cbData;
  PVOID lpData;
};
using PCOPYDATASTRUCT = COPYDATASTRUCT*;
