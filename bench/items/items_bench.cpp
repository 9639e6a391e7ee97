// Reading and writing every item through the engine, against a plain copy of the same bytes
// at the same offsets. Prints the engine/plain ratios of the run at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "items/item_engine.h"
#include "platform/base/types.h"
#include "platform/spooler/spooler_state.h"

namespace {

// One item as both sides see it: where its bytes are, how many, and the value to write.
struct BenchItem {
  const ItemLayoutRow* row;
  BYTE* address;
  DWORD copyBytes;            // bytes a plain copy moves: the value, or the text with terminator
  std::vector<BYTE> value;    // the number, text or LOGFONTW written
  const void* textPointer;    // strings and fonts are given by pointer
};

struct BenchRecords {
  std::unique_ptr<SettingsRecord> settings = std::make_unique<SettingsRecord>();
  std::unique_ptr<PrinterConfiguration> config = std::make_unique<PrinterConfiguration>();
  std::vector<BenchItem> items;

  BenchRecords() {
    for (const ItemGroupEntry& group : ItemGroupTable)
      for (const ItemLayoutRow& row : group.rows) {
        BYTE* base = group.area == kAreaPrinterConfig ? config->bytes
                     : group.area == kAreaExtension   ? settings->bytes + kSettingsExtensionOffset
                                                      : settings->bytes;
        BenchItem item{&row, base + row.offset, GetStoredItemSize(row.type, row.byteLength), {}, nullptr};
        if (row.type == kTypeString) {
          const std::u16string text = row.byteLength >= 8 ? u"Abc" : u"";
          item.copyBytes = DWORD(2 * text.size() + 2);
          item.value.resize(item.copyBytes);
          std::memcpy(item.value.data(), text.c_str(), item.copyBytes);
        } else {
          item.value.assign(item.copyBytes, 0);
        }
        items.push_back(std::move(item));
      }
    for (BenchItem& item : items) item.textPointer = item.value.data();
  }
};

BenchRecords& Records() {
  static BenchRecords records;
  return records;
}

void PlainGet(benchmark::State& state) {
  BenchRecords& r = Records();
  BYTE out[kLogFontSize];
  for (auto _ : state)
    for (const BenchItem& item : r.items) {
      std::memcpy(out, item.address, item.copyBytes);
      benchmark::DoNotOptimize(out);
    }
  state.SetItemsProcessed(state.iterations() * r.items.size());
}

void EngineGet(benchmark::State& state) {
  BenchRecords& r = Records();
  ValueTypeCode type;
  DWORD length;
  ItemArea area;
  BYTE out[16];
  for (auto _ : state)
    for (const BenchItem& item : r.items) {
      benchmark::DoNotOptimize(
          itemengine::dma_GetValue(item.row->id, r.settings.get(), r.config.get(), &type, &length, out, &area));
      benchmark::DoNotOptimize(out);
    }
  state.SetItemsProcessed(state.iterations() * r.items.size());
}

void PlainSet(benchmark::State& state) {
  BenchRecords& r = Records();
  for (auto _ : state) {
    for (const BenchItem& item : r.items) std::memcpy(item.address, item.value.data(), item.copyBytes);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * r.items.size());
}

void EngineSet(benchmark::State& state) {
  BenchRecords& r = Records();
  for (auto _ : state) {
    for (const BenchItem& item : r.items) {
      const ItemLayoutRow& row = *item.row;
      const bool byPointer = row.type == kTypeString || row.type == kTypeFont;
      const ItemAccessResult result =
          itemengine::dma_SetValue(row.id, r.settings.get(), r.config.get(), row.type,
                                   byPointer ? DWORD(item.value.size()) : item.copyBytes,
                                   byPointer ? static_cast<const void*>(&item.textPointer) : item.value.data());
      if (result != kItemDone) state.SkipWithError(("item " + std::to_string(row.id) + " refused").c_str());
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * r.items.size());
}

BENCHMARK(PlainGet);
BENCHMARK(EngineGet);
BENCHMARK(PlainSet);
BENCHMARK(EngineSet);

// Engine against plain copy, for getting and for setting every item.
void PrintRatios(const RatioReporter& times) {
  for (const char* what : {"Get", "Set"})
    if (auto ratio = times.Ratio(std::string("Engine") + what, std::string("Plain") + what))
      std::printf("%s over all %zu items: engine / plain copy = %.2f\n", what, kItemRowCount, *ratio);
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
