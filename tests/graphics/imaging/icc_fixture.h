// Fixture of the colour engine's tests: profiles written into the sandbox and loaded by path,
// ProfileLut objects released at the end, conversions of pixel lists, and Little CMS as the
// oracle reading the same profile bytes.
#pragma once

#include <lcms2.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "graphics/imaging/profile_lut.h"
#include "tests/graphics/imaging/icc_test_profiles.h"
#include "tests/support/sandbox_test.h"

using Rgb = std::array<int, 3>;  // red, green, blue

// Converts red-green-blue pixels through the object (the engine's rows are blue, green, red).
inline std::vector<Rgb> ConvertPixels(const ProfileLut* lut, const std::vector<Rgb>& pixels) {
  std::vector<BYTE> row;
  for (const Rgb& p : pixels) row.insert(row.end(), {BYTE(p[2]), BYTE(p[1]), BYTE(p[0])});
  ConvertRgbRow(lut, row.data(), row.data(), pixels.size());
  std::vector<Rgb> out;
  for (std::size_t i = 0; i < pixels.size(); ++i) out.push_back({row[3 * i + 2], row[3 * i + 1], row[3 * i]});
  return out;
}

// Every level of one channel (0 red, 1 green, 2 blue, 3 grey), and a cube of 9 levels a side.
inline std::vector<Rgb> Ramp(int channel) {
  std::vector<Rgb> v;
  for (int i = 0; i < 256; ++i) v.push_back(channel == 3 ? Rgb{i, i, i} : Rgb{channel == 0 ? i : 0, channel == 1 ? i : 0, channel == 2 ? i : 0});
  return v;
}
inline std::vector<Rgb> SampleCube() {
  std::vector<Rgb> v;
  for (int r = 0; r <= 256; r += 32)
    for (int g = 0; g <= 256; g += 32)
      for (int b = 0; b <= 256; b += 32) v.push_back({std::min(r, 255), std::min(g, 255), std::min(b, 255)});
  return v;
}

inline int MaxDifference(const std::vector<Rgb>& a, const std::vector<Rgb>& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    for (int c = 0; c < 3; ++c) worst = std::max(worst, std::abs(a[i][c] - b[i][c]));
  return worst;
}

// Little CMS: the same pixels from a profile's bytes to sRGB, relative colorimetric.
inline std::vector<Rgb> LcmsToSrgb(cmsHPROFILE input, const std::vector<Rgb>& pixels) {
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHTRANSFORM t = cmsCreateTransform(input, TYPE_RGB_8, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
  std::vector<Rgb> out;
  if (t != nullptr) {
    std::vector<std::uint8_t> in, res(pixels.size() * 3);
    for (const Rgb& p : pixels) in.insert(in.end(), {std::uint8_t(p[0]), std::uint8_t(p[1]), std::uint8_t(p[2])});
    cmsDoTransform(t, in.data(), res.data(), static_cast<cmsUInt32Number>(pixels.size()));
    for (std::size_t i = 0; i < pixels.size(); ++i) out.push_back({res[3 * i], res[3 * i + 1], res[3 * i + 2]});
    cmsDeleteTransform(t);
  }
  cmsCloseProfile(srgb);
  return out;
}
inline std::vector<Rgb> LcmsToSrgb(const IccBytes& profile, const std::vector<Rgb>& pixels) {
  cmsHPROFILE p = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
  std::vector<Rgb> out = p != nullptr ? LcmsToSrgb(p, pixels) : std::vector<Rgb>{};
  if (p != nullptr) cmsCloseProfile(p);
  return out;
}

class IccTest : public SandboxTest {
 protected:
  void TearDown() override {
    for (auto& lut : luts_) ReleaseProfileLut(*lut);
    luts_.clear();
    SandboxTest::TearDown();
  }

  // A fresh object, released at the end of the test.
  ProfileLut* NewLut() {
    luts_.push_back(std::make_unique<ProfileLut>());
    return luts_.back().get();
  }

  // Writes the bytes to C:\profiles\<name> and loads them; the answer of the load.
  int Load(ProfileLut* lut, const IccBytes& bytes, const char* name = "test.icc") {
    std::filesystem::path host = Host(u"C:\\profiles");
    std::filesystem::create_directories(host);
    std::ofstream(host / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return LoadIccProfile(lut, (std::string("C:\\profiles\\") + name).c_str());
  }

  std::vector<std::unique_ptr<ProfileLut>> luts_;
};

