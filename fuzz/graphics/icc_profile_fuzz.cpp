// Fuzzes the colour engine's profile reader: any bytes are read as an ICC profile; a profile
// that loads converts every grey level and the corners of the cube, and an object that failed
// is left copying pixels. Nothing may be read outside the bytes given.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "graphics/imaging/icc_profile_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ProfileLut lut{};
  const int rc = ReadIccProfileBytes(lut, data, size);
  BYTE pixels[256 * 3 + 8 * 3];
  for (int i = 0; i < 256; ++i) std::memset(pixels + 3 * i, i, 3);
  for (int c = 0; c < 8; ++c)
    for (int k = 0; k < 3; ++k) pixels[768 + 3 * c + k] = (c >> k) & 1 ? 255 : 0;
  BYTE out[sizeof pixels];
  ConvertRgbRow(&lut, pixels, out, sizeof pixels / 3);
  if (rc != kIccOk && (lut.State != kLutUnusable || std::memcmp(pixels, out, sizeof pixels) != 0)) std::abort();
  if (rc == kIccOk && lut.State != kLutMatrixModel && lut.State != kLutTableModel) std::abort();
  ReleaseProfileLut(lut);
  return 0;
}
