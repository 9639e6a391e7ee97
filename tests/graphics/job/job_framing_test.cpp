// The arithmetic of job framing and page start that the documents' tests cannot reach one by
// one: layout units in tenths, the booklet side count of a deferred header, and the stream
// header line of output format 7.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <memory>
#include <string>

#include "graphics/device/overlay_state.h"
#include "graphics/device/pdev.h"
#include "graphics/drawing/drawing_session.h"
#include "graphics/drawing/parameter_blocks.h"
#include "graphics/job/booklet_layout.h"
#include "graphics/job/job_control.h"
#include "graphics/job/job_framing.h"
#include "graphics/job/page_start.h"
#include "graphics/output/output_channel.h"
#include "platform/base/byte_order.h"
#include "tests/support/model_files.h"
#include "tests/support/sandbox_test.h"

namespace {

TEST(PageStart, LayoutUnitsBecomeTenthsInSinglePrecision) {
  struct Case {
    LONG units;
    SHORT tenths;
  };
  // 595 x 842 points, a custom A4, and the truncation just below a whole tenth.
  constexpr Case kCases[] = {{152320, 2099}, {215552, 2970}, {0, 0}, {72, 1}, {71, 1}, {36, 0}};
  for (const Case& c : kCases) EXPECT_EQ(LayoutUnitsToTenths(c.units), c.tenths) << c.units;
}

// A custom page (page paper id 267) of 2100 x 2970 tenths on a sheet whose paper code is 255:
// the size block in pixels at 600 dpi, the page block's sizes in tenths.
TEST(PageStart, CustomPaperBlocks) {
  auto pdev = std::make_unique<Pdev>();
  auto channel = std::make_unique<OutputChannel>();
  auto session = std::make_unique<DrawingLibrarySession>();
  channel->session = session.get();
  pdev->channel = channel.get();
  pdev->render.colorMode = kColorFull;
  PagePaperBlock& page = pdev->pageState.page;
  page.paperId = kPageCustomPaperId;
  page.width = 2100;
  page.length = 2970;
  page.printableWidth = 2016;
  page.printableLength = 2886;
  pdev->pageState.resolution[0] = pdev->pageState.resolution[1] = 600;
  const float size[2] = {210.0f, 297.0f};
  ASSERT_EQ(BuildPageParameterBlocks(pdev.get(), 2, 6, kCustomPaperCode, size, 2), 0);
  const BYTE* s = session->pageSizeBlock;
  EXPECT_EQ(GetLE32(s), 20u);
  EXPECT_EQ(GetLE16(s + 4), 2);
  EXPECT_EQ(GetLE16(s + 6), 4961);
  EXPECT_EQ(GetLE16(s + 8), 7016);
  EXPECT_EQ(GetLE16(s + 10), 1);
  const BYTE* p = session->pageBlock;
  EXPECT_EQ(GetLE32(p), 48u);
  EXPECT_EQ(GetLE16(p + 6), 255);
  EXPECT_EQ(GetLE32(p + 16), 2100u);
  EXPECT_EQ(GetLE32(p + 20), 2970u);
  EXPECT_EQ(GetLE16(p + 24), 2);
  EXPECT_EQ(GetLE16(p + 26), 6);
  EXPECT_EQ(GetLE16(p + 30), 0);  // colour parameter 2
  EXPECT_EQ(std::bit_cast<float>(GetLE32(p + 36)), 2016.0f * 600.0f / 254.0f);
  EXPECT_EQ(std::bit_cast<float>(GetLE32(p + 40)), 2886.0f * 600.0f / 254.0f);
}

TEST(JobFraming, BookletSideCount) {
  EXPECT_EQ(BookletSideCount(0, 8, FALSE), 6);
  EXPECT_EQ(BookletSideCount(0, 8, TRUE), 5);
  EXPECT_EQ(BookletSideCount(4, 8, TRUE), 4);
  EXPECT_EQ(BookletSideCount(0, 0, FALSE), 2);
}

TEST(JobFraming, StreamHeaderLineOnlyForOutputFormat7) {
  auto pdev = std::make_unique<Pdev>();
  pdev->render.streamVersion = 0x3000102;
  char line[64] = {};
  EXPECT_EQ(FormatStreamHeaderLine(pdev.get(), line), 0);
  pdev->outputFormat = kOutputFormatStreamHeader;
  const std::string expected = ") HP-PCL XL;2;0;VQKPL2-0.1.2\n";
  EXPECT_EQ(FormatStreamHeaderLine(pdev.get(), nullptr), static_cast<int>(expected.size()));
  EXPECT_EQ(FormatStreamHeaderLine(pdev.get(), line), static_cast<int>(expected.size()));
  EXPECT_EQ(std::string(line), expected);
}

TEST(JobFraming, UelAndItsSizes) {
  char buffer[16] = {};
  EXPECT_EQ(WriteUelOnly(buffer, sizeof buffer), 9);
  EXPECT_EQ(std::string(buffer, 9), "\x1B%-12345X");
  EXPECT_EQ(GetUelSize(), 14);
  EXPECT_LT(WriteUelOnly(buffer, 8), 0) << "a buffer too small is refused";
}

// The overlay switches of an open side: a stamp switched on while none is chosen is refused
// but stays on; the job-information switch follows only an accepted call.
TEST(JobControl, OverlayModeSwitches) {
  auto pdev = std::make_unique<Pdev>();
  EXPECT_EQ(SetOverlayMode(pdev.get(), TRUE, FALSE), -1) << "no side open";
  pdev->job.flags = kJobStarted | kJobOutputBegun | kJobSideOpen;
  pdev->job.jobInfoDrawing = 1;
  EXPECT_EQ(SetOverlayMode(pdev.get(), TRUE, FALSE), -1);
  EXPECT_EQ(pdev->job.stampDrawing, 1u);
  EXPECT_EQ(pdev->job.jobInfoDrawing, 1u);
  EXPECT_FALSE(IsStampDrawingActive(pdev.get()));
  EXPECT_EQ(IsOverlayDrawingActive(pdev.get()), 0);

  pdev->render.perSheetStamp = 1;
  pdev->render.stampModeValue = 7;
  EXPECT_EQ(SetOverlayMode(pdev.get(), TRUE, FALSE), 0);
  EXPECT_TRUE(IsStampDrawingActive(pdev.get()));
  EXPECT_EQ(GetStampModeValue(pdev.get()), 7);
  EXPECT_EQ(IsOverlayDrawingActive(pdev.get()), 1);
  EXPECT_EQ(SetOverlayMode(pdev.get(), FALSE, TRUE), 0);
  EXPECT_EQ(GetStampModeValue(pdev.get()), 0);
  EXPECT_EQ(IsOverlayDrawingActive(pdev.get()), 1) << "job information alone";
  EXPECT_EQ(SetOverlayMode(pdev.get(), FALSE, FALSE), 0);
  EXPECT_EQ(IsOverlayDrawingActive(pdev.get()), 0);
}

// The trailer closes the job in the model's dialect: "@PJL EOJ" with the job-attribute lines
// (feature 0x40000), else "@EOJO"; the universal exit before it, a line feed after it.
class TrailerTest : public SandboxTest {};

TEST_F(TrailerTest, EndOfJobTextFollowsTheModelsFeatureWord) {
  struct Case {
    const char* feature;
    const char* trailer;
  };
  constexpr Case kCases[] = {{"0x40000", "\x1B%-12345X@PJL EOJ\n"}, {"0x10", "\x1B%-12345X@EOJO\n"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.feature);
    const std::string text = std::string("model \"T\"\ndisplay \"T\"\nversion \"DDD:1.0.0\"\nlevel 0x1600\nsection 26 ") +
                             c.feature + "\n";
    ItemStore* store = OpenModelText(text, u"TRAILER.DDD");
    ASSERT_NE(store, nullptr);
    char buffer[64] = {};
    const int size = GetTrailerSize(store->main, store->linked);
    const int length = WriteTrailer(store->main, store->linked, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(length > 0 ? length : 0)), c.trailer);
    EXPECT_EQ(size, length + 5);
    EXPECT_EQ(GetUelSize() + GetEndOfJobLineSize(store->main, store->linked), size + 5);
    CloseItemStore(store);
  }
}

