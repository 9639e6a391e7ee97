// The command recorder's display-list side: the bytes of every command form as recorded into a
// user file, refused commands that leave nothing behind, and mode 0.
#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "graphics/drawing/command_recorder.h"
#include "graphics/output/display_list.h"
#include "graphics/output/job_store_pages.h"
#include "platform/base/byte_order.h"
#include "tests/graphics/drawing/drawing_fixture.h"
#include "tests/graphics/drawing/recorder_cases.h"

namespace {

class RecorderListTest : public DrawingTest {
 protected:
  void SetUp() override {
    DrawingTest::SetUp();
    if (HasFatalFailure()) return;
    // A session without a library: the list modes need only its blocks and secondary colour.
    auto* session = static_cast<DrawingLibrarySession*>(AllocCounted(channel_, sizeof(DrawingLibrarySession)));
    ASSERT_NE(session, nullptr);
    channel_->session = session;
    session->resourcePathBlock = static_cast<BYTE*>(AllocCounted(channel_, kResourcePathBlockBytes));
    ASSERT_NE(session->resourcePathBlock, nullptr);
    for (DWORD i = 0; i < kResourcePathBlockBytes; ++i) session->resourcePathBlock[i] = static_cast<BYTE>(i);
    for (DWORD i = 0; i < kPageParameterBlockBytes; ++i) session->pageBlock[i] = static_cast<BYTE>(0xA0 + i);
    for (DWORD i = 0; i < kPageSizeBlockBytes; ++i) session->pageSizeBlock[i] = static_cast<BYTE>(0x50 + i);
  }
};

TEST_F(RecorderListTest, EveryCommandFormAsRecorded) {
  for (const ListCase& c : kListCases) {
    SCOPED_TRACE(c.name);
    RecordToFile();
    ASSERT_EQ(c.record(channel_), 0);
    EXPECT_EQ(FileBytes(), HexBytes(c.bytes));
    DWORD end = 0;
    ASSERT_EQ(CloseFileTarget(channel_, &end), 0);
  }
  EXPECT_TRUE(EngineBytes().empty()) << "nothing reached the printer";
}

TEST_F(RecorderListTest, StartPageCarriesTheThreeBlocksAsTheyAre) {
  RecordToFile();
  ASSERT_EQ(RecordStartPage(channel_), 0);
  std::vector<BYTE> expected = {0x45, 0x63};
  const DrawingLibrarySession* s = channel_->session;
  expected.insert(expected.end(), s->pageBlock, s->pageBlock + kPageParameterBlockBytes);
  expected.insert(expected.end(), s->resourcePathBlock, s->resourcePathBlock + kResourcePathBlockBytes);
  expected.insert(expected.end(), s->pageSizeBlock, s->pageSizeBlock + kPageSizeBlockBytes);
  EXPECT_EQ(FileBytes(), expected);
}

TEST_F(RecorderListTest, RefusedCommandsLeaveNothingInTheList) {
  RecordToFile();
  EXPECT_EQ(RecordSetSolidColor(channel_, 1, 5, 0x123456), -1);
  // No secondary colour yet: patterns have no second colour to send.
  EXPECT_EQ(RecordSetHatchPattern(channel_, 0, 0, 1, 4, 0x11, 0), -1);
  EXPECT_EQ(RecordSecondaryColor(channel_, 1, 2, kSecondaryOpaque, 0), -1);
  EXPECT_EQ(RecordSetMaskPattern(channel_, 0, 0, 1, 7, 0, 8, 1, kMask), -1);
  const BYTE shortRecord[] = {1, 2, 3, 4, 7, 0, 0, 0};
  EXPECT_EQ(RecordDrawDataFont(channel_, 0, 0, 0, shortRecord), -1) << "a length below its own head";
  std::vector<RecordPoint> many(0x10000);
  EXPECT_EQ(RecordAddLinePath(channel_, 0x10000, many.data()), -1) << "counts travel in 16 bits";
  EXPECT_EQ(RecordAddBezierPath(channel_, 0x10000, nullptr), -1);
  const BYTE block[] = {7, 0, 0, 0};
  EXPECT_EQ(RecordJobHeader(channel_, block, 4, JobBlockKind::kTrailer), -1);
  EXPECT_TRUE(FileBytes().empty());
}

TEST_F(RecorderListTest, ClosedChannelWritesNothingAndSucceeds) {
  ASSERT_EQ(ReleaseChannelTarget(channel_), 0);
  ASSERT_EQ(channel_->mode, kChannelClosed);
  for (const ListCase& c : kListCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.record(channel_), 0);
  }
  EXPECT_EQ(RecordStartPage(channel_), 0);
  EXPECT_EQ(channel_->fill, 0u);
  EXPECT_TRUE(EngineBytes().empty());
}

