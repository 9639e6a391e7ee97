// Windows: classes, window procedures, styles, the parent/owner tree and its child order,
// ids, texts, rectangles, window longs, properties, focus, enabling and showing. There is no
// screen: a window is a record of the layer, its procedure is called synchronously, and the
// test-driver API (user_sim.h) plays the person in front of it.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/user/message.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_MINIMIZE 0x20000000L
#define WS_VISIBLE 0x10000000L
#define WS_DISABLED 0x08000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CLIPCHILDREN 0x02000000L
#define WS_MAXIMIZE 0x01000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_VSCROLL 0x00200000L
#define WS_HSCROLL 0x00100000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_POPUPWINDOW (WS_POPUP | WS_BORDER | WS_SYSMENU)
#define WS_CHILDWINDOW WS_CHILD

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_NOPARENTNOTIFY 0x00000004L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TRANSPARENT 0x00000020L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_CONTEXTHELP 0x00000400L
#define WS_EX_RIGHT 0x00001000L
#define WS_EX_RTLREADING 0x00002000L
#define WS_EX_LEFTSCROLLBAR 0x00004000L
#define WS_EX_CONTROLPARENT 0x00010000L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_APPWINDOW 0x00040000L
#define WS_EX_NOINHERITLAYOUT 0x00100000L
#define WS_EX_LAYOUTRTL 0x00400000L

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_DBLCLKS 0x0008
#define CS_OWNDC 0x0020
#define CS_CLASSDC 0x0040
#define CS_PARENTDC 0x0080
#define CS_NOCLOSE 0x0200
#define CS_SAVEBITS 0x0800
#define CS_GLOBALCLASS 0x4000

#define CW_USEDEFAULT (static_cast<int>(0x80000000))

// Window longs.
#define GWLP_WNDPROC (-4)
#define GWLP_HINSTANCE (-6)
#define GWLP_HWNDPARENT (-8)
#define GWLP_ID (-12)
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)
#define GWLP_USERDATA (-21)
#define GWL_ID GWLP_ID

// Class longs.
#define GCLP_HCURSOR (-12)
#define GCLP_HICON (-14)
#define GCLP_HBRBACKGROUND (-10)
#define GCLP_WNDPROC (-24)
#define GCL_STYLE (-26)
#define GCL_CBWNDEXTRA (-18)

// GetWindow.
#define GW_HWNDFIRST 0
#define GW_HWNDLAST 1
#define GW_HWNDNEXT 2
#define GW_HWNDPREV 3
#define GW_OWNER 4
#define GW_CHILD 5
#define GW_ENABLEDPOPUP 6

// GetAncestor.
#define GA_PARENT 1
#define GA_ROOT 2
#define GA_ROOTOWNER 3

// ShowWindow.
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10
#define SW_FORCEMINIMIZE 11

// SetWindowPos.
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOOWNERZORDER 0x0200
#define HWND_TOP (reinterpret_cast<HWND>(0))
#define HWND_BOTTOM (reinterpret_cast<HWND>(1))
#define HWND_TOPMOST (reinterpret_cast<HWND>(-1))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(-2))

// ChildWindowFromPointEx.
#define CWP_ALL 0x0000
#define CWP_SKIPINVISIBLE 0x0001
#define CWP_SKIPDISABLED 0x0002
#define CWP_SKIPTRANSPARENT 0x0004

#define MAKEINTATOM(i) (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))

struct WNDCLASSW {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCWSTR lpszMenuName;
  LPCWSTR lpszClassName;
};

struct WNDCLASSEXW {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCWSTR lpszMenuName;
  LPCWSTR lpszClassName;
  HICON hIconSm;
};

struct CREATESTRUCTW {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCWSTR lpszName;
  LPCWSTR lpszClass;
  DWORD dwExStyle;
};

struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};

struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};

// Class atoms count from here; a class named by atom is found by it as well as by name.
inline constexpr ATOM kFirstClassAtom = 0xC000;
// Non-client frame widths the layer gives windows: a caption bar, a dialog or sizing frame,
// a thin border and a sunken client edge.
inline constexpr int kCaptionHeight = 18;
inline constexpr int kFrameWidth = 3;
inline constexpr int kBorderWidth = 1;
inline constexpr int kClientEdgeWidth = 2;
// A window's own scroll bars (WS_HSCROLL, WS_VSCROLL) take this much of its client side.
inline constexpr int kScrollBarSize = 16;
// The desktop's size, the screen every top-level window lies on.
inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;

PLATFORM_API ATOM RegisterClassW(const WNDCLASSW* wc);
PLATFORM_API ATOM RegisterClassExW(const WNDCLASSEXW* wc);
// FALSE with ERROR_CLASS_DOES_NOT_EXIST, or ERROR_CLASS_HAS_WINDOWS while windows of it live.
PLATFORM_API BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
PLATFORM_API BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* wc);
PLATFORM_API int GetClassNameW(HWND hwnd, LPWSTR buffer, int size);
PLATFORM_API ULONG_PTR GetClassLongPtrW(HWND hwnd, int index);
PLATFORM_API ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value);

