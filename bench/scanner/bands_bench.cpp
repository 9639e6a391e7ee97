// A 600 dpi A4 page pushed band by band through processing (inversion, line expansion) and
// placement into a bottom-up output bitmap, against memcpy of the same bytes (the page's band
// bytes) in the same run. The counter "vs_memcpy" is the page's processing bandwidth as a
// fraction of memcpy's.
#include <benchmark/benchmark.h>

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
  // Baseline: memcpy of the page's band bytes.
  const size_t pageBytes = static_cast<size_t>(packed) * kHeight;
  std::vector<BYTE> from(pageBytes, 1), to(pageBytes);
  const double copy = SecondsOf([&] { std::memcpy(to.data(), from.data(), pageBytes); benchmark::ClobberMemory(); }, 5);
  const double place = SecondsOf(runPage, 3);
  state.counters["vs_memcpy"] = copy / place;
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
