// Palettes and icons, and DeleteObject for every GDI object. The layer keeps its GDI objects in
// one table of its own (apart from the kernel handles); a handle value is never reused, so a
// stale or foreign handle is refused.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};

struct LOGPALETTE {
  WORD palVersion;
  WORD palNumEntries;
  PALETTEENTRY palPalEntry[1];
};

static_assert(sizeof(PALETTEENTRY) == 4 && sizeof(LOGPALETTE) == 8);

// The only logical-palette version the layer accepts.
inline constexpr WORD kLogPaletteVersion = 0x300;

// A palette of palNumEntries entries (1 or more) of a version-0x300 record; NULL with
// ERROR_INVALID_PARAMETER otherwise.
PLATFORM_API HPALETTE CreatePalette(const LOGPALETTE* palette);
// Copies up to `count` entries from `start`; with no output answers the palette's size. The
// number of entries copied, 0 for a handle that is not a palette.
PLATFORM_API UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
// Selects a palette into a DC and answers the one it replaces (NULL for a bad DC or palette).
// Every DC draws in 32 bits, so a palette only matters to the pictures that read it back.
PLATFORM_API HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
// The number of entries newly mapped into the system palette: always 0 on a 32-bit display;
// GDI_ERROR (0xFFFFFFFF) for a bad DC.
PLATFORM_API UINT RealizePalette(HDC dc);
// The index of the palette's entry nearest to the colour (least squared distance; the first of
// equals); CLR_INVALID for a handle that is not a palette.
PLATFORM_API UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);
// Deletes a palette, bitmap, pen, brush, font or region; FALSE for NULL, a handle that is not a
// live object of those kinds, or an object selected into a DC (now or in a saved state). Stock
// objects and permanent brushes stay and answer TRUE. Icons (DestroyIcon) and DCs (DeleteDC)
// are not deleted this way.
PLATFORM_API BOOL DeleteObject(HGDIOBJ object);

// An icon of width x height pixels from its AND mask (1 bit per pixel, rows of 16-bit
// multiples) and its colour bits (planes x bitsPixel bits per pixel, same row rule); both are
// copied. NULL with ERROR_INVALID_PARAMETER for missing bits or sizes outside 1..256.
PLATFORM_API HICON CreateIcon(HINSTANCE instance, int width, int height, BYTE planes, BYTE bitsPixel,
                              const BYTE* andBits, const BYTE* xorBits);
// FALSE (ERROR_INVALID_HANDLE) for a handle that is not a live icon.
PLATFORM_API BOOL DestroyIcon(HICON icon);
