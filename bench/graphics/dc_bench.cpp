// Creating and deleting a printer DC of qorvexgr.dll on the sample model through the engine
// host, against opening and closing the model's item store alone (reading its description
// database). The printer holds its configuration in printer data, as an installed printer
// does. A DC that is the only one loads qorvexdata and frees it again; beside another DC the
// module stays loaded; loading and freeing qorvexdata alone is measured beside them. Prints the
// ratios, the heap a live DC holds and the peak heap while one DC is created (every malloc of
// the process is counted through the allocator's own entry points).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/graphics/bench_printer.h"
#include "bench/ratio_reporter.h"
#include "core/descriptors/item_defaults.h"
#include "core/persist/printer_config.h"
#include "core/store/item_store.h"
#include "platform/engine/engine_host.h"
#include "platform/engine/engine_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"

// The process's heap in use and its peak, counted at the allocator's entry points below (not
// under the address sanitizer, which owns those entry points itself).
#if !defined(__SANITIZE_ADDRESS__)
#define QV_COUNT_HEAP 1
#endif
std::atomic<size_t> g_heapInUse{0};
std::atomic<size_t> g_heapPeak{0};

void CountAllocated(void* p) {
  if (p == nullptr) return;
  const size_t now = g_heapInUse.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  size_t peak = g_heapPeak.load();
  while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
  }
}
void CountFreed(void* p) {
  if (p != nullptr) g_heapInUse.fetch_sub(malloc_usable_size(p));
}

#ifdef QV_COUNT_HEAP
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t n) {
  void* p = __libc_malloc(n);
  CountAllocated(p);
  return p;
}
void* calloc(size_t n, size_t size) {
  void* p = __libc_calloc(n, size);
  CountAllocated(p);
  return p;
}
void* realloc(void* old, size_t n) {
  CountFreed(old);
  void* p = __libc_realloc(old, n);
  CountAllocated(p != nullptr ? p : (n != 0 ? old : nullptr));
  return p;
}
void free(void* p) {
  CountFreed(p);
  __libc_free(p);
}
void* memalign(size_t alignment, size_t n) {
  void* p = __libc_memalign(alignment, n);
  CountAllocated(p);
  return p;
}
void* aligned_alloc(size_t alignment, size_t n) { return memalign(alignment, n); }
int posix_memalign(void** out, size_t alignment, size_t n) {
  *out = memalign(alignment, n);
  return *out != nullptr ? 0 : 12;  // ENOMEM
}
}
#endif

namespace {

constexpr const WCHAR* kPrinter = u"QX-4500 bench";

// One sandbox with the driver files, a printer of the sample model, its default device mode
// and the driver loaded, for the whole run. The engine host keeps no log of the calls (a test
// aid that would grow with every device context and be counted as a device's heap).
struct BenchDriver {
  BenchPrinter world{kPrinter, "graphics-dc-bench"};
  EngineDriver* driver = nullptr;

