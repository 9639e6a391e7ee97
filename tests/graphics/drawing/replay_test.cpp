// The command replayer: pages recorded into the temporary job store and replayed make the same
// library calls as drawing them directly, whatever the chunk size; hand-made stored pages show
// the ends, refusals and faults of the stream; read and write failures of the store.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "graphics/drawing/command_replayer.h"
#include "graphics/output/job_store_pages.h"
#include "platform/platform.h"
#include "tests/graphics/drawing/library_fixture.h"
#include "tests/graphics/drawing/recorder_cases.h"

namespace {

// The recorder cases whose replay differs from the direct call on purpose: the list keeps only
// what it can carry (16-bit values, line type kinds without dashes, graphics modes as bits),
// replay calls the library for an empty curve list, images need their data after the header,
// and the job header is text, not a command.
const std::set<std::string> kReplayDiffers = {
    "rectangle clip keeps the low 16 bits", "line type 2 is the kind alone", "line type real 1",
    "graphics mode 3,0", "graphics mode 0,7", "bezier of no segments",
    "image with mask, palette and plain rows", "image without source data has no tail",
    "encoded image: header, then the tail alone", "job header: the text alone"};

const BYTE kImageBytes[] = {0xA0, 1, 2, 3, 4, 5, 6, 7, 8};

// Further steps: images with their data, a page start, and the replay-equal graphics mode.
const ListCase kExtraSteps[] = {
    {"image with mask, palette and its data",
     [](OutputChannel* c) {
       ImageAttributes a{1, 2, {1, 2, 3, 4, 0.5f, -1}, 3, 1, 2, 0, 1, 2, 11, 8, 2, 6, kTable, {1, 8, 1}, 3};
       return RecordDrawImage(c, a) | RecordImageData(c, kImageBytes, 1) | RecordImageData(c, kImageBytes + 1, 3);
     },
     nullptr, nullptr},
    {"encoded image with its tail and data",
     [](OutputChannel* c) {
       ImageAttributes a{1, 2, {1, 2, 3, 4, 0.5f, -1}, 3, 1, 1, 0, 0, 2, 5, 0, 0, 0, nullptr, {1, 8, 4}, 9};
       return RecordDrawImage(c, a) | RecordDrawImageTail(c, a) | RecordImageData(c, kImageBytes, 9);
     },
     nullptr, nullptr},
    {"image mask without data",
     [](OutputChannel* c) {
       ImageMaskHeader h{1.0f, 2.0f, 9, 1, 0, {1, 2, 3, 4, 0.5f, -1}, 0};
       return RecordDrawImageMask(c, h);
     },
     nullptr, nullptr},
    {"page start", [](OutputChannel* c) { return RecordStartPage(c); }, nullptr, nullptr},
    {"graphics mode 1,0", [](OutputChannel* c) { return RecordSetGraphicsMode(c, 1, 0); }, nullptr, nullptr},
};

using Steps = std::vector<const ListCase*>;

class ReplayTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
    ASSERT_EQ(OpenChannelStore(channel_, 1, kPageRecordBytes, kStoredPageTableStep), 0);
    sessionBlocks_ = channel_->liveAllocations;
  }
  void TearDown() override {
    ResetChannelStore(channel_);
    LibraryTest::TearDown();
  }

  // The library calls since the last look.
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

  // Records the steps as the next stored page.
  void RecordPage(const Steps& steps) {
    const WORD page = static_cast<WORD>(channel_->firstPage + channel_->pageCount);
    ASSERT_EQ(BeginStoredPage(channel_, page), 0);
    for (const ListCase* step : steps) ASSERT_EQ(step->record(channel_), 0) << step->name;
    ASSERT_EQ(EndStoredPage(channel_), 0);
  }

  // Stores raw display-list bytes as the next page.
  WORD StoreBytes(const std::vector<BYTE>& bytes) {
    const WORD page = static_cast<WORD>(channel_->firstPage + channel_->pageCount);
    EXPECT_EQ(BeginStoredPage(channel_, page), 0);
    if (!bytes.empty()) {
      EXPECT_EQ(WriteChannel(channel_, static_cast<DWORD>(bytes.size()), bytes.data()), static_cast<int>(bytes.size()));
    }
    EXPECT_EQ(EndStoredPage(channel_), 0);
    return page;
  }

  int Replay(WORD page, DWORD chunk = kReplayChunkSize) {
    if (PositionStoredPage(channel_, page) != 0) return -99;
    std::vector<BYTE> buffer(chunk);
    const int result = ReplayCommands(channel_, chunk, buffer.data());
    EndCursorRead(&channel_->cursor);  // these pages have no stored records
    return result;
  }

  size_t seen_ = 0;
  LONG sessionBlocks_ = 0;  // the session's own counted blocks
};