// The booklet attribute written over its place in a header text: the model's dialect, and
// nothing when it would run past the text or when there is no place.
TEST_F(TrailerTest, BookletAttributeFillsItsPlaceOnly) {
  struct Case {
    const char* feature;
    DWORD offset;
    int result;
    const char* written;  // what lands at the offset
  };
  const std::string blank(40, '.');
  const Case kCases[] = {
      {"0x40000", 2, 1, "@PJL SET JOBATTR=\"@BKTP=6\""},
      {"0x10", 2, 1, "@BKTP=6"},
      {"0x10", 0, 1, ""},
      {"0x10", 33, 1, "@BKTP=6"},  // ends at the text's last byte
      {"0x10", 34, 0, ""},         // would run one byte past it
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.feature) + " at " + std::to_string(c.offset));
    const std::string model = std::string("model \"T\"\ndisplay \"T\"\nversion \"DDD:1.0.0\"\nlevel 0x1600\nsection 26 ") +
                              c.feature + "\n";
    ItemStore* store = OpenModelText(model, u"BOOKLET.DDD");
    ASSERT_NE(store, nullptr);
    std::string text = blank;
    EXPECT_EQ(InsertBookletAttribute(store->main, store->linked, 6, c.offset, text.data(), 40), c.result);
    std::string expected = blank;
    expected.replace(c.offset, std::strlen(c.written), c.written);
    EXPECT_EQ(text, expected);
    CloseItemStore(store);
  }
}

}  // namespace
