#include "graphics/imaging/tone_curves.h"

#include <cmath>
#include <cstdint>

namespace {
unsigned ReadBe16(const BYTE* p) { return (unsigned{p[0]} << 8) | p[1]; }
std::uint32_t ReadBe32(const BYTE* p) { return (std::uint32_t{ReadBe16(p)} << 16) | ReadBe16(p + 2); }

// Linear resampling in exact integer arithmetic; value(k) gives source entry k.
template <typename Value>
void Resample(Value value, std::size_t n, WORD* out, std::size_t outCount) {
  const std::uint64_t den = outCount - 1;
  for (std::size_t i = 0; i < outCount; ++i) {
    const std::uint64_t pos = i * static_cast<std::uint64_t>(n - 1);
    const std::size_t k = static_cast<std::size_t>(pos / den);
    const std::uint64_t frac = pos % den;
    if (frac == 0) {
      out[i] = static_cast<WORD>(value(k));
      continue;
    }
    const std::uint64_t v0 = value(k), v1 = value(k + 1);
    out[i] = static_cast<WORD>((v0 * (den - frac) + v1 * frac) / den);
  }
}
}  // namespace

void BuildGammaCurve(double gamma, WORD out[256]) {
  for (int i = 0; i < 256; ++i) out[i] = static_cast<WORD>(std::lround(65535.0 * std::pow(i / 255.0, gamma)));
}

bool CurveFromTrc(const BYTE* tag, std::size_t size, WORD out[256]) {
  if (size < 12 || ReadBe32(tag) != 0x63757276)  // 'curv'
    return false;
  const std::uint32_t n = ReadBe32(tag + 8);
  if (n > (size - 12) / 2) return false;
  const BYTE* data = tag + 12;
  if (n == 0) {
    for (int i = 0; i < 256; ++i) out[i] = static_cast<WORD>(i * 257);
  } else if (n == 1) {
    const double gamma = ReadBe16(data) / 256.0;
    for (int i = 0; i < 256; ++i) {
      const double v = std::floor(65535.0 * std::pow(i / 255.0, gamma));
      out[i] = static_cast<WORD>(v < 0 ? 0 : v > 65535 ? 65535 : v);
    }
  } else if (n == 256) {
    for (int i = 0; i < 256; ++i) out[i] = static_cast<WORD>(ReadBe16(data + 2 * i));
  } else {
    ResampleCurve16(data, n, out, 256);
  }
  return true;
}

void ResampleCurve16(const BYTE* bigEndian, std::size_t n, WORD* out, std::size_t outCount) {
  Resample([bigEndian](std::size_t k) { return ReadBe16(bigEndian + 2 * k); }, n, out, outCount);
}

void ResampleCurve8(const BYTE* values, std::size_t n, WORD* out, std::size_t outCount) {
  Resample([values](std::size_t k) { return unsigned{values[k]} * 256; }, n, out, outCount);
}
