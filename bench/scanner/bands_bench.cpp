// A 600 dpi A4 page pushed band by band through processing (inversion, line expansion) and
// placement into a bottom-up output bitmap, against memcpy of the same bytes in the same cache
// state in the same run: the baseline copies the band (which stays in cache, as the pipeline's
// does) to its place in a page of the band bytes (fresh memory written once per page, as the
// pipeline's output is). The counter "vs_memcpy" is the page's processing bandwidth as a
// fraction of memcpy's, the median of the repetitions in the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/base/types.h"
#include "platform/spooler/spooler_state.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"

namespace {

constexpr DWORD kWidth = 4960;   // 8.27 in at 600 dpi
constexpr DWORD kHeight = 7016;  // 11.69 in at 600 dpi
constexpr DWORD kBandLines = 52; // 262144-byte device reads of a colour line

struct Page {
  WORD kind;
  WORD pixelType;
  WORD rotation;
};

double SecondsOf(auto&& work, int repeats) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeats; ++i) work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / repeats;
}

void BM_PageOfBands(benchmark::State& state) {
  const Page page{static_cast<WORD>(state.range(0)), static_cast<WORD>(state.range(1)), static_cast<WORD>(state.range(2))};
  const bool turned = page.rotation == 1 || page.rotation == 2;
  const DWORD outWidth = turned ? kHeight : kWidth, outHeight = turned ? kWidth : kHeight;
  const DWORD aligned = BitmapLineBytes(page.kind, kWidth);
  const DWORD packed = PackedLineBytes(page.kind, kWidth);
  std::vector<BYTE> band(static_cast<size_t>(aligned) * kBandLines);
  for (size_t i = 0; i < band.size(); ++i) band[i] = static_cast<BYTE>(i * 7);
  const ULONGLONG outBytes = static_cast<ULONGLONG>(BitmapLineBytesForPixelType(page.pixelType, outWidth)) * outHeight;
  std::vector<BYTE> out(outBytes);
  PlacementTarget target{nullptr, 0, out.data(), out.size()};
  OutputLayout layout{page.pixelType, outWidth, outHeight, page.rotation, FALSE, FALSE, 128, TRUE};
  ImageRecord record{};
  record.ScanKind = page.kind;
  record.PixelType = page.pixelType;
  record.Invert = 1;

  auto runPage = [&] {
    for (DWORD y = 0; y < kHeight; y += kBandLines) {
      const DWORD lines = std::min(kBandLines, kHeight - y);
      InvertBand(band.data(), kWidth, lines, packed, record, 1);
      ExpandStripLines(band.data(), page.kind, kWidth, lines);
      if (!PlaceStrip(target, layout, band.data(), page.kind, 0, y, kWidth, lines)) state.SkipWithError("placement");
    }
  };
  for (auto _ : state) {
    runPage();
    benchmark::DoNotOptimize(out.data());
  }
  // Baseline: each band's bytes copied to their place in a page, band after band.
  const size_t pageBytes = static_cast<size_t>(packed) * kHeight;
  std::vector<BYTE> to(pageBytes);
  auto copyPage = [&] {
    for (DWORD y = 0; y < kHeight; y += kBandLines) {
      const size_t bytes = static_cast<size_t>(packed) * std::min(kBandLines, kHeight - y);
      std::memcpy(to.data() + static_cast<size_t>(packed) * y, band.data(), bytes);
    }
    benchmark::ClobberMemory();
  };
  copyPage();  // the page's memory is touched once before it is timed, as the output's is
  // Interleaved repetitions: both sides see the same machine load.
  std::vector<double> ratios;
  for (int r = 0; r < 5; ++r) {
    const double copy = SecondsOf(copyPage, 2);
    const double place = SecondsOf(runPage, 2);
    ratios.push_back(copy / place);
  }
  std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
  state.counters["vs_memcpy"] = ratios[ratios.size() / 2];
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * pageBytes));
}

}  // namespace

BENCHMARK(BM_PageOfBands)
    ->ArgNames({"kind", "type", "rot"})
    ->Args({kScanKindThreshold, TWPT_BW, 0})
    ->Args({kScanKindGray, TWPT_GRAY, 0})
    ->Args({kScanKindColor, TWPT_GRAY, 0})
    ->Args({kScanKindColor, TWPT_RGB, 0})
    ->Args({kScanKindColor, TWPT_PALETTE, 0})
    ->Args({kScanKindColor, TWPT_RGB, 1})
    ->Args({kScanKindColor, TWPT_RGB, 2})
    ->Args({kScanKindColor, TWPT_GRAY, 1})
    ->Unit(benchmark::kMillisecond);
