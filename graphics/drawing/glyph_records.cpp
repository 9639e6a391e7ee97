#include "graphics/drawing/glyph_records.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr BYTE kBitmapPadByte = 0x11;
constexpr BYTE kBitmapDepthByte = 1;
constexpr float kBoldStep = 600.0f;       // resolution x points x 100 / this gives the stroke
constexpr float kBoldKnee = 2900.0f;      // past this the strength grows 600 times slower
constexpr float kBoldCeiling = 248.0f;    // strengths from here on are capped ...
constexpr BYTE kBoldCapped = 247;         // ... at this
constexpr BYTE kBoldBias = 8;
constexpr float kDivisorOldWithSetting = 360.0f, kDivisorOldWithout = 485.0f, kDivisorNew = 640.0f;
constexpr DWORD kLevelXpOrLater = 3;

void PutLE16(std::vector<BYTE>& b, std::size_t at, WORD v) {
  b[at] = static_cast<BYTE>(v);
  b[at + 1] = static_cast<BYTE>(v >> 8);
}
void PutLE32(std::vector<BYTE>& b, std::size_t at, DWORD v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<BYTE>(v >> (8 * i));
}
void PutF32(std::vector<BYTE>& b, std::size_t at, float v) {
  DWORD bits;
  std::memcpy(&bits, &v, sizeof bits);
  PutLE32(b, at, bits);
}

}  // namespace

// The smallest whole r with r * r >= a * a + b * b, in 64 bits so that large rotated fonts
// neither overflow nor loop for long.
LONG IntegerHypot(LONG a, LONG b) {
  const std::int64_t x = std::llabs(static_cast<std::int64_t>(a)), y = std::llabs(static_cast<std::int64_t>(b));
  if (x == 0) return static_cast<LONG>(y);
  if (y == 0) return static_cast<LONG>(x);
  const std::int64_t square = x * x + y * y;
  auto r = static_cast<std::int64_t>(std::sqrt(static_cast<double>(square)));
  while (r * r < square) ++r;
  while (r > 0 && (r - 1) * (r - 1) >= square) --r;
  return static_cast<LONG>(r);
}

BYTE BoldStrengthFor(DWORD strengthSetting, float emPoints, SHORT resolution, DWORD osLevel) {
  float divisor;
  if (osLevel >= kLevelXpOrLater) {
    if (strengthSetting == 0) return 0;
    divisor = kDivisorNew;
  } else {
    divisor = strengthSetting != 0 ? kDivisorOldWithSetting : kDivisorOldWithout;
  }
  const float x = static_cast<float>(resolution) * (emPoints * 100.0f) / kBoldStep;
  BYTE v;
  if (x > kBoldKnee) {
    const float w = (x - kBoldKnee) / kBoldStep + kBoldKnee / divisor;
    v = w >= kBoldCeiling ? kBoldCapped : static_cast<BYTE>(w);
  } else {
    const float w = x / divisor + 0.5f;
    v = w >= kBoldCeiling ? kBoldCapped : w <= 0 ? 0 : static_cast<BYTE>(w);
  }
  return v != 0 ? static_cast<BYTE>(v + kBoldBias) : 0;
}

std::vector<BYTE> BuildOutlineGlyphRecord(const OutlineGlyphHead& head, const GlyphOutline& outline) {
  const std::size_t points = outline.points.size(), ops = outline.ops.size();
  if (points > 0xFFFF || ops > 0xFFFF) return {};
  const std::size_t size = (((ops + 1) >> 1) + points * 8 + 19) & ~std::size_t{3};
  std::vector<BYTE> record(size, 0);
  record[0] = kOutlineGlyphKind;
  record[1] = head.bold;
  record[3] = head.italic;
  PutLE32(record, 4, static_cast<DWORD>(size));
  PutF32(record, 8, head.emPoints);
  PutLE16(record, 12, static_cast<WORD>(points));
  PutLE16(record, 14, static_cast<WORD>(ops));
  std::size_t at = kOutlineGlyphHeadBytes;
  for (const GlyphPoint& p : outline.points) {
    PutF32(record, at, p.x);
    PutF32(record, at + 4, p.y);
    at += 8;
  }
  for (std::size_t i = 0; i < ops; ++i)
    record[at + i / 2] |= static_cast<BYTE>((outline.ops[i] & 0x0F) << (i % 2 == 0 ? 4 : 0));
  return record;
}

std::vector<BYTE> BuildBitmapGlyphRecord(float originX, float originY, LONG width, LONG rows, const BYTE* bits) {
  if (width <= 0 || rows <= 0 || rows > 0xFFFF || width > 0xFFFF || bits == nullptr) return {};
  const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) >> 3;
  if (rowBytes > kMaxBitmapGlyphRowBytes) return {};
  const std::size_t data = rowBytes * static_cast<std::size_t>(rows);
  const std::size_t size = (data + 25) & ~std::size_t{3};
  std::vector<BYTE> record(size, kBitmapPadByte);
  PutLE32(record, 0, kBitmapGlyphKind);
  PutLE32(record, 4, static_cast<DWORD>(size));
  PutF32(record, 8, originX);
  PutF32(record, 12, originY);
  PutLE16(record, 16, static_cast<WORD>(rows));
  PutLE16(record, 18, static_cast<WORD>(width));
  record[20] = static_cast<BYTE>(rowBytes);
  record[21] = kBitmapDepthByte;
  std::memcpy(record.data() + kBitmapGlyphHeadBytes, bits, data);
  return record;
}