// Pages that together hold every recorder command form whose replay equals the direct call,
// mixed, and an empty page.
std::vector<Steps> DifferentialPages() {
  std::vector<Steps> pages(4);
  size_t i = 0;
  for (const ListCase& c : kListCases)
    if (kReplayDiffers.count(c.name) == 0) pages[i++ % 3].push_back(&c);
  for (const ListCase& c : kExtraSteps) pages[i++ % 3].push_back(&c);
  return pages;
}

TEST_F(ReplayTest, ReplayedPagesCallTheLibraryAsDrawingThemDirectly) {
  const std::vector<Steps> pages = DifferentialPages();
  // The store is a registered temporary file.
  std::u16string name = channel_->store.name;
  ASSERT_FALSE(name.empty());
  for (char16_t& ch : name)
    if (ch == u'\\') ch = u'/';
  EXPECT_TRUE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE,
                                   (std::u16string(kDefaultTempRegistryKey) + u"TempFile\\" + name).c_str()));

  std::vector<std::vector<std::string>> direct;
  NewCalls();
  for (const Steps& page : pages) {
    for (const ListCase* step : page) ASSERT_EQ(step->record(channel_), 0) << step->name;
    direct.push_back(NewCalls());
  }
  for (const Steps& page : pages) RecordPage(page);
  EXPECT_TRUE(NewCalls().empty()) << "recording calls nothing";
  EXPECT_GT(direct[0].size(), 10u);

  // Chunk sizes that cut values at every place, the job's own, and one page at once; pages in
  // reverse order.
  for (DWORD chunk : {4u, 5u, 7u, 13u, kReplayChunkSize, 65536u}) {
    SCOPED_TRACE(chunk);
    for (size_t p = pages.size(); p-- > 0;) {
      SCOPED_TRACE(p);
      EXPECT_EQ(Replay(static_cast<WORD>(1 + p), chunk), kReplayDone);
      EXPECT_EQ(NewCalls(), direct[p]);
    }
  }
  EXPECT_EQ(channel_->liveAllocations, sessionBlocks_) << "every temporary block freed";
}

struct ByteCase {
  const char* name;
  const char* bytes;
  int result;
  std::vector<std::string> calls;
  const char16_t* message;  // the debug text shown, or NULL
};

