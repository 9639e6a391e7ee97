// The output channel: staging in the 2048-byte buffer, flushes and write-through as the
// spooler's log shows them, the user file beside the printer with its retry box, pass jobs,
// and the device-level calls of the job code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "graphics/job/channel_output.h"
#include "graphics/output/file_target.h"
#include "graphics/output/output_channel.h"
#include "tests/graphics/output/spool_fixture.h"

namespace {

constexpr WCHAR kUserFile[] = u"C:\\Saved\\job.kmr";

class ChannelTest : public SpoolTest {
 protected:
  void SetUp() override {
    SpoolTest::SetUp();
    if (HasFatalFailure()) return;
    engineJob_ = StartEngineJob();
    channel_ = CreateChannel(GetResourceModule());
    ASSERT_NE(channel_, nullptr);
    ASSERT_EQ(OpenChannelPrinter(channel_, printer_, nullptr, u"Engine Document", nullptr), 0);
    std::filesystem::create_directories(Host(u"C:\\Saved"));
  }

  void TearDown() override {
    DestroyChannel(channel_);
    if (printer_ != nullptr) EndDocPrinter(printer_);
    SpoolTest::TearDown();
  }

  // Bytes numbered from `from`, so that a lost, doubled or reordered byte shows.
  static std::vector<BYTE> Pattern(size_t length, size_t from = 0) {
    std::vector<BYTE> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<BYTE>((from + i) * 31 + (from + i) / 251);
    return bytes;
  }

  std::vector<BYTE> EngineBytes() {
    return SimReadSpoolJob(engineJob_);
  }