TEST_F(RecorderListTest, LongCommandsArriveWholeAcrossTheStagingBuffer) {
  RecordToFile();
  std::vector<RecordPoint> points(3000);
  for (size_t i = 0; i < points.size(); ++i) points[i] = {static_cast<LONG>(i * 16), static_cast<LONG>(i * 3)};
  ASSERT_EQ(RecordSetLineWidth(channel_, 1), 0);
  ASSERT_EQ(RecordAddLinePathReal(channel_, static_cast<DWORD>(points.size()), points.data()), 0);
  ASSERT_EQ(RecordDrawPath(channel_), 0);
  const std::vector<BYTE> bytes = FileBytes();
  ASSERT_EQ(bytes.size(), 4 + 4 + points.size() * 8 + 2);
  EXPECT_EQ(GetBE16(&bytes[4]), kDlAddLinePathReal);
  EXPECT_EQ(GetBE16(&bytes[6]), 3000);
  for (size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(std::bit_cast<float>(GetBE32(&bytes[8 + 8 * i])), static_cast<float>(i));
    EXPECT_EQ(std::bit_cast<float>(GetBE32(&bytes[12 + 8 * i])), static_cast<float>(i * 3) * 0.0625f);
  }
  EXPECT_EQ(GetBE16(&bytes[bytes.size() - 2]), kDlDrawPath);
}

// The list bytes of n 28.4 points as the format gives them: x then y, x 0.0625, big-endian.
std::vector<BYTE> FixedPointBytes(const std::vector<RecordPoint>& points, size_t n) {
  std::vector<BYTE> bytes(n * 8);
  for (size_t i = 0; i < n; ++i) {
    PutBE32(&bytes[8 * i], std::bit_cast<DWORD>(static_cast<float>(points[i].x) * 0.0625f));
    PutBE32(&bytes[8 * i + 4], std::bit_cast<DWORD>(static_cast<float>(points[i].y) * 0.0625f));
  }
  return bytes;
}

// Every command form with the bytes it records, and point lists shorter and longer than a run
// of the vector forms and longer than the staging buffer.
struct RecordingCases {
  std::vector<RecordPoint> points;  // the point lists' points (their block stays put on a move)
  std::vector<ListCase> cases;
  std::vector<std::vector<BYTE>> expected;
};

