// The dialog's preview scan of the whole bed (75 dpi colour: device reads from the stand-in
// scanner, the band store, the memory strips, the preview window's copies and the final
// rendering) against the band pipeline alone for the same pixels, in the same run. The counter
// "vs_pipeline" is the preview's processor time over the pipeline's (both also given in
// milliseconds).
//
// The baseline is the band pipeline as the scan run applies it to the preview's bands, through
// the data source's own functions: RunBandPipeline on each device read's lines of a band store
// holding the preview's pixels (the image the preview just received), with the preview's own
// image record and the preview mark set, then the memory transfer's expansion and placement of
// every strip into an RGB image. With the data source's switches as installed ("Convert to
// sRGB" off) and the preview record (no inversion), RunBandPipeline translates nothing, leaves
// the filter for the finished preview and inverts nothing, so the baseline is close to one
// copy of the image: whatever the preview does beyond that is its own cost. (An inversion of
// every band, which the preview never makes, is not added to it; nor does the baseline run over
// one small band again and again: it reads every pixel of the image once, as the run does.)
//
// The preview is timed before the baseline's buffers exist. With two whole images of the
// baseline alive in the heap, the allocator hands every preview fresh pages for its band store,
// and their first touch (page faults, about 4 ms a preview on the shared machine) outweighs the
// preview's own work; timed first, each preview finds the memory the one before it freed, as a
// user's previews one after the other do.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/kernel/memory.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/image_record.h"
#include "scanner/scan_settings.h"
#include "scanner/source_windows.h"
#include "scanner/system_routines.h"
#include "scanner/transfers.h"
#include "scanner/ui/preview_scan.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/window_table.h"

namespace {

constexpr WORD kPreviewDialog = 107;
constexpr DWORD kWidth = 876;    // the bed's 14028 units at 75 dpi
constexpr DWORD kHeight = 1275;  // 20400 units at 75 dpi
// The bed's colour lines are 32-bit aligned already: the band store's packed lines are bitmap
// lines, and expanding them in place leaves them as they are, run after run.
static_assert(kWidth * 3 % 4 == 0);
constexpr DWORD kMinLinesPerRead = 20;  // the scan run's smallest device read

INT_PTR BenchDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// The process's processor time per run of the work: the machine is shared, and waiting for the
// processor would otherwise weigh on the two sides unequally.
double SecondsOf(auto&& work, int repeats) {
  timespec start{}, end{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
  for (int i = 0; i < repeats; ++i) work();
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
  return ((end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) * 1e-9) / repeats;
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
    SetSourceWindows(&kScannerWindows);  // as the module hands them in when it attaches
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
  // Timed before the baseline's buffers exist (see above).
  const double whole = SecondsOf(preview, 3);
  // Both sides handle the same pixels: the preview's image is the baseline's output.
  const PreviewImage& raw = RawPreviewImage();
  if (raw.LinesReceived != kHeight || raw.PixelBytes != static_cast<DWORD>(BitmapLineBytesForPixelType(TWPT_RGB, kWidth)) * kHeight) {
    state.SkipWithError("the preview's image is not the baseline's size");
    return;
  }
  // Baseline: the band pipeline alone over the same pixels, in the band sizes of the run.
  ImageRecord record{};
  if (!BuildPreviewRecord(s.settings, record) || record.Width != kWidth || record.Height != kHeight) {
    state.SkipWithError("the preview record is not the bed's");
    return;
  }
  const WORD kind = record.ScanKind;
  const DWORD lineBytes = PackedLineBytes(kind, kWidth);
  const DWORD rowBytes = BitmapLineBytesForPixelType(record.PixelType, kWidth);
  const DWORD perRead = std::max(DeviceBufferSize() / kWidth, kMinLinesPerRead);
  const DWORD stripLines = std::max<DWORD>(PreferredMemoryStripBytes(record) / rowBytes, 1);
  std::vector<BYTE> store(static_cast<size_t>(BitmapLineBytes(kind, kWidth)) * kHeight);
  const BYTE* pixels = static_cast<const BYTE*>(GlobalLock(raw.Block));
  if (pixels == nullptr) {
    state.SkipWithError("the preview's image cannot be read");
    return;
  }
  for (DWORD y = 0; y < kHeight; ++y)
    std::memcpy(store.data() + static_cast<size_t>(y) * lineBytes, pixels + kBitmapInfoHeaderBytes + static_cast<size_t>(y) * rowBytes, lineBytes);
  GlobalUnlock(raw.Block);
  std::vector<BYTE> out(static_cast<size_t>(rowBytes) * kHeight);
  const PlacementTarget target{nullptr, 0, out.data(), out.size()};
  const OutputLayout layout{record.PixelType, kWidth, kHeight, 0, FALSE, FALSE, record.Threshold, FALSE};
  bool failed = false;
  auto pipeline = [&] {
    g_PreviewScanRunning = TRUE;
    for (DWORD y = 0; y < kHeight; y += perRead)
      failed |= RunBandPipeline(store.data() + static_cast<size_t>(y) * lineBytes, kWidth,
                                std::min(perRead, kHeight - y), lineBytes, record) != 0;
    g_PreviewScanRunning = FALSE;
    for (DWORD y = 0; y < kHeight; y += stripLines) {
      const DWORD lines = std::min(stripLines, kHeight - y);
      BYTE* strip = store.data() + static_cast<size_t>(y) * lineBytes;
      ExpandStripLines(strip, kind, kWidth, lines);
      failed |= !PlaceStrip(target, layout, strip, kind, 0, y, kWidth, lines);
    }
    benchmark::DoNotOptimize(out.data());
  };
  const double alone = SecondsOf(pipeline, 20);
  // Both sides made the same image.
  const BYTE* image = static_cast<const BYTE*>(GlobalLock(raw.Block));
  const bool same = image != nullptr && std::memcmp(image + kBitmapInfoHeaderBytes, out.data(), out.size()) == 0;
  if (image != nullptr) GlobalUnlock(raw.Block);
  if (failed || !same) {
    state.SkipWithError("the pipeline did not make the preview's image");
    return;
  }
  state.counters["vs_pipeline"] = whole / alone;
  state.counters["preview_ms"] = whole * 1e3;
  state.counters["pipeline_ms"] = alone * 1e3;
}

}  // namespace

BENCHMARK(BM_PreviewOfTheBed)->Unit(benchmark::kMillisecond);
