// Colours of choice pictures: the colour count of a device-independent bitmap header and the
// table of highlight colours.
#pragma once

#include "platform/base/types.h"

// Size of the old-style core header, whose bit count sits at byte 10.
inline constexpr DWORD kCoreHeaderSize = 12;

// Caller to come: the property-sheet pages' choice pictures.
// 2, 16 or 256 for 1, 4 or 8 bits per pixel; the header's used-colour count when it is not 0
// (not for a core header); 0 otherwise and for NULL.
DWORD DibColorCount(const BITMAPINFOHEADER* header);

// The highlight colour of a key (position -1: looked up in the key list 1..8) or of a position
// 0..6: 1 with the colour, 0 for an unknown key or a position without a colour (key 8).
int LookUpColorValue(int key, COLORREF* colour, int position);

// A palette of the colour table that follows the 40-byte header: the header's used-colour
// count, else 1 << bits for 1 to 8 bits per pixel. NULL for a picture without a colour table,
// a count above 256, NULL or a failure.
HPALETTE CreateDibPalette(const BITMAPINFOHEADER* header);
