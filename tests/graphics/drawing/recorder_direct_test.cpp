// The command recorder in the direct modes: every command form calls the drawing library with
// the converted arguments (printer mode), or calls it and records the list (printer and file);
// a failing library call fails the command before anything is recorded.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/graphics/drawing/library_fixture.h"
#include "tests/graphics/drawing/recorder_cases.h"

namespace {

class RecorderDirectTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
  }

  // The library calls traced since the last look, breaches left out, results cut off.
  std::vector<std::string> NewCalls() {
    std::vector<std::string> calls;
    const std::string text = Trace();
    for (size_t at = seen_; at < text.size();) {
      const size_t end = text.find('\n', at);
      const std::string line = text.substr(at, end - at);
      if (line.rfind("VR_", 0) == 0) calls.push_back(line);
      at = end + 1;
    }
    seen_ = text.size();
    return calls;
  }

  static std::vector<std::string> Expected(const std::string& trace, int result = 0) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < trace.size();) {
      const size_t end = std::min(trace.find('\n', at), trace.size());
      lines.push_back(trace.substr(at, end - at) + " = " + std::to_string(result));
      at = end + 1;
    }
    return lines;
  }

  size_t seen_ = 0;
};

TEST_F(RecorderDirectTest, PrinterModeCallsTheLibraryOnly) {
  NewCalls();
  for (const ListCase& c : kListCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.record(channel_), 0);
    EXPECT_EQ(NewCalls(), Expected(c.trace));
    EXPECT_EQ(channel_->fill, 0u) << "nothing recorded";
  }
}

TEST_F(RecorderDirectTest, PrinterAndFileModeCallsThenRecords) {
  NewCalls();
  for (const ListCase& c : kListCases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(AddFileTarget(channel_, kUserFile), 0);
    EXPECT_EQ(c.record(channel_), 0);
    EXPECT_EQ(NewCalls(), Expected(c.trace));
    EXPECT_EQ(FileBytes(), HexBytes(c.bytes));
    ASSERT_EQ(EndFileTarget(channel_), 0);
  }
}

TEST_F(RecorderDirectTest, FailingLibraryCallRecordsNothing) {
  ASSERT_EQ(AddFileTarget(channel_, kUserFile), 0);
  NewCalls();
  fail_("VR_SetLineWidth", 1, 7);
  EXPECT_EQ(RecordSetLineWidth(channel_, 3), -1);
  EXPECT_EQ(NewCalls(), Expected("VR_SetLineWidth(h1)", 7)) << "the scripted call answers before its arguments";
  fail_("VR_StartJob", 1, 5);
  EXPECT_EQ(RecordStartJob(channel_, 0x90, 2, 0), -1) << "no raster smoothing after a failed job start";
  fail_("VR_SetRasterSmoothingMode", 1, 3);
  EXPECT_EQ(RecordStartJob(channel_, 0x90, 2, 0), -1);
  // Job header and page start fail only on -1.
  const BYTE block[] = {11, 0, 0, 0, 3, 0, 0, 0, 'P', 'J', 'L'};
  fail_("VR_SendJobHeader", 1, 4);
  EXPECT_EQ(RecordJobHeader(channel_, block, sizeof(block), JobBlockKind::kHeader), 0);
  fail_("VR_SendJobTrailer", 1, -1);
  EXPECT_EQ(RecordJobHeader(channel_, block, sizeof(block), JobBlockKind::kTrailer), -1);
  fail_("VR_SetColorParameter", 1, -1);
  EXPECT_EQ(RecordStartPage(channel_), -1);
  fail_("VR_StartPage", 1, 2);
  EXPECT_EQ(RecordStartPage(channel_), 0);
  // An image whose library call fails is not recorded either.
  fail_("VR_DrawImageMask", 1, 1);
  const ImageMaskHeader mask{0, 0, 8, 1, 0, {1, 0, 0, 1, 0, 0}, 0};
  EXPECT_EQ(RecordDrawImageMask(channel_, mask), -1);
  // Recorded: the header (its library answer was not -1) and the page start whose VR_StartPage
  // answered 2; nothing of the failed commands.
  const std::vector<BYTE> recorded = FileBytes();
  ASSERT_EQ(recorded.size(), 3u + 2 + kPageParameterBlockBytes + kResourcePathBlockBytes + kPageSizeBlockBytes);
  EXPECT_EQ(std::vector<BYTE>(recorded.begin(), recorded.begin() + 5), HexBytes("50 4A 4C 45 63"));
  ASSERT_EQ(EndFileTarget(channel_), 0);
}

TEST_F(RecorderDirectTest, DirectCallsFailWithoutAStartedLibrary) {
  ASSERT_EQ(CloseLibrarySession(channel_), 0);
  EXPECT_EQ(RecordSetLineWidth(channel_, 3), -1);
  EXPECT_EQ(RecordInitPath(channel_), -1);
  EXPECT_EQ(RecordSetSolidColor(channel_, 1, 4, 0), -1);
}

}  // namespace