RecordingCases MakeRecordingCases() {
  RecordingCases t;
  t.points.resize(300);
  for (size_t i = 0; i < t.points.size(); ++i)
    t.points[i] = {static_cast<LONG>(i * 37) - 5000, 7 - static_cast<LONG>(i * 11) + (i % 3 == 0 ? 0x7FFF0 : 0)};
  const RecordPoint* points = t.points.data();
  t.cases.assign(std::begin(kListCases), std::end(kListCases));
  for (const ListCase& c : t.cases) t.expected.push_back(HexBytes(c.bytes));
  for (DWORD n : {1u, 3u, 4u, 5u, 255u, 256u, 300u}) {
    t.cases.push_back(
        {"line path", [points, n](OutputChannel* c) { return RecordAddLinePathReal(c, n, points); }, "", ""});
    std::vector<BYTE> bytes = {0x42, 0x70, static_cast<BYTE>(n >> 8), static_cast<BYTE>(n)};
    const std::vector<BYTE> values = FixedPointBytes(t.points, n);
    bytes.insert(bytes.end(), values.begin(), values.end());
    t.expected.push_back(bytes);
  }
  for (DWORD n : {1u, 33u, 100u}) {
    t.cases.push_back({"curves", [points, n](OutputChannel* c) { return RecordAddBezierPath(c, n, points); }, "", ""});
    std::vector<BYTE> bytes = {0x42, 0x75, static_cast<BYTE>(n >> 8), static_cast<BYTE>(n)};
    const std::vector<BYTE> values = FixedPointBytes(t.points, 3 * n);
    bytes.insert(bytes.end(), values.begin(), values.end());
    t.expected.push_back(bytes);
  }
  return t;
}

// A command that begins anywhere in the staging buffer (and ends inside it, on its last byte or
// beyond it) arrives with the same bytes as one that begins at its start.
TEST_F(RecorderListTest, CommandsArriveTheSameFromAnyStagingOffset) {
  const RecordingCases table = MakeRecordingCases();
  const std::vector<ListCase>& cases = table.cases;
  const std::vector<BYTE> filler(kChannelStagingSize, 0xEE);
  for (DWORD offset : {0u, 1u, 2u, 3u, 5u, 1024u, 2000u, 2041u, 2043u, 2044u, 2045u, 2046u, 2047u, 2048u}) {
    for (size_t i = 0; i < cases.size(); ++i) {
      SCOPED_TRACE(std::string(cases[i].name) + " after " + std::to_string(offset) + " staged bytes");
      RecordToFile();
      if (offset > 0) {
        ASSERT_EQ(WriteChannel(channel_, offset, filler.data()), static_cast<int>(offset));
      }
      ASSERT_EQ(cases[i].record(channel_), 0);
      std::vector<BYTE> want(filler.begin(), filler.begin() + offset);
      want.insert(want.end(), table.expected[i].begin(), table.expected[i].end());
      EXPECT_EQ(FileBytes(), want);
      DWORD end = 0;
      ASSERT_EQ(CloseFileTarget(channel_, &end), 0);
    }
  }
}

// Recorded into the temporary job store with nothing staged, commands are encoded straight into
// the store's write-behind block: they arrive the same wherever the block's free part ends (also
// when less of it is left than the command needs, or none), and behind bytes still staged.
TEST_F(RecorderListTest, CommandsArriveTheSameIntoTheStoreFromAnyBlockOffset) {
  const RecordingCases table = MakeRecordingCases();
  const std::vector<ListCase>& cases = table.cases;
  const std::vector<BYTE> filler(kTempStoreAppendBlockSize, 0xEE);
  const BYTE staged[] = {0x11, 0x22, 0x33};
  for (DWORD offset : {0u, 1u, kTempStoreAppendBlockSize - 2400, kTempStoreAppendBlockSize - 5,
                       kTempStoreAppendBlockSize - 1, kTempStoreAppendBlockSize}) {
    for (DWORD stagedBytes : {0u, 3u}) {
      for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(std::string(cases[i].name) + " after " + std::to_string(offset) + " appended and " +
                     std::to_string(stagedBytes) + " staged bytes");
        ASSERT_EQ(OpenChannelStore(channel_, 1, kPageRecordBytes, kStoredPageTableStep), 0);
        ASSERT_EQ(SetChannelMode(channel_, kChannelTempStore), 0);
        // In two appends, so that a whole block's worth stays in the block.
        if (offset > 1) {
          ASSERT_EQ(WriteChannelToTempStore(channel_, offset - 1, filler.data()), 0);
        }
        if (offset > 0) {
          ASSERT_EQ(WriteChannelToTempStore(channel_, 1, filler.data()), 0);
        }
        ASSERT_EQ(channel_->store.appended, offset);
        if (stagedBytes > 0) {
          ASSERT_EQ(WriteChannel(channel_, stagedBytes, staged), static_cast<int>(stagedBytes));
        }
        ASSERT_EQ(cases[i].record(channel_), 0);
        std::vector<BYTE> want(filler.begin(), filler.begin() + offset);
        want.insert(want.end(), staged, staged + stagedBytes);
        want.insert(want.end(), table.expected[i].begin(), table.expected[i].end());
        ASSERT_EQ(FlushChannel(channel_), 0);
        std::ifstream in(Host(channel_->store.name), std::ios::binary);
        EXPECT_EQ(std::vector<BYTE>(std::istreambuf_iterator<char>(in), {}), want);
        ASSERT_EQ(SetChannelMode(channel_, kChannelPrinter), 0);
        ASSERT_EQ(ResetChannelStore(channel_), 0);
      }
    }
  }
}

