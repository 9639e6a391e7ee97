#include "graphics/drawing/bitmap_rows.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/engine/engine.h"
#include "platform/kernel/memory.h"

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kNotAColor = 0x1000000;  // an index past the colour table

DWORD TableEntry(XLATEOBJ* xlate, DWORD index) {
  if (xlate == nullptr || xlate->pulXlate == nullptr || index >= xlate->cEntries) return kNotAColor;
  return xlate->pulXlate[index] & 0xFFFFFF;
}

DWORD Bytes3(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16); }

// Bytes of one row of the bitmap from the first byte of the area's first pixel to the row's end.
DWORD AvailableRowBytes(const SURFOBJ* source, WORD bits, LONG originX) {
  const DWORD rowBytes = (static_cast<DWORD>(bits) * static_cast<DWORD>(source->sizlBitmap.cx) + 7) / 8;
  return rowBytes - static_cast<DWORD>(bits) * static_cast<DWORD>(originX) / 8;
}

const BYTE* AreaRow(const SURFOBJ* source, WORD bits, POINTL origin, LONG y) {
  return static_cast<const BYTE*>(source->pvScan0) + static_cast<std::ptrdiff_t>(bits) * origin.x / 8 +
         static_cast<std::ptrdiff_t>(source->lDelta) * (origin.y + y);
}

BYTE* AllocLocked(std::size_t bytes, HGLOBAL* block) {
  *block = GlobalAlloc(GHND, bytes == 0 ? 1 : bytes);
  if (*block == nullptr) return nullptr;
  BYTE* locked = static_cast<BYTE*>(GlobalLock(*block));
  if (locked == nullptr) {
    GlobalFree(*block);
    *block = nullptr;
  }
  return locked;
}

}  // namespace

WORD BitsPerPixelOfFormat(ULONG format) {
  switch (format) {
    case BMF_1BPP: return 1;
    case BMF_4BPP: return 4;
    case BMF_8BPP: return 8;
    case BMF_16BPP: return 16;
    case BMF_24BPP: return 24;
    case BMF_32BPP: return 32;
    default: return 0;
  }
}

WORD OutputBitsPerPixel(WORD sourceBits) { return sourceBits <= 8 ? sourceBits : 24; }

int ClassifyXlate(XLATEOBJ* xlate, WORD bits) {
  if (xlate == nullptr || bits < 16) return 0;
  if (bits == 16) return kXlatePerPixel;
  const ULONG blue = XLATEOBJ_iXlate(xlate, 0xFF), green = XLATEOBJ_iXlate(xlate, 0xFF00);
  const ULONG red = XLATEOBJ_iXlate(xlate, 0xFF0000), high = XLATEOBJ_iXlate(xlate, 0xFF000000);
  if (blue == 0xFF0000 && green == 0xFF00 && red == 0xFF && high == 0) return kXlatePerPixel | kXlateSwap;
  if (blue == 0xFF && green == 0xFF00 && red == 0xFF0000) {
    if (high == 0) return bits == 24 ? kXlatePerPixel : kXlatePerPixel | kXlateTakeThree;
    if (high == 0xFF000000 && bits == 24) return 0;
  }
  return kXlatePerPixel;
}

bool SourceAreaFits(const SURFOBJ* source, POINTL origin, SIZEL size) {
  const WORD bits = BitsPerPixelOfFormat(source->iBitmapFormat);
  if (bits == 0 || source->pvScan0 == nullptr || origin.x < 0 || origin.y < 0 || size.cx < 0 || size.cy < 0)
    return false;
  if (static_cast<LONGLONG>(origin.x) + size.cx > source->sizlBitmap.cx ||
      static_cast<LONGLONG>(origin.y) + size.cy > source->sizlBitmap.cy)
    return false;
  const LONGLONG rowBytes = (static_cast<LONGLONG>(bits) * source->sizlBitmap.cx + 7) / 8;
  return std::llabs(static_cast<LONGLONG>(source->lDelta)) >= rowBytes;
}

void ShiftRowBits(const BYTE* source, BYTE* destination, DWORD bitCount, int shift, DWORD available) {
  const DWORD bytes = (bitCount + 7) / 8;
  for (DWORD i = 0; i < bytes; ++i) {
    const BYTE next = i + 1 < available ? source[i + 1] : 0;
    destination[i] = static_cast<BYTE>((source[i] << shift) | (next >> (8 - shift)));
  }
}

