#include "graphics/imaging/color_maths.h"

#include <cmath>
#include <cstdint>

bool InvertMatrix3(const Matrix3& m, Matrix3& out) {
  const double c00 = m[1][1] * m[2][2] - m[1][2] * m[2][1];
  const double c01 = m[1][2] * m[2][0] - m[1][0] * m[2][2];
  const double c02 = m[1][0] * m[2][1] - m[1][1] * m[2][0];
  const double det = m[0][0] * c00 + m[0][1] * c01 + m[0][2] * c02;
  if (det == 0.0 || !std::isfinite(det)) return false;
  Matrix3 r{};
  r[0][0] = c00 / det;
  r[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
  r[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
  r[1][0] = c01 / det;
  r[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
  r[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
  r[2][0] = c02 / det;
  r[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
  r[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
  out = r;
  return true;
}

Matrix3 MultiplyMatrix3(const Matrix3& a, const Matrix3& b) {
  Matrix3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
  return r;
}

Xyz LabToXyz(double L, double a, double b, const Xyz& white) {
  const double ty = L >= 8 ? (L + 16) / 116 : L / 903.29 * 7.787 + 16.0 / 116;
  const double tx = ty + a / 500;
  const double tz = ty - b / 200;
  auto f = [](double t) { return t > 0.206893 ? t * t * t : (t - 16.0 / 116) / 7.787; };
  const double yr = L >= 8 ? std::pow((L + 16) / 116, 3) : L / 903.29;
  return {white.X * f(tx), white.Y * yr, white.Z * f(tz)};
}

bool AdaptToSrgb(const Xyz& white, Matrix3& out) {
  const double sum = white.X + white.Y + white.Z;
  if (!(white.Y > 0) || !std::isfinite(sum) || sum == 0) return false;
  const double x = white.X / sum, y = white.Y / sum;
  Matrix3 inverse{};
  if (!InvertMatrix3(kAdaptationPrimaries, inverse)) return false;
  for (auto& a : inverse) {
    const double den = (a[0] - a[2]) * x + (a[1] - a[2]) * y + a[2];
    if (den == 0) return false;
    const double s = ((a[1] - a[2]) * kD65y + (a[0] - a[2]) * kD65x + a[2]) / den * y / kD65y;
    for (double& v : a) v *= s;
  }
  out = MultiplyMatrix3(kXyzToLinearSrgb, MultiplyMatrix3(kAdaptationPrimaries, inverse));
  for (const auto& row : out)
    for (double v : row)
      if (!std::isfinite(v)) return false;
  return true;
}

namespace {
struct OutputTable {
  BYTE entries[4096];
  OutputTable() {
    for (int i = 0; i < 4096; ++i) {
      const double x = i / 4095.0;
      const double f = x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1 / 2.4) - 0.055;
      entries[i] = static_cast<BYTE>(std::lround(255 * f));
    }
  }
};
}  // namespace

const BYTE* SrgbOutputTable() {
  static const OutputTable table;
  return table.entries;
}

bool ToFixed16(const Matrix3& m, LONG out[9]) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const double v = m[i][j] * 65536.0;
      if (!std::isfinite(v) || v >= 2147483648.0 || v <= -2147483649.0) return false;
      out[i * 3 + j] = static_cast<LONG>(v);
    }
  return true;
}