TEST_F(RecorderListTest, FailedWriteFailsTheCommand) {
  ASSERT_EQ(SetChannelMode(channel_, kChannelTempStore), 0);
  // Without a temporary store the bytes stay staged until the flush fails.
  EXPECT_EQ(RecordSetLineWidth(channel_, 3), 0);
  std::vector<BYTE> big(3000, 0x5A);
  EXPECT_EQ(RecordImageData(channel_, big.data(), static_cast<DWORD>(big.size())), -1);
}

TEST(DisplayListFormat, VariableLengthIntegers) {
  const struct {
    LONG value;
    const char* bytes;
  } cases[] = {{-5, "45"}, {200, "81 48"}, {0, "00"}, {63, "3F"}, {64, "80 40"}, {-64, "C0 40"},
               {0x7FFFFFFF, "87 FF FF FF 7F"}, {-0x7FFFFFFF - 1, "C8 80 80 80 00"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    BYTE out[kDlVarIntMaxBytes];
    const DWORD n = EncodeDisplayListVarInt(c.value, out);
    EXPECT_EQ(std::vector<BYTE>(out, out + n), HexBytes(c.bytes));
    LONG back = 0;
    EXPECT_EQ(DecodeDisplayListVarInt(out, n, &back), n);
    EXPECT_EQ(back, c.value);
    if (n > 1) {
      EXPECT_EQ(DecodeDisplayListVarInt(out, n - 1, &back), 0u) << "cut off";
    }
  }
  const BYTE tooLong[] = {0x81, 0x80, 0x80, 0x80, 0x80, 0x00};
  LONG value = 0;
  EXPECT_EQ(DecodeDisplayListVarInt(tooLong, sizeof(tooLong), &value), 0u);
  const BYTE tooBig[] = {0x90, 0x80, 0x80, 0x80, 0x00};
  EXPECT_EQ(DecodeDisplayListVarInt(tooBig, sizeof(tooBig), &value), 0u) << "beyond 32 bits";
}

TEST(DisplayListFormat, CommandTable) {
  const DisplayListCommand* ad = FindDisplayListCommand(kDlSetLineWidth);
  ASSERT_NE(ad, nullptr);
  EXPECT_STREQ(ad->mnemonic, "LW");
  const DisplayListCommand* aq = FindDisplayListCommand(DisplayListOpcode('A', 'Q'));
  ASSERT_NE(aq, nullptr);
  EXPECT_EQ(aq->use, DisplayListUse::kRefused);
  EXPECT_STREQ(aq->refusal, "BC Command");
  EXPECT_EQ(FindDisplayListCommand(DisplayListOpcode('A', 'Z')), nullptr);
  // Every opcode appears once.
  for (size_t i = 0; i < kDisplayListCommandCount; ++i)
    for (size_t j = i + 1; j < kDisplayListCommandCount; ++j)
      EXPECT_NE(kDisplayListCommands[i].opcode, kDisplayListCommands[j].opcode);
}

}  // namespace