  BenchDriver() {
    SimEngineKeepRecords(FALSE);
    driver = EngineLoadDriver(u"qorvexgr.dll");
  }
  ~BenchDriver() {
    if (driver != nullptr) EngineUnloadDriver(driver);
  }
  DEVMODEW* Mode() { return world.Mode(); }
};

BenchDriver& Bench() {
  static BenchDriver bench;
  return bench;
}

// Baseline: the model's database opened and closed as an item store.
void OpenModelDatabase(benchmark::State& state) {
  HANDLE printer = Bench().world.printer;
  for (auto _ : state) {
    ItemStore* store = OpenItemStore(printer);
    if (store == nullptr) state.SkipWithError("OpenItemStore failed");
    CloseItemStore(store);
  }
}

void CreateDeleteDc(benchmark::State& state) {
  BenchDriver& bench = Bench();
  if (bench.driver == nullptr || bench.world.devMode.empty()) state.SkipWithError("driver or device mode missing");
  for (auto _ : state) {
    EngineDc* dc = EngineCreateDC(bench.driver, kPrinter, bench.Mode());
    if (dc == nullptr) {
      state.SkipWithError("EngineCreateDC failed");
      break;
    }
    EngineDeleteDC(dc);
  }
}

// The same beside a DC that stays alive for the whole run of the benchmark.
void CreateDeleteDcBesideAnother(benchmark::State& state) {
  BenchDriver& bench = Bench();
  EngineDc* other = bench.driver != nullptr ? EngineCreateDC(bench.driver, kPrinter, bench.Mode()) : nullptr;
  if (other == nullptr) state.SkipWithError("EngineCreateDC failed");
  for (auto _ : state) {
    if (other == nullptr) break;
    EngineDc* dc = EngineCreateDC(bench.driver, kPrinter, bench.Mode());
    if (dc == nullptr) {
      state.SkipWithError("EngineCreateDC failed");
      break;
    }
    EngineDeleteDC(dc);
  }
  if (other != nullptr) EngineDeleteDC(other);
}

// The part of a lone DC that no driver code can avoid: qorvexdata loaded and freed again.
void LoadFreeDataAccessModule(benchmark::State& state) {
  Bench();
  for (auto _ : state) {
    HMODULE module = LoadLibraryW(u"qorvexdata.dll");
    if (module == nullptr) {
      state.SkipWithError("LoadLibraryW failed");
      break;
    }
    FreeLibrary(module);
  }
}

// The only DC while the host holds qorvexdata loaded (as a process that already uses it does):
// the module's use count keeps it, so this is a lone DC without the module's load and free.
void CreateDeleteDcWithDataModuleHeld(benchmark::State& state) {
  BenchDriver& bench = Bench();
  HMODULE held = LoadLibraryW(u"qorvexdata.dll");
  if (held == nullptr || bench.driver == nullptr) state.SkipWithError("qorvexdata or the driver missing");
  for (auto _ : state) {
    if (held == nullptr) break;
    EngineDc* dc = EngineCreateDC(bench.driver, kPrinter, bench.Mode());
    if (dc == nullptr) {
      state.SkipWithError("EngineCreateDC failed");
      break;
    }
    EngineDeleteDC(dc);
  }
  if (held != nullptr) FreeLibrary(held);
}

BENCHMARK(OpenModelDatabase)->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadFreeDataAccessModule)->Unit(benchmark::kMicrosecond);
BENCHMARK(CreateDeleteDc)->Unit(benchmark::kMicrosecond);
BENCHMARK(CreateDeleteDcBesideAnother)->Unit(benchmark::kMicrosecond);
BENCHMARK(CreateDeleteDcWithDataModuleHeld)->Unit(benchmark::kMicrosecond);

// The process's heap in use: the count of the allocator's entry points where it is kept, else
// the allocator's own figures (blocks from the arenas and blocks mapped on their own).
size_t HeapInUse() {
#ifdef QV_COUNT_HEAP
  return g_heapInUse.load();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
#endif
}

// The heap a live DC holds: bytes in use with 8 DCs alive over the bytes in use without.
void PrintHeapPerDc() {
  BenchDriver& bench = Bench();
  if (bench.driver == nullptr) return;
  EngineDeleteDC(EngineCreateDC(bench.driver, kPrinter, bench.Mode()));  // first-use allocations
  constexpr int kDcs = 8;
  const size_t before = HeapInUse();
  std::vector<EngineDc*> dcs;
  for (int i = 0; i < kDcs; ++i) dcs.push_back(EngineCreateDC(bench.driver, kPrinter, bench.Mode()));
  const size_t during = HeapInUse();
  for (EngineDc* dc : dcs) EngineDeleteDC(dc);
  std::printf("heap held per live DC: %.1f KiB\n", static_cast<double>(during - before) / kDcs / 1024.0);
#ifdef QV_COUNT_HEAP
  // The peak while the only DC is created, above what was in use before.
  const size_t start = g_heapInUse.load();
  g_heapPeak.store(start);
  EngineDc* dc = EngineCreateDC(bench.driver, kPrinter, bench.Mode());
  const size_t peak = g_heapPeak.load();
  EngineDeleteDC(dc);
  std::printf("peak heap while the only DC is created: %.1f KiB\n", static_cast<double>(peak - start) / 1024.0);
#endif
}

void PrintRatios(const RatioReporter& times) {
  for (const char* what : {"CreateDeleteDc", "CreateDeleteDcBesideAnother", "CreateDeleteDcWithDataModuleHeld",
                           "LoadFreeDataAccessModule"})
    if (auto ratio = times.Ratio(what, "OpenModelDatabase")) std::printf("%s / OpenModelDatabase = %.1f\n", what, *ratio);
  PrintHeapPerDc();
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
