// Stored pages replayed at the end of the job: pages recorded with their stored records
// (page start, axis, show page, end page) through the real recorder into the temporary job
// store, replayed in reverse order, with the records each flag selects, the page colour decided
// from the page records, and the damaged records refused.
#include "graphics/job/stored_page_replay.h"

#include <gtest/gtest.h>

#include <bit>

#include <string>
#include <vector>

#include "graphics/device/job_state.h"
#include "graphics/drawing/command_recorder.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/output/job_store_pages.h"
#include "platform/base/byte_order.h"
#include "tests/graphics/drawing/library_fixture.h"

namespace {

// A stored page's record as the page-record table keeps it.
struct StoredPageRecord {
  PagePaperBlock paper;
  DWORD orientation;
  ColorSet colors;
  DWORD colorState;
};

struct PageStartCall {
  WORD page;  // the line width the page draws first, to know it by
  BYTE colorCode;
  BYTE mediaCode;
  WORD paperSource;
};

class StoredPageReplayTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
    emitter_ = CreateGraphicsEmitter(pdev_.get(), 1);
    ASSERT_NE(emitter_, nullptr);
    ASSERT_EQ(OpenChannelStore(channel_, 1, kPageRecordBytes, kStoredPageTableStep), 0);
    job_.channel = channel_;
    job_.emitter = emitter_;
    job_.pageState = &pageState_;
    job_.jobFlags = kJobOutputBegun;
    job_.firstStoredPage = 1;
    job_.startPage = [](StoredPageJob* job, const StoredPageStart& start, BYTE colorCode, BYTE mediaCode) {
      auto* self = static_cast<StoredPageReplayTest*>(job->owner);
      self->starts_.push_back({start.side, colorCode, mediaCode, start.paperSource});
      return 0;
    };
    job_.owner = this;
  }
  void TearDown() override {
    ResetChannelStore(channel_);
    FreeGraphicsEmitter(emitter_);
    LibraryTest::TearDown();
  }

  // Records page n: a page start (side n, media source 10 + n), its line width n, an axis that
  // moves by n, show page and end page; its page record holds the colour state and set.
  void RecordPage(WORD n, DWORD colorState, WORD colorCount, DWORD collecting) {
    ASSERT_EQ(BeginStoredPage(channel_, n), 0);
    StoredPageStart start{};
    start.colorCode = 1;
    start.mediaSource = static_cast<BYTE>(10 + n);
    start.paperSource = static_cast<WORD>(100 + n);
    start.side = n;
    start.sheet.paperId = static_cast<SHORT>(n);
    BYTE bytes[kStoredPageStartBytes];
    EncodeStoredPageStart(start, bytes);
    ASSERT_EQ(WriteStoredRecord(channel_, kStoredPageStart, kStoredPageStartBytes, bytes), 0);
    const float axis[6] = {1, 0, 0, 1, static_cast<float>(n), 0};
    BYTE axisBytes[24];
    for (int i = 0; i < 6; ++i) PutLE32(axisBytes + 4 * i, std::bit_cast<DWORD>(axis[i]));
    ASSERT_EQ(WriteStoredRecord(channel_, kStoredPageAxis, sizeof axisBytes, axisBytes), 0);
    ASSERT_EQ(RecordSetLineWidth(channel_, n), 0);
    ASSERT_EQ(RecordInitPath(channel_), 0);
    ASSERT_EQ(WriteStoredRecord(channel_, kStoredShowPage, 0, nullptr), 0);
    ASSERT_EQ(WriteStoredRecord(channel_, kStoredEndPage, 0, nullptr), 0);
    ASSERT_EQ(EndStoredPage(channel_), 0);
    StoredPageRecord record{};
    record.colorState = colorState;
    record.colors.Collecting = collecting;
    record.colors.Count = colorCount;
    record.colors.Capacity = 15;
    ASSERT_EQ(WritePageRecord(channel_, n, kPageRecordBytes, &record), 0);
    job_.storedPages = static_cast<WORD>(n);
  }

  std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    const std::string text = Trace();
    for (size_t at = seen_; at < text.size();) {
      const size_t end = text.find('\n', at);
      const std::string line = text.substr(at, end - at);
      if (line.rfind("VR_", 0) == 0) calls.push_back(line.substr(0, line.find('(')));
      at = end + 1;
    }
    seen_ = text.size();
    return calls;
  }

  GraphicsStateEmitter* emitter_ = nullptr;
  PageState pageState_{};
  StoredPageJob job_{};
  std::vector<PageStartCall> starts_;
  size_t seen_ = 0;
};

