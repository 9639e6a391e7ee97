// Opening the document sheet of printer "P1" of the sample through qorvexui.dll, as an
// application opens it, until the main tab has painted once, against what that opening asks
// of the driver core for the main tab: opening the item store and making the constraint checks
// of every item the tab's rows bind (the item and each of its choices). The ratio is the cost
// of the sheet, its pages and the dialog framework around those checks. Prints the ratio and
// the absolute time of an opening. Also the paints of the main tab's picture controls against
// a plain copy of a bitmap of the device picture's size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "core/constraints/constraint_engine.h"
#include "core/descriptors/item_defaults.h"
#include "core/persist/devmode_worker.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "platform/comctl/comctl_sim.h"
#include "platform/comctl/printer_sheets.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_sim.h"
#include "platform/comctl/propsheet.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"
#include "platform/user/paint.h"
#include "platform/user/user_sim.h"
#include "ui/module/driver_ui.h"
#include "ui/pages/main_tab.h"

namespace {

constexpr DWORD kDevModeSize = 1548;

struct BenchSheet {
  std::filesystem::path root;
  HMODULE ui = nullptr;
  HANDLE printer = nullptr;
  std::vector<BYTE> output = std::vector<BYTE>(kDevModeSize);
  bool ready = false;

  BenchSheet() {
    const char* env = std::getenv("QV_DRIVER_DIR");
    root = std::filesystem::temp_directory_path() / ("ui-sheet-bench-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    SimInstallDriverFiles(env && *env ? env : QV_DRIVER_DIR);
    SimSetLocaleInfo(LOCALE_ICOUNTRY, u"49");
    SimPrinterSetup setup;
    setup.name = u"P1";
    setup.dataFile = u"QX4500.DDD";
    SimAddPrinter(setup);
    ui = LoadLibraryW(u"qorvexui.dll");
    auto event = reinterpret_cast<DrvPrinterEventProc>(GetProcAddress(ui, "DrvPrinterEvent"));
    auto convert = reinterpret_cast<DrvConvertDevModeProc>(GetProcAddress(ui, "DrvConvertDevMode"));
    if (ui == nullptr || event == nullptr || convert == nullptr) return;
    event(const_cast<LPWSTR>(u"P1"), PRINTER_EVENT_INITIALIZE, 0, 0);
    std::vector<BYTE> defaults(kDevModeSize);
    LONG size = LONG(defaults.size());
    if (!convert(const_cast<LPWSTR>(u"P1"), nullptr, reinterpret_cast<DEVMODEW*>(defaults.data()), &size,
                 CDM_DRIVER_DEFAULT) ||
        !SimSetPrinterDevMode(u"P1", defaults))
      return;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ACCESS_USE};
    ready = OpenPrinterW(u"P1", &printer, &access) != FALSE;
  }

