// The built-in profiles: an RGB-to-XYZ matrix per white point and a tone curve per tone value,
// without adaptation; the tinted whites of 5000 K and 9300 K are pulled back to white near the
// top corner of the cube.
#include <cstdint>
#include <cstring>

#include "graphics/imaging/color_maths.h"
#include "graphics/imaging/profile_lut.h"
#include "graphics/imaging/tone_curves.h"

namespace {
struct BuiltInWhite {
  int Kelvin;
  Matrix3 RgbToXyz;  // rows X, Y, Z; columns red, green, blue
  bool PullNearWhite;
};

constexpr BuiltInWhite kBuiltInWhites[] = {
    {5000, {{{0.4333, 0.3961, 0.1349}, {0.2178, 0.7125, 0.0697}, {0.0147, 0.0911, 0.7236}}}, true},
    {6500, {{{0.4124, 0.3576, 0.1805}, {0.2126, 0.7152, 0.0722}, {0.0193, 0.1192, 0.9505}}}, false},
    {9300, {{{0.3918, 0.3208, 0.2368}, {0.2074, 0.7177, 0.0749}, {0.0249, 0.1534, 1.2275}}}, true},
};
constexpr int kBuiltInTones[] = {10, 14, 18, 22, 26};

constexpr LONG kNearWhiteLow = 0xEFFF;
constexpr LONG kNearWhiteHigh = 0xFFFF;

// The outputs at the seven corners of the cube between 0xEFFF and 0xFFFF (r slowest); the
// white corner gives white.
void FillNearWhiteTable(ProfileLut& lut) {
  for (int corner = 0; corner < 8; ++corner) {
    const std::int64_t in[3] = {corner & 4 ? kNearWhiteHigh : kNearWhiteLow, corner & 2 ? kNearWhiteHigh : kNearWhiteLow,
                                corner & 1 ? kNearWhiteHigh : kNearWhiteLow};
    for (int row = 0; row < 3; ++row) {
      const LONG* m = lut.Matrix + row * 3;
      lut.NearWhite[corner * 3 + row] =
          corner == 7 ? kNearWhiteHigh
                      : static_cast<LONG>(((m[0] >> 2) * in[0] + (m[1] >> 2) * in[1] + (m[2] >> 2) * in[2]) >> 14);
    }
  }
  lut.NearWhiteInUse = 1;
}
}  // namespace

int BuildBuiltInProfile(ProfileLut& lut, int whitePointKelvin, int tone) {
  ReleaseProfileLut(lut);
  const BuiltInWhite* white = nullptr;
  for (const BuiltInWhite& w : kBuiltInWhites)
    if (w.Kelvin == whitePointKelvin) white = &w;
  bool knownTone = false;
  for (int t : kBuiltInTones) knownTone = knownTone || t == tone;
  if (white == nullptr || !knownTone) return kIccNoObject;

  BuildGammaCurve(tone / 10.0, lut.InputCurves[0]);
  std::memcpy(lut.InputCurves[1], lut.InputCurves[0], sizeof lut.InputCurves[0]);
  std::memcpy(lut.InputCurves[2], lut.InputCurves[0], sizeof lut.InputCurves[0]);
  ToFixed16(MultiplyMatrix3(kXyzToLinearSrgb, white->RgbToXyz), lut.Matrix);
  if (white->PullNearWhite) FillNearWhiteTable(lut);
  lut.State = kLutMatrixModel;
  return kIccOk;
}
