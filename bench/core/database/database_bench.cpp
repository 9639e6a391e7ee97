// Opening a description database and reading its records, on the sample model and on a
// generated model of about 1 MB. The baseline is reading the same file's bytes with the
// platform's file calls; BM_OpenAgainstReadingTheFile reports the ratio (open / read) as the
// counter "open_x_read".
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/database/dbrecords.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/spooler/spooler_state.h"
#include "tools/dddtool/ddd_model.h"

namespace {

// A model of about 1 MB: 4000 papers with their size ranges and choices, and 300 device fonts
// carrying 2 KB of font data each.
std::string LargeModel() {
  std::string m = "model \"Large\"\nversion \"L:1.0.0\"\nlevel 0x1600\nlinked \"LARGE.DAT\"\n";
  std::string choices;
  for (int i = 1; i <= 4000; ++i) {
    std::string n = std::to_string(i);
    m += "sizerange " + n + " first=" + std::to_string(1000 + i) + "x2970 second=2100x2970\n";
    m += "paper " + n + " name=\"Paper " + n + "\" code=1 size=" + n + " limits=" + n + " margins=" + n + "\n";
    m += "choice " + n + " name=\"Paper " + n + "\" reftype=10 refkey=" + n + " value=i16:" + n + "\n";
    choices += (i > 1 ? " " : "") + n;
  }
  m += "list 8 name=\"Paper Size\" kind=1 default=1 choices=[" + choices + "]\n";
  std::string data = "hex:";
  for (int i = 0; i < 2048; ++i) data += "a5";
  for (int i = 1; i <= 300; ++i)
    m += "font " + std::to_string(i) + " linked name=\"Font " + std::to_string(i) + "\" faces=[\"Face\"] data=" + data + "\n";
  return m;
}

struct Files {
  std::u16string sample;
  std::u16string large;
};

const Files& Setup() {
  static const Files files = [] {
    std::filesystem::path root = std::filesystem::temp_directory_path() / ("qv-bench-db-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    SimInstallDriverFiles(QV_DRIVER_DIR);
    DddImage image;
    std::string error;
    if (!BuildDddImageFromText(LargeModel(), &image, &error)) std::abort();
    CreateDirectoryW(u"C:\\models", nullptr);
    std::ofstream(SimHostPath(u"C:\\models\\LARGE.DDD"), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.main.data()), static_cast<std::streamsize>(image.main.size()));
    std::ofstream(SimHostPath(u"C:\\models\\LARGE.DAT"), std::ios::binary)
        .write(reinterpret_cast<const char*>(image.linked.data()), static_cast<std::streamsize>(image.linked.size()));
    return Files{std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD", u"C:\\models\\LARGE.DDD"};
  }();
  return files;
}

const std::u16string& PathOf(const benchmark::State& state) {
  return state.range(0) == 0 ? Setup().sample : Setup().large;
}

// The bytes of the main file and its linked file (the baseline reads both, as opening does).
std::u16string LinkedPathOf(const benchmark::State& state) {
  return state.range(0) == 0 ? std::u16string(SimDriverDirectory()) + u"\\QX4500.DAT" : u"C:\\models\\LARGE.DAT";
}

DWORD ReadWholeFile(LPCWSTR path, std::vector<BYTE>& buffer) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD size = GetFileSize(file, nullptr);
  buffer.resize(size);
  DWORD read = 0;
  ReadFile(file, buffer.data(), size, &read, nullptr);
  CloseHandle(file);
  return read;
}

void BM_ReadFileBytes(benchmark::State& state) {
  std::vector<BYTE> buffer;
  std::u16string linked = LinkedPathOf(state);
  for (auto _ : state) {
    DWORD n = ReadWholeFile(PathOf(state).c_str(), buffer) + ReadWholeFile(linked.c_str(), buffer);
    benchmark::DoNotOptimize(n);
    state.SetBytesProcessed(state.bytes_processed() + n);
  }
}

void BM_OpenDatabase(benchmark::State& state) {
  for (auto _ : state) {
    DatabaseStream main = {}, linked = {};
    if (OpenDescriptionDatabase(PathOf(state).c_str(), 0, &main, &linked) != kDbOk) state.SkipWithError("open failed");
    state.SetBytesProcessed(state.bytes_processed() + main.size + linked.size);
    CloseDatabaseStreams(&main, &linked);
  }
}

void BM_OpenAgainstReadingTheFile(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  std::vector<BYTE> buffer;
  std::u16string linkedPath = LinkedPathOf(state);
  Clock::duration read{}, open{};
  for (auto _ : state) {
    auto t0 = Clock::now();
    benchmark::DoNotOptimize(ReadWholeFile(PathOf(state).c_str(), buffer) + ReadWholeFile(linkedPath.c_str(), buffer));
    auto t1 = Clock::now();
    DatabaseStream main = {}, linked = {};
    OpenDescriptionDatabase(PathOf(state).c_str(), 0, &main, &linked);
    CloseDatabaseStreams(&main, &linked);
    auto t2 = Clock::now();
    read += t1 - t0;
    open += t2 - t1;
  }
  state.counters["open_x_read"] = static_cast<double>(open.count()) / static_cast<double>(read.count());
}

void BM_ReadEveryRecord(benchmark::State& state) {
  DatabaseStream main = {}, linked = {};
  if (OpenDescriptionDatabase(PathOf(state).c_str(), 0, &main, &linked) != kDbOk) {
    state.SkipWithError("open failed");
    return;
  }
  std::int64_t records = 0;
  for (auto _ : state) {
    for (WORD type : DDD_DIRECTORY_TYPES) {
      WORD rows = CountRecords(&main, type);
      for (WORD n = 1; n <= rows; ++n) {
        DatabaseRecord* record = nullptr;
        if (ReadRecord(TRUE, &main, &linked, type, n, &record) == kDbOk) ++records;
        FreeRecord(&record, kDbAnyType);
      }
    }
  }
  state.counters["records"] = benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
  CloseDatabaseStreams(&main, &linked);
}

// Argument 0: the sample model; 1: the generated 1 MB model.
BENCHMARK(BM_ReadFileBytes)->Arg(0)->Arg(1);
BENCHMARK(BM_OpenDatabase)->Arg(0)->Arg(1);
BENCHMARK(BM_OpenAgainstReadingTheFile)->Arg(0)->Arg(1);
BENCHMARK(BM_ReadEveryRecord)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
