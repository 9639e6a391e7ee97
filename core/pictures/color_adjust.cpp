// Colour adjustment matrix and grey conversion.
#include "core/pictures/color_adjust.h"
#include "platform/base/types.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Luminance weights of red, green and blue, and their complements.
constexpr double kWeight[3] = {0.3, 0.59, 0.11};
constexpr double kWeightRest[3] = {0.7, 0.41, 0.89};

LONG ToFixed(double v) { return static_cast<LONG>(v * 65536.0); }  // truncates towards zero

}  // namespace

int BuildColorAdjustMatrix(ColorAdjustMatrix* matrix, int brightness, int saturation, int contrast) {
  if (matrix == nullptr) return -1;
  brightness = std::clamp(brightness, -100, 100);
  saturation = std::clamp(saturation, -100, 100);
  contrast = std::clamp(contrast, -100, 100);
  const double k = 1 + 0.003 * contrast;
  const double s = saturation >= 0 ? 1 + 0.01 * saturation : 1 + 0.005 * saturation;
  const double offset = 255 * (1 - k) + 0.5 * brightness;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      // Diagonal: w*K + (1 - w)*S; elsewhere w*(K - S), w the input column's weight.
      const double f = row == col ? kWeight[col] * k + kWeightRest[col] * s : kWeight[col] * (k - s);
      matrix->factor[row][col] = ToFixed(f);
    }
    matrix->offset[row] = ToFixed(offset);
  }
  return 0;
}

void ApplyColorMatrix(const ColorAdjustMatrix* matrix, const BYTE* source, BYTE* destination, int count) {
  if (source == nullptr || destination == nullptr || count <= 0) return;
  const std::size_t bytes = static_cast<std::size_t>(count) * 3;
  if (matrix == nullptr) {
    std::memmove(destination, source, bytes);
    return;
  }
  // Factors pre-shifted by two; the offset's integer part is its signed high 16 bits.
  std::int64_t f[3][3];
  std::int64_t add[3];
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) f[row][col] = matrix->factor[row][col] >> 2;
    add[row] = matrix->offset[row] >> 16;
  }
  for (std::size_t i = 0; i < bytes; i += 3) {
    const std::int64_t in[3] = {source[i + 2] * 257, source[i + 1] * 257, source[i] * 257};  // R, G, B
    BYTE out[3];
    for (int row = 0; row < 3; ++row) {
      const std::int64_t v = ((f[row][0] * in[0] + f[row][1] * in[1] + f[row][2] * in[2]) >> 22) + add[row];
      out[row] = static_cast<BYTE>(std::clamp<std::int64_t>(v, 0, 255));
    }
    destination[i] = out[2];
    destination[i + 1] = out[1];
    destination[i + 2] = out[0];
  }
}

void ConvertRgbToGray(const BYTE* source, BYTE* destination, int pixelsPerRow, int rows) {
  if (source == nullptr || destination == nullptr || pixelsPerRow <= 0 || rows <= 0) return;
  const std::size_t pixels = static_cast<std::size_t>(pixelsPerRow) * static_cast<std::size_t>(rows);
  for (std::size_t p = 0; p < pixels; ++p) {
    const BYTE* px = source + p * 3;
    if (px[0] == px[1] && px[1] == px[2]) {
      destination[p] = px[0];
    } else {
      destination[p] = static_cast<BYTE>(((px[0] + px[2]) * 85 + px[1] * 86) >> 8);
    }
  }
}