DWORD TranslatedPixel(const BYTE* row, DWORD i, XLATEOBJ* xlate, int kind, WORD bits) {
  switch (bits) {
    case 1: return TableEntry(xlate, (row[i / 8] >> (7 - i % 8)) & 1);
    case 4: return TableEntry(xlate, i % 2 == 0 ? row[i / 2] >> 4 : row[i / 2] & 0xF);
    case 8: return TableEntry(xlate, row[i]);
    case 16: {
      const DWORD value = row[2 * i] | (row[2 * i + 1] << 8);
      return (kind & kXlatePerPixel) ? XLATEOBJ_iXlate(xlate, value) & 0xFFFFFF : value;
    }
    case 24:
    case 32: {
      const BYTE* p = row + static_cast<std::size_t>(bits / 8) * i;
      if (kind & kXlateSwap) return p[2] | (p[1] << 8) | (p[0] << 16);
      if (kind & kXlateTakeThree) return Bytes3(p);
      if (kind & kXlatePerPixel) {
        const DWORD value = bits == 24 ? Bytes3(p) : Bytes3(p) | (static_cast<DWORD>(p[3]) << 24);
        return XLATEOBJ_iXlate(xlate, value) & 0xFFFFFF;
      }
      return Bytes3(p);
    }
    default: return kNotAColor;
  }
}

void TranslateRowToRgb(const BYTE* row, BYTE* destination, XLATEOBJ* xlate, int kind, WORD bits, DWORD pixels) {
  for (DWORD i = 0; i < pixels; ++i) {
    const DWORD color = TranslatedPixel(row, i, xlate, kind, bits);
    destination[3 * i] = static_cast<BYTE>(color);
    destination[3 * i + 1] = static_cast<BYTE>(color >> 8);
    destination[3 * i + 2] = static_cast<BYTE>(color >> 16);
  }
}

void RowToWhiteMask(const BYTE* row, BYTE* destination, XLATEOBJ* xlate, int kind, WORD bits, DWORD pixels) {
  std::memset(destination, 0, (pixels + 7) / 8);
  for (DWORD i = 0; i < pixels; ++i)
    if (TranslatedPixel(row, i, xlate, kind, bits) == kWhite) destination[i / 8] |= static_cast<BYTE>(0x80 >> (i % 8));
}

BYTE* ConvertBitmapRows(SURFOBJ* source, SIZEL size, POINTL origin, XLATEOBJ* xlate, int mode, HGLOBAL* block) {
  *block = nullptr;
  if (source == nullptr || !SourceAreaFits(source, origin, size)) return nullptr;
  const WORD bits = BitsPerPixelOfFormat(source->iBitmapFormat);
  if ((bits == 16 || bits == 32) && xlate == nullptr) return nullptr;
  const int shift = static_cast<int>((static_cast<DWORD>(bits) * static_cast<DWORD>(origin.x)) % 8);
  const int kind = ClassifyXlate(xlate, bits);
  const DWORD width = static_cast<DWORD>(size.cx);
  const DWORD rowBytes = mode == kRowsImage ? (OutputBitsPerPixel(bits) * width + 7) >> 3 : (width + 7) >> 3;
  BYTE* rows = AllocLocked(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(size.cy), block);
  if (rows == nullptr) return nullptr;
  const DWORD sourceBytes = (static_cast<DWORD>(bits) * width + 7) / 8;
  std::vector<BYTE> shifted(shift != 0 ? sourceBytes + 1 : 0);
  const DWORD available = AvailableRowBytes(source, bits, origin.x);
  for (LONG y = 0; y < size.cy; ++y) {
    const BYTE* row = AreaRow(source, bits, origin, y);
    if (shift != 0) {
      ShiftRowBits(row, shifted.data(), static_cast<DWORD>(bits) * width, shift, available);
      row = shifted.data();
    }
    BYTE* out = rows + static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(y);
    if (mode == kRowsWhiteMask && bits != 1)
      RowToWhiteMask(row, out, xlate, kind, bits, width);
    else if (mode == kRowsImage && (kind & kXlatePerPixel))
      TranslateRowToRgb(row, out, xlate, kind, bits, width);
    else
      std::memcpy(out, row, rowBytes);
  }
  return rows;
}

BYTE* CopyMaskRows(SURFOBJ* mask, SIZEL size, POINTL origin, HGLOBAL* block) {
  *block = nullptr;
  if (mask == nullptr || mask->iBitmapFormat != BMF_1BPP || !SourceAreaFits(mask, origin, size)) return nullptr;
  return ConvertBitmapRows(mask, size, origin, nullptr, kRowsImage, block);
}
