// The window manager's side of the test API's message log (user_sim.h).
#pragma once

#include "platform/base/types.h"

// Hands a message the window procedure is about to receive to every live log that watches
// the window (a cheap check when no log is live).
void UserLogMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
