// Keyboard navigation of dialogs: tab order, groups, Enter and Escape (see dialog.h); the
// notices controls send their parents.
#include <algorithm>

#include "platform/user/controls_internal.h"
#include "platform/user/dialog_internal.h"
#include "platform/user/msgbox.h"

namespace {

// The dialog's controls in tab order; a WS_EX_CONTROLPARENT child (a page inside a sheet)
// gives its own controls in its place.
void Flatten(HWND parent, std::vector<HWND>& out) {
  auto w = UserPeekWindow(parent);
  if (!w) return;
  for (HWND c : w->children) {
    auto child = UserPeekWindow(c);
    if (!child) continue;
    if (child->exStyle & WS_EX_CONTROLPARENT) {
      if ((child->style & WS_VISIBLE) && !(child->style & WS_DISABLED)) Flatten(c, out);
    } else {
      out.push_back(c);
    }
  }
}

// Shown and enabled within the dialog (the dialog itself may still be hidden, as while
// WM_INITDIALOG runs).
bool Usable(HWND dialog, HWND hwnd) {
  for (HWND h = hwnd; h != nullptr && h != dialog; h = GetParent(h)) {
    LONG style = GetWindowLongW(h, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) return false;
    if (!(style & WS_CHILD)) return false;
  }
  return true;
}

// Steps from `from` (or the start/end for NULL) through `list`, wrapping, to the first window
// `ok` accepts; NULL when none does.
template <typename Accept>
HWND Step(const std::vector<HWND>& list, HWND from, bool previous, Accept ok) {
  if (list.empty()) return nullptr;
  long n = long(list.size());
  auto it = std::find(list.begin(), list.end(), from);
  long start = it == list.end() ? (previous ? 0 : n - 1) : long(it - list.begin());
  for (long k = 1; k <= n; ++k) {
    long i = ((start + (previous ? -k : k)) % n + n) % n;
    if (ok(list[size_t(i)])) return list[size_t(i)];
  }
  return nullptr;
}

std::vector<HWND> GroupIn(const std::vector<HWND>& list, HWND control) {
  auto it = std::find(list.begin(), list.end(), control);
  if (it == list.end()) return {};
  auto first = it;
  while (first != list.begin() && !(GetWindowLongW(*first, GWL_STYLE) & WS_GROUP)) --first;
  auto last = it + 1;
  while (last != list.end() && !(GetWindowLongW(*last, GWL_STYLE) & WS_GROUP)) ++last;
  return std::vector<HWND>(first, last);
}

WORD EnterCommand(HWND dialog, HWND focus) {
  if (focus != nullptr && IsChild(dialog, focus) &&
      (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    return WORD(GetDlgCtrlID(focus));
  LRESULT def = SendMessageW(dialog, DM_GETDEFID, 0, 0);
  return HIWORD(def) == DC_HASDEFID ? LOWORD(def) : WORD(IDOK);
}

// The command of a key: WM_COMMAND with BN_CLICKED for the button of that id (a disabled
// button only beeps).
void SendCommand(HWND dialog, WORD id) {
  HWND button = GetDlgItem(dialog, id);
  if (button != nullptr && !IsWindowEnabled(button)) {
    MessageBeep(0);
    return;
  }
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  if (!UserFindWindow(dialog)) return nullptr;
  std::vector<HWND> list;
  Flatten(dialog, list);
  return Step(list, control, previous != 0,
              [&](HWND h) { return Usable(dialog, h) && (GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP); });
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  if (!UserFindWindow(dialog)) return nullptr;
  std::vector<HWND> list;
  Flatten(dialog, list);
  std::vector<HWND> group = GroupIn(list, control);
  if (group.empty()) return nullptr;
  HWND next = Step(group, control, previous != 0, [&](HWND h) { return Usable(dialog, h); });
  return next ? next : control;
}

std::vector<HWND> UserGroupOf(HWND control) {
  auto parent = UserPeekWindow(GetParent(control));
  if (!parent) return {control};
  return GroupIn(parent->children, control);
}

void UserNotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(control)), code), reinterpret_cast<LPARAM>(control));
}

LRESULT UserSendToOwner(HWND control, UINT msg, void* data) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return 0;
  return SendMessageW(parent, msg, WPARAM(GetDlgCtrlID(control)), reinterpret_cast<LPARAM>(data));
}

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
  if (msg == nullptr || !UserPeekWindow(dialog)) return FALSE;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
  if (msg->message == WM_KEYDOWN) {
    LRESULT code = SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
    HWND focus = GetFocus();
    if (!(code & DLGC_WANTALLKEYS)) {
      switch (msg->wParam) {
        case VK_TAB:
          if (code & DLGC_WANTTAB) break;
          if (HWND next = GetNextDlgTabItem(dialog, focus, GetKeyState(VK_SHIFT) < 0)) UserDialogFocus(next);
          return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
          if (code & DLGC_WANTARROWS) break;
          HWND next = GetNextDlgGroupItem(dialog, focus, msg->wParam == VK_LEFT || msg->wParam == VK_UP);
          if (next == nullptr || next == focus) return TRUE;
          UserDialogFocus(next);
          LONG style = GetWindowLongW(next, GWL_STYLE);
          if ((SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            SendMessageW(next, BM_CLICK, 0, 0);
          return TRUE;
        }
        case VK_RETURN: SendCommand(dialog, EnterCommand(dialog, focus)); return TRUE;
        case VK_ESCAPE: SendCommand(dialog, IDCANCEL); return TRUE;
        default: break;
      }
    }
  }
  DispatchMessageW(msg);
  return TRUE;
}