  ~BenchSheet() {
    ClosePrinter(printer);
    FreeLibrary(ui);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

BenchSheet& GetSheet() {
  static BenchSheet sheet;
  return sheet;
}

// From the call that opens the sheet to the end of the main tab's first paint.
void BM_OpenSheetToFirstPaint(benchmark::State& state) {
  BenchSheet& s = GetSheet();
  if (!s.ready) return state.SkipWithError("the printer could not be set up over the sample");
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point painted;
    SimOnDialog([&](HWND sheet) {
      const std::vector<SimSheetPage> pages = SimSheetPages(sheet);
      if (!pages.empty()) SimPaint(pages[0].hwnd);
      painted = std::chrono::steady_clock::now();
      SimSheetPress(sheet, PSBTN_CANCEL);
    });
    DWORD result = 0;
    SimOpenDocumentSheet(u"qorvexui.dll", u"P1", nullptr, reinterpret_cast<DEVMODEW*>(s.output.data()),
                         kDevModeSize, DM_COPY | DM_PROMPT, nullptr, &result);
    SimForgetDialogDrivers();
    state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
  }
}
BENCHMARK(BM_OpenSheetToFirstPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

// The item store opened, every item the main tab's rows bind read and checked, and each
// choice of its list checked, as the tab's first refresh asks of the core.
void BM_StoreAndTabChecksAlone(benchmark::State& state) {
  BenchSheet& s = GetSheet();
  if (!s.ready) return state.SkipWithError("the printer could not be set up over the sample");
  std::vector<SettingItemId> items;
  const PageDescriptor* page = kMainTabRecord.page;
  for (LONG r = 0; r < page->rowCount; ++r) {
    for (LONG i = 0; i < page->rows[r].itemCount; ++i) items.push_back(BoundItemId(page->rows[r].items[i]));
  }
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  AcquireResourceModule();
  for (auto _ : state) {
    ItemStore* store = OpenItemStore(s.printer);
    if (store == nullptr) return state.SkipWithError("the item store could not be opened");
    ApplyDataFileDefaults(store, settings.get(), config.get(), u"P1");
    ConstraintState* check = CreateConstraintState();
    for (SettingItemId id : items) {
      if (id >= 0x9000) continue;
      ItemValueCell cell{};
      ValueTypeCode type = 0;
      DWORD length = 0;
      GetItemValue(id, settings.get(), config.get(), &type, &length, &cell);
      ResetConstraintState(check);
      benchmark::DoNotOptimize(CheckSettingChange(kCheckModePlain, s.printer, store, settings.get(), config.get(),
                                                  nullptr, id, type, nullptr, check, nullptr, 0));
      BYTE kind = 0;
      WORD count = 0, status = 0;
      LPCWSTR name = nullptr;
      DatabaseRecord* header = nullptr;
      if (QueryChoiceListHeader(store, id, &kind, &count, &name, &header, &status) != 1) continue;
      FreeRecord(&header, kDbAnyType);
      if (kind == 0 || kind == 4 || kind == 6) continue;
      for (WORD c = 1; c <= count; ++c) {
        ChoiceValue* choice = nullptr;
        if (QueryChoiceEntry(store, id, c, &choice, &status) != 1 || choice == nullptr) continue;
        ResetConstraintState(check);
        benchmark::DoNotOptimize(CheckSettingChange(kCheckModePlain, s.printer, store, settings.get(), config.get(),
                                                    nullptr, id, ValueTypeCode(choice->valueType), choice->value,
                                                    check, nullptr, 0));
        ReleaseChoiceEntry(choice);
      }
    }
    FreeConstraintState(check);
    CloseItemStore(store);
  }
  ReleaseResourceModule();
}
BENCHMARK(BM_StoreAndTabChecksAlone)->Unit(benchmark::kMillisecond);

// Paints of the main tab's device picture (its picture records walked, their pictures made and
// composed) and of a picture beside a setting (a bitmap resource loaded and composed), in an
// open sheet; the GDI objects alive are counted around each paint, so a leak shows.
void PaintPictureControl(benchmark::State& state, int controlId) {
  BenchSheet& s = GetSheet();
  if (!s.ready) return state.SkipWithError("the printer could not be set up over the sample");
  int leaked = 0;
  SimOnDialog([&](HWND sheet) {
    const std::vector<SimSheetPage> pages = SimSheetPages(sheet);
    HWND control = pages.empty() ? nullptr : GetDlgItem(pages[0].hwnd, controlId);
    if (control == nullptr) {
      state.SkipWithError("the main tab has no such picture");
    } else {
      for (auto _ : state) {
        const int before = SimLiveGdiObjects();
        SimPaint(control);
        leaked += SimLiveGdiObjects() - before;
      }
    }
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
  DWORD result = 0;
  SimOpenDocumentSheet(u"qorvexui.dll", u"P1", nullptr, reinterpret_cast<DEVMODEW*>(s.output.data()), kDevModeSize,
                       DM_COPY | DM_PROMPT, nullptr, &result);
  SimForgetDialogDrivers();
  state.counters["gdi_objects_left_per_paint"] = benchmark::Counter(leaked, benchmark::Counter::kAvgIterations);
}
void BM_PaintDevicePicture(benchmark::State& state) { PaintPictureControl(state, 1187); }
BENCHMARK(BM_PaintDevicePicture)->Unit(benchmark::kMicrosecond);
void BM_PaintRowPicture(benchmark::State& state) { PaintPictureControl(state, 1105); }
BENCHMARK(BM_PaintRowPicture)->Unit(benchmark::kMicrosecond);

// The baseline of the paints: one copy of a bitmap of the device picture's size between two
// memory DCs.
void BM_CopyPictureSizedBitmap(benchmark::State& state) {
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  HBITMAP source = CreateCompatibleBitmap(screen, 90, 34), target = CreateCompatibleBitmap(screen, 90, 34);
  HGDIOBJ oldFrom = SelectObject(from, source), oldTo = SelectObject(to, target);
  for (auto _ : state) benchmark::DoNotOptimize(BitBlt(to, 0, 0, 90, 34, from, 0, 0, SRCCOPY));
  SelectObject(from, oldFrom);
  SelectObject(to, oldTo);
  DeleteObject(source);
  DeleteObject(target);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
}
BENCHMARK(BM_CopyPictureSizedBitmap)->Unit(benchmark::kMicrosecond);

void PrintRatios(const RatioReporter& reporter) {
  if (auto r = reporter.Ratio("BM_OpenSheetToFirstPaint/manual_time", "BM_StoreAndTabChecksAlone")) {
    std::printf("document sheet opened to the main tab's first paint / the store and the tab's checks alone: %.2fx\n",
                *r);
  }
  if (auto r = reporter.Ratio("BM_PaintDevicePicture", "BM_CopyPictureSizedBitmap"))
    std::printf("a paint of the device picture / one copy of a bitmap of its size: %.2fx\n", *r);
  if (auto r = reporter.Ratio("BM_PaintRowPicture", "BM_CopyPictureSizedBitmap"))
    std::printf("a paint of a picture beside a setting / one copy of a bitmap of the device picture's size: %.2fx\n",
                *r);
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
