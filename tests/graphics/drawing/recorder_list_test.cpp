// The command recorder's display-list side: the bytes of every command form as recorded into a
// user file, refused commands that leave nothing behind, and mode 0.
#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <string>
#include <vector>

#include "graphics/drawing/command_recorder.h"
#include "graphics/drawing/display_list.h"
#include "platform/base/byte_order.h"
#include "tests/graphics/drawing/drawing_fixture.h"

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

const RecordPoint kPoints[] = {{0x10, 0x20}, {-0x18, 0x7FFF0}, {0x100000, -1}};
const float kSix[6] = {1.0f, 2.0f, 3.0f, 4.0f, 0.5f, -1.0f};
const WORD kDashes[] = {40, 10};
const float kRealDashes[] = {1.5f, 0.5f};
const BYTE kMask[] = {0xF0, 0x0F};
const BYTE kFontRecord[] = {1, 2, 3, 4, 10, 0, 0, 0, 0xAA, 0xBB};
const BYTE kTable[] = {1, 2, 3, 4, 5, 6};

struct ListCase {
  const char* name;
  std::function<int(OutputChannel*)> record;
  const char* bytes;
};

const ListCase kListCases[] = {
    {"axis", [](OutputChannel* c) { return RecordSetAxis(c, kSix); },
     "41 61 3F800000 40000000 40400000 40800000 3F000000 BF800000"},
    {"init clip", [](OutputChannel* c) { return RecordInitClip(c); }, "41 52"},
    {"rectangle clip keeps the low 16 bits",
     [](OutputChannel* c) { return RecordSetRectangleClip(c, 1, -2, 0x12345, 4); }, "41 42 0001 FFFE 2345 0004"},
    {"rectangle clip real", [](OutputChannel* c) { return RecordSetRectangleClipReal(c, 1.5f, 2, 3, 4); },
     "41 62 3FC00000 40000000 40400000 40800000"},
    {"clip path", [](OutputChannel* c) { return RecordClipPath(c); }, "41 43"},
    {"line width 3", [](OutputChannel* c) { return RecordSetLineWidth(c, 3); }, "41 44 00 03"},
    {"line width real", [](OutputChannel* c) { return RecordSetLineWidthReal(c, 2.5f); }, "41 64 40200000"},
    {"line cap", [](OutputChannel* c) { return RecordSetLineCap(c, 2); }, "41 45 02"},
    {"line join", [](OutputChannel* c) { return RecordSetLineJoin(c, 1); }, "41 46 01"},
    {"miter limit", [](OutputChannel* c) { return RecordSetMiterLimit(c, 10); }, "41 47 0A"},
    {"miter limit real", [](OutputChannel* c) { return RecordSetMiterLimitReal(c, 200.0f); }, "41 67 43480000"},
    {"line type 2 is the kind alone",
     [](OutputChannel* c) { return RecordSetLineType(c, 2, 7, 2, kDashes); }, "41 48 02"},
    {"line type 6 carries the dashes", [](OutputChannel* c) { return RecordSetLineType(c, 6, 5, 2, kDashes); },
     "41 48 06 0005 02 0028 000A"},
    {"line type real 6", [](OutputChannel* c) { return RecordSetLineTypeReal(c, 6, 1.0f, 2, kRealDashes); },
     "41 68 06 3F800000 02 3FC00000 3F000000"},
    {"line type real 1", [](OutputChannel* c) { return RecordSetLineTypeReal(c, 1, 1.0f, 2, kRealDashes); },
     "41 68 01"},
    {"adjust stroke", [](OutputChannel* c) { return RecordAdjustStroke(c, 1); }, "41 49 01"},
    {"fill mode", [](OutputChannel* c) { return RecordSetFillMode(c, 2); }, "41 4A 02"},
    {"draw mode", [](OutputChannel* c) { return RecordSetDrawMode(c, 3); }, "41 4B 03"},
    {"rop", [](OutputChannel* c) { return RecordSetRopMode(c, 13, 0xCC0020); }, "41 4C 0D 00CC0020"},
    {"grey 0x80", [](OutputChannel* c) { return RecordSetSolidColor(c, 1, 3, 0x80); }, "41 4D 01 03 80"},
    {"red", [](OutputChannel* c) { return RecordSetSolidColor(c, 1, 4, 0xFF0000); }, "41 4D 01 04 FF 00 00"},
    {"hatch with the secondary colour",
     [](OutputChannel* c) {
       RecordSecondaryColor(c, 1, 4, kSecondaryOpaque, 0x102030);
       return RecordSetHatchPattern(c, -1, 2, 3, 3, 0xA5, 0x44);
     },
     "41 4E FFFF 0002 03 03 44 A5 02 04 10 20 30"},
    {"hatch real, transparent grey secondary",
     [](OutputChannel* c) {
       RecordSecondaryColor(c, 1, 3, kSecondaryTransparent, 0x77);
       return RecordSetHatchPatternReal(c, 1.5f, 2.0f, 1, 4, 0x12, 0x010203);
     },
     "41 6E 3FC00000 40000000 01 04 01 02 03 12 01 03 77"},
    {"mask pattern",
     [](OutputChannel* c) {
       RecordSecondaryColor(c, 1, 3, kSecondaryOpaque, 0xFF);
       return RecordSetMaskPattern(c, 8, 9, 2, 4, 0xABCDEF, 4, 2, kMask);
     },
     "41 4F 0008 0009 02 04 AB CD EF 01 0004 0002 F0 0F 02 03 FF"},
    {"mask pattern real",
     [](OutputChannel* c) {
       RecordSecondaryColor(c, 1, 3, kSecondaryOpaque, 0xFF);
       return RecordSetMaskPatternReal(c, 0.5f, 1.0f, 2, 3, 0x11, 9, 1, kMask);
     },
     "41 6F 3F000000 3F800000 02 03 11 01 0009 0001 F0 0F 02 03 FF"},
    {"raster pattern",
     [](OutputChannel* c) { return RecordSetRasterPattern(c, 1, 2, 3, 4, 8, 2, 1, 1, 6, kTable); },
     "41 50 0001 0002 03 04 08 0002 0001 01 00000006 010203040506"},
    {"graphics mode 3,0", [](OutputChannel* c) { return RecordSetGraphicsMode(c, 3, 0); }, "46 46 01"},
    {"graphics mode 0,7", [](OutputChannel* c) { return RecordSetGraphicsMode(c, 0, 7); }, "46 46 04"},
    {"graphics mode 1,1", [](OutputChannel* c) { return RecordSetGraphicsMode(c, 1, 1); }, "46 46 05"},
    {"pattern resolution", [](OutputChannel* c) { return RecordSetPatternResolution(c, 1, 600); }, "46 41 01 0258"},
    {"path commands",
     [](OutputChannel* c) { return RecordInitPath(c) | RecordClosePath(c) | RecordDrawPath(c); }, "42 41 42 43 42 44"},
    {"move point", [](OutputChannel* c) { return RecordMovePoint(c, 1, -2); }, "42 42 0001 FFFE"},
    {"move point real", [](OutputChannel* c) { return RecordMovePointReal(c, 1.5f, 2.0f); },
     "42 62 3FC00000 40000000"},
    {"line path", [](OutputChannel* c) { return RecordAddLinePath(c, 2, kPoints); },
     "42 50 0002 0010 0020 FFE8 FFF0"},
    {"line path real from 28.4", [](OutputChannel* c) { return RecordAddLinePathReal(c, 2, kPoints); },
     "42 70 0002 3F800000 40000000 BFC00000 46FFFE00"},
    {"bezier from 28.4", [](OutputChannel* c) { return RecordAddBezierPath(c, 1, kPoints); },
     "42 75 0001 3F800000 40000000 BFC00000 46FFFE00 47800000 BD800000"},
    {"bezier of no segments", [](OutputChannel* c) { return RecordAddBezierPath(c, 0, kPoints); }, "42 75 0000"},
    {"rectangle", [](OutputChannel* c) { return RecordDrawRectangle(c, 1, 2, 3, 4); }, "43 47 0001 0002 0003 0004"},
    {"rectangle real", [](OutputChannel* c) { return RecordDrawRectangleReal(c, 1, 2, 3, 4); },
     "43 67 3F800000 40000000 40400000 40800000"},
    {"ellipse arc", [](OutputChannel* c) { return RecordDrawEllipseArc(c, kSix); },
     "43 63 3F800000 40000000 40400000 40800000 3F000000 BF800000"},
    {"image mask and its data",
     [](OutputChannel* c) {
       ImageMaskHeader h{1.0f, 2.0f, 9, 1, 1, {1, 2, 3, 4, 0.5f, -1}, 2};
       return RecordDrawImageMask(c, h) | RecordImageData(c, kMask, 2);
     },
     "43 70 3F800000 40000000 0009 0001 01 3F800000 40000000 40400000 40800000 3F000000 BF800000 00000002 F0 0F"},
    {"image with mask, palette and plain rows",
     [](OutputChannel* c) {
       ImageAttributes a{1, 2, {1, 2, 3, 4, 0.5f, -1}, 3, 1, 2, 0, 1, 2, 11, 8, 2, 6, kTable, {1, 8, 1}, 3};
       return RecordDrawImage(c, a);
     },
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 02 00 00000001 02 "
     "0B 08 0002 0006 010203040506 01 08 01 00000003"},
    {"image without source data has no tail",
     [](OutputChannel* c) {
       ImageAttributes a{1, 2, {1, 2, 3, 4, 0.5f, -1}, 3, 1, 1, 0, 0, 1, 4, 0, 0, 0, nullptr, {1, 8, 1}, 9};
       return RecordDrawImage(c, a);
     },
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 01 01"},
    {"encoded image: header, then the tail alone",
     [](OutputChannel* c) {
       ImageAttributes a{1, 2, {1, 2, 3, 4, 0.5f, -1}, 3, 1, 1, 0, 0, 2, 5, 0, 0, 0, nullptr, {1, 8, 4}, 9};
       return RecordDrawImage(c, a) | RecordDrawImageTail(c, a);
     },
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 01 02 "
     "05 01 08 04 00000009"},
    {"data font", [](OutputChannel* c) { return RecordDrawDataFont(c, 1.0f, 2.0f, 7, kFontRecord); },
     "44 45 3F800000 40000000 00000007 01020304 0A000000 AABB"},
    {"data font at a 16-bit position", [](OutputChannel* c) { return RecordDrawDataFontAt(c, -1, 2, kFontRecord); },
     "44 45 BF800000 40000000 00000000 01020304 0A000000 AABB"},
    {"start job", [](OutputChannel* c) { return RecordStartJob(c, 0x90, 2, 0); }, "45 41 90 0002 0000"},
    {"job and page ends",
     [](OutputChannel* c) { return RecordEndPage(c) | RecordShowPage(c) | RecordEndJob(c); }, "45 44 46 42 45 42"},
    {"job header: the text alone",
     [](OutputChannel* c) {
       const BYTE block[] = {11, 0, 0, 0, 3, 0, 0, 0, 'P', 'J', 'L'};
       return RecordJobHeader(c, block, sizeof(block), JobBlockKind::kHeader);
     },
     "50 4A 4C"},
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
