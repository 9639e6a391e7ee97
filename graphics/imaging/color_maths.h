// Colour arithmetic of the colour engine, in double precision: 3 x 3 matrices, the fixed
// matrices and whites, CIE Lab to XYZ, the adaptation of a profile white to sRGB and the
// 12-bit linear to 8-bit sRGB output table.
#pragma once

#include <array>

#include "platform/base/types.h"

using Matrix3 = std::array<std::array<double, 3>, 3>;  // [row][column]

struct Xyz {
  double X, Y, Z;
};

// XYZ to linear sRGB.
inline constexpr Matrix3 kXyzToLinearSrgb{{{3.241, -1.5374, -0.4986}, {-0.9692, 1.876, 0.0416}, {0.0556, -0.204, 1.057}}};
// The primaries of the white-point adaptation; each column is the chromaticity x, y, z of one primary.
inline constexpr Matrix3 kAdaptationPrimaries{
    {{0.7465, -5.9428, 0.1748}, {0.2535, 6.914, 0.0044}, {-5.551115123125783e-17, 0.02880000000000038, 0.8208}}};
// The chromaticity of the sRGB white the adaptation aims at.
inline constexpr double kD65x = 0.3127035830618893;
inline constexpr double kD65y = 0.32902313032606195;
// The white of the profile connection space.
inline constexpr Xyz kD50White{0.9642, 1.0, 0.8294};

// The inverse of m; false (and out untouched) for a zero determinant.
bool InvertMatrix3(const Matrix3& m, Matrix3& out);
Matrix3 MultiplyMatrix3(const Matrix3& a, const Matrix3& b);

// CIE L*a*b* to XYZ relative to white, with the engine's constants (903.29, 7.787, 0.206893).
Xyz LabToXyz(double L, double a, double b, const Xyz& white);

// The matrix from XYZ under the given white to linear sRGB: a scaling in the adaptation
// primaries' space that takes the white to the sRGB white, then XYZ to linear sRGB. False when
// the white or the scaling is degenerate (zero sums, no finite result).
bool AdaptToSrgb(const Xyz& white, Matrix3& out);

// 4096 entries: entry i is round(255 x f(i / 4095)), f the sRGB transfer function.
const BYTE* SrgbOutputTable();

// The 16.16 fixed-point form of m (truncated), row-major; false when an entry does not fit in
// 32 bits or is not finite.
bool ToFixed16(const Matrix3& m, LONG out[9]);
