// Masked control groups (see layout_masks.h).
#include "ui/pages/layout_masks.h"

#include "platform/comctl/propsheet.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/message_dispatch.h"

void ShowMaskedControls(HWND window, std::span<const MaskedControl> controls, LONG kind) {
  for (const MaskedControl& entry : controls) {
    HWND control = GetDlgItem(window, entry.controlId);
    if (control == nullptr) continue;
    const bool shown = (entry.mask & kind) != 0;
    EnableWindow(control, shown ? TRUE : FALSE);
    ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
  }
}

bool IsPageRefresh(UINT message, LPARAM lParam) {
  if (message == WM_REFRESHCONTROLS) return true;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  return message == WM_NOTIFY && header != nullptr && header->code == PSN_SETACTIVE;
}
