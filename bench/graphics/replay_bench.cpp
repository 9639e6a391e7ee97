// Stored pages against direct drawing: a 100-page document of small commands (colour, line
// width, a short path, a rectangle per shape) drawn straight into the stand-in drawing library,
// against recording it into the temporary job store and replaying every page, and against
// replaying alone. The library counts calls only, so the times are the module's own work.
// Prints the ratios and the temporary file's size.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "graphics/drawing/command_recorder.h"
#include "graphics/drawing/command_replayer.h"
#include "graphics/drawing/drawing_session.h"
#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/platform.h"

namespace {

constexpr int kPages = 100;
constexpr int kShapes = 60;  // per page; 6 commands each

using CountOnlyProc = void (*)(BOOL);

// A sandbox, the stand-in library bound into a session, and a channel, for the whole run.
struct BenchSession {
  std::filesystem::path root;
  DrawingFunctionTable table{};
  DrawingLibrarySession session{};
  std::vector<BYTE> zeros = std::vector<BYTE>(0x4000);
  OutputChannel* channel = nullptr;
  DWORD storeSize = 0;

  BenchSession() {
    root = std::filesystem::temp_directory_path() / ("replay-bench-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    const char* driver = std::getenv("QV_DRIVER_DIR");
    SimInstallDriverFiles(driver != nullptr ? driver : QV_DRIVER_DIR);
    table.module = LoadLibraryW(u"qvdrawzd.dll");
    if (table.module == nullptr) std::abort();
    for (int slot = 1; slot <= kDrawingSlotCount; ++slot) {
      FARPROC address = GetProcAddress(table.module, kDrawingFunctionNames[slot - 1]);
      if (address == nullptr) std::abort();
      *DrawingSlotAddress(&table, slot) = reinterpret_cast<void*>(address);
    }
    reinterpret_cast<CountOnlyProc>(GetProcAddress(table.module, "SimDrawCountOnly"))(TRUE);
    session.functions = &table;
    session.colorBlock = zeros.data();
    session.library = table.Initialize(zeros.data(), zeros.data(), zeros.data(), zeros.data(), zeros.data(),
                                       zeros.data());
    channel = CreateChannel(nullptr);
    channel->session = &session;
    channel->mode = kChannelPrinter;
  }
  ~BenchSession() {
    ResetChannelStore(channel);
    channel->session = nullptr;
    DestroyChannel(channel);
    table.Finalize(session.library);
    FreeLibrary(table.module);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }

  void DrawPage(int page) {
    for (int s = 0; s < kShapes; ++s) {
      const LONG x = 10 * s, y = 7 * page + s;
      const RecordPoint points[3] = {{x, y}, {x + 40, y}, {x + 40, y + 30}};
      RecordSetSolidColor(channel, 1, 4, 0x010203u * static_cast<DWORD>(s));
      RecordSetLineWidth(channel, static_cast<WORD>(1 + s % 4));
      RecordMovePoint(channel, x, y);
      RecordAddLinePath(channel, 3, points);
      RecordDrawPath(channel);
      RecordDrawRectangle(channel, x, y, x + 20, y + 20);
    }
  }

  void RecordDocument() {
    if (OpenChannelStore(channel, 1, kPageRecordBytes, kStoredPageTableStep) != 0) std::abort();
    for (int p = 0; p < kPages; ++p) {
      if (BeginStoredPage(channel, static_cast<WORD>(1 + p)) != 0) std::abort();
      DrawPage(p);
      if (EndStoredPage(channel) != 0) std::abort();
    }
    storeSize = channel->store.size;
  }

  void ReplayDocument() {
    BYTE buffer[kReplayChunkSize];
    StoredRecordHeader end{};
    for (int p = 0; p < kPages; ++p) {
      // The pages have no stored records: the page's end follows its commands.
      if (PositionStoredPage(channel, static_cast<WORD>(1 + p)) != 0 ||
          ReplayCommands(channel, kReplayChunkSize, buffer) != kReplayDone ||
          ReadStoredRecordHeader(channel, &end) != kStoredPageEnd)
        std::abort();
    }
  }
};

BenchSession& Bench() {
  static BenchSession bench;
  return bench;
}

void DrawDirectly(benchmark::State& state) {
  BenchSession& b = Bench();
  for (auto _ : state)
    for (int p = 0; p < kPages; ++p) b.DrawPage(p);
}

void RecordThenReplay(benchmark::State& state) {
  BenchSession& b = Bench();
  for (auto _ : state) {
    b.RecordDocument();
    b.ReplayDocument();
    ResetChannelStore(b.channel);
  }
}

void ReplayOnly(benchmark::State& state) {
  BenchSession& b = Bench();
  b.RecordDocument();
  for (auto _ : state) b.ReplayDocument();
  ResetChannelStore(b.channel);
}

BENCHMARK(DrawDirectly)->Unit(benchmark::kMillisecond);
BENCHMARK(RecordThenReplay)->Unit(benchmark::kMillisecond);
BENCHMARK(ReplayOnly)->Unit(benchmark::kMillisecond);

void PrintRatios(const RatioReporter& reporter) {
  std::printf("document: %d pages of %d commands; temporary file %lu bytes\n", kPages, kShapes * 6,
              static_cast<unsigned long>(Bench().storeSize));
  if (auto r = reporter.Ratio("RecordThenReplay", "DrawDirectly")) std::printf("record + replay / direct: %.2f\n", *r);
  if (auto r = reporter.Ratio("ReplayOnly", "DrawDirectly")) std::printf("replay / direct: %.2f\n", *r);
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