const ByteCase kByteCases[] = {
    {"an empty page", "", kReplayDone, {}, nullptr},
    {"data ending inside the operands", "41 44 00", kReplayBadData, {}, nullptr},
    {"data ending after a group letter", "41 44 00 03 41", kReplayDone, {"VR_SetLineWidth(h1, width=3) = 0"}, nullptr},
    {"zero bytes between commands", "00 41 52 00 00 41 43 00", kReplayDone,
     {"VR_InitClip(h1) = 0", "VR_ClipPath(h1, mode=2) = 0"}, nullptr},
    {"a first byte outside the groups", "41 52 47 41", kReplayBadData, {"VR_InitClip(h1) = 0"}, nullptr},
    {"an unknown command letter", "41 7A", kReplayBadData, {}, nullptr},
    {"BC is refused", "41 51 41 52", kReplayCallFailed, {}, u"BC Command"},
    {"LR is refused", "43 21", kReplayCallFailed, {}, u"LR Command"},
    {"EF is refused", "44 62", kReplayCallFailed, {}, u"EF Command"},
    {"HL is refused", "44 4C", kReplayCallFailed, {}, u"HL Command"},
    {"HS is refused", "44 4D", kReplayCallFailed, {}, u"HS Command"},
    {"FE is refused", "44 46", kReplayCallFailed, {}, u"FE Command"},
    {"PR is refused", "46 61", kReplayCallFailed, {}, u"PR Command"},
    {"RL always fails", "42 30", kReplayCallFailed, {}, nullptr},
    {"a colour space other than grey and RGB", "41 4D 01 05 00", kReplayCallFailed, {}, nullptr},
    {"an image without source data draws nothing",
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 01 01 41 52",
     kReplayDone, {"VR_InitClip(h1) = 0"}, nullptr},
    {"the mask of an image without source data is passed over",
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 02 00 00000002 01 "
     "41 52 41 52",
     kReplayDone, {"VR_InitClip(h1) = 0"}, nullptr},
    {"an image whose data ends early",
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 01 02 "
     "04 01 08 01 00000009 0102",
     kReplayBadData, {}, nullptr},
    {"replay-only rectangle path and ellipse arc path",
     "42 56 FFFF 0002 42 72 3F800000 40000000 40400000 40800000 3F000000 BF800000", kReplayDone,
     {"VR_AddRectanglePath(h1, x=-1, y=2) = 0", "VR_AddEllipseArcPath(h1, v=[1,2,3,4,0.5,-1]) = 0"}, nullptr},
    {"replay-only lines and curves",
     "43 41 0001 0001 FFFE 0003 0004 43 62 3F800000 40000000 40400000 40800000 3F000000 "
     "43 66 0001 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000",
     kReplayDone,
     {"VR_DrawLine(h1, n=1, v=[1,-2,3,4]) = 0", "VR_DrawCircleArc(h1, v=[1,2,3,4,0.5]) = 0",
      "VR_DrawBezier(h1, n=1, x=1, y=2, v=[1,2,3,4,0.5,-1]) = 0"},
     nullptr},
    {"spans, font and text records are read and dropped",
     "43 2C 0002 01 02 03 45 81 48 00 "
     "44 41 0000000000000000000000000000000000000000 0000000000000000 02 AAAA 01 02 "
     "44 43 00000000 00000000 00 0001 00000000 0002 AAAA 00 0000 0000 0003 80 0000 "
     "00000000000000000000000000000000 "
     "44 48 00000000 00000006 AAAA 44 49 0000 0000 00000000 41 52",
     kReplayDone, {"VR_InitClip(h1) = 0"}, nullptr},
    {"real clip values beyond the integers are held to their range",
     "41 62 7F800000 FF800000 4F000000 7FC00000", kReplayDone,
     {"VR_SetRectangleClip(h1, one=1, c1=(2147483647,-2147483648), c2=(2147483647,0)) = 0"}, nullptr},
    {"a span value longer than five bytes", "43 2C 0001 81 81 81 81 81 01 00 00", kReplayBadData, {}, nullptr},
    {"a raster pattern announcing more data than the page holds",
     "41 50 0001 0002 03 04 08 0002 0001 01 FFFFFFF0 010203", kReplayBadData, {}, nullptr},
    {"a line path announcing more points than the page holds", "42 50 FFFF 0001 0002", kReplayBadData, {}, nullptr},
    {"an image announcing more data than the page holds",
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 01 02 "
     "04 01 08 01 7FFFFFFF 0102",
     kReplayBadData, {}, nullptr},
    {"a font block shorter than its own length field", "44 48 00000000 00000003", kReplayCallFailed, {}, nullptr},
    {"a font-data record shorter than its head", "44 45 00000000 00000000 00000000 01020304 07000000",
     kReplayCallFailed, {}, nullptr},
};

TEST_F(ReplayTest, StoredPageBytes) {
  for (const ByteCase& c : kByteCases) {
    SCOPED_TRACE(c.name);
    Messages().clear();
    const WORD page = StoreBytes(HexBytes(c.bytes));
    NewCalls();
    EXPECT_EQ(Replay(page), c.result);
    EXPECT_EQ(NewCalls(), c.calls);
    if (c.message != nullptr)
      EXPECT_EQ(Messages(), (std::vector<DebugMessage>{{c.message, u"Store Data Error"}}));
    else
      EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(channel_->liveAllocations, sessionBlocks_);
  }
}

TEST_F(ReplayTest, FailingCallsAndResults) {
  // A failing call ends the replay with -4; page and job ends and images fail only as the
  // stream says: end page on a negative answer, image answers not at all.
  const WORD page = StoreBytes(HexBytes("41 52 45 44 41 43"));
  fail_("VR_InitClip", 1, 3);
  EXPECT_EQ(Replay(page), kReplayCallFailed);
  fail_("VR_EndPage", 1, 5);
  EXPECT_EQ(Replay(page), kReplayDone) << "a positive end-page answer is no failure";
  fail_("VR_EndPage", 1, -1);
  EXPECT_EQ(Replay(page), kReplayCallFailed);
  const WORD mask = StoreBytes(HexBytes(
      "43 70 3F800000 40000000 0009 0001 01 3F800000 40000000 40400000 40800000 3F000000 BF800000 00000002 F0 0F"));
  fail_("VR_DrawImageMask", 1, 7);
  NewCalls();
  EXPECT_EQ(Replay(mask), kReplayDone);
  EXPECT_EQ(NewCalls(), (std::vector<std::string>{"VR_DrawImageMask(h1) = 7"}));
  EXPECT_EQ(channel_->liveAllocations, sessionBlocks_);
}

