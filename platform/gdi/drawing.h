// Drawing into a DC's pixels: lines and shapes with the selected pen and brush, fills, blits
// with raster operations, and icons. All coordinates are logical (dc.h); every call draws only
// inside the DC's clip and its surface. Shapes are drawn without antialiasing:
// - a line from A to B sets the pixels of the Bresenham line from A up to but not including B;
// - Rectangle(l, t, r, b) frames the pixels l .. r - 1, t .. b - 1 with the pen and fills the
//   inside with the brush; with the null pen it fills l .. r - 2, t .. b - 2;
// - Ellipse fills the pixels whose centres lie in the ellipse inscribed in the same pixels as
//   Rectangle's frame, and draws the pen as the ring of the pen's width inside its edge;
// - Polygon fills the pixels whose centres (x + 1/2, y + 1/2) lie inside (ALTERNATE or WINDING),
//   then draws the closed outline with the pen, vertices included.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

// Raster operations of the blits: the byte (rop >> 16) is the truth table of pattern (brush),
// source and destination; every such operation is carried out, these are the named ones.
#define SRCCOPY 0x00CC0020u
#define SRCPAINT 0x00EE0086u
#define SRCAND 0x008800C6u
#define SRCINVERT 0x00660046u
#define SRCERASE 0x00440328u
#define NOTSRCCOPY 0x00330008u
#define NOTSRCERASE 0x001100A6u
#define MERGECOPY 0x00C000CAu
#define MERGEPAINT 0x00BB0226u
#define PATCOPY 0x00F00021u
#define PATPAINT 0x00FB0A09u
#define PATINVERT 0x005A0049u
#define DSTINVERT 0x00550009u
#define BLACKNESS 0x00000042u
#define WHITENESS 0x00FF0062u

// DrawIconEx flags.
#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
#define DI_COMPAT 0x0004
#define DI_DEFAULTSIZE 0x0008

// The size DrawIcon draws an icon at, and DrawIconEx with DI_DEFAULTSIZE.
inline constexpr int kGdiIconSize = 32;

PLATFORM_API BOOL MoveToEx(HDC dc, int x, int y, LPPOINT previous);
PLATFORM_API BOOL GetCurrentPositionEx(HDC dc, LPPOINT position);
// Draws from the current position to (x, y) and moves there.
PLATFORM_API BOOL LineTo(HDC dc, int x, int y);
// Lines through the points (the last one not drawn); the current position does not move.
PLATFORM_API BOOL Polyline(HDC dc, const POINT* points, int count);
PLATFORM_API BOOL Polygon(HDC dc, const POINT* points, int count);
PLATFORM_API BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
PLATFORM_API BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
// Fills the rectangle (right and bottom edges outside) with the brush; no pen.
PLATFORM_API int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Frames the rectangle one pixel wide with the brush.
PLATFORM_API int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
// Inverts the colours of the rectangle.
PLATFORM_API BOOL InvertRect(HDC dc, const RECT* rect);
PLATFORM_API COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
// The pixel's colour, CLR_INVALID outside the surface or the clip.
PLATFORM_API COLORREF GetPixel(HDC dc, int x, int y);

// The selected brush combined with the destination by `rop` (operations without a source).
PLATFORM_API BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// Copies the source DC's rectangle at (xSrc, ySrc) onto (x, y) with `rop` (a NULL source for
// operations without one). Source and destination may be the same surface.
PLATFORM_API BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int xSrc, int ySrc, DWORD rop);
// As BitBlt, scaling by nearest neighbour (each destination pixel takes the source pixel under
// its centre). A rectangle of negative width reaches left from x (x + width .. x - 1), and of
// negative height up; a negative size on one side only mirrors the picture.
PLATFORM_API BOOL StretchBlt(HDC dc, int x, int y, int width, int height, HDC source, int xSrc, int ySrc, int srcWidth,
                             int srcHeight, DWORD rop);

// Draws an icon at (x, y), `width` x `height` (0 for the icon's own size, or kGdiIconSize with
// DI_DEFAULTSIZE), scaled by nearest neighbour. DI_NORMAL ANDs the mask into the pixels, then
// XORs the colour image in; DI_MASK alone copies the mask (black and white), DI_IMAGE alone
// copies the colour image. A brush other than NULL first fills the rectangle; `step` is not
// used. Colour images of 1, 4 and 8 bits take these colours: 1 bit black and white; 4 bits the
// sixteen standard colours (black, maroon, green, olive, navy, purple, teal, silver, grey, red,
// lime, yellow, blue, fuchsia, aqua, white); 8 bits those sixteen, then a 6 x 6 x 6 cube
// (levels 0, 51, ... 255; blue fastest) at 16 .. 231 and greys 8, 18, ... 238 at 232 .. 255.
// 32-bit images use no alpha. FALSE with ERROR_INVALID_CURSOR_HANDLE for a handle that is not a
// live icon (a destroyed one included).
PLATFORM_API BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH brush,
                             UINT flags);
PLATFORM_API BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

// FillRect and FrameRect take a system colour index + 1 in place of a brush (COLOR_WINDOW + 1):
// the window manager registers where those brushes come from.
PLATFORM_API void GdiSetSystemBrushSource(HBRUSH (*source)(int index));
