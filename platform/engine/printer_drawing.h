// The drawing calls of a printer DC (the table of platform/gdi/printer_device.h): each becomes
// one of the engine's drawing calls (engine_drawing.h) with the DC's pen, brush, clip, colours and
// mix. The callers hold gdi::Lock().
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/printer_device.h"

namespace gdi {

BOOL PrinterLines(Dc& dc, std::span<const POINT> points, bool closed);
BOOL PrinterPolygon(Dc& dc, std::span<const POINT> points);
BOOL PrinterRectangle(Dc& dc, const RECT& box, bool ellipse);
BOOL PrinterFillRect(Dc& dc, const RECT& box, COLORREF colour);
BOOL PrinterText(Dc& dc, const PrinterTextRun& run);
BOOL PrinterImage(Dc& dc, const RECT& target, const std::uint32_t* pixels, LONG width, LONG height, const RECT& source,
                  DWORD rop);
int PrinterDeviceCaps(const Dc& dc, int index);

}  // namespace gdi
