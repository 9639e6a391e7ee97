// The test profiles of the colour engine: an sRGB display profile with any TRC and white, and
// scanner profiles whose 'A2B0' holds the same colours as XYZ or Lab.
#pragma once

#include <array>
#include <cmath>

#include "tests/graphics/imaging/icc_writer.h"

// The colorants of sRGB adapted to D50 (as profiles store them) and the D50 white.
inline constexpr double kSrgbColorants[3][3] = {{0.4361, 0.2225, 0.0139}, {0.3851, 0.7169, 0.0971}, {0.1431, 0.0606, 0.7141}};
inline constexpr double kD50[3] = {0.9642, 1.0, 0.8249};

// A display profile with the sRGB colorants, white and three TRC tags.
inline IccBytes MatrixProfile(const IccBytes& trc, const double white[3] = kD50, const char* profileClass = "mntr") {
  return MakeIccProfile(profileClass, "RGB ", "XYZ ",
                        {{"rXYZ", XyzTag(kSrgbColorants[0][0], kSrgbColorants[0][1], kSrgbColorants[0][2])},
                         {"gXYZ", XyzTag(kSrgbColorants[1][0], kSrgbColorants[1][1], kSrgbColorants[1][2])},
                         {"bXYZ", XyzTag(kSrgbColorants[2][0], kSrgbColorants[2][1], kSrgbColorants[2][2])},
                         {"wtpt", XyzTag(white[0], white[1], white[2])},
                         {"rTRC", trc},
                         {"gTRC", trc},
                         {"bTRC", trc}});
}

// The XYZ (D50) of linear red, green and blue through the sRGB colorants.
inline std::array<double, 3> SrgbToXyz(double r, double g, double b) {
  std::array<double, 3> xyz{};
  for (int i = 0; i < 3; ++i) xyz[i] = r * kSrgbColorants[0][i] + g * kSrgbColorants[1][i] + b * kSrgbColorants[2][i];
  return xyz;
}

// CIE Lab of an XYZ under D50 (standard formulas).
inline std::array<double, 3> XyzToLab(const std::array<double, 3>& xyz) {
  auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
  const double fx = f(xyz[0] / kD50[0]), fy = f(xyz[1] / kD50[1]), fz = f(xyz[2] / kD50[2]);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// A scanner profile whose 'A2B0' linearises with a gamma 2.2 input table and holds the sRGB
// colorants' XYZ (u1Fixed15) or legacy 16-bit Lab in its grid.
inline IccBytes LutProfile(bool wide, bool lab, int grid = 17, std::size_t inputCount = 256, std::size_t outputCount = 256) {
  const double xyzFull = 65535.0 / 32768;  // the 16-bit full scale of u1Fixed15
  GridFunction values = [lab, xyzFull](double r, double g, double b) {
    const auto xyz = SrgbToXyz(r, g, b);
    if (!lab) return std::array<double, 3>{xyz[0] / xyzFull, xyz[1] / xyzFull, xyz[2] / xyzFull};
    const auto l = XyzToLab(xyz);
    return std::array<double, 3>{l[0] * 652.8 / 65535, (l[1] + 128) * 256 / 65535, (l[2] + 128) * 256 / 65535};
  };
  return MakeIccProfile("scnr", "RGB ", lab ? "Lab " : "XYZ ",
                        {{"wtpt", XyzTag(kD50[0], kD50[1], kD50[2])},
                         {"A2B0", LutTag(wide, grid, inputCount, outputCount, [](double x) { return std::pow(x, 2.2); },
                                         values, [](double x) { return x; })}});
}
