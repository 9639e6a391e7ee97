// Bitmaps and device-independent bitmaps. Every bitmap the layer keeps holds 32-bit pixels
// (0x00RRGGBB, the 32-bit DIB layout); DIBs of 1, 4, 8, 24 and 32 bits per pixel (BI_RGB, with
// a colour table below 16 bits) are converted on their way in and out.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define DIB_RGB_COLORS 0
#define DIB_PAL_COLORS 1
#define CBM_INIT 4

struct BITMAP {
  LONG bmType;  // 0
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  LPVOID bmBits;  // a DIB section's pixels, NULL for other bitmaps
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3];
  HANDLE dshSection;
  DWORD dsOffset;
};

static_assert(sizeof(BITMAP) == 32 && sizeof(DIBSECTION) == 104);

// Sides up to this many pixels, and at most kGdiMaxBitmapPixels pixels in all.
inline constexpr LONG kGdiMaxBitmapSide = 16384;
inline constexpr long long kGdiMaxBitmapPixels = 64ll * 1024 * 1024;

// A black bitmap of the DC's colour format (always 32 bits here). NULL with
// ERROR_INVALID_PARAMETER for a side outside 1..kGdiMaxBitmapSide or too many pixels.
PLATFORM_API HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A bitmap of 32 bits per pixel (planes 1) with `bits` copied in (rows of 4 bytes a pixel,
// top-down) or black; NULL with ERROR_INVALID_PARAMETER for another format.
PLATFORM_API HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// A DIB section of 32 bits per pixel, BI_RGB, top-down (negative height) or bottom-up: its
// pixels are memory the caller writes through `*bits`, and drawing through a DC changes them.
// `section` must be NULL. NULL with ERROR_INVALID_PARAMETER for another format.
PLATFORM_API HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                      DWORD offset);
// A bitmap of the header's size, with the DIB's pixels when `init` is CBM_INIT.
PLATFORM_API HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                                    const BITMAPINFO* info, UINT usage);

// Copies `lines` rows from row `start` (counted from the DIB's bottom) of the bitmap into `bits`
// in the format of `info` (24 or 32 bits, BI_RGB). With no bits only fills in the header
// (size, 32 bits, biSizeImage). Answers the rows copied, 0 on failure.
PLATFORM_API int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage);
// Converts `lines` rows of a DIB into the bitmap from row `start` (counted from the bottom).
PLATFORM_API int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info,
                           UINT usage);
// Draws the DIB's rows start .. start + lines - 1 (from the bottom), its rectangle from
// (xSrc, ySrc) (counted from the bottom-left) of width x height, at the DC's (x, y).
PLATFORM_API int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT start,
                                   UINT lines, const void* bits, const BITMAPINFO* info, UINT usage);
// Stretches the DIB's rectangle (from its top-left for top-down DIBs, bottom-left otherwise)
// onto the DC's rectangle with a raster operation (drawing.h). Answers the rows drawn.
PLATFORM_API int StretchDIBits(HDC dc, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth,
                               int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
// The bitmap's pixels as 32-bit top-down rows; answers the bytes copied.
PLATFORM_API LONG GetBitmapBits(HBITMAP bitmap, LONG size, LPVOID bits);