TEST_F(ReplayTest, PageStartWritesToTheSessionsCurrentJob) {
  // A later pass of the document writes to its own job, not to the one the page was recorded in.
  RecordPage({&kExtraSteps[3]});
  HANDLE pass = nullptr;
  ASSERT_TRUE(OpenPrinterW(kPrinter, &pass, nullptr));
  DOC_INFO_1W doc{const_cast<LPWSTR>(u"Pass 2"), nullptr, const_cast<LPWSTR>(u"RAW")};
  const DWORD passJob = StartDocPrinterW(pass, 1, reinterpret_cast<const BYTE*>(&doc));
  ASSERT_NE(passJob, 0u);
  HANDLE recorded = nullptr;
  std::memcpy(&recorded, channel_->session->resourcePathBlock + 8, sizeof(HANDLE));
  std::memcpy(channel_->session->resourcePathBlock + 8, &pass, sizeof(HANDLE));
  const size_t before = SimReadSpoolJob(engineJob_).size();
  EXPECT_EQ(Replay(1), kReplayDone);
  EXPECT_FALSE(SimReadSpoolJob(passJob).empty()) << "the page start went to the pass's job";
  EXPECT_EQ(SimReadSpoolJob(engineJob_).size(), before);
  std::memcpy(channel_->session->resourcePathBlock + 8, &recorded, sizeof(HANDLE));
  EndDocPrinter(pass);
  ClosePrinter(pass);
}

TEST_F(ReplayTest, ReadErrorOfTheStore) {
  // The store refuses every read once a refused write has made it unusable.
  const WORD page = StoreBytes(std::vector<BYTE>(3000, 0));
  ASSERT_EQ(PositionStoredPage(channel_, page), 0);
  channel_->store.writable = 0;
  std::vector<BYTE> buffer(kReplayChunkSize);
  EXPECT_EQ(ReplayCommands(channel_, kReplayChunkSize, buffer.data()), kReplayReadError);
  EXPECT_EQ(ReplayCommands(channel_, 3, buffer.data()), kReplayReadError) << "chunk too small";
  EXPECT_EQ(ReplayCommands(nullptr, kReplayChunkSize, buffer.data()), kReplayReadError);
  channel_->store.writable = 1;
  EndCursorRead(&channel_->cursor);
}

TEST_F(ReplayTest, WriteFailureWhileRecording) {
  const std::vector<Steps> pages = DifferentialPages();
  struct Case {
    const char* what;
    int answer;
    bool recorded;
  } const cases[] = {{"OK with room again: the page is recorded whole", IDOK, true},
                     {"Cancel: recording fails and the store is no longer read", IDCANCEL, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(ResetChannelStore(channel_), 0);
    ASSERT_EQ(OpenChannelStore(channel_, 1, kPageRecordBytes, kStoredPageTableStep), 0);
    NewCalls();
    for (const ListCase* step : pages[0]) ASSERT_EQ(step->record(channel_), 0);
    const std::vector<std::string> direct = NewCalls();
    // Each case's rules are its own: a store file named from the same tick as the previous
    // case's would otherwise still be full, or have room again.
    SimClearFileRules();
    SimMessageBoxReset();
    const std::u16string path = channel_->store.name;
    SimDiskFull(path.c_str(), 100);
    SimOnMessageBox([&path, answer = c.answer](const SimMessageBox&) {
      if (answer == IDOK) SimShortWrite(path.c_str(), 1 << 20);
      return answer;
    });
    ASSERT_EQ(BeginStoredPage(channel_, 1), 0);
    int result = 0;
    for (const ListCase* step : pages[0]) result |= step->record(channel_);
    result |= EndStoredPage(channel_);
    EXPECT_EQ(SimMessageBoxLog().size(), 1u);
    if (c.recorded) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(Replay(1), kReplayDone);
      EXPECT_EQ(NewCalls(), direct);
    } else {
      EXPECT_NE(result, 0);
      EXPECT_NE(Replay(1), kReplayDone);
      EXPECT_TRUE(NewCalls().empty());
    }
  }
}

}  // namespace
