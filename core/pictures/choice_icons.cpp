#include "core/pictures/choice_icons.h"

#include <cstring>

#include "core/pictures/dib_colors.h"
#include "platform/base/types.h"
#include "platform/gdi/gdi_objects.h"

namespace {

constexpr DWORD kInfoHeaderSize = 40;
constexpr DWORD kBiRgb = 0;
constexpr DWORD kPaletteColours = 256;
constexpr WORD kPaletteBitCount = 8;
constexpr WORD kBitCounts[] = {1, 4, 8, 24, 32};

// Bytes of one row of a DIB: whole 32-bit words.
DWORD DibRowBytes(LONG width, WORD bits) { return (static_cast<DWORD>(width) * bits + 31) / 32 * 4; }
// Bytes of one row as CreateIcon reads it: whole 16-bit words.
DWORD IconRowBytes(int width, int bits) { return (static_cast<DWORD>(width) * bits + 15) / 16 * 2; }

// The colour of pixel x of a DIB row as blue, green, red.
void ReadPixel(const BYTE* row, LONG x, WORD bits, const BYTE* table, BYTE out[3]) {
  DWORD index = 0;
  switch (bits) {
    case 1: index = (row[x / 8] >> (7 - x % 8)) & 1; break;
    case 4: index = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF; break;
    case 8: index = row[x]; break;
    default: std::memcpy(out, row + x * (bits / 8), 3); return;
  }
  std::memcpy(out, table + index * 4, 3);
}

}  // namespace

BOOL ReadIconBitsFromDib(const BYTE* dib, DWORD size, IconBits* bits) {
  if (dib == nullptr || bits == nullptr || size < kInfoHeaderSize) return FALSE;
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib, sizeof header);
  bool knownBits = false;
  for (WORD b : kBitCounts) knownBits |= header.biBitCount == b;
  if (header.biSize != kInfoHeaderSize || header.biCompression != kBiRgb || !knownBits) return FALSE;
  const LONG width = header.biWidth;
  const LONG height = header.biHeight / 2;  // the colour image and the mask, one above the other
  if (width < 1 || width > kChoiceIconMaxSide || header.biHeight % 2 != 0 || height < 1 ||
      height > kChoiceIconMaxSide)
    return FALSE;
  const DWORD allowed = header.biBitCount <= 8 ? 1u << header.biBitCount : 0;
  if (header.biClrUsed > allowed && header.biBitCount <= 8) return FALSE;
  const DWORD tableEntries = header.biBitCount > 8 ? 0 : header.biClrUsed != 0 ? header.biClrUsed : allowed;
  const DWORD colourRow = DibRowBytes(width, header.biBitCount);
  const DWORD maskRow = DibRowBytes(width, 1);
  const DWORD tableOffset = kInfoHeaderSize;
  const DWORD colourOffset = tableOffset + tableEntries * 4;
  const DWORD maskOffset = colourOffset + colourRow * height;
  if (maskOffset + maskRow * height > size) return FALSE;
  const BYTE* table = dib + tableOffset;
  // A pixel index beyond a short colour table reads black.
  BYTE fullTable[kPaletteColours * 4] = {};
  std::memcpy(fullTable, table, tableEntries * 4);

  bits->width = static_cast<int>(width);
  bits->height = static_cast<int>(height);
  const DWORD iconColourRow = IconRowBytes(bits->width, kIconBitsPerPixel);
  const DWORD iconMaskRow = IconRowBytes(bits->width, 1);
  bits->colour.assign(static_cast<size_t>(iconColourRow) * height, 0);
  bits->mask.assign(static_cast<size_t>(iconMaskRow) * height, 0);
  // DIB rows run bottom-up; the icon's run top-down.
  for (LONG y = 0; y < height; ++y) {
    const BYTE* source = dib + colourOffset + colourRow * (height - 1 - y);
    BYTE* target = bits->colour.data() + iconColourRow * y;
    for (LONG x = 0; x < width; ++x) ReadPixel(source, x, header.biBitCount, fullTable, target + x * 4);
    std::memcpy(bits->mask.data() + iconMaskRow * y, dib + maskOffset + maskRow * (height - 1 - y), iconMaskRow);
  }
  return TRUE;
}

BOOL CreateIconFromDib(HINSTANCE instance, const BYTE* dib, DWORD size, HICON* icon, HPALETTE* palette) {
  if (icon == nullptr || palette == nullptr) return FALSE;
  *icon = nullptr;
  *palette = nullptr;
  IconBits bits;
  if (!ReadIconBitsFromDib(dib, size, &bits)) return FALSE;
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib, sizeof header);
  // Only an 8-bit picture has a colour table of up to 256 entries; it lies within the bytes.
  if (header.biBitCount == kPaletteBitCount) {
    *palette = CreateDibPalette(reinterpret_cast<const BITMAPINFOHEADER*>(dib));
    if (*palette == nullptr) return FALSE;
  }
  *icon = CreateIcon(instance, bits.width, bits.height, kIconPlanes, kIconBitsPerPixel, bits.mask.data(),
                     bits.colour.data());
  if (*icon == nullptr) {
    if (*palette != nullptr) DeleteObject(*palette);
    *palette = nullptr;
    return FALSE;
  }
  return TRUE;
}
