// CheckSettingChange for one proposed change (with and without a media check) and
// ApplyDataFileDefaults for the whole sample model, against the baseline of reading one item's
// current value (the step every condition repeats). Compare the times in one run.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/constraints/constraint_engine.h"
#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler_state.h"

namespace {

struct Sample {
  std::filesystem::path root;
  ItemStore* store = nullptr;
  SettingsRecord settings{};
  PrinterConfiguration config{};
  Sample() {
    root = std::filesystem::temp_directory_path() / ("qv-bench-constraints-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    SimInstallDriverFiles(QV_DRIVER_DIR);
    const std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
    store = OpenItemStoreAtPath(path.c_str());
    if (store != nullptr) ApplyDataFileDefaults(store, &settings, &config, u"QX");
  }
  ~Sample() {
    CloseItemStore(store);
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
};

Sample& GetSample() {
  static Sample sample;
  return sample;
}

void BM_ReadOneItem(benchmark::State& state) {
  Sample& s = GetSample();
  for (auto _ : state) {
    ItemValueCell cell{};
    ValueTypeCode type = 0;
    DWORD length = 0;
    benchmark::DoNotOptimize(GetItemValue(kItemColorMode, &s.settings, &s.config, &type, &length, &cell));
  }
}
BENCHMARK(BM_ReadOneItem);

// Toner save "Strong" (2) fires records with conditions and forced values; "Light" (1) also
// fires the record whose check kind measures the paper against the source's custom range.
void BM_CheckSettingChange(benchmark::State& state) {
  Sample& s = GetSample();
  if (s.store == nullptr) return state.SkipWithError("sample model not found");
  ConstraintState* cs = CreateConstraintState();
  const WORD value = static_cast<WORD>(state.range(0));
  for (auto _ : state) {
    WORD* changed = nullptr;
    benchmark::DoNotOptimize(CheckSettingChange(0, reinterpret_cast<HANDLE>(1), s.store, &s.settings, &s.config,
                                                nullptr, kItemPrintMode, kTypeUInt16, &value, cs, &changed, 0));
    GlobalFree(changed);
  }
  FreeConstraintState(cs);
}
BENCHMARK(BM_CheckSettingChange)->Arg(2)->Arg(1);

void BM_ApplyDataFileDefaults(benchmark::State& state) {
  Sample& s = GetSample();
  if (s.store == nullptr) return state.SkipWithError("sample model not found");
  for (auto _ : state) benchmark::DoNotOptimize(ApplyDataFileDefaults(s.store, &s.settings, &s.config, u"QX"));
}
BENCHMARK(BM_ApplyDataFileDefaults);

}  // namespace
