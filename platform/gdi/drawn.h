// What is drawn into a window: the texts and pictures a window's DC draws are told to the
// window manager, which keeps them per window for the test API (user_sim.h). The GDI knows a
// window only as the handle the window manager gave the DC.
#pragma once

#include <string>

#include "platform/base/types.h"

struct GdiDrawn {
  enum Kind { Text, Icon, Bitmap } kind = Text;
  std::u16string text;         // Text: the run of characters drawn
  HGDIOBJ picture = nullptr;   // Icon, Bitmap: the icon, or the bitmap blitted from a memory DC
  RECT rect{};                 // device coordinates of the DC
};

using GdiDrawnListener = void (*)(HWND window, const GdiDrawn& drawn);
// The window manager's listener (one for the process).
void GdiSetDrawnListener(GdiDrawnListener listener);
// Marks a DC as drawing into the window (GetDC, GetWindowDC, BeginPaint).
void GdiSetDcWindow(HDC dc, HWND window);
// Tells the listener what was drawn through a window's DC outside the GDI's own calls; nothing
// for other DCs. `rect` is in logical coordinates.
void GdiNoteDrawn(HDC dc, GdiDrawn drawn);