PLATFORM_API HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                                  int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
inline HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                          HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  return CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}
// WM_DESTROY to the window and then to its children top-down, WM_NCDESTROY bottom-up; owned
// windows go first.
PLATFORM_API BOOL DestroyWindow(HWND hwnd);
PLATFORM_API BOOL IsWindow(HWND hwnd);
PLATFORM_API BOOL IsChild(HWND parent, HWND hwnd);

PLATFORM_API LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
PLATFORM_API LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The tree: a child's parent, a popup's owner, NULL otherwise.
PLATFORM_API HWND GetParent(HWND hwnd);
PLATFORM_API HWND SetParent(HWND hwnd, HWND parent);
PLATFORM_API HWND GetWindow(HWND hwnd, UINT cmd);
PLATFORM_API HWND GetAncestor(HWND hwnd, UINT flags);
PLATFORM_API HWND GetTopWindow(HWND hwnd);
PLATFORM_API HWND GetDesktopWindow();
PLATFORM_API BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
// Top-level windows by class name and/or caption (NULL matches any).
PLATFORM_API HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);

PLATFORM_API LONG GetWindowLongW(HWND hwnd, int index);
PLATFORM_API LONG SetWindowLongW(HWND hwnd, int index, LONG value);
PLATFORM_API LONG_PTR GetWindowLongPtrW(HWND hwnd, int index);
PLATFORM_API LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value);
PLATFORM_API int GetDlgCtrlID(HWND hwnd);

PLATFORM_API BOOL SetPropW(HWND hwnd, LPCWSTR name, HANDLE data);
PLATFORM_API HANDLE GetPropW(HWND hwnd, LPCWSTR name);
PLATFORM_API HANDLE RemovePropW(HWND hwnd, LPCWSTR name);

PLATFORM_API BOOL SetWindowTextW(HWND hwnd, LPCWSTR text);
PLATFORM_API int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size);
PLATFORM_API int GetWindowTextLengthW(HWND hwnd);

// Rectangles: a child's window rectangle lies in its parent's client area; a top-level
// window's on the screen. The client area is the window less its frame.
PLATFORM_API BOOL GetWindowRect(HWND hwnd, LPRECT rect);
PLATFORM_API BOOL GetClientRect(HWND hwnd, LPRECT rect);
PLATFORM_API BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
PLATFORM_API BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
PLATFORM_API int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
PLATFORM_API BOOL ClientToScreen(HWND hwnd, LPPOINT point);
PLATFORM_API BOOL ScreenToClient(HWND hwnd, LPPOINT point);
// The child under a point of the parent's client area, the parent itself when none is, NULL
// outside the parent.
PLATFORM_API HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags);
PLATFORM_API HWND ChildWindowFromPoint(HWND parent, POINT point);

// Enabling sends WM_ENABLE; disabling the window that has the focus (or holds it) takes the
// focus away first. Answers whether the window was disabled before.
PLATFORM_API BOOL EnableWindow(HWND hwnd, BOOL enable);
PLATFORM_API BOOL IsWindowEnabled(HWND hwnd);
// Sends WM_SHOWWINDOW when the visibility changes; answers whether it was visible before.
PLATFORM_API BOOL ShowWindow(HWND hwnd, int cmd);
// The window and every parent up the chain are visible.
PLATFORM_API BOOL IsWindowVisible(HWND hwnd);

// WM_KILLFOCUS to the window losing the focus, WM_SETFOCUS to the one gaining it; answers
// the window that had it.
PLATFORM_API HWND SetFocus(HWND hwnd);
PLATFORM_API HWND GetFocus();
// The innermost running modal dialog or message-box owner, else the window set last.
PLATFORM_API HWND GetActiveWindow();
PLATFORM_API HWND SetActiveWindow(HWND hwnd);
PLATFORM_API HWND GetForegroundWindow();
PLATFORM_API BOOL SetForegroundWindow(HWND hwnd);
PLATFORM_API HWND GetCapture();
PLATFORM_API HWND SetCapture(HWND hwnd);
PLATFORM_API BOOL ReleaseCapture();

// The layout windows without parent or owner take from now on: 0 (left to right) or
// LAYOUT_RTL, which makes them WS_EX_LAYOUTRTL; a child takes its parent's WS_EX_LAYOUTRTL
// unless the parent has WS_EX_NOINHERITLAYOUT. The layer keeps the flag but draws no window
// mirrored. Other values answer FALSE with ERROR_INVALID_PARAMETER. SimReset sets it back to 0.
#define LAYOUT_RTL 0x00000001
PLATFORM_API BOOL SetProcessDefaultLayout(DWORD layout);
// FALSE with ERROR_NOACCESS for a NULL pointer.
PLATFORM_API BOOL GetProcessDefaultLayout(DWORD* layout);
