// A window's frame: the caption bar and dialog frame of top-level windows, the border or sunken
// edge of controls, and a window's own scroll bars.
#pragma once

#include "platform/base/types.h"

// Draws the frame of the window (nothing when it has none).
void UserPaintFrame(HWND hwnd);
