// Masked control groups (see layout_masks.h).
#include "ui/pages/layout_masks.h"

#include "platform/user/dialog.h"
#include "platform/user/window.h"

void ShowMaskedControls(HWND window, std::span<const MaskedControl> controls, LONG kind) {
  for (const MaskedControl& entry : controls) {
    HWND control = GetDlgItem(window, entry.controlId);
    if (control == nullptr) continue;
    const bool shown = (entry.mask & kind) != 0;
    EnableWindow(control, shown ? TRUE : FALSE);
    ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
  }
}
