// The command recorder in recording mode as a job uses it: a path-heavy page (paths of lines
// and curves with their state commands) recorded into the output channel in mode 2 between
// BeginStoredPage and EndStoredPage, so that its bytes go to the temporary job store's file;
// the store starts afresh every kPagesPerStore pages (outside the timing). Measured twice: the
// encoding into the channel alone (the recorder's calls, timed by hand; the page's bytes stay in
// the channel's staging buffer and the store's write-behind block, which holds a whole page)
// and the whole path with the page's begin and end, whose flush writes the store's file. Baselines: the same
// bytes written into the channel command by command, the whole page written to the store at
// once (the file's own cost), the encoding of the same operands into
// memory (the conversions and byte order every command needs, no channel), and a plain memcpy
// of the same bytes. Prints ns per command, MB/s and the ratios at the end.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <bit>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "graphics/drawing/command_recorder.h"
#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "platform/base/byte_order.h"
#include "platform/base/text.h"
#include "platform/kernel/files.h"
#include "platform/kernel/kernel_sim.h"

namespace {

constexpr int kPaths = 200;          // paths per page
constexpr int kLinePoints = 24;      // points of each path's line part
constexpr int kCurveSegments = 4;    // curve segments of each path
constexpr int kCommandsPerPath = 8;  // colour, width, init, move, lines, curves, close, draw
constexpr WORD kPagesPerStore = 64;  // pages recorded into one store file

// A sandbox and a channel whose pages are recorded into the temporary job store, for the
// whole run.
struct BenchChannel {
  OutputChannel* channel = nullptr;
  std::filesystem::path root;
  std::vector<RecordPoint> lines, curves;
  std::vector<BYTE> encoded;         // one page as the recorder writes it
  std::vector<size_t> commandSizes;  // its commands' lengths, in order
  WORD nextPage = 1;

  BenchChannel() {
    root = std::filesystem::temp_directory_path() / ("recorder-bench-" + std::to_string(::getpid()));
    SimSetSandboxRoot(root.string());
    channel = CreateChannel(nullptr);
    for (int i = 0; i < kLinePoints; ++i) lines.push_back({(100 + 37 * i) * 16 + 8, (200 + 11 * i) * 16 + 4});
    for (int i = 0; i < kCurveSegments * 3; ++i) curves.push_back({(300 + 13 * i) * 16 + 3, (400 + 7 * i) * 16 + 9});
    NewStore();
    // The page's bytes and command lengths, read back from the store once.
    BeginPage();
    for (int p = 0; p < kPaths; ++p) RecordPath(p, true);
    EndPage();
    encoded.resize(static_cast<size_t>(GetTempStoreSize(&channel->store)));
    if (PositionStoredPage(channel, 1) != 0) std::abort();
    size_t got = 0;
    for (int n; (n = ReadChannelChunk(channel, 65536, encoded.data() + got)) > 0;) got += static_cast<size_t>(n);
    if (got != encoded.size()) std::abort();
    NewStore();
  }
  ~BenchChannel() {
    ResetChannelStore(channel);
    DestroyChannel(channel);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }

  // A fresh store file; the channel waits in mode 1 between pages (nothing reaches a printer).
  void NewStore() {
    ResetChannelStore(channel);
    if (OpenChannelStore(channel, 1, kPageRecordBytes, kStoredPageTableStep) != 0) std::abort();
    channel->mode = kChannelPrinter;
    nextPage = 1;
  }
  void BeginPage() {
    if (BeginStoredPage(channel, nextPage++) != 0) std::abort();
  }
  void EndPage() {
    if (EndStoredPage(channel) != 0) std::abort();
  }
  // Starts a fresh store outside the timing once a store holds kPagesPerStore pages.
  void NewStoreWhenFull(benchmark::State& state) {
    if (nextPage <= kPagesPerStore) return;
    state.PauseTiming();
    NewStore();
    state.ResumeTiming();
  }