TEST_F(StoredPageReplayTest, ReverseOrderReplaysTheLastPageFirst) {
  RecordPage(1, kPageColorMonochrome, 0, 0);
  RecordPage(2, kPageColorColor, 3, 1);
  RecordPage(3, kPageColorColor, 5, 0);
  job_.reverseOrder = 1;
  Calls();
  EXPECT_EQ(ReplayAllStoredPages(&job_), 0);
  // Only the page starts take effect: the axis, show and end records are passed over.
  ASSERT_EQ(starts_.size(), 3u);
  EXPECT_EQ(starts_[0].page, 3);
  EXPECT_EQ(starts_[1].page, 2);
  EXPECT_EQ(starts_[2].page, 1);
  EXPECT_EQ(starts_[0].colorCode, kPageCodeColor) << "a set that stopped collecting sends plain colour";
  EXPECT_EQ(starts_[1].colorCode, 3 * 16 + kPageCodeColor) << "colour with the count while the set collects";
  EXPECT_EQ(starts_[2].colorCode, kPageCodeMono);
  EXPECT_EQ(starts_[2].mediaCode, 11);
  EXPECT_EQ(job_.mediaCode, 101) << "the last replayed page's values stay in the job";
  EXPECT_EQ(job_.sidesOnSheet, 1);
  EXPECT_EQ(pageState_.sheet.paperId, 1);
  const std::vector<std::string> perPage = {"VR_SetLineWidth", "VR_InitPath"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), perPage.begin(), perPage.end());
  EXPECT_EQ(Calls(), expected);
  const std::vector<std::string> widths = Lines("VR_SetLineWidth");
  ASSERT_EQ(widths.size(), 3u);
  EXPECT_NE(widths[0].find("width=3"), std::string::npos);
  EXPECT_NE(widths[2].find("width=1"), std::string::npos);
  job_.reverseOrder = 0;
  starts_.clear();
  EXPECT_EQ(ReplayAllStoredPages(&job_), 0);
  ASSERT_EQ(starts_.size(), 3u);
  EXPECT_EQ(starts_[0].page, 1);
}

TEST_F(StoredPageReplayTest, FlagsSelectTheRecords) {
  RecordPage(1, kPageColorMonochrome, 0, 0);
  RecordPage(2, kPageColorMonochrome, 0, 0);
  Calls();
  // The whole page with a placement that moves by 100: the recorded axis moves by 1 first.
  const float placement[6] = {2, 0, 0, 2, 100, 0};
  EXPECT_EQ(ReplayPageRange(&job_, 1, kReplayWholePage, placement, kNoStoredPage, 0, 7), 0);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"VR_SetAxis", "VR_SetLineWidth", "VR_InitPath", "VR_ShowPage",
                                               "VR_EndPage"}));
  const std::vector<std::string> axis = Lines("VR_SetAxis");
  ASSERT_EQ(axis.size(), 1u);
  EXPECT_NE(axis[0].find("v=[2,0,0,2,101,0]"), std::string::npos) << axis[0];
  ASSERT_EQ(starts_.size(), 1u);
  EXPECT_EQ(starts_[0].mediaCode, 7) << "the media override replaces the recorded source";
  // Show and end page only.
  starts_.clear();
  EXPECT_EQ(ReplayPageRange(&job_, 2, kReplayShowPage | kReplayEndPage, nullptr, kNoStoredPage, 1, -1), 0);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"VR_SetLineWidth", "VR_InitPath", "VR_ShowPage", "VR_EndPage"}));
  EXPECT_TRUE(starts_.empty());
  // The same page twice is refused before anything is replayed; the cache is back on after.
  EXPECT_EQ(ReplayPageRange(&job_, 1, kReplayWholePage, nullptr, 1, 0, -1), -1);
  EXPECT_TRUE(Calls().empty());
  EXPECT_EQ(SetStateCacheEnabled(emitter_, 1), 1u);
  // Without begun output nothing is replayed.
  job_.jobFlags = 0;
  EXPECT_EQ(ReplayPageRange(&job_, 1, kReplayWholePage, nullptr, kNoStoredPage, 0, -1), -1);
  EXPECT_TRUE(Calls().empty());
}

