// The dialog's preview scan of the whole bed (75 dpi colour: device reads from the stand-in
// scanner, the memory strips, the preview window's copies and the final rendering) against the
// band pipeline alone for the same pixels (inversion, line expansion and placement into RGB)
// in the same run. The counter "vs_pipeline" is the preview's time over the pipeline's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "scanner/ui/preview_scan.h"
#include "scanner/ui/preview_window.h"

namespace {

constexpr WORD kPreviewDialog = 107;
constexpr DWORD kWidth = 876;    // the bed's 14028 units at 75 dpi
constexpr DWORD kHeight = 1275;  // 20400 units at 75 dpi
constexpr DWORD kBandLines = 99; // one device read of a 876-pixel colour line

INT_PTR BenchDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

double SecondsOf(auto&& work, int repeats) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < repeats; ++i) work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / repeats;
}

// The data source's code with its texts and dialogs, the stand-in scanner and filter, and a
// scan dialog holding the preview window, for the whole run.
struct PreviewSetup {
  HMODULE texts = nullptr;
  HWND dialog = nullptr;
  ScanSettings settings{};
  bool ready = false;

  PreviewSetup() {
    const char* env = std::getenv("QV_DRIVER_DIR");
    const std::filesystem::path dir = env && *env ? env : QV_DRIVER_DIR;
    const std::filesystem::path root = std::filesystem::temp_directory_path() / ("scanner-preview-bench-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    SimInstallDriverFiles(dir.string());
    SimInstallDriverFiles((dir.parent_path() / "testdriver").string());
    SimSetInstantSleep(TRUE);
    texts = LoadLibraryW(u"pelvo.qrs");
    if (texts == nullptr) return;
    g_Instance = texts;
    if (!LoadFilterLibrary() || !OpenDevice()) return;
    CloseDevice();
    ResetScanSettings(settings);
    settings.PreviewArea = kWholeBed;
    dialog = CreateDialogParamW(texts, MAKEINTRESOURCEW(kPreviewDialog), nullptr, BenchDialogProc, 0);
    ready = dialog != nullptr && CreatePreviewWindow(dialog, &settings);
  }
};

PreviewSetup& Setup() {
  static PreviewSetup setup;
  return setup;
}

void BM_PreviewOfTheBed(benchmark::State& state) {
  PreviewSetup& s = Setup();
  if (!s.ready) {
    state.SkipWithError("the data source's files or the stand-ins are missing");
    return;
  }
  auto preview = [&] {
    if (!RunPreviewScan(s.dialog, s.settings)) state.SkipWithError("preview");
  };
  for (auto _ : state) preview();
  // Baseline: the band pipeline alone over the same pixels.
  const DWORD aligned = BitmapLineBytes(kScanKindColor, kWidth);
  const DWORD packed = PackedLineBytes(kScanKindColor, kWidth);
  std::vector<BYTE> band(static_cast<size_t>(aligned) * kBandLines);
  for (size_t i = 0; i < band.size(); ++i) band[i] = static_cast<BYTE>(i * 7);
  std::vector<BYTE> out(static_cast<size_t>(BitmapLineBytesForPixelType(TWPT_RGB, kWidth)) * kHeight);
  PlacementTarget target{nullptr, 0, out.data(), out.size()};
  OutputLayout layout{TWPT_RGB, kWidth, kHeight, 0, FALSE, FALSE, 128, FALSE};
  ImageRecord record{};
  record.ScanKind = kScanKindColor;
  record.PixelType = TWPT_RGB;
  auto pipeline = [&] {
    for (DWORD y = 0; y < kHeight; y += kBandLines) {
      const DWORD lines = std::min(kBandLines, kHeight - y);
      InvertBand(band.data(), kWidth, lines, packed, record, 0);
      ExpandStripLines(band.data(), kScanKindColor, kWidth, lines);
      PlaceStrip(target, layout, band.data(), kScanKindColor, 0, y, kWidth, lines);
    }
    benchmark::DoNotOptimize(out.data());
  };
  const double alone = SecondsOf(pipeline, 20);
  const double whole = SecondsOf(preview, 3);
  state.counters["vs_pipeline"] = whole / alone;
}

}  // namespace

BENCHMARK(BM_PreviewOfTheBed)->Unit(benchmark::kMillisecond);
