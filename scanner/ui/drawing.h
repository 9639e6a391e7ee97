// Drawing routines of the data source's windows: lines, outlines, 3D frames, ruler ticks,
// marker triangles, clipping to a combination of two rectangles, resource bitmaps with a
// magenta key colour, and stretched device-independent bitmaps. None keeps state.
#pragma once

#include "platform/base/types.h"
#include "platform/gdi/bitmaps.h"

// The key colour of resource bitmaps: these pixels take the destination's background colour.
constexpr COLORREF kBitmapKeyColour = 0xFF00FF;

// MoveToEx then LineTo (the end point itself is not drawn): 1, or 0 when either fails.
BOOL DrawLine(HDC dc, int x1, int y1, int x2, int y2);
// The outline with a solid pen of width w, inset by w / 2; the pen and position are restored.
BOOL DrawRectOutline(HDC dc, int left, int top, int right, int bottom, int width, COLORREF colour);
BOOL FillWithSysColor(HDC dc, const RECT& rect, int sysColourIndex);
// A black frame with a white line along its top and left inner edges.
BOOL Draw3DFrame(HDC dc, const RECT& rect);
// A tick of length L from (x, y): black with a white line beside it.
BOOL DrawRulerTick(HDC dc, int x, int y, int length, BOOL horizontalRuler);
BOOL DrawMarkerTriangle(HDC dc, const POINT* points, COLORREF fill);
// Selects the combination of a and b as the clip; answers the region (the caller deletes it).
HRGN ClipToRegionCombination(HDC dc, const RECT& a, const RECT& b, int mode);
// A resource bitmap at its own size with magenta taking the background colour.
BOOL DrawBitmapKeyed(HDC dc, int x, int y, WORD bitmapId);
// A bitmap stretched into the rectangle with magenta taking the background colour.
BOOL StretchBitmapKeyed(HDC dc, const RECT& rect, HBITMAP bitmap, int sourceWidth, int sourceHeight);
BOOL StretchBitmapResource(HDC dc, const RECT& rect, WORD bitmapId);
// The DIB of a global block (BITMAPINFOHEADER, colour table, pixels) stretched into the
// rectangle in HALFTONE mode.
BOOL StretchDib(HDC dc, const RECT& rect, HGLOBAL dib);
BOOL GetBitmapSize(WORD bitmapId, BITMAP* size);
LONG RectWidth(const RECT& rect);
LONG RectHeight(const RECT& rect);
