// Device contexts that draw into real pixels: memory DCs over a selected bitmap, and DCs over a
// pixel surface that the window manager owns (a window's client area: GetDC, BeginPaint). A DC
// keeps the platform's drawing state (selected pen, brush, font, bitmap, colours, modes, origins,
// clip) and a stack of saved states. Coordinates are MM_TEXT: a logical point maps to the device
// point (x - window origin + viewport origin); the device point is relative to the DC's origin.
// Every DC draws in 32 bits per pixel (0x00RRGGBB in memory, the 32-bit DIB layout).
#pragma once

#include <cstdint>

#include "platform/base/export.h"
#include "platform/base/types.h"

// Background modes.
#define TRANSPARENT 1
#define OPAQUE 2

// Binary raster operations of pens and brushes (SetROP2).
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

// Polygon fill modes.
#define ALTERNATE 1
#define WINDING 2

// Stretch modes (every mode stretches by nearest neighbour here).
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4

#define MM_TEXT 1

// Region kinds (answers of the region and clip calls).
#define ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR

// CombineRgn modes.
#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

#define GDI_ERROR 0xFFFFFFFFu
#define CLR_INVALID 0xFFFFFFFFu
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)))

// GetDeviceCaps indexes.
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define SIZEPALETTE 104
#define RC_BITBLT 1
#define RC_STRETCHBLT 0x800
#define RC_DI_BITMAP 0x80
#define RC_PALETTE 0x100

// A memory DC: a 1 x 1 bitmap is selected until the caller selects its own. NULL with
// ERROR_INVALID_HANDLE for a `dc` that is neither NULL nor a live DC.
PLATFORM_API HDC CreateCompatibleDC(HDC dc);
// Deletes a DC of either kind; its selected objects stay alive (the caller selects its own
// back and deletes them). FALSE with ERROR_INVALID_HANDLE for a handle that is not a DC.
PLATFORM_API BOOL DeleteDC(HDC dc);

// Selects a pen, brush, font or bitmap (memory DCs only; a bitmap is selected into one DC at a
// time) and answers the one it replaces; a region is copied as the clip and the answer is its
// kind. NULL for anything else (HGDI_ERROR for a region that is not one).
PLATFORM_API HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP or OBJ_PAL: the selected object of that kind.
PLATFORM_API HGDIOBJ GetCurrentObject(HDC dc, UINT type);

// Pushes the drawing state; answers its level (1 for the first), 0 for a bad DC.
PLATFORM_API int SaveDC(HDC dc);
// Pops to `level` (a negative level counts back from the top, -1 the last saved state); the
// objects of the restored state are selected again. FALSE for a level that is not saved.
PLATFORM_API BOOL RestoreDC(HDC dc, int level);

// The state setters answer the previous value (CLR_INVALID / 0 for a bad DC).
PLATFORM_API COLORREF SetTextColor(HDC dc, COLORREF color);
PLATFORM_API COLORREF GetTextColor(HDC dc);
PLATFORM_API COLORREF SetBkColor(HDC dc, COLORREF color);
PLATFORM_API COLORREF GetBkColor(HDC dc);
PLATFORM_API int SetBkMode(HDC dc, int mode);
PLATFORM_API int GetBkMode(HDC dc);
PLATFORM_API int SetROP2(HDC dc, int rop2);
PLATFORM_API int GetROP2(HDC dc);
PLATFORM_API int SetPolyFillMode(HDC dc, int mode);
PLATFORM_API int GetPolyFillMode(HDC dc);
PLATFORM_API int SetStretchBltMode(HDC dc, int mode);
PLATFORM_API int GetStretchBltMode(HDC dc);
// Only MM_TEXT is kept; other modes answer 0.
PLATFORM_API int SetMapMode(HDC dc, int mode);
PLATFORM_API int GetMapMode(HDC dc);

PLATFORM_API BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous);
PLATFORM_API BOOL GetViewportOrgEx(HDC dc, LPPOINT origin);
PLATFORM_API BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT previous);
PLATFORM_API BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT previous);
PLATFORM_API BOOL GetWindowOrgEx(HDC dc, LPPOINT origin);
PLATFORM_API BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT previous);
PLATFORM_API BOOL LPtoDP(HDC dc, LPPOINT points, int count);
PLATFORM_API BOOL DPtoLP(HDC dc, LPPOINT points, int count);

// HORZRES/VERTRES (the surface's size), BITSPIXEL 32, PLANES 1, LOGPIXELSX/Y (SimSetScreenDpi),
// NUMCOLORS -1, RASTERCAPS (RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP), SIZEPALETTE 0; 0 otherwise.
PLATFORM_API int GetDeviceCaps(HDC dc, int index);

// Regions: unions of rectangles, each rectangle with its right and bottom edges outside.
PLATFORM_API HRGN CreateRectRgn(int left, int top, int right, int bottom);
PLATFORM_API HRGN CreateRectRgnIndirect(const RECT* rect);
// Sets `target` to the combination of `a` and `b` (`a` alone for RGN_COPY); answers the kind.
PLATFORM_API int CombineRgn(HRGN target, HRGN a, HRGN b, int mode);
PLATFORM_API BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
PLATFORM_API int OffsetRgn(HRGN region, int dx, int dy);
PLATFORM_API BOOL PtInRegion(HRGN region, int x, int y);
PLATFORM_API int GetRgnBox(HRGN region, LPRECT box);
PLATFORM_API BOOL EqualRgn(HRGN a, HRGN b);

// The clip region is kept in device coordinates; NULL removes it. Answers the new clip's kind.
PLATFORM_API int SelectClipRgn(HDC dc, HRGN region);
PLATFORM_API int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
// Intersects the clip with / excludes from it a rectangle in logical coordinates.
PLATFORM_API int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
PLATFORM_API int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
// The clip's bounding box in logical coordinates (the drawable area when there is no clip).
PLATFORM_API int GetClipBox(HDC dc, LPRECT box);
// Copies the clip into `region`: 1, 0 when there is none, -1 for a bad handle.
PLATFORM_API int GetClipRgn(HDC dc, HRGN region);
PLATFORM_API BOOL PtVisible(HDC dc, int x, int y);
PLATFORM_API BOOL RectVisible(HDC dc, const RECT* rect);

// A pixel surface that the caller owns and keeps alive while DCs draw on it: `stride` pixels
// from one row to the next (at least `width`), pixels 0x00RRGGBB.
struct GdiSurface {
  std::uint32_t* pixels;
  LONG width;
  LONG height;
  LONG stride;
};

// A DC over `surface` whose device point (0, 0) is the surface's point `origin` and which
// draws only inside `clip` (surface pixels; the clip the DC's own calls make is intersected
// with it). The window manager builds GetDC and BeginPaint on it; DeleteDC ends it. NULL with
// ERROR_INVALID_PARAMETER for a surface without pixels or with a stride below its width.
PLATFORM_API HDC GdiCreateSurfaceDC(const GdiSurface& surface, POINT origin, const RECT& clip);
// A brush that lives as long as the process: DeleteObject leaves it and the live counters do
// not count it (the system colour brushes).
PLATFORM_API HBRUSH GdiCreatePermanentBrush(COLORREF color);