TEST_F(StoredPageReplayTest, PageColourOfOneTwoOrNoPages) {
  RecordPage(1, kPageColorMonochrome, 0, 0);
  RecordPage(2, kPageColorColor, 2, 1);
  RecordPage(3, 7, 0, 0);
  BYTE code = 0;
  EXPECT_EQ(DecideStoredPageColor(&job_, &code, kNoStoredPage, 0x9000, 0), 0);
  EXPECT_EQ(code, kPageCodeMono);
  EXPECT_EQ(DecideStoredPageColor(&job_, &code, kNoStoredPage, kNoStoredPage, 2), 0);
  EXPECT_EQ(code, kPageCodeFixed);
  EXPECT_EQ(DecideStoredPageColor(&job_, &code, 1, 2, 0), 0) << "either page in colour makes the side colour";
  EXPECT_EQ(code, kPageCodeColor) << "page 1's set stopped collecting, so the merged set did";
  EXPECT_EQ(job_.pageColor, kPageColorColor);
  EXPECT_EQ(DecideStoredPageColor(&job_, &code, kNoStoredPage, 2, 0), 0);
  EXPECT_EQ(code, 2 * 16 + kPageCodeColor);
  EXPECT_EQ(job_.colorCount, 2);
  EXPECT_EQ(DecideStoredPageColor(&job_, &code, 3, kNoStoredPage, 0), -1);
  EXPECT_EQ(code, 7);
  EXPECT_EQ(DecideStoredPageColor(&job_, &code, 3, kNoStoredPage, 1), 0) << "a fixed mode needs no record colour";
}

TEST_F(StoredPageReplayTest, DamagedRecordsFailTheReplay) {
  struct Case {
    const char* what;
    WORD kind;
    WORD length;
  } const cases[] = {
      {"an unknown record kind", 4, 0},
      {"a show page with a payload", kStoredShowPage, 2},
      {"an axis of 20 bytes", kStoredPageAxis, 20},
      {"a page start of 60 bytes", kStoredPageStart, 60},
  };
  WORD page = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const BYTE payload[64] = {};
    ASSERT_EQ(BeginStoredPage(channel_, page), 0);
    ASSERT_EQ(RecordInitPath(channel_), 0);
    ASSERT_EQ(WriteStoredRecord(channel_, c.kind, c.length, payload), 0);
    ASSERT_EQ(RecordDrawPath(channel_), 0);
    ASSERT_EQ(EndStoredPage(channel_), 0);
    Calls();
    EXPECT_EQ(ReplayStoredPage(&job_, page, kReplayWholePage, 1, nullptr, -1), -1);
    EXPECT_EQ(Calls(), std::vector<std::string>{"VR_InitPath"}) << "nothing after the damaged record";
    EXPECT_EQ(SetStateCacheEnabled(emitter_, 1), 1u) << "the cache is restored";
    ++page;
  }
  EXPECT_EQ(ReplayStoredPage(&job_, 77, kReplayWholePage, 1, nullptr, -1), -1) << "no such page";
}

}  // namespace
