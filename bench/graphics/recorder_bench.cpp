// The command recorder in recording mode: a path-heavy page (paths of lines and curves with
// their state commands) recorded into the output channel, whose user file is rewound after
// each page. Baselines: the same bytes written into the channel command by command, and a
// plain memcpy of the same bytes. Prints ns per command, MB/s and the ratios at the end.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "graphics/drawing/command_recorder.h"
#include "graphics/output/channel_files.h"
#include "graphics/output/file_target.h"
#include "graphics/output/output_channel.h"
#include "platform/kernel/kernel_sim.h"

namespace {

constexpr int kPaths = 200;          // paths per page
constexpr int kLinePoints = 24;      // points of each path's line part
constexpr int kCurveSegments = 4;    // curve segments of each path
constexpr int kCommandsPerPath = 8;  // colour, width, init, move, lines, curves, close, draw

// A sandbox and a channel recording into a user file, for the whole run.
struct BenchChannel {
  OutputChannel* channel = nullptr;
  std::filesystem::path root;
  std::vector<RecordPoint> lines, curves;
  std::vector<BYTE> encoded;              // one page as the recorder writes it
  std::vector<size_t> commandSizes;       // its commands' lengths, in order

  BenchChannel() {
    root = std::filesystem::temp_directory_path() / ("recorder-bench-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    channel = CreateChannel(nullptr);
    DWORD start = 0;
    if (OpenFileTarget(channel, u"C:\\page.kmr", &start, TRUE) != 0) std::abort();
    for (int i = 0; i < kLinePoints; ++i) lines.push_back({(100 + 37 * i) * 16 + 8, (200 + 11 * i) * 16 + 4});
    for (int i = 0; i < kCurveSegments * 3; ++i) curves.push_back({(300 + 13 * i) * 16 + 3, (400 + 7 * i) * 16 + 9});
    // The page's bytes and command lengths, taken from the file once.
    size_t before = 0;
    for (int p = 0; p < kPaths; ++p) {
      RecordPage(p, &before);
    }
    FlushChannel(channel);
    const std::string file = SimHostPath(u"C:\\page.kmr");
    FILE* in = std::fopen(file.c_str(), "rb");
    encoded.resize(std::filesystem::file_size(file));
    if (std::fread(encoded.data(), 1, encoded.size(), in) != encoded.size()) std::abort();
    std::fclose(in);
    Rewind();
  }
  ~BenchChannel() {
    DWORD end = 0;
    CloseFileTarget(channel, &end);
    DestroyChannel(channel);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }

  // One path with its state; records each command's length when sizes is given.
  void RecordPage(int p, size_t* before) {
    auto note = [&] {
      if (before == nullptr) return;
      FlushChannel(channel);
      const size_t now = std::filesystem::file_size(SimHostPath(u"C:\\page.kmr"));
      commandSizes.push_back(now - *before);
      *before = now;
    };
    RecordSetSolidColor(channel, 1, 4, 0x102030 + p);
    note();
    RecordSetLineWidthReal(channel, 1.5f + p);
    note();
    RecordInitPath(channel);
    note();
    RecordMovePointReal(channel, 10.5f, 20.25f);
    note();
    RecordAddLinePathReal(channel, kLinePoints, lines.data());
    note();
    RecordAddBezierPath(channel, kCurveSegments, curves.data());
    note();
    RecordClosePath(channel);
    note();
    RecordDrawPath(channel);
    note();
  }

  void Rewind() {
    FlushChannel(channel);
    SeekFileFromStart(channel->file, 0);
  }
};

BenchChannel& Bench() {
  static BenchChannel bench;
  return bench;
}

void RecordPathPage(benchmark::State& state) {
  BenchChannel& b = Bench();
  for (auto _ : state) {
    for (int p = 0; p < kPaths; ++p) b.RecordPage(p, nullptr);
    b.Rewind();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.encoded.size()));
  state.counters["ns/command"] = benchmark::Counter(static_cast<double>(state.iterations() * kPaths * kCommandsPerPath),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The same bytes handed to the channel command by command, already encoded.
void ChannelWriteSameBytes(benchmark::State& state) {
  BenchChannel& b = Bench();
  for (auto _ : state) {
    size_t at = 0;
    for (size_t n : b.commandSizes) {
      WriteChannel(b.channel, static_cast<DWORD>(n), b.encoded.data() + at);
      at += n;
    }
    b.Rewind();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.encoded.size()));
}

void MemcpySameBytes(benchmark::State& state) {
  BenchChannel& b = Bench();
  std::vector<BYTE> target(b.encoded.size());
  for (auto _ : state) {
    std::memcpy(target.data(), b.encoded.data(), b.encoded.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * b.encoded.size()));
}

BENCHMARK(RecordPathPage);
BENCHMARK(ChannelWriteSameBytes);
BENCHMARK(MemcpySameBytes);

void PrintRatios(const RatioReporter& reporter) {
  std::printf("page: %zu bytes in %d commands\n", Bench().encoded.size(), kPaths * kCommandsPerPath);
  if (auto r = reporter.Ratio("RecordPathPage", "MemcpySameBytes")) std::printf("recorder / memcpy: %.2f\n", *r);
  if (auto r = reporter.Ratio("RecordPathPage", "ChannelWriteSameBytes"))
    std::printf("recorder / channel writes of the same bytes: %.2f\n", *r);
  if (auto r = reporter.Ratio("ChannelWriteSameBytes", "MemcpySameBytes"))
    std::printf("channel writes / memcpy: %.2f\n", *r);
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
