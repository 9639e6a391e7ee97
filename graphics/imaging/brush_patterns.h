// The pixel work of brushes and patterns before they reach the drawing library: the colour
// detection and conversion of pattern colours, the library's hatch codes, one-bit pattern rows
// repacked without padding, and colour patterns unpacked into three-byte rows.
#pragma once

#include <cstddef>

#include "platform/base/types.h"

struct ColorConverter;
struct Pdev;

// Colour spaces of what the library is sent.
inline constexpr int kColorSpaceRgb = 4;   // three bytes per colour or pixel
inline constexpr int kColorSpaceGrey = 3;  // one byte per colour or pixel

// Realised pattern formats.
inline constexpr DWORD kPatternFormat1Bit = 1;
inline constexpr DWORD kPatternFormat4Bit = 2;
inline constexpr DWORD kPatternFormat8Bit = 3;
inline constexpr DWORD kPatternFormat24Bit = 5;  // also 16 and 32-bit patterns

// Counts width x height three-byte pixels on the page (colour detection) and converts them for
// graphics: 1 RGB result, 2 grey result (one byte per pixel), 0 failure.
int ConvertPatternColors(Pdev* pdev, DWORD* colorClassWord, ColorConverter* converter, const BYTE* pixels, LONG width,
                         LONG height, BYTE* result);

// The library's code of a hatch style (HS_HORIZONTAL 0 to HS_DIAGCROSS 5 give 2 to 7; any other 1).
int HatchCode(DWORD style);

// A pattern as realised: rows padded to 4 bytes, stored top row first when topDown, else last
// row first; its colour table of 32-bit entries (low byte first).
struct PatternRows {
  LONG Width, Height;
  DWORD Format;
  BOOL TopDown;
  const BYTE* Rows;
  std::size_t RowsLength;  // bytes present from Rows on
  const DWORD* Table;
  DWORD TableEntries;
};

// One-bit rows repacked to (width + 7) >> 3 bytes each, top row first; false when the rows
// present are too few or the size is outside -32768..32767 or negative.
bool RepackMaskRows(const PatternRows& pattern, BYTE* out, std::size_t outLength);

// Bits per source pixel of a colour pattern format (4, 8 or 24), 0 for any other.
int PatternBits(DWORD format);
// The raster buffer length L = (24 / bits) x (((width x bits + 31) / 32) x 4) x height.
std::size_t RasterPatternLength(const PatternRows& pattern);
// Three bytes per pixel from the top row down, no row padding (table entries low byte first for
// 4 and 8-bit pixels, the stored bytes for 24-bit ones); the rest of out up to its length is 0.
// False for another format, rows too few, or a pixel whose index is past the colour table.
bool PatternToRgbRows(const PatternRows& pattern, BYTE* out, std::size_t outLength);
