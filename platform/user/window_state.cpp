// Enabled, visible, focus, active and capture states of windows.
#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/window_internal.h"

namespace {

HWND foreground = nullptr;
HWND capture = nullptr;
// The window that was told it has the focus (WM_SETFOCUS) and not yet that it lost it.
HWND told = nullptr;

bool Holds(HWND ancestor, HWND hwnd) {
  for (auto w = UserPeekWindow(hwnd); w; w = (w->style & WS_CHILD) ? UserPeekWindow(w->parent) : nullptr)
    if (w->handle == ancestor) return true;
  return false;
}

}  // namespace

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
  if (bool(enable) == !wasDisabled) return wasDisabled;
  if (enable) {
    w->style &= ~DWORD(WS_DISABLED);
  } else {
    if (Holds(hwnd, GetFocus())) SetFocus(nullptr);
    w->style |= WS_DISABLED;
  }
  SendMessageW(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  if (IsWindowVisible(hwnd)) UserInvalidateAll(hwnd, true);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto w = UserFindWindow(hwnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
  bool show;
  switch (cmd) {
    case SW_HIDE: show = false; break;
    case SW_SHOWNORMAL:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMAXIMIZED:
    case SW_SHOWNOACTIVATE:
    case SW_SHOW:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_SHOWNA:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
    case SW_FORCEMINIMIZE: show = true; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  if (show == bool(wasVisible)) return wasVisible;
  SendMessageW(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  if (!UserPeekWindow(hwnd)) return wasVisible;
  if (show) {
    w->style |= WS_VISIBLE;
    UserInvalidateAll(hwnd, true);
  } else {
    if (Holds(hwnd, GetFocus())) SetFocus(nullptr);
    w->style &= ~DWORD(WS_VISIBLE);
    if (auto parent = UserPeekWindow(w->parent); parent && (w->style & WS_CHILD)) UserInvalidateAll(w->parent, true);
  }
  return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  if (!w) return FALSE;
  while (w) {
    if (!(w->style & WS_VISIBLE)) return FALSE;
    if (!(w->style & WS_CHILD)) return TRUE;
    w = UserPeekWindow(w->parent);
  }
  return FALSE;
}

// The focus variable changes first, so that a handler of WM_KILLFOCUS may move the focus on
// again; WM_SETFOCUS then goes out only when the focus is still where this call put it, and
// WM_KILLFOCUS only to a window that was told it had the focus.
HWND SetFocus(HWND hwnd) {
  if (hwnd != nullptr && !UserFindWindow(hwnd)) return nullptr;
  HWND old = GetFocus();
  if (old == hwnd) return old;
  UserSetFocusVariable(hwnd);
  if (old != nullptr && old == told) {
    told = nullptr;
    if (UserPeekWindow(old)) SendMessageW(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  }
  if (hwnd != nullptr && GetFocus() == hwnd && UserPeekWindow(hwnd)) {
    told = hwnd;
    SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  }
  return old;
}

HWND GetFocus() {
  HWND f = UserSetFocusVariable(nullptr);
  UserSetFocusVariable(f);
  return f;
}

HWND GetActiveWindow() {
  HWND a = UserSetActiveVariable(nullptr);
  UserSetActiveVariable(a);
  return a;
}

HWND SetActiveWindow(HWND hwnd) {
  if (hwnd != nullptr && !UserFindWindow(hwnd)) return nullptr;
  if (hwnd != nullptr) hwnd = GetAncestor(hwnd, GA_ROOT);
  HWND old = GetActiveWindow();
  if (old == hwnd) return old;
  UserSetActiveVariable(hwnd);
  if (old != nullptr && UserPeekWindow(old))
    SendMessageW(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hwnd));
  if (hwnd != nullptr && UserPeekWindow(hwnd)) SendMessageW(hwnd, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(old));
  return old;
}

HWND GetForegroundWindow() { return UserPeekWindow(foreground) ? foreground : nullptr; }

BOOL SetForegroundWindow(HWND hwnd) {
  if (!UserFindWindow(hwnd)) return FALSE;
  foreground = hwnd;
  SetActiveWindow(hwnd);
  return TRUE;
}

HWND GetCapture() { return UserPeekWindow(capture) ? capture : nullptr; }

HWND SetCapture(HWND hwnd) {
  HWND old = GetCapture();
  capture = UserPeekWindow(hwnd) ? hwnd : nullptr;
  return old;
}

BOOL ReleaseCapture() {
  capture = nullptr;
  return TRUE;
}
