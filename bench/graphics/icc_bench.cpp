// The colour engine converting 1 Mpixel of RGB rows (1024 rows of 1024 pixels, blue-green-red)
// through a display (matrix) profile and a scanner (table) profile, against Little CMS
// converting the same rows through the same profile bytes to sRGB in the same run. The ratios
// printed at the end are engine time over Little CMS time (below 1: the engine is faster).
#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cstdio>
#include <vector>

#include "bench/ratio_reporter.h"
#include "graphics/imaging/icc_profile_reader.h"
#include "tests/graphics/imaging/icc_test_profiles.h"

namespace {
constexpr int kRowPixels = 1024;
constexpr int kRows = 1024;

// A picture with every kind of pixel: gradients in each channel and their mixtures.
std::vector<BYTE> Picture() {
  std::vector<BYTE> p(static_cast<std::size_t>(kRowPixels) * kRows * 3);
  std::uint32_t seed = 12345;
  for (std::size_t i = 0; i < p.size(); ++i) {
    seed = seed * 1103515245 + 12345;
    p[i] = static_cast<BYTE>((i / 3 % kRowPixels) / 4 + (seed >> 24) % 64);
  }
  return p;
}

IccBytes ProfileOf(int which) { return which == 0 ? MatrixProfile(GammaTag(0x0233)) : LutProfile(true, false); }

void Engine(benchmark::State& state) {
  const IccBytes profile = ProfileOf(static_cast<int>(state.range(0)));
  ProfileLut lut{};
  if (ReadIccProfileBytes(lut, profile.data(), profile.size()) != kIccOk) state.SkipWithError("profile refused");
  const std::vector<BYTE> src = Picture();
  std::vector<BYTE> dst(src.size());
  for (auto _ : state) {
    for (int row = 0; row < kRows; ++row)
      ConvertRgbRow(&lut, src.data() + row * kRowPixels * 3, dst.data() + row * kRowPixels * 3, kRowPixels);
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetItemsProcessed(state.iterations() * kRowPixels * kRows);
  ReleaseProfileLut(lut);
}

void LittleCms(benchmark::State& state) {
  const IccBytes profile = ProfileOf(static_cast<int>(state.range(0)));
  cmsHPROFILE in = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHTRANSFORM t = cmsCreateTransform(in, TYPE_BGR_8, srgb, TYPE_BGR_8, INTENT_RELATIVE_COLORIMETRIC, 0);
  if (t == nullptr) state.SkipWithError("no transform");
  const std::vector<BYTE> src = Picture();
  std::vector<BYTE> dst(src.size());
  for (auto _ : state) {
    for (int row = 0; row < kRows && t != nullptr; ++row)
      cmsDoTransform(t, src.data() + row * kRowPixels * 3, dst.data() + row * kRowPixels * 3, kRowPixels);
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetItemsProcessed(state.iterations() * kRowPixels * kRows);
  if (t != nullptr) cmsDeleteTransform(t);
  cmsCloseProfile(srgb);
  cmsCloseProfile(in);
}

BENCHMARK(Engine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(LittleCms)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void PrintRatios(const RatioReporter& times) {
  const char* names[] = {"matrix", "table"};
  for (int i = 0; i < 2; ++i) {
    const std::string arg = "/" + std::to_string(i);
    if (auto ratio = times.Ratio("Engine" + arg, "LittleCms" + arg))
      std::printf("%s profile, 1 Mpixel: engine / Little CMS = %.2f\n", names[i], *ratio);
  }
}
}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
