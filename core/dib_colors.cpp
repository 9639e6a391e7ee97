#include "core/dib_colors.h"

#include <cstring>

namespace {

constexpr int kColorKeys[] = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr COLORREF kHighlightColors[] = {0x000033FF, 0x003399FF, 0x0000CCFF, 0x00658963,
                                         0x00CC6633, 0x0093518D, 0x00000000};
constexpr int kHighlightColorCount = static_cast<int>(sizeof kHighlightColors / sizeof kHighlightColors[0]);
constexpr DWORD kCoreBitCountOffset = 10;

}  // namespace

DWORD DibColorCount(const BITMAPINFOHEADER* header) {
  if (header == nullptr) return 0;
  WORD bits;
  if (header->biSize == kCoreHeaderSize) {
    std::memcpy(&bits, reinterpret_cast<const BYTE*>(header) + kCoreBitCountOffset, sizeof bits);
  } else {
    if (header->biClrUsed != 0) return header->biClrUsed;
    bits = header->biBitCount;
  }
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

int LookUpColorValue(int key, COLORREF* colour, int position) {
  if (colour == nullptr) return 0;
  if (position == -1) {
    for (int i = 0; i < static_cast<int>(sizeof kColorKeys / sizeof kColorKeys[0]); ++i)
      if (kColorKeys[i] == key) position = i;
    if (position == -1) return 0;
  }
  if (position < 0 || position >= kHighlightColorCount) return 0;
  *colour = kHighlightColors[position];
  return 1;
}
