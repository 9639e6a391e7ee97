// What the GDI drawing calls share with the printer DCs (printer_dc.h): a printer DC draws
// nothing itself; each call becomes one of the engine's drawing calls with the DC's pen, brush,
// clip, colours and mix. The callers hold Lock(); points and rectangles are device points.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/gdi_table.h"

namespace gdi {

// A new DC in the table for a printer's engine device context.
HDC InsertPrinterDc(EngineDc* engine);

// Lines through the points with the pen (closed: back to the first).
BOOL PrinterLines(Dc& dc, std::span<const POINT> points, bool closed);
// The polygon filled with the brush (the DC's fill mode) and outlined with the pen.
BOOL PrinterPolygon(Dc& dc, std::span<const POINT> points);
// The rectangle's or the inscribed ellipse's area filled with the brush and outlined with the
// pen (right and bottom edges outside, as GDI draws them).
BOOL PrinterRectangle(Dc& dc, const RECT& box, bool ellipse);
// A rectangle filled with a solid colour, no pen.
BOOL PrinterFillRect(Dc& dc, const RECT& box, COLORREF colour);

// A text of `count` characters from the baseline point `origin`, in the DC's font at em height
// `em` pixels; `advance` above 0 places every glyph that far from the one before; `limit`
// (when given) clips it.
struct PrinterTextRun {
  const WCHAR* text;
  size_t count;
  POINT origin;
  LONG em;
  LONG advance;
  const RECT* limit;
};
BOOL PrinterText(Dc& dc, const PrinterTextRun& run);

// The rectangle `source` of a top-down image of 32-bit pixels (0x00RRGGBB) stretched onto
// `target` with a raster operation.
BOOL PrinterImage(Dc& dc, const RECT& target, const std::uint32_t* pixels, LONG width, LONG height, const RECT& source,
                  DWORD rop);

// GetDeviceCaps of a printer DC: what the graphics module described.
int PrinterDeviceCaps(const Dc& dc, int index);

}  // namespace gdi

// ExtEscape on a DC: the graphics module's answer for a printer DC (true), else false and the
// DC is not a printer's.
bool PrinterEscape(HDC dc, int escape, int cbIn, LPCSTR in, int cbOut, LPSTR out, int* result);

// Ends a printer DC before the DC itself goes: the document aborted when one runs, DELETEDC,
// the engine's device context and the modules released. Called by DeleteDC without the lock.
void ReleasePrinterDc(HDC dc);
