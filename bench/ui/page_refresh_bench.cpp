// The full refresh of a page with 60 bound items (PSN_SETACTIVE: values read, current
// indexes, the states of every item and choice from the constraint engine, each row's control
// shown in its state) over printer "P1" of the sample model, against making the same
// constraint checks and item reads alone: the ratio is the framework's own overhead. Prints
// the ratio and the absolute refresh time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "core/constraints/constraint_engine.h"
#include "core/descriptors/item_defaults.h"
#include "core/messages/sheet_services.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/comctl/commctrl.h"
#include "platform/comctl/propsheet.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

constexpr LONG kRowCount = 60;
constexpr LONG kPageIndex = 1;
constexpr WCHAR kPageClass[] = u"QvBenchPage";

// The sample's items with choice lists (the paper list is left out: it needs the printer's
// configuration); the 60 rows bind them in turn.
constexpr SettingItemId kItems[] = {kItemOrientation,
                                    kItemDefaultSource,
                                    kItemPaperSource,
                                    kItemResolutionPair,
                                    kItemDuplex,
                                    kItemCollate,
                                    kItemColorMode,
                                    kItemStaplePosition,
                                    kItemPunchPosition,
                                    kItemJobType,
                                    kItemMediaType,
                                    kItemPatternFromResolution,
                                    kItemOutputPaper,
                                    kItemColorTripleFirst,
                                    kItemPrintMode,
                                    kItemDeviceOptionFirst,
                                    kItemDeviceOptionFirst + 1,
                                    kItemDeviceOptionFirst + 2,
                                    kItemDeviceOptionFirst + 3,
                                    kItemDeviceOptionFirst + 4,
                                    kItemDeviceOptionFirst + 5,
                                    kItemDeviceOptionFirst + 6,
                                    kItemDeviceOptionFirst + 7,
                                    kItemDeviceOptionFirst + 8};

const StaticTextData kStateOnly{kStaticStateOnly, 0};

struct BenchPage {
  std::filesystem::path root;
  HMODULE ui = nullptr;
  HANDLE printer = nullptr;
  ItemStore* store = nullptr;
  SettingsSet set{};
  SheetState sheet{};
  PageData* data = nullptr;
  HWND window = nullptr;
  DWORD items[kRowCount] = {};
  ControlRow rows[kRowCount] = {};
  PageDescriptor page{};
  TabRecord tab{};
  HandlerContext context{};
  bool ready = false;

