#include "graphics/imaging/pixel_ops.h"

#include <cstdint>
#include <cstring>

void RowsToInvertedGrey(const BYTE* src, BYTE* dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, src += 3)
    dst[i] = static_cast<BYTE>(255 - ((src[1] * 151 + src[0] * 28 + src[2] * 77) >> 8));
}

void WhiteOrBlack(const BYTE* src, BYTE* dst, std::size_t pixels) {
  for (std::size_t i = 0; i < pixels; ++i, src += 3, dst += 3) {
    const BYTE v = src[0] == 255 && src[1] == 255 && src[2] == 255 ? 255 : 0;
    dst[0] = dst[1] = dst[2] = v;
  }
}

void InvertBytes(const BYTE* src, BYTE* dst, std::size_t bytes) {
  for (std::size_t i = 0; i < bytes; ++i) dst[i] = static_cast<BYTE>(255 - src[i]);
}

GreyAdjustment BuildGreyAdjustment(int a, int c) {
  auto clamp = [](int v) { return v < -99 ? -99 : v > 100 ? 100 : v; };
  a = clamp(a);
  c = clamp(c);
  const double slope = 1 + 0.003 * c;
  return {static_cast<LONG>(slope * 65536), static_cast<LONG>((0.5 * a + (1 - slope) * 255) * 65536)};
}

void ApplyGreyAdjustment(const GreyAdjustment* adjustment, const BYTE* src, BYTE* dst, std::size_t bytes) {
  if (adjustment == nullptr) {
    if (src != dst) std::memmove(dst, src, bytes);
    return;
  }
  const std::int64_t slope = adjustment->Slope >> 2;
  const std::int64_t offset = adjustment->Offset >> 16;
  for (std::size_t i = 0; i < bytes; ++i) {
    const std::int64_t v = ((src[i] * 257 * slope) >> 22) + offset;
    dst[i] = static_cast<BYTE>(v < 0 ? 0 : v > 255 ? 255 : v);
  }
}
