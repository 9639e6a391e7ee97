// Test control of the common controls: a person's actions on them (through the same refusal
// rules and log as user_sim.h's driver calls) and what a test reads of their state.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"

// A click on the up-down's arrow toward its upper end (+1) or its lower end (-1).
PLATFORM_API BOOL SimSpin(HWND updown, int direction);
// A track bar's action (TB_LINEUP .. TB_BOTTOM; `pos` for TB_THUMBPOSITION and TB_THUMBTRACK).
PLATFORM_API BOOL SimTrack(HWND trackbar, int code, int pos);
// The mouse moves to a point of the window's client area (WM_MOUSEMOVE).
PLATFORM_API BOOL SimHover(HWND window, POINT point);

// A tooltip's tool as a test reads it; a callback tool's text is asked of its window.
struct SimTool {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT flags = 0;
  RECT rect{};
  bool callback = false;
  std::u16string text;
};
PLATFORM_API std::vector<SimTool> SimToolTipTools(HWND tooltip);
// The tool under the mouse, or an empty record (hwnd NULL) when there is none.
PLATFORM_API SimTool SimToolTipCurrent(HWND tooltip);
