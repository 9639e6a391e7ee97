// Controls a page keeps hidden until the person double-clicks on their place with both mouse
// buttons, Shift and Ctrl held.
#pragma once

#include "platform/base/types.h"

// Removes WS_VISIBLE from the dialog's control (nothing when the template lacks it).
void HideDialogControl(HWND dialog, LONG control);
// For a WM_LBUTTONDBLCLK with exactly both buttons, Shift and Ctrl held at a point inside the
// control: shows the control and redraws it. Other messages and key states change nothing.
void RevealOnKeyedDoubleClick(HWND dialog, LONG control, UINT message, WPARAM wParam, LPARAM lParam);
