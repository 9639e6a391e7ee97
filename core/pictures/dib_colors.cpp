#include "core/pictures/dib_colors.h"

#include <cstring>

#include "platform/base/types.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/memory.h"

namespace {

constexpr int kColorKeys[] = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr COLORREF kHighlightColors[] = {0x000033FF, 0x003399FF, 0x0000CCFF, 0x00658963,
                                         0x00CC6633, 0x0093518D, 0x00000000};
constexpr int kHighlightColorCount = static_cast<int>(sizeof kHighlightColors / sizeof kHighlightColors[0]);
constexpr DWORD kCoreBitCountOffset = 10;
// Only pictures of up to 8 bits per pixel carry a colour table of 1 << bits entries.
constexpr WORD kMaxPaletteBitCount = 8;
constexpr DWORD kMaxPaletteColors = 256;

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

HPALETTE CreateDibPalette(const BITMAPINFOHEADER* header) {
  if (header == nullptr) return nullptr;
  DWORD count = header->biClrUsed;
  if (count == 0 && header->biBitCount >= 1 && header->biBitCount <= kMaxPaletteBitCount) count = DWORD{1} << header->biBitCount;
  // A picture without a colour table needs no palette; a table longer than any palette a
  // picture can use is refused rather than read.
  if (count == 0 || count > kMaxPaletteColors) return nullptr;
  const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + sizeof *header);
  const DWORD bytes = sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY);
  auto* palette = static_cast<LOGPALETTE*>(GlobalAlloc(GPTR, bytes));
  if (palette == nullptr) return nullptr;
  palette->palVersion = kLogPaletteVersion;
  palette->palNumEntries = static_cast<WORD>(count);
  for (DWORD i = 0; i < count; ++i) {
    RGBQUAD colour;
    std::memcpy(&colour, table + i, sizeof colour);
    const PALETTEENTRY entry{colour.rgbRed, colour.rgbGreen, colour.rgbBlue, 0};
    std::memcpy(reinterpret_cast<BYTE*>(palette->palPalEntry) + i * sizeof entry, &entry, sizeof entry);
  }
  HPALETTE result = CreatePalette(palette);
  GlobalFree(palette);
  return result;
}