  BenchPage() {
    const char* env = std::getenv("QV_DRIVER_DIR");
    root = std::filesystem::temp_directory_path() / ("ui-dialog-bench-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    SimInstallDriverFiles(env && *env ? env : QV_DRIVER_DIR);
    SimPrinterSetup setup;
    setup.name = u"P1";
    setup.dataFile = u"QX4500.DDD";
    SimAddPrinter(setup);
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    OpenPrinterW(u"P1", &printer, &access);
    // The module's own string table names the resource file, as in the module itself.
    ui = LoadLibraryW(u"qorvexui.dll");
    SetModuleInstance(ui);
    AcquireResourceModule();
    RegisterSheetServices(true);
    store = OpenItemStore(printer);
    if (store == nullptr || !CreateSettingsSet(&set) || !ApplyDataFileDefaults(store, set.settings, set.config, u"P1")) {
      return;
    }
    for (LONG n = 0; n < kRowCount; ++n) {
      items[n] = BoundItem(kItems[n % std::size(kItems)], kRefreshOnFull | kRefreshOnChange);
      rows[n] = ControlRow{3000 + n, 1, &items[n], kKindStaticText, nullptr, &kStateOnly, kNoControl, kNoString,
                           nullptr};
    }
    page = PageDescriptor{rows, kRowCount, 0, nullptr, nullptr, 0};
    tab = TabRecord{kPageIndex, &page, nullptr};
    const TabRecord* tabs[] = {&tab};
    sheet.printer = printer;
    sheet.store = store;
    sheet.permission = 1;
    sheet.pageTable = BuildPageTable(tabs, 1);
    data = CreatePageData(nullptr, &sheet, &set, nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.cbWndExtra = 32;
    wc.lpszClassName = kPageClass;
    RegisterClassW(&wc);
    window = CreateWindowExW(0, kPageClass, u"page", WS_VISIBLE, 0, 0, 400, 800, nullptr, nullptr, nullptr, nullptr);
    for (LONG n = 0; n < kRowCount; ++n) {
      CreateWindowExW(0, u"Static", u"", WS_CHILD | WS_VISIBLE, 0, n * 12, 200, 10, window,
                      reinterpret_cast<HMENU>(static_cast<ULONG_PTR>(3000 + n)), nullptr, nullptr);
    }
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
    InitHandlerContext(&context, window, nullptr, kPageIndex, WM_NOTIFY, kTabPage);
    ready = CreateControlStates(window, &context, data, rows, kRowCount) == 1;
  }

  ~BenchPage() {
    if (ready) ReleaseRowResources(&context, rows, kRowCount);
    DestroyWindow(window);
    SetWindowLongPtrW(window, DWLP_USER, 0);
    DestroyPageData(&data);
    FreePageTable(sheet.pageTable);
    FreeSettingsSet(&set);
    CloseItemStore(store);
    RegisterSheetServices(false);
    ReleaseResourceModule();
    FreeResourceModule();
    SetModuleInstance(nullptr);
    FreeLibrary(ui);
    ClosePrinter(printer);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

BenchPage& GetPage() {
  static BenchPage page;
  return page;
}

void BM_RefreshPage(benchmark::State& state) {
  BenchPage& p = GetPage();
  if (!p.ready) return state.SkipWithError("the page could not be built over the sample");
  NMHDR header{p.window, 0, PSN_SETACTIVE};
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        RefreshPage(&p.context, p.window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), p.rows, kRowCount));
  }
}
BENCHMARK(BM_RefreshPage)->Unit(benchmark::kMicrosecond);

// What the refresh asks of the core: one read per bound item, the item's check and one check
// per choice of its list (lists of kinds 0, 4 and 6 have no choice checks).
void BM_ChecksAndReadsAlone(benchmark::State& state) {
  BenchPage& p = GetPage();
  if (!p.ready) return state.SkipWithError("the page could not be built over the sample");
  ConstraintState* check = CreateConstraintState();
  for (auto _ : state) {
    for (LONG n = 0; n < kRowCount; ++n) {
      const SettingItemId id = BoundItemId(p.items[n]);
      ItemValueCell cell{};
      ValueTypeCode type = 0;
      DWORD length = 0;
      GetItemValue(id, p.set.settings, p.set.config, &type, &length, &cell);
      ChoiceList* list = FindChoiceList(p.window, id);
      if (list == nullptr) continue;
      ResetConstraintState(check);
      benchmark::DoNotOptimize(CheckSettingChange(kCheckModePlain, p.printer, p.store, p.set.settings, p.set.config,
                                                  nullptr, id, type, nullptr, check, nullptr, 0));
      if (list->kind == 0 || list->kind == 4 || list->kind == 6) continue;
      for (LONG c = 0; c < list->count; ++c) {
        ResetConstraintState(check);
        benchmark::DoNotOptimize(CheckSettingChange(kCheckModePlain, p.printer, p.store, p.set.settings,
                                                    p.set.config, nullptr, id, static_cast<ValueTypeCode>(list->type),
                                                    ChoiceValueReference(list, c), check, nullptr, 0));
      }
    }
  }
  FreeConstraintState(check);
}
BENCHMARK(BM_ChecksAndReadsAlone)->Unit(benchmark::kMicrosecond);

void PrintRatios(const RatioReporter& reporter) {
  if (auto r = reporter.Ratio("BM_RefreshPage", "BM_ChecksAndReadsAlone")) {
    std::printf("page refresh / its checks and reads alone: %.2fx (goal: within 1.5x)\n", *r);
  }
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
