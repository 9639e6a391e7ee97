// Opening and closing the ItemStore of the sample model against reading its database files,
// and paper look-ups by id and by name against reading one paper record by its key. Prints
// the ratios of the run at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

#include "bench/ratio_reporter.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"
#include "platform/spooler/spooler_state.h"

namespace {

constexpr const WCHAR* kPrinter = u"QX-4500 bench";

// One sandbox with the driver files and a printer for the sample model, for the whole run.
struct BenchPrinter {
  HANDLE printer = nullptr;
  std::filesystem::path root;

  BenchPrinter() {
    const char* env = std::getenv("QV_DRIVER_DIR");
    std::filesystem::path driver = env && *env ? env : QV_DRIVER_DIR;
    root = std::filesystem::temp_directory_path() / ("itemstore-bench-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    SimInstallDriverFiles(driver.string());
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    SimAddPrinter(setup);
    OpenPrinterW(kPrinter, &printer, nullptr);
  }
  ~BenchPrinter() {
    ClosePrinter(printer);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
};

BenchPrinter& Bench() {
  static BenchPrinter bench;
  return bench;
}

std::u16string DataFile(const WCHAR* name) { return std::u16string(SimDriverDirectory()) + u"\\" + name; }

// Baseline of opening: reading both database files whole, as the store must.
void ReadDatabaseFiles(benchmark::State& state) {
  Bench();
  std::u16string files[] = {DataFile(u"QX4500.DDD"), DataFile(u"QX4500.DAT")};
  std::vector<BYTE> buffer;
  for (auto _ : state)
    for (const std::u16string& path : files) {
      HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      DWORD size = GetFileSize(file, nullptr), read = 0;
      buffer.resize(size);
      ReadFile(file, buffer.data(), size, &read, nullptr);
      CloseHandle(file);
      benchmark::DoNotOptimize(buffer.data());
    }
}

void OpenCloseItemStore(benchmark::State& state) {
  HANDLE printer = Bench().printer;
  for (auto _ : state) {
    ItemStore* store = OpenItemStore(printer);
    if (!store) state.SkipWithError("OpenItemStore failed");
    CloseItemStore(store);
  }
}

struct OpenStore {
  ItemStore* store = OpenItemStore(Bench().printer);
  ~OpenStore() { CloseItemStore(store); }
};

// Baseline of a look-up: the paper record read directly by its key.
void ReadPaperRecordByKey(benchmark::State& state) {
  OpenStore open;
  for (auto _ : state) {
    DatabaseRecord* paper = nullptr;
    ReadKeyedRecord(FALSE, open.store->main, open.store->linked, 10, static_cast<WORD>(state.range(0)), 0, &paper);
    FreeRecord(&paper, kDbAnyType);
  }
}

void FindPaperById(benchmark::State& state) {
  OpenStore open;
  PaperSpec query{static_cast<WORD>(state.range(0)), 0, 0, nullptr}, answer{};
  WORD status;
  for (auto _ : state) {
    if (!FindPaper(open.store, kItemPaperSize, kFindPaperById, &query, &answer, &status))
      state.SkipWithError("not found");
    FreePaperSpecName(&answer);
  }
}

void FindPaperByName(benchmark::State& state) {
  OpenStore open;
  PaperSpec query{0, 0, 0, const_cast<LPWSTR>(state.range(0) == 9 ? u"A4" : u"User Paper 2")}, answer{};
  WORD status;
  for (auto _ : state) {
    if (!FindPaper(open.store, kItemPaperSize, kFindPaperByName, &query, &answer, &status))
      state.SkipWithError("not found");
    FreePaperSpecName(&answer);
  }
}

BENCHMARK(ReadDatabaseFiles)->Unit(benchmark::kMicrosecond);
BENCHMARK(OpenCloseItemStore)->Unit(benchmark::kMicrosecond);
// Paper 9 (A4) is the 8th of 37 choices of item 8; paper 263 the last.
BENCHMARK(ReadPaperRecordByKey)->Arg(9)->Arg(263)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindPaperById)->Arg(9)->Arg(263)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindPaperByName)->Arg(9)->Arg(263)->Unit(benchmark::kMicrosecond);

void PrintRatio(const RatioReporter& times, const std::string& what, const std::string& baseline) {
  if (auto ratio = times.Ratio(what, baseline))
    std::printf("%s / %s = %.1f\n", what.c_str(), baseline.c_str(), *ratio);
}

void PrintRatios(const RatioReporter& times) {
  PrintRatio(times, "OpenCloseItemStore", "ReadDatabaseFiles");
  for (const char* paper : {"9", "263"}) {
    std::string base = std::string("ReadPaperRecordByKey/") + paper;
    PrintRatio(times, std::string("FindPaperById/") + paper, base);
    PrintRatio(times, std::string("FindPaperByName/") + paper, base);
  }
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
