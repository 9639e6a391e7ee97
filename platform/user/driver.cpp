// The test driver: a person's clicks, typing, picks and keys (see user_sim.h).
#include <mutex>

#include "platform/base/text.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/user/controls_internal.h"
#include "platform/user/dialog_internal.h"
#include "platform/user/user_sim.h"

BOOL UserComboPick(HWND hwnd, int index);
BOOL UserComboCancel(HWND hwnd);

namespace {

struct Refusals {
  std::mutex lock;
  std::vector<SimRefusal> log;
};

Refusals& State() {
  static Refusals* r = new Refusals;
  return *r;
}

const bool registeredReset = (SimAddResetHook([] {
                                Refusals& r = State();
                                std::lock_guard<std::mutex> guard(r.lock);
                                r.log.clear();
                              }),
                              true);

}  // namespace

// A person can use a control that is shown and enabled in a window that is shown and enabled.
bool UserDriverMayUse(HWND control, const char* action) {
  bool ok = IsWindow(control) && IsWindowVisible(control);
  for (HWND h = control; ok && h != nullptr; h = (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) ? GetParent(h) : nullptr)
    ok = IsWindowEnabled(h) != 0;
  if (!ok) {
    Refusals& r = State();
    std::lock_guard<std::mutex> guard(r.lock);
    r.log.push_back(SimRefusal{control, action});
  }
  return ok;
}

namespace {

bool IsClass(HWND hwnd, LPCWSTR name) {
  WCHAR cls[32];
  return GetClassNameW(hwnd, cls, 32) > 0 && lstrcmpiW(cls, name) == 0;
}

// A keyboard message goes to the focus window, through its dialog's navigation.
void Deliver(HWND fallback, UINT message, WPARAM wParam) {
  HWND target = GetFocus() ? GetFocus() : fallback;
  MSG m{target, message, wParam, 0, GetTickCount(), POINT{0, 0}};
  HWND root = GetAncestor(target, GA_ROOT);
  if (root != nullptr && UserDialogState(root) != nullptr)
    IsDialogMessageW(root, &m);
  else
    DispatchMessageW(&m);
}

LPARAM Centre(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  return MAKELPARAM(r.right / 2, r.bottom / 2);
}

// Clicks a list line, scrolling it into view first.
bool ClickLine(HWND list, int index, bool twice) {
  LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  if (index < 0 || index >= count) return false;
  RECT client, line;
  GetClientRect(list, &client);
  SendMessageW(list, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&line));
  if (line.top < 0 || line.bottom > client.bottom) {
    SendMessageW(list, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, WORD(index)), 0);
    SendMessageW(list, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&line));
  }
  LPARAM at = MAKELPARAM((line.left + line.right) / 2, (line.top + line.bottom) / 2);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
  if (twice) {
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
  }
  return true;
}

}  // namespace

std::vector<SimRefusal> SimRefusedActions() {
  Refusals& r = State();
  std::lock_guard<std::mutex> guard(r.lock);
  return r.log;
}

BOOL SimClick(HWND control) {
  if (!UserDriverMayUse(control, "click")) return FALSE;
  if (IsClass(control, WC_BUTTONW)) {
    SendMessageW(control, BM_CLICK, 0, 0);
    return TRUE;
  }
  LPARAM at = Centre(control);
  SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(control, WM_LBUTTONUP, 0, at);
  return TRUE;
}

BOOL SimFocus(HWND control) {
  if (!UserDriverMayUse(control, "focus")) return FALSE;
  SetFocus(control);
  return GetFocus() == control;
}

BOOL SimType(HWND control, const std::u16string& text) {
  if (!UserDriverMayUse(control, "type")) return FALSE;
  if (GetFocus() != control) SetFocus(control);
  for (char16_t c : text) Deliver(control, WM_CHAR, c);
  return TRUE;
}

BOOL SimKey(HWND window, int virtualKey) {
  if (!IsWindow(window)) return FALSE;
  Deliver(window, WM_KEYDOWN, WPARAM(virtualKey));
  if (IsWindow(window)) Deliver(window, WM_KEYUP, WPARAM(virtualKey));
  return TRUE;
}

BOOL SimPickCombo(HWND combo, int index) {
  if (!UserDriverMayUse(combo, "pick")) return FALSE;
  return UserComboPick(combo, index);
}

BOOL SimCancelCombo(HWND combo) {
  if (!UserDriverMayUse(combo, "drop")) return FALSE;
  return UserComboCancel(combo);
}

BOOL SimSelectList(HWND list, int index) {
  if (!UserDriverMayUse(list, "select")) return FALSE;
  return ClickLine(list, index, false) ? TRUE : FALSE;
}

BOOL SimDoubleClickList(HWND list, int index) {
  if (!UserDriverMayUse(list, "double-click")) return FALSE;
  return ClickLine(list, index, true) ? TRUE : FALSE;
}

BOOL SimScroll(HWND bar, int code, int pos) {
  if (!UserDriverMayUse(bar, "scroll")) return FALSE;
  UINT msg = (GetWindowLongW(bar, GWL_STYLE) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  HWND owner = GetParent(bar);
  WORD at = (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) ? WORD(pos) : 0;
  SendMessageW(owner, msg, MAKEWPARAM(WORD(code), at), reinterpret_cast<LPARAM>(bar));
  if (IsWindow(bar)) SendMessageW(owner, msg, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(bar));
  return TRUE;
}
