// Icons of choices: a choice picture is a packed device-independent bitmap that holds the
// colour image above its one-bit mask (so its header gives twice the icon's height). The icon
// is made in the display's format, 32 bits per pixel, and an 8-bit picture brings the
// palette of its colour table along.
#pragma once

#include <vector>

#include "platform/base/types.h"

// Icons are at most this wide and high.
inline constexpr LONG kChoiceIconMaxSide = 32;
// The format the colour bits are handed to CreateIcon in.
inline constexpr BYTE kIconPlanes = 1;
inline constexpr BYTE kIconBitsPerPixel = 32;

// The bits of an icon as CreateIcon takes them: rows top-down, each row a whole number of
// 16-bit words; the colour bits as blue, green, red, 0 per pixel.
struct IconBits {
  int width;
  int height;
  std::vector<BYTE> mask;
  std::vector<BYTE> colour;
};

// Reads the picture's header, colour table, colour bits and mask, all of which must lie
// within the `size` bytes; the picture itself is not changed. TRUE with the bits; FALSE for a
// header other than the 40-byte one, compression, a bit count other than 1, 4, 8, 24 or 32, a
// used-colour count above the table the bit count allows, an icon outside 1..32 pixels either
// way (an odd height included) or bytes missing.
BOOL ReadIconBitsFromDib(const BYTE* dib, DWORD size, IconBits* bits);

// Makes the icon of a picture (ReadIconBitsFromDib), with the palette of its colour table for
// an 8-bit picture (else none). TRUE with both; FALSE with neither made.
BOOL CreateIconFromDib(HINSTANCE instance, const BYTE* dib, DWORD size, HICON* icon, HPALETTE* palette);
