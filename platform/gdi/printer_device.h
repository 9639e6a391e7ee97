// What GDI does with a printer DC: it draws nothing itself. The printer DCs
// (platform/engine/printer_dc.h) live above GDI, in the graphics engine's layer; each hands in a
// table of its calls when it is made, and every drawing call, GetDeviceCaps, ExtEscape and
// DeleteDC on it go through that table. Callers of the drawing calls hold Lock(); points and
// rectangles are device points.
#pragma once

#include <cstdint>
#include <span>

#include "platform/gdi/gdi_table.h"

namespace gdi {

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

struct PrinterDcCalls {
  // Lines through the points with the pen (closed: back to the first).
  BOOL (*lines)(Dc& dc, std::span<const POINT> points, bool closed);
  // The polygon filled with the brush (the DC's fill mode) and outlined with the pen.
  BOOL (*polygon)(Dc& dc, std::span<const POINT> points);
  // The rectangle's or the inscribed ellipse's area filled with the brush and outlined with the
  // pen (right and bottom edges outside, as GDI draws them).
  BOOL (*rectangle)(Dc& dc, const RECT& box, bool ellipse);
  // A rectangle filled with a solid colour, no pen.
  BOOL (*fillRect)(Dc& dc, const RECT& box, COLORREF colour);
  BOOL (*text)(Dc& dc, const PrinterTextRun& run);
  // The rectangle `source` of a top-down image of 32-bit pixels (0x00RRGGBB) stretched onto
  // `target` with a raster operation.
  BOOL (*image)(Dc& dc, const RECT& target, const std::uint32_t* pixels, LONG width, LONG height, const RECT& source,
                DWORD rop);
  // GetDeviceCaps: what the graphics module described.
  int (*deviceCaps)(const Dc& dc, int index);
  // ExtEscape: the graphics module's answer. Called without the lock.
  int (*escape)(HDC dc, int escape, int cbIn, LPCSTR in, int cbOut, LPSTR out);
  // Ends the printer DC before the DC itself goes (DeleteDC). Called without the lock.
  void (*release)(HDC dc);
};

// A new DC in the table for a printer's engine device context and its calls.
HDC InsertPrinterDc(EngineDc* engine, const PrinterDcCalls* calls);
// The calls of a printer DC; NULL for any other DC or handle. Takes the lock itself.
const PrinterDcCalls* PrinterCallsOf(HDC dc);

}  // namespace gdi