  std::vector<BYTE> FileBytes(const WCHAR* path = kUserFile) {
    std::ifstream in(Host(path), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
  }

  OutputChannel* channel_ = nullptr;
  DWORD engineJob_ = 0;
};

TEST_F(ChannelTest, StagesUpTo2048BytesThenFlushesAndWritesThrough) {
  auto bytes = Pattern(2059);
  EXPECT_EQ(WriteChannel(channel_, 1000, bytes.data()), 1000);
  EXPECT_EQ(WriteChannel(channel_, 1048, bytes.data() + 1000), 1048);
  EXPECT_EQ(channel_->fill, 2048u);
  EXPECT_TRUE(WriteSizes(engineJob_).empty()) << "2048 bytes fit the staging buffer";
  // One byte more: the waiting 2048 go first, then the new block straight through.
  EXPECT_EQ(WriteChannel(channel_, 1, bytes.data() + 2048), 1);
  EXPECT_EQ(WriteSizes(engineJob_), (std::vector<DWORD>{2048, 1}));
  EXPECT_EQ(channel_->fill, 0u);
  EXPECT_EQ(WriteChannel(channel_, 10, bytes.data() + 2049), 10);
  EXPECT_EQ(FlushChannel(channel_), 0);
  EXPECT_EQ(FlushChannel(channel_), 0) << "nothing waits";
  EXPECT_EQ(WriteSizes(engineJob_), (std::vector<DWORD>{2048, 1, 10}));
  EXPECT_EQ(EngineBytes(), bytes);
}

TEST_F(ChannelTest, BlocksThatDoNotFitAreWrittenWholeAfterTheWaitingBytes) {
  struct Case {
    std::vector<DWORD> writes;
    std::vector<DWORD> calls;  // WritePrinter sizes, the final flush included
  };
  const Case cases[] = {
      {{3000}, {3000}},
      {{10, 3000}, {10, 3000}},
      {{2048, 2048}, {2048, 2048}},
      {{2047, 1, 1}, {2048, 1}},
      {{100, 2000, 5}, {100, 2000, 5}},
      {{5, 2500000, 7}, {5, 1000000, 1000000, 500000, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.writes));
    EndDocPrinter(printer_);
    engineJob_ = StartEngineJob();
    ASSERT_EQ(OpenChannelPrinter(channel_, printer_, nullptr, nullptr, nullptr), 0);
    const size_t total = std::accumulate(c.writes.begin(), c.writes.end(), size_t{0});
    auto bytes = Pattern(total);
    size_t at = 0;
    for (DWORD length : c.writes) {
      EXPECT_EQ(WriteChannel(channel_, length, bytes.data() + at), static_cast<int>(length));
      at += length;
    }
    EXPECT_EQ(FlushChannel(channel_), 0);
    EXPECT_EQ(WriteSizes(engineJob_), c.calls);
    EXPECT_EQ(EngineBytes(), bytes);
  }
}

TEST_F(ChannelTest, ArgumentsAndClosedChannel) {
  EXPECT_EQ(WriteChannel(channel_, 0, nullptr), 0);
  EXPECT_EQ(WriteChannel(channel_, 4, nullptr), -1);
  EXPECT_EQ(WriteChannel(nullptr, 4, "abcd"), -1);
  EXPECT_EQ(FlushChannel(nullptr), -1);
  EXPECT_EQ(SetChannelMode(nullptr, kChannelPrinter), -1);
  EXPECT_EQ(DestroyChannel(nullptr), 0);
  EXPECT_FALSE(HasChannelTarget(nullptr));
  EXPECT_EQ(SetChannelMode(channel_, 5), -1);
  // Releasing keeps the engine's job open and closes the channel.
  EXPECT_EQ(WriteChannel(channel_, 4, "abcd"), 4);
  EXPECT_EQ(ReleaseChannelTarget(channel_), 0);
  EXPECT_EQ(channel_->mode, kChannelClosed);
  EXPECT_FALSE(HasChannelTarget(channel_));
  EXPECT_EQ(WriteChannel(channel_, 4, "efgh"), -1);
  EXPECT_EQ(FlushChannel(channel_), -1);
  EXPECT_EQ(ReleaseChannelTarget(channel_), -1);
  EXPECT_EQ(Job(engineJob_).state, SimJobState::Open);
  EXPECT_EQ(WriteSizes(engineJob_), (std::vector<DWORD>{4}));
  EXPECT_EQ(OpenChannelPrinter(channel_, nullptr, nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(channel_->mode, kChannelClosed);
}

TEST_F(ChannelTest, PrinterFailuresFailTheWriteAndEmptyTheBuffer) {
  auto bytes = Pattern(3000);
  // A failed flush.
  WriteChannel(channel_, 100, bytes.data());
  SimFailCall("WritePrinter", ERROR_WRITE_FAULT);
  EXPECT_EQ(FlushChannel(channel_), -1);
  EXPECT_EQ(channel_->fill, 0u);
  // A flush the spooler takes only in part.
  WriteChannel(channel_, 100, bytes.data());
  SimLimitPrinterWrites(60);
  EXPECT_EQ(FlushChannel(channel_), -1);
  EXPECT_EQ(channel_->fill, 0u);
  // A write-through the spooler takes only in part fails too.
  SimLimitPrinterWrites(2000);
  EXPECT_EQ(WriteChannel(channel_, 3000, bytes.data()), -1);
  // A write-through whose flush fails.
  WriteChannel(channel_, 100, bytes.data());
  SimFailCall("WritePrinter", ERROR_WRITE_FAULT);
  EXPECT_EQ(WriteChannel(channel_, 3000, bytes.data()), -1);
  EXPECT_EQ(WriteSizes(engineJob_), (std::vector<DWORD>{100, 100, 3000, 100, 3000}));
  // The channel stays usable.
  EXPECT_EQ(WriteChannel(channel_, 3000, bytes.data()), 3000);
}

TEST_F(ChannelTest, UserFileBesideThePrinter) {
  std::ofstream(Host(u"C:\\Saved\\old.kmr"), std::ios::binary) << "0123456789";
  auto bytes = Pattern(5000);
  EXPECT_EQ(WriteChannel(channel_, 20, bytes.data()), 20);
  ASSERT_EQ(AddFileTarget(channel_, kUserFile), 0);
  EXPECT_EQ(channel_->mode, kChannelPrinterAndFile);
  EXPECT_EQ(WriteSizes(engineJob_), (std::vector<DWORD>{20})) << "the mode change flushed";
  EXPECT_EQ(AddFileTarget(channel_, kUserFile), -1) << "only from the printer mode";
  EXPECT_EQ(WriteChannel(channel_, 30, bytes.data() + 20), 30);
  EXPECT_EQ(WriteChannel(channel_, 4000, bytes.data() + 50), 4000);
  EXPECT_EQ(WriteChannel(channel_, 950, bytes.data() + 4050), 950);
  EXPECT_EQ(EndFileTarget(channel_), 0);
  EXPECT_EQ(channel_->mode, kChannelPrinter);
  EXPECT_EQ(channel_->file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(EngineBytes(), bytes);
  EXPECT_EQ(FileBytes(), std::vector<BYTE>(bytes.begin() + 20, bytes.end()));

  // A file opened without creating keeps its bytes: the channel appends after them (mode 3).
  DWORD start = 0, end = 0;
  ASSERT_EQ(OpenFileTarget(channel_, u"C:\\Saved\\old.kmr", &start, FALSE), 0);
  EXPECT_EQ(start, 10u);
  EXPECT_EQ(channel_->mode, kChannelUserFile);
  EXPECT_EQ(WriteChannel(channel_, 5, "abcde"), 5);
  EXPECT_EQ(CloseFileTarget(channel_, &end), 0);
  EXPECT_EQ(end, 15u);
  EXPECT_EQ(channel_->mode, kChannelPrinter);
  auto old = FileBytes(u"C:\\Saved\\old.kmr");
  EXPECT_EQ(std::string(old.begin(), old.end()), "0123456789abcde");
  EXPECT_EQ(EngineBytes().size(), 5000u) << "the printer saw none of it";
  EXPECT_EQ(CloseFileTarget(channel_, &end), -1) << "no file";
}

TEST_F(ChannelTest, FailingFileWriteAsksToRetryAndFailsWhenGivenUp) {
  channel_->messageId = kPrintToFileFailureString;
  SimShortWrite(u"C:\\SAVED\\*", 100);
  ASSERT_EQ(AddFileTarget(channel_, kUserFile), 0);
  auto bytes = Pattern(2048);
  EXPECT_EQ(WriteChannel(channel_, 2048, bytes.data()), 2048);
  // The file takes 100 bytes and then nothing: OK goes on with the rest, Cancel gives up.
  SimMessageBoxAnswer(IDOK);
  SimMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(FlushChannel(channel_), -1);
  EXPECT_EQ(channel_->fill, 0u);
  auto boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  for (const SimMessageBox& box : boxes) {
    EXPECT_EQ(box.caption, u"Print to file");
    EXPECT_EQ(box.text, u"The saved job cannot be written. Try again?");
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND));
    EXPECT_EQ(box.owner, nullptr);
  }
  EXPECT_EQ(boxes[0].answer, IDOK);
  EXPECT_EQ(EngineBytes(), bytes) << "the printer got every byte";

  // A write-through: without a scripted answer the box answers Cancel and the write fails.
  SimMessageBoxReset();
  EXPECT_EQ(WriteChannel(channel_, 3000, Pattern(3000).data()), -1);
  ASSERT_EQ(SimMessageBoxLog().size(), 1u);
  EXPECT_FALSE(SimMessageBoxLog()[0].scripted);
  EXPECT_EQ(EndFileTarget(channel_), 0);
  EXPECT_EQ(FileBytes(), std::vector<BYTE>(bytes.begin(), bytes.begin() + 100));
}

TEST_F(ChannelTest, UserFileThatCannotBeOpenedFailsEveryFileWrite) {
  channel_->messageId = kPrintToFileFailureString;
  SimFailOpen(u"C:\\SAVED\\*");
  EXPECT_EQ(AddFileTarget(channel_, kUserFile), -1);
  EXPECT_EQ(channel_->mode, kChannelPrinterAndFile);
  auto bytes = Pattern(3000);
  SimMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(WriteChannel(channel_, 3000, bytes.data()), -1);
  EXPECT_EQ(SimMessageBoxLog().size(), 1u);
  EXPECT_EQ(EngineBytes(), bytes) << "the printer side is written all the same";
}

TEST_F(ChannelTest, PassJobsAreOpenedAndClosedByTheChannel) {
  ASSERT_EQ(ReleaseChannelTarget(channel_), 0);
  ASSERT_EQ(OpenChannelSpoolJob(channel_, printer_, nullptr, u"Second pass", nullptr), 0);
  EXPECT_NE(channel_->target, printer_);
  const DWORD pass = SimListSpoolJobs().back().id;
  EXPECT_EQ(WriteChannel(channel_, 6, "pass 2"), 6);
  EXPECT_EQ(CloseChannelToPrinter(channel_), 0);
  EXPECT_EQ(channel_->mode, kChannelClosed);
  EXPECT_FALSE(HasChannelTarget(channel_));
  EXPECT_EQ(CallNames(pass), (std::vector<std::string>{"StartDocPrinterW", "StartPagePrinter", "WritePrinter",
                                                        "EndPagePrinter", "EndDocPrinter"}));
  auto data = SimReadSpoolJob(pass);
  EXPECT_EQ(std::string(data.begin(), data.end()), "pass 2");
  EXPECT_EQ(SimOpenPrinterHandleCount(), 1u);
  EXPECT_TRUE(EngineBytes().empty());

  // A pass job that cannot be ended is reported.
  ASSERT_EQ(OpenChannelSpoolJob(channel_, printer_, nullptr, u"Third pass", nullptr), 0);
  SimFailCall("EndDocPrinter", ERROR_INVALID_HANDLE);
  EXPECT_EQ(CloseChannelToPrinter(channel_), -1);
  EXPECT_EQ(SimOpenPrinterHandleCount(), 1u);
  // A pass job that cannot be opened leaves the channel closed.
  SimFailCall("OpenPrinterW", ERROR_INVALID_PRINTER_NAME);
  EXPECT_EQ(OpenChannelSpoolJob(channel_, printer_, nullptr, u"Fourth pass", nullptr), -1);
  EXPECT_EQ(channel_->mode, kChannelClosed);
}

TEST_F(ChannelTest, StoredPageWritesFailWithoutAnOpenStore) {
  EXPECT_EQ(WriteChannel(channel_, 5, "abcde"), 5);
  EXPECT_EQ(SetChannelMode(channel_, kChannelTempStore), 0);
  EXPECT_EQ(WriteSizes(engineJob_), (std::vector<DWORD>{5})) << "the mode change flushed";
  EXPECT_EQ(WriteChannel(channel_, 3000, Pattern(3000).data()), -1);
  EXPECT_EQ(SetChannelMode(channel_, kChannelPrinter), 0);
}

TEST_F(ChannelTest, DeviceLevelCallsOfTheJobCode) {
  DestroyChannel(channel_);
  channel_ = nullptr;
  Pdev pdev{};
  pdev.printer = printer_;
  pdev.job.pageStoreState = 0x8000;
  ASSERT_EQ(OpenOutputChannel(&pdev), 0);
  ASSERT_NE(pdev.channel, nullptr);
  EXPECT_EQ(pdev.job.pageStoreState, 0u);
  EXPECT_EQ(pdev.channel->mode, kChannelClosed);
  ASSERT_EQ(StartChannelOutput(&pdev, printer_, nullptr, u"Engine Document", nullptr), 0);
  // Before the job's output begins nothing is written.
  EXPECT_EQ(WriteStreamData(&pdev, 4, "head"), 0);
  EXPECT_EQ(pdev.channel->fill, 0u);
  pdev.job.flags |= kJobOutputBegun;
  EXPECT_EQ(WriteStreamData(&pdev, 4, "body"), 0);
  EXPECT_EQ(WriteStreamData(&pdev, 4, nullptr), -1);
  // The first pass ends by releasing the engine's job, which stays open.
  EXPECT_EQ(EndPassOutput(&pdev, 0), 0);
  EXPECT_EQ(Job(engineJob_).state, SimJobState::Open);
  // A later pass has its own job, closed at its end.
  ASSERT_EQ(StartPassOutput(&pdev, printer_, nullptr, u"Pass 2", nullptr), 0);
  EXPECT_EQ(WriteStreamData(&pdev, 4, "pass"), 0);
  EXPECT_EQ(EndPassOutput(&pdev, 0), 0);
  EXPECT_EQ(SimListSpoolJobs().back().state, SimJobState::Complete);
  EXPECT_EQ(EndChannelOutput(&pdev, 0), 0) << "no target left";
  CloseOutputChannel(&pdev);
  EXPECT_EQ(pdev.channel, nullptr);
  auto data = EngineBytes();
  EXPECT_EQ(std::string(data.begin(), data.end()), "body");
  EXPECT_EQ(OpenOutputChannel(nullptr), -1);
  EXPECT_EQ(WriteStreamData(&pdev, 4, "late"), -1) << "no channel";
}

TEST_F(ChannelTest, EndOfOutputReportsALastWriteThatFailed) {
  DestroyChannel(channel_);
  channel_ = nullptr;
  Pdev pdev{};
  pdev.printer = printer_;
  pdev.job.flags = kJobOutputBegun;
  ASSERT_EQ(OpenOutputChannel(&pdev), 0);
  ASSERT_EQ(StartChannelOutput(&pdev, printer_, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(WriteStreamData(&pdev, 7, "trailer"), 0);
  SimFailCall("WritePrinter", ERROR_WRITE_FAULT);
  EXPECT_EQ(EndChannelOutput(&pdev, 0), -1);
  EXPECT_FALSE(HasChannelTarget(pdev.channel));
  CloseOutputChannel(&pdev);
}

}  // namespace
