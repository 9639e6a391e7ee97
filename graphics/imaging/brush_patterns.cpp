#include "graphics/imaging/brush_patterns.h"

#include <cstring>

#include "graphics/device/pdev.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/imaging/color_detection.h"

namespace {
constexpr LONG kMinSide = -32768;
constexpr LONG kMaxSide = 32767;

std::size_t StoredRowBytes(LONG width, int bits) {
  return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
}

// The stored row that is row y from the top.
const BYTE* RowFromTop(const PatternRows& p, LONG y, std::size_t stride) {
  const LONG stored = p.TopDown ? y : p.Height - 1 - y;
  return p.Rows + static_cast<std::size_t>(stored) * stride;
}

bool SizeFits(const PatternRows& p) {
  return p.Width >= 0 && p.Height >= 0 && p.Width <= kMaxSide && p.Height <= kMaxSide && p.Width >= kMinSide &&
         p.Height >= kMinSide;
}
}  // namespace

int ConvertPatternColors(Pdev* pdev, DWORD* colorClassWord, ColorConverter* converter, const BYTE* pixels, LONG width,
                         LONG height, BYTE* result) {
  if (pdev == nullptr) return 0;
  if (DetectImageColor(colorClassWord, &pdev->pageColor.Census, pdev, pixels, width, height, nullptr, 0,
                       kColorFormatRgb, 24, 0) != 0)
    return 0;
  const int rc = ConvertSolidColor(converter, colorClassWord, pdev, &pdev->settings, pdev->config, pixels, result,
                                   width, height, 0, kSolidGraphics, 1);
  return rc == kConvertedRgb || rc == kConvertedGrey ? rc : 0;
}

int HatchCode(DWORD style) { return style <= 5 ? static_cast<int>(style) + 2 : 1; }

bool RepackMaskRows(const PatternRows& p, BYTE* out, std::size_t outLength) {
  if (!SizeFits(p) || p.Rows == nullptr) return false;
  const std::size_t stride = StoredRowBytes(p.Width, 1);
  const std::size_t packed = (static_cast<std::size_t>(p.Width) + 7) >> 3;
  if (stride * p.Height > p.RowsLength || packed * p.Height > outLength) return false;
  for (LONG y = 0; y < p.Height; ++y) std::memcpy(out + y * packed, RowFromTop(p, y, stride), packed);
  return true;
}

int PatternBits(DWORD format) {
  switch (format) {
    case kPatternFormat4Bit: return 4;
    case kPatternFormat8Bit: return 8;
    case kPatternFormat24Bit: return 24;
    default: return 0;
  }
}

std::size_t RasterPatternLength(const PatternRows& p) {
  const int bits = PatternBits(p.Format);
  if (bits == 0 || p.Width < 0 || p.Height < 0) return 0;
  return static_cast<std::size_t>(24 / bits) * StoredRowBytes(p.Width, bits) * static_cast<std::size_t>(p.Height);
}

bool PatternToRgbRows(const PatternRows& p, BYTE* out, std::size_t outLength) {
  const int bits = PatternBits(p.Format);
  if (bits == 0 || !SizeFits(p) || p.Rows == nullptr) return false;
  const std::size_t stride = StoredRowBytes(p.Width, bits);
  const std::size_t pixels = static_cast<std::size_t>(p.Width) * p.Height;
  if (stride * p.Height > p.RowsLength || pixels * 3 > outLength) return false;
  if (bits != 24 && p.Table == nullptr) return false;
  std::memset(out, 0, outLength);
  BYTE* to = out;
  for (LONG y = 0; y < p.Height; ++y) {
    const BYTE* row = RowFromTop(p, y, stride);
    for (LONG x = 0; x < p.Width; ++x, to += 3) {
      if (bits == 24) {
        std::memcpy(to, row + 3 * x, 3);
        continue;
      }
      const DWORD index = bits == 8 ? row[x] : (x & 1) == 0 ? row[x >> 1] >> 4 : row[x >> 1] & 0x0F;
      if (index >= p.TableEntries) return false;
      const DWORD entry = p.Table[index];
      to[0] = static_cast<BYTE>(entry);
      to[1] = static_cast<BYTE>(entry >> 8);
      to[2] = static_cast<BYTE>(entry >> 16);
    }
  }
  return true;
}
