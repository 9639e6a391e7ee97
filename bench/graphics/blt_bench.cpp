// A full A4 page at 600 dpi, 24-bit, sent by qorvexgr.dll's DrvBitBlt in bands of 64 rows to the
// stand-in drawing library in counting mode, against memcpy of the same bytes; and the peak
// memory of printing that page against the image's own size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/graphics/bench_printer.h"
#include "bench/ratio_reporter.h"
#include "core/descriptors/item_defaults.h"
#include "core/persist/printer_config.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "outside/drawlib/drawlib_sim.h"
#include "platform/engine/ddi_device.h"
#include "platform/engine/ddi_functions.h"
#include "platform/engine/engine_host.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"

namespace {

constexpr const WCHAR* kPrinter = u"QX-4500 blt bench";
constexpr LONG kWidth = 4961;   // 210 mm at 600 dpi
constexpr LONG kHeight = 7016;  // 297 mm at 600 dpi
constexpr LONG kBandRows = 64;
constexpr LONG kStride = (kWidth * 3 + 3) / 4 * 4;
constexpr DWORD kColorModeStraight = 2;

// One sandbox with the driver files, a printer of the sample model, its device mode, the driver
// and the drawing library (in counting mode) loaded for the whole run, and the page's pixels.
struct BenchPage {
  BenchPrinter world{kPrinter, "graphics-blt-bench", [](SettingsRecord* settings, PrinterConfiguration* config) {
                       DWORD mode = kColorModeStraight;
                       SetItemValue(kItemColorMode, settings, config, kTypeUInt8, 1, &mode);
                     }};
  EngineDriver* driver = nullptr;
  HMODULE library = nullptr;
  SimDrawCallCountProc callCount = nullptr;
  std::vector<BYTE> pixels;

  BenchPage() {
    library = LoadLibraryW(u"qvdrawzd.dll");
    if (library != nullptr) {
      auto countOnly = reinterpret_cast<SimDrawCountOnlyProc>(GetProcAddress(library, "SimDrawCountOnly"));
      callCount = reinterpret_cast<SimDrawCallCountProc>(GetProcAddress(library, "SimDrawCallCount"));
      if (countOnly != nullptr) countOnly(TRUE);
    }
    driver = EngineLoadDriver(u"qorvexgr.dll");
  }
  ~BenchPage() {
    if (driver != nullptr) EngineUnloadDriver(driver);
    if (library != nullptr) FreeLibrary(library);
  }
  bool Ready() const { return driver != nullptr && library != nullptr && !world.devMode.empty(); }

  // A photograph-like page: smooth ramps in the three channels.
  void MakePixels() {
    pixels.assign(static_cast<size_t>(kStride) * kHeight, 0);
    for (LONG y = 0; y < kHeight; ++y) {
      BYTE* row = pixels.data() + static_cast<size_t>(y) * kStride;
      for (LONG x = 0; x < kWidth; ++x) {
        row[3 * x] = static_cast<BYTE>(x >> 4);
        row[3 * x + 1] = static_cast<BYTE>(y >> 5);
        row[3 * x + 2] = static_cast<BYTE>((x + y) >> 5);
      }
    }
  }

  // One document of one page, the image sent band by band as the engine hands a banded
  // picture to the driver. False when a call failed.
  bool PrintPage() {
    EngineDc* dc = EngineCreateDC(driver, kPrinter, world.Mode());
    if (dc == nullptr) return false;
    auto bitBlt = reinterpret_cast<PFN_DrvBitBlt>(EngineDriverFunction(driver, INDEX_DrvBitBlt));
    bool ok = bitBlt != nullptr && EngineStartDoc(dc, u"Photograph") && EngineStartPage(dc);
    SURFOBJ* target = EngineDcSurface(dc);
    for (LONG top = 0; ok && top < kHeight; top += kBandRows) {
      const LONG rows = std::min(kBandRows, kHeight - top);
      SURFOBJ band{};
      band.sizlBitmap = {kWidth, rows};
      band.cjBits = static_cast<ULONG>(kStride * rows);
      band.pvBits = band.pvScan0 = pixels.data() + static_cast<size_t>(top) * kStride;
      band.lDelta = kStride;
      band.iBitmapFormat = BMF_24BPP;
      band.iType = STYPE_BITMAP;
      RECTL rect{0, top, kWidth, top + rows};
      POINTL origin{0, 0};
      ok = bitBlt(target, &band, nullptr, nullptr, nullptr, &rect, &origin, nullptr, nullptr, nullptr, 0xCCCC) == TRUE;
    }
    ok = EngineEndPage(dc) && ok;
    ok = EngineEndDoc(dc) && ok;
    EngineDeleteDC(dc);
    return ok;
  }
};

BenchPage& Page() {
  static BenchPage page;
  return page;
}

void MemcpyPage(benchmark::State& state) {
  BenchPage& page = Page();
  std::vector<BYTE> copy(page.pixels.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), page.pixels.data(), page.pixels.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.pixels.size()));
}

void BitBltPageInBands(benchmark::State& state) {
  BenchPage& page = Page();
  if (!page.Ready()) state.SkipWithError("driver, library or device mode missing");
  for (auto _ : state) {
    if (!page.Ready()) break;
    if (!page.PrintPage()) {
      state.SkipWithError("the page did not print");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.pixels.size()));
}

BENCHMARK(MemcpyPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BitBltPageInBands)->Unit(benchmark::kMillisecond);

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// The process's peak memory grows while the image is made and printed once; its growth over
// the image's own size (1 would be the image alone).
double MeasurePeakOverImage() {
  BenchPage& page = Page();
  const long before = PeakKiB();
  page.MakePixels();
  if (!page.Ready() || !page.PrintPage()) return -1;
  const long after = PeakKiB();
  const double image = static_cast<double>(static_cast<size_t>(kWidth) * 3 * kHeight) / 1024.0;
  return static_cast<double>(after - before) / image;
}

double g_peakRatio = -1;
DWORD g_images = 0;

void PrintRatios(const RatioReporter& times) {
  if (auto ratio = times.Ratio("BitBltPageInBands", "MemcpyPage"))
    std::printf("BitBltPageInBands / MemcpyPage = %.2f\n", *ratio);
  std::printf("image commands per page: %u (bands: %ld)\n", g_images, static_cast<long>((kHeight + kBandRows - 1) / kBandRows));
  std::printf("peak memory of the page / image size = %.2f\n", g_peakRatio);
}

}  // namespace

int main(int argc, char** argv) {
  g_peakRatio = MeasurePeakOverImage();
  if (Page().callCount != nullptr) g_images = Page().callCount("VR_DrawImage");
  return RunBenchmarksWithRatios(argc, argv, PrintRatios);
}
