// The tone curves of group 103: 256 output values indexed by the input value. Index 4000 is
// a block of six curves (four identities, then two shaped curves), indexes 4500 and 4501 are
// one curve each. A shaped curve is written down only at its anchor inputs; the values in
// between are filled at compile time by monotone piecewise-cubic Hermite interpolation, so
// the curve is smooth, never falls and passes through every anchor exactly.
#pragma once

#include <array>
#include <cstddef>

#include "platform/base/types.h"

namespace screening {

inline constexpr std::size_t kCurveLength = 256;
inline constexpr std::size_t kCurveBlockCount = 6;  // curves in the block of index 4000
inline constexpr std::size_t kCurveAnchorCount = 17;

using ToneCurve = std::array<BYTE, kCurveLength>;

// Inputs at which every shaped curve is anchored.
inline constexpr std::array<int, kCurveAnchorCount> kCurveAnchorInputs{
    0, 1, 2, 3, 8, 16, 32, 48, 64, 96, 128, 160, 192, 224, 240, 254, 255};

using CurveAnchors = std::array<int, kCurveAnchorCount>;  // outputs at kCurveAnchorInputs

inline constexpr CurveAnchors kCurve4000Shape4{0, 0, 0, 1, 8, 11, 23, 36, 48, 74, 99, 129, 169, 215, 234, 251, 255};
inline constexpr CurveAnchors kCurve4000Shape5{0, 0, 0, 1, 9, 18, 31, 37, 43, 54, 72, 90, 112, 151, 171, 238, 255};
inline constexpr CurveAnchors kCurve4500{0, 0, 0, 1, 7, 11, 18, 27, 39, 63, 88, 109, 158, 206, 226, 241, 255};
inline constexpr CurveAnchors kCurve4501{0, 0, 0, 1, 7, 12, 27, 32, 40, 52, 65, 78, 98, 129, 159, 216, 255};

constexpr int SignOf(double v) { return (v > 0) - (v < 0); }

// End slope of a monotone cubic from the two outermost secants (three-point formula,
// limited so that the end interval stays monotone).
constexpr double EndSlope(double h0, double h1, double d0, double d1) {
  const double m = ((2 * h0 + h1) * d0 - h0 * d1) / (h0 + h1);
  if (SignOf(m) != SignOf(d0)) return 0;
  if (SignOf(d0) != SignOf(d1) && (m > 0 ? m : -m) > 3 * (d0 > 0 ? d0 : -d0)) return 3 * d0;
  return m;
}

// Fills a full curve through its anchors. Interior slopes are the weighted harmonic mean of
// the neighbouring secants (zero where the curve is flat on either side), which keeps every
// interval monotone; each value is rounded to the nearest integer and kept between the
// interval's anchors.
constexpr ToneCurve InterpolateToneCurve(const CurveAnchors& out) {
  constexpr std::size_t n = kCurveAnchorCount;
  const auto& in = kCurveAnchorInputs;
  if (in[0] != 0 || in[n - 1] != static_cast<int>(kCurveLength - 1)) throw "anchors must span the inputs";
  double h[n - 1]{};
  double d[n - 1]{};
  for (std::size_t k = 0; k + 1 < n; ++k) {
    if (in[k + 1] <= in[k]) throw "anchor inputs must rise";
    if (out[k + 1] < out[k] || out[k] < 0 || out[k + 1] > 255) throw "anchor outputs must not fall";
    h[k] = in[k + 1] - in[k];
    d[k] = (out[k + 1] - out[k]) / h[k];
  }
  double m[n]{};
  m[0] = EndSlope(h[0], h[1], d[0], d[1]);
  m[n - 1] = EndSlope(h[n - 2], h[n - 3], d[n - 2], d[n - 3]);
  for (std::size_t k = 1; k + 1 < n; ++k) {
    if (SignOf(d[k - 1]) * SignOf(d[k]) <= 0) continue;
    const double w1 = 2 * h[k] + h[k - 1];
    const double w2 = h[k] + 2 * h[k - 1];
    m[k] = (w1 + w2) / (w1 / d[k - 1] + w2 / d[k]);
  }
  ToneCurve curve{};
  for (std::size_t k = 0; k + 1 < n; ++k) {
    for (int x = in[k]; x <= in[k + 1]; ++x) {
      const double t = (x - in[k]) / h[k];
      const double t2 = t * t;
      const double t3 = t2 * t;
      const double y = (2 * t3 - 3 * t2 + 1) * out[k] + (t3 - 2 * t2 + t) * h[k] * m[k] +
                       (-2 * t3 + 3 * t2) * out[k + 1] + (t3 - t2) * h[k] * m[k + 1];
      int v = static_cast<int>(y + 0.5);
      if (v < out[k]) v = out[k];
      if (v > out[k + 1]) v = out[k + 1];
      curve[static_cast<std::size_t>(x)] = static_cast<BYTE>(v);
    }
  }
  return curve;
}

constexpr ToneCurve IdentityToneCurve() {
  ToneCurve curve{};
  for (std::size_t i = 0; i < kCurveLength; ++i) curve[i] = static_cast<BYTE>(i);
  return curve;
}

// The block of index 4000: curves 0 to 3 are the identity, curves 4 and 5 are shaped.
constexpr std::array<BYTE, kCurveBlockCount * kCurveLength> BuildToneCurveBlock4000() {
  std::array<BYTE, kCurveBlockCount * kCurveLength> bytes{};
  const ToneCurve curves[kCurveBlockCount] = {IdentityToneCurve(), IdentityToneCurve(),
                                              IdentityToneCurve(), IdentityToneCurve(),
                                              InterpolateToneCurve(kCurve4000Shape4),
                                              InterpolateToneCurve(kCurve4000Shape5)};
  for (std::size_t c = 0; c < kCurveBlockCount; ++c)
    for (std::size_t i = 0; i < kCurveLength; ++i) bytes[c * kCurveLength + i] = curves[c][i];
  return bytes;
}

inline constexpr std::array<BYTE, kCurveBlockCount * kCurveLength> kToneCurves4000 = BuildToneCurveBlock4000();
inline constexpr ToneCurve kToneCurve4500 = InterpolateToneCurve(kCurve4500);
inline constexpr ToneCurve kToneCurve4501 = InterpolateToneCurve(kCurve4501);
static_assert(kToneCurves4000.size() == 1536);

}  // namespace screening