  // One path with its state; notes each command's length when asked.
  void RecordPath(int p, bool note) {
    LONG before = GetTempStoreSize(&channel->store) + static_cast<LONG>(channel->fill);
    auto noted = [&] {
      if (!note) return;
      const LONG now = GetTempStoreSize(&channel->store) + static_cast<LONG>(channel->fill);
      commandSizes.push_back(static_cast<size_t>(now - before));
      before = now;
    };
    RecordSetSolidColor(channel, 1, 4, 0x102030 + p);
    noted();
    RecordSetLineWidthReal(channel, 1.5f + p);
    noted();
    RecordInitPath(channel);
    noted();
    RecordMovePointReal(channel, 10.5f, 20.25f);
    noted();
    RecordAddLinePathReal(channel, kLinePoints, lines.data());
    noted();
    RecordAddBezierPath(channel, kCurveSegments, curves.data());
    noted();
    RecordClosePath(channel);
    noted();
    RecordDrawPath(channel);
    noted();
  }
};

BenchChannel& Bench() {
  static BenchChannel bench;
  return bench;
}

void SetRates(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Bench().encoded.size()));
  state.counters["ns/command"] = benchmark::Counter(static_cast<double>(state.iterations() * kPaths * kCommandsPerPath),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The recorder's calls alone: the page's bytes go into the channel and stay in memory.
void RecordPathPageIntoChannel(benchmark::State& state) {
  BenchChannel& b = Bench();
  for (auto _ : state) {
    b.NewStoreWhenFull(state);
    b.BeginPage();
    const auto start = std::chrono::steady_clock::now();
    for (int p = 0; p < kPaths; ++p) b.RecordPath(p, false);
    const auto stop = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    if (b.channel->store.appended + b.channel->fill != b.encoded.size()) {
      state.SkipWithError("the page did not stay in the channel's memory");
      break;
    }
    b.EndPage();
  }
  SetRates(state);
}

// The whole path: the page begun, recorded, and ended with its flush into the store's file.
void RecordPathPage(benchmark::State& state) {
  BenchChannel& b = Bench();
  for (auto _ : state) {
    b.NewStoreWhenFull(state);
    b.BeginPage();
    for (int p = 0; p < kPaths; ++p) b.RecordPath(p, false);
    b.EndPage();
  }
  SetRates(state);
}

// The same bytes handed to the channel command by command, already encoded.
void ChannelWriteSameBytes(benchmark::State& state) {
  BenchChannel& b = Bench();
  for (auto _ : state) {
    b.NewStoreWhenFull(state);
    b.BeginPage();
    size_t at = 0;
    for (size_t n : b.commandSizes) {
      WriteChannel(b.channel, static_cast<DWORD>(n), b.encoded.data() + at);
      at += n;
    }
    b.EndPage();
  }
  SetRates(state);
}

BYTE* PutWord(BYTE* out, WORD v) {
  PutBE16(out, v);
  return out + 2;
}
BYTE* PutFloat(BYTE* out, float v) {
  const DWORD bigEndian = __builtin_bswap32(std::bit_cast<DWORD>(v));
  std::memcpy(out, &bigEndian, 4);
  return out + 4;
}
// 28.4 points as floats.
BYTE* PutPoints(BYTE* out, const std::vector<RecordPoint>& points) {
  for (const RecordPoint& pt : points)
    out = PutFloat(PutFloat(out, static_cast<float>(pt.x) * 0.0625f), static_cast<float>(pt.y) * 0.0625f);
  return out;
}

// The least the store's file costs: the whole page appended at once and flushed to the file.
void StoreWriteSameBytes(benchmark::State& state) {
  BenchChannel& b = Bench();
  for (auto _ : state) {
    b.NewStoreWhenFull(state);
    b.BeginPage();
    WriteChannelToTempStore(b.channel, static_cast<DWORD>(b.encoded.size()), b.encoded.data());
    b.EndPage();
  }
  SetRates(state);
}

// The file system's own cost: the page appended to a plain file of the temporary folder with
// one WriteFile, the file made afresh every kPagesPerStore pages (outside the timing).
void FileWriteSameBytes(benchmark::State& state) {
  BenchChannel& b = Bench();
  WCHAR path[MAX_PATH] = {};
  const DWORD folder = GetTempPathW(MAX_PATH, path);
  if (folder == 0 || folder + 16 >= MAX_PATH) {
    state.SkipWithError("no temporary folder");
    return;
  }
  lstrcatW(path, u"page-bench.tmp");
  auto create = [&] {
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE file = create();
  WORD pages = 0;
  for (auto _ : state) {
    if (file == INVALID_HANDLE_VALUE) {
      state.SkipWithError("the file could not be made");
      break;
    }
    if (++pages > kPagesPerStore) {
      state.PauseTiming();
      CloseHandle(file);
      DeleteFileW(path);
      file = create();
      pages = 1;
      state.ResumeTiming();
    }
    DWORD written = 0;
    if (!WriteFile(file, b.encoded.data(), static_cast<DWORD>(b.encoded.size()), &written, nullptr) ||
        written != b.encoded.size()) {
      state.SkipWithError("the write failed");
      break;
    }
  }
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  DeleteFileW(path);
  SetRates(state);
}

// The least any recorder does: the same operands converted (28.4 fixed point to floats) and
// written big-endian into memory, command by command, without a channel.
void EncodeSameOperands(benchmark::State& state) {
  BenchChannel& b = Bench();
  std::vector<BYTE> target(b.encoded.size() + 64);
  for (auto _ : state) {
    BYTE* out = target.data();
    for (int p = 0; p < kPaths; ++p) {
      const DWORD color = 0x102030 + p;
      out = PutWord(out, kDlSetSolidColor);
      *out++ = 1;
      *out++ = 4;
      *out++ = static_cast<BYTE>(color >> 16);
      *out++ = static_cast<BYTE>(color >> 8);
      *out++ = static_cast<BYTE>(color);
      out = PutFloat(PutWord(out, kDlSetLineWidthReal), 1.5f + p);
      out = PutWord(out, kDlInitPath);
      out = PutFloat(PutFloat(PutWord(out, kDlMovePointReal), 10.5f), 20.25f);
      out = PutPoints(PutWord(PutWord(out, kDlAddLinePathReal), kLinePoints), b.lines);
      out = PutPoints(PutWord(PutWord(out, kDlAddBezierPath), kCurveSegments), b.curves);
      out = PutWord(PutWord(out, kDlClosePath), kDlDrawPath);
    }
    if (static_cast<size_t>(out - target.data()) != b.encoded.size()) state.SkipWithError("encoded length differs");
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  if (std::memcmp(target.data(), b.encoded.data(), b.encoded.size()) != 0) state.SkipWithError("encoded bytes differ");
  SetRates(state);
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

BENCHMARK(RecordPathPageIntoChannel)->UseManualTime();
BENCHMARK(RecordPathPage);
BENCHMARK(ChannelWriteSameBytes);
BENCHMARK(StoreWriteSameBytes);
BENCHMARK(FileWriteSameBytes);
BENCHMARK(EncodeSameOperands);
BENCHMARK(MemcpySameBytes);

void PrintRatios(const RatioReporter& reporter) {
  std::printf("page: %zu bytes in %d commands, recorded into the temporary job store\n", Bench().encoded.size(),
              kPaths * kCommandsPerPath);
  if (auto r = reporter.Ratio("RecordPathPageIntoChannel/manual_time", "MemcpySameBytes"))
    std::printf("recorder into the channel / memcpy: %.2f\n", *r);
  if (auto r = reporter.Ratio("RecordPathPage", "MemcpySameBytes"))
    std::printf("recorder, whole path with the store / memcpy: %.2f\n", *r);
  if (auto r = reporter.Ratio("RecordPathPageIntoChannel/manual_time", "EncodeSameOperands"))
    std::printf("recorder into the channel / encoding alone: %.2f\n", *r);
  if (auto r = reporter.Ratio("RecordPathPage", "EncodeSameOperands"))
    std::printf("recorder, whole path / encoding alone: %.2f\n", *r);
  if (auto r = reporter.Ratio("RecordPathPage", "ChannelWriteSameBytes"))
    std::printf("recorder, whole path / channel writes of the same bytes: %.2f\n", *r);
  if (auto r = reporter.Ratio("RecordPathPage", "StoreWriteSameBytes"))
    std::printf("recorder, whole path / the page written to the store at once: %.2f\n", *r);
  if (auto r = reporter.Ratio("StoreWriteSameBytes", "MemcpySameBytes"))
    std::printf("the page written to the store at once / memcpy: %.2f\n", *r);
  if (auto r = reporter.Ratio("FileWriteSameBytes", "MemcpySameBytes"))
    std::printf("the page written to a plain file / memcpy: %.2f\n", *r);
  if (auto r = reporter.Ratio("StoreWriteSameBytes", "FileWriteSameBytes"))
    std::printf("the page written to the store at once / to a plain file: %.2f\n", *r);
  if (auto r = reporter.Ratio("ChannelWriteSameBytes", "MemcpySameBytes"))
    std::printf("channel writes / memcpy: %.2f\n", *r);
  if (auto r = reporter.Ratio("EncodeSameOperands", "MemcpySameBytes"))
    std::printf("encoding alone / memcpy: %.2f\n", *r);
}

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithRatios(argc, argv, PrintRatios); }
