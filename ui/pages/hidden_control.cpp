// Hidden controls revealed by a double-click (see hidden_control.h).
#include "ui/pages/hidden_control.h"

#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"

namespace {

// Left and right buttons with Shift and Ctrl: the only key state that reveals the control.
constexpr WPARAM kRevealKeys = MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL;

}  // namespace

void HideDialogControl(HWND dialog, LONG control) {
  if (HWND hidden = GetDlgItem(dialog, control))
    SetWindowLongW(hidden, GWL_STYLE, GetWindowLongW(hidden, GWL_STYLE) & ~LONG(WS_VISIBLE));
}

void RevealOnKeyedDoubleClick(HWND dialog, LONG control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_LBUTTONDBLCLK || wParam != kRevealKeys) return;
  HWND hidden = GetDlgItem(dialog, control);
  if (hidden == nullptr) return;
  // The point comes in the dialog's client coordinates, signed.
  POINT point{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
  RECT area{};
  if (!ClientToScreen(dialog, &point) || !GetWindowRect(hidden, &area) || !PtInRect(&area, point)) return;
  SetWindowLongW(hidden, GWL_STYLE, GetWindowLongW(hidden, GWL_STYLE) | LONG(WS_VISIBLE));
  RedrawWindow(hidden, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}
