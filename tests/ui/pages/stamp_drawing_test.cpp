// Stamp drawing into a memory DC that stands for the printer's page: the pen and frame
// formulas, placement by position code (with the window origin and the choice of rectangle),
// frames that turn with the text or not, tiling with one offset escape per tile, failures
// that restore the DC, and pictures of placed and tiled stamps against kept fixtures. The
// escape responder does what the graphics module does with a stamp offset: it shifts what is
// drawn next by it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/platform.h"
#include "tests/support/printer_fixture.h"
#include "ui/pages/stamp_drawing.h"

namespace {

// The kept pictures; rewrite them after an intended change with
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_ui_pages --gtest_filter='*Picture*'
std::string Fixture(const char* name) { return std::string(QV_SOURCE_DIR) + "/tests/ui/pages/data/" + name; }
constexpr int kChannelTolerance = 48;
constexpr double kDifferingShare = 0.01;

constexpr int kCanvasWidth = 480;
constexpr int kCanvasHeight = 320;
constexpr WORD kResolution = 144;
constexpr int kStampPosition = 0x5004;
constexpr COLORREF kRed = RGB(200, 0, 0);

struct SentOffset {
  int x;
  int y;
};

// Ink: a pixel that is not white.
struct InkBox {
  int left = std::numeric_limits<int>::max(), top = std::numeric_limits<int>::max(), right = -1, bottom = -1;
  bool Empty() const { return right < 0; }
};

LOGFONTW StampFont(LONG points, LONG weight = 400, BYTE italic = 0, LONG escapement = 0) {
  LOGFONTW font{};
  font.lfHeight = points;
  font.lfWeight = weight;
  font.lfItalic = italic;
  font.lfEscapement = escapement;
  std::memcpy(font.lfFaceName, u"Arial", sizeof(u"Arial"));
  return font;
}

class StampDrawingTest : public printer_test::SamplePrinterTest {
 protected:
  void SetUp() override {
    SamplePrinterTest::SetUp();
    if (HasFatalFailure()) return;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, kCanvasWidth, kCanvasHeight);
    oldBitmap_ = SelectObject(dc_, bitmap_);
    PatBlt(dc_, 0, 0, kCanvasWidth, kCanvasHeight, WHITENESS);
    SimSetEscapeResponder([this](HDC dc, int escape, std::span<const BYTE> in, std::span<BYTE>) {
      if (escape != kStampPosition || in.size() != 8) return 1;
      SentOffset offset{};
      std::memcpy(&offset.x, in.data(), 4);
      std::memcpy(&offset.y, in.data() + 4, 4);
      sent_.push_back(offset);
      if (static_cast<int>(sent_.size()) == refuseAt_) return 0;
      SetViewportOrgEx(dc, offset.x, offset.y, nullptr);
      return 1;
    });
  }

  void TearDown() override {
    SelectObject(dc_, oldBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    SamplePrinterTest::TearDown();
  }

  // A page-end answer with the placement and the sheet rectangle.
  static std::vector<BYTE> Answer(RECT placement, RECT sheet) {
    std::vector<BYTE> answer(kPageEndAnswerSize, 0);
    const float rects[8] = {float(placement.left), float(placement.top), float(placement.right),
                            float(placement.bottom), float(sheet.left), float(sheet.top),
                            float(sheet.right), float(sheet.bottom)};
    std::memcpy(answer.data() + kPageEndPlacementRect, rects, sizeof rects);
    return answer;
  }
  static std::vector<BYTE> WholeCanvas() { return Answer({0, 0, kCanvasWidth, kCanvasHeight}, {0, 0, kCanvasWidth, kCanvasHeight}); }

  int Draw(const std::vector<BYTE>& answer, WORD position, const LOGFONTW& font, LPCWSTR text, WORD frame,
           WORD placed) {
    return DrawStamp(printer_, dc_, answer.data(), kResolution, position, &font, text, kRed, frame, placed);
  }

  // The text's extent in the stamp font at the test resolution, as DrawStamp measures it.
  StampSize Measure(const LOGFONTW& font, LPCWSTR text) {
    LOGFONTW pixels = font;
    pixels.lfHeight = -MulDiv(font.lfHeight, kResolution, 72);
    HFONT created = CreateFontIndirectW(&pixels);
    HGDIOBJ old = SelectObject(dc_, created);
    StampSize extent{};
    EXPECT_EQ(MeasureStampText(dc_, text, font.lfItalic, &extent), 1);
    SelectObject(dc_, old);
    DeleteObject(created);
    return extent;
  }

  ReferenceImage Picture() {
    const std::string path = (root_ / "canvas.png").string();
    EXPECT_TRUE(SimSavePng(dc_, path));
    ReferenceImage picture;
    EXPECT_TRUE(LoadReferencePng(path, picture));
    return picture;
  }

  InkBox Ink() {
    const ReferenceImage picture = Picture();
    InkBox box;
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        if ((picture.pixels[size_t(y) * picture.width + x] & 0xFFFFFF) == 0xFFFFFF) continue;
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x);
        box.bottom = std::max(box.bottom, y);
      }
    }
    return box;
  }

  void ExpectMatchesFixture(const char* name) {
    const ReferenceImage picture = Picture();
    if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
      ASSERT_TRUE(SaveReferencePng(picture, Fixture(name)));
    }
    ReferenceImage kept;
    ASSERT_TRUE(LoadReferencePng(Fixture(name), kept)) << Fixture(name);
    EXPECT_LE(CompareReferenceImages(picture, kept, kChannelTolerance), kDifferingShare) << name;
  }

  void Clear() {
    PatBlt(dc_, -kCanvasWidth, -kCanvasHeight, 3 * kCanvasWidth, 3 * kCanvasHeight, WHITENESS);
    sent_.clear();
  }

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  std::vector<SentOffset> sent_;
  int refuseAt_ = 0;  // the escape (from 1) answered with 0
};

TEST(StampFormulas, PenWidthIsAShareOfThePixelHeight) {
  const struct Case {
    LONG points, weight;
    WORD resolution;
    LONG width;
  } cases[] = {
      {20, 700, 300, 5},  // MulDiv gives 83; 83 x 0.07 = 5.81
      {20, 400, 300, 4},  // 83 x 0.06 = 4.98
      {20, 701, 300, 4},  // only exactly 700 counts as bold
      {72, 700, 600, 42}, // 600 x 0.07
      {72, 400, 600, 36},
      {5, 400, 72, 0},
  };
  for (const Case& c : cases) {
    const LOGFONTW font = StampFont(c.points, c.weight);
    const LOGPEN pen = BuildStampPen(&font, c.resolution, kRed);
    EXPECT_EQ(pen.lopnWidth.x, c.width) << c.points << " " << c.weight << " " << c.resolution;
    EXPECT_EQ(pen.lopnStyle, UINT(PS_SOLID));
    EXPECT_EQ(pen.lopnColor, kRed);
  }
}

TEST(StampFormulas, FrameSizeOfBoxAndCircle) {
  const struct Case {
    WORD kind;
    LONG pen;
    float width, height;
    int result;
    float frameWidth, frameHeight;
  } cases[] = {
      {kStampFrameBox, 4, 100, 20, 1, 124, 28},
      {kStampFrameBox, 0, 50, 10, 1, 60, 12},
      {kStampFrameCircle, 5, 30, 40, 1, 60, 60},
      {kStampFrameCircle, 0, 6, 8, 1, 10, 10},
      {kStampFrameNone, 4, 100, 20, 0, -1, -1},
      {3, 4, 100, 20, 0, -1, -1},
  };
  for (const Case& c : cases) {
    LOGPEN pen{PS_SOLID, {c.pen, 0}, 0};
    StampSize size{-1, -1};
    EXPECT_EQ(ComputeStampFrameSize(c.kind, &pen, c.width, c.height, &size), c.result) << c.kind;
    EXPECT_FLOAT_EQ(size.width, c.frameWidth) << c.kind;
    EXPECT_FLOAT_EQ(size.height, c.frameHeight) << c.kind;
  }
}

// The box's corners are walked from the top left clockwise, inset by half the pen, and turn
// with the transform; the circle's box does not turn.
TEST(StampFormulas, FrameCornersTurnButTheCircleDoesNot) {
  for (SHORT angle : {0, 45, -30}) {
    StampTransform transform{};
    const StampSize area{1000, 1000};
    const StampSize box{120, 40};
    ASSERT_EQ(MakeStampTransform(&area, &box, angle, kStampFrameBox, 0x202, &transform), 1);
    const LOGPEN pen{PS_SOLID, {6, 0}, 0};
    StampFrame frame{};
    ASSERT_EQ(ComputeStampFrame({0, 0}, 0, &pen, &transform, kStampFrameBox, 120, 40, &frame), 1);
    const double c = std::cos(angle * M_PI / 180), s = std::sin(angle * M_PI / 180);
    const double local[4][2] = {{3, 3}, {117, 3}, {117, 37}, {3, 37}};
    for (int i = 0; i < 4; ++i) {
      const double x = local[i][0] * c + local[i][1] * s + transform.offsetX;
      const double y = -local[i][0] * s + local[i][1] * c + transform.offsetY;
      EXPECT_NEAR(frame.corners[i].x, x, 1.0) << angle << " corner " << i;
      EXPECT_NEAR(frame.corners[i].y, y, 1.0) << angle << " corner " << i;
    }
    // Rotation about the centre keeps the box's centre in the middle of the area.
    EXPECT_NEAR((frame.corners[0].x + frame.corners[2].x) / 2.0, 500, 1.5) << angle;
    EXPECT_NEAR((frame.corners[0].y + frame.corners[2].y) / 2.0, 500, 1.5) << angle;

    const StampSize circleBox{100, 100};
    ASSERT_EQ(MakeStampTransform(&area, &circleBox, angle, kStampFrameCircle, 0x202, &transform), 1);
    ASSERT_EQ(ComputeStampFrame({0, 0}, 0, &pen, &transform, kStampFrameCircle, 100, 100, &frame), 1);
    EXPECT_EQ(frame.ellipse.right - frame.ellipse.left, 94) << angle;
    EXPECT_EQ(frame.ellipse.bottom - frame.ellipse.top, 94) << angle;
    EXPECT_NEAR((frame.ellipse.left + frame.ellipse.right) / 2.0, 500, 1.0) << angle;
    EXPECT_NEAR((frame.ellipse.top + frame.ellipse.bottom) / 2.0, 500, 1.0) << angle;
  }
  StampTransform transform{};
  const LOGPEN pen{PS_SOLID, {2, 0}, 0};
  StampFrame frame{};
  EXPECT_EQ(ComputeStampFrame({0, 0}, 0, &pen, &transform, kStampFrameNone, 10, 10, &frame), 0);
  EXPECT_EQ(ComputeStampFrame({0, 0}, 0, &pen, &transform, 7, 10, 10, &frame), 0);
}

TEST_F(StampDrawingTest, ItalicTextIsMeasuredWiderByTanFifteen) {
  const StampSize upright = Measure(StampFont(20), u"Stamp");
  const StampSize italic = Measure(StampFont(20, 400, 1), u"Stamp");
  ASSERT_GT(upright.width, 0);
  EXPECT_FLOAT_EQ(italic.height, upright.height);
  EXPECT_FLOAT_EQ(italic.width, upright.width + upright.height * 0.2679492f);
}

// Aligned stamps: the text box lands at its alignment in the chosen rectangle, wherever the
// DC's window origin is. A placed stamp sends no escape; job information (placed flag 0)
// sends its position and draws the same picture once the graphics module has shifted it.
TEST_F(StampDrawingTest, AlignedPlacementsLandInTheirRectangle) {
  const LOGFONTW font = StampFont(16);
  const StampSize text = Measure(font, u"Draft");
  const RECT placement{0, 0, 300, 200};
  const RECT sheet{0, 0, kCanvasWidth, kCanvasHeight};
  const struct Case {
    WORD position;
    WORD placed;
    POINT windowOrigin;
    float xShare, yShare;  // where the text box sits in the free room of its rectangle
  } cases[] = {
      {0x101, 1, {0, 0}, 0, 0},       {0x202, 1, {0, 0}, 0.5f, 0.5f}, {0x303, 1, {0, 0}, 1, 1},
      {0x301, 1, {0, 0}, 1, 0},       {0x103, 1, {0, 0}, 0, 1},       {0x202, 1, {40, -25}, 0.5f, 0.5f},
      {0x101, 0, {0, 0}, 0, 0},       {0x303, 0, {0, 0}, 1, 1},       {0x202, 0, {-15, 30}, 0.5f, 0.5f},
  };
  for (const Case& c : cases) {
    Clear();
    SetWindowOrgEx(dc_, c.windowOrigin.x, c.windowOrigin.y, nullptr);
    ASSERT_EQ(Draw(Answer(placement, sheet), c.position, font, u"Draft", kStampFrameNone, c.placed), 1);
    SetWindowOrgEx(dc_, 0, 0, nullptr);
    const RECT& area = c.placed ? placement : sheet;
    const float left = (float(area.right) - text.width) * c.xShare;
    const float top = (float(area.bottom) - text.height) * c.yShare;
    if (c.placed) {
      EXPECT_TRUE(sent_.empty()) << c.position;
    } else {
      ASSERT_EQ(sent_.size(), 1u) << c.position;
      EXPECT_EQ(sent_[0].x, int(left + c.windowOrigin.x)) << c.position;
      EXPECT_EQ(sent_[0].y, int(top + c.windowOrigin.y)) << c.position;
    }
    const InkBox ink = Ink();
    ASSERT_FALSE(ink.Empty()) << c.position;
    EXPECT_GE(ink.left, int(left) - 1) << c.position << " placed " << c.placed;
    EXPECT_GE(ink.top, int(top) - 1) << c.position << " placed " << c.placed;
    EXPECT_LE(ink.right, int(left + text.width) + 1) << c.position << " placed " << c.placed;
    EXPECT_LE(ink.bottom, int(top + text.height) + 1) << c.position << " placed " << c.placed;
    // The ink fills most of the text box across.
    EXPECT_GT(ink.right - ink.left, int(text.width * 0.8f)) << c.position;
  }
}

// A sheet 3.5 text widths wide and 2.2 text heights high takes 4 x 3 tiles; every tile is
// announced with its offset from the first and drawn at the first tile's place.
TEST_F(StampDrawingTest, RepeatingStampTilesTheSheet) {
  const LOGFONTW font = StampFont(14);
  const StampSize text = Measure(font, u"Copy");
  const RECT sheet{0, 0, LONG(text.width * 3.5f), LONG(text.height * 2.2f)};
  ASSERT_EQ(Draw(Answer({0, 0, 10, 10}, sheet), 0, font, u"Copy", kStampFrameNone, 0), 1);
  ASSERT_EQ(sent_.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(sent_[i].x, int(float(i % 4) * text.width)) << i;
    EXPECT_EQ(sent_[i].y, int(float(i / 4) * text.height)) << i;
  }
  // The last tile, shifted by the graphics module, reaches the last row and column.
  const InkBox ink = Ink();
  EXPECT_GT(ink.right, int(text.width * 3));
  EXPECT_GT(ink.bottom, int(text.height * 2));
}

// A tiling code with the placed flag set still takes the announced offset off the text, so
// text and frame of every tile stay together: the picture is that of a repeating stamp.
TEST_F(StampDrawingTest, TilingCodeWithPlacedFlagKeepsTextInsideItsFrame) {
  const LOGFONTW font = StampFont(12, 700);
  const auto answer = WholeCanvas();
  ASSERT_EQ(Draw(answer, 0, font, u"Void", kStampFrameBox, 0), 1);
  const ReferenceImage repeating = Picture();
  const size_t tiles = sent_.size();
  Clear();
  ASSERT_EQ(Draw(answer, 0, font, u"Void", kStampFrameBox, 1), 1);
  EXPECT_EQ(sent_.size(), tiles);
  EXPECT_EQ(CompareReferenceImages(Picture(), repeating, 0), 0.0);
}

TEST_F(StampDrawingTest, EmptyTextDrawsNothing) {
  for (WORD position : {WORD(0), WORD(0x202)}) {
    EXPECT_EQ(Draw(WholeCanvas(), position, StampFont(20), u"", kStampFrameBox, 0), 1) << position;
    EXPECT_TRUE(sent_.empty());
    EXPECT_TRUE(Ink().Empty());
  }
}

// Every failure answers -1 and leaves the DC's state as it was; tiles drawn before a refused
// escape stay on the page.
TEST_F(StampDrawingTest, FailuresRestoreTheDeviceContext) {
  const LOGFONTW font = StampFont(14);
  std::vector<BYTE> badRect = WholeCanvas();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::memcpy(badRect.data() + kPageEndPlacementRect, &nan, sizeof nan);
  const struct Case {
    const char* what;
    HANDLE printer;
    std::vector<BYTE> answer;
    WORD position, frame, placed;
    int refuseAt;
    size_t escapes;
    bool ink;
  } cases[] = {
      {"third escape refused", printer_, WholeCanvas(), 0, kStampFrameCircle, 0, 3, 3, true},
      {"first escape refused", printer_, WholeCanvas(), 0x202, kStampFrameNone, 0, 1, 1, false},
      {"unknown frame kind", printer_, WholeCanvas(), 0x202, 3, 1, 0, 0, false},
      {"no description database", nullptr, WholeCanvas(), 0x202, kStampFrameBox, 1, 0, 0, false},
      {"placement not a number", printer_, badRect, 0x202, kStampFrameNone, 1, 0, 0, false},
  };
  HGDIOBJ font0 = GetCurrentObject(dc_, OBJ_FONT), pen0 = GetCurrentObject(dc_, OBJ_PEN);
  HGDIOBJ brush0 = GetCurrentObject(dc_, OBJ_BRUSH);
  SetTextColor(dc_, RGB(1, 2, 3));
  SetViewportOrgEx(dc_, 5, 6, nullptr);
  const int liveObjects = SimLiveGdiObjects();
  for (const Case& c : cases) {
    Clear();
    refuseAt_ = c.refuseAt;
    EXPECT_EQ(DrawStamp(c.printer, dc_, c.answer.data(), kResolution, c.position, &font, u"Stamp", kRed, c.frame,
                        c.placed),
              -1)
        << c.what;
    EXPECT_EQ(sent_.size(), c.escapes) << c.what;
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_FONT), font0) << c.what;
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), pen0) << c.what;
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_BRUSH), brush0) << c.what;
    EXPECT_EQ(GetTextColor(dc_), RGB(1, 2, 3)) << c.what;
    EXPECT_EQ(GetBkMode(dc_), OPAQUE) << c.what;
    POINT viewport{};
    GetViewportOrgEx(dc_, &viewport);
    EXPECT_EQ(viewport.x, 5) << c.what;
    EXPECT_EQ(SimLiveGdiObjects(), liveObjects) << c.what;
    EXPECT_EQ(!Ink().Empty(), c.ink) << c.what;
  }
  EXPECT_EQ(DrawStamp(printer_, nullptr, WholeCanvas().data(), kResolution, 0, &font, u"Stamp", kRed, 0, 0), -1);
}

// Four placed stamps on one page: plain text top left, a 45-degree boxed stamp in the middle,
// a circled stamp bottom right and a -30-degree boxed stamp bottom left in bold italic.
TEST_F(StampDrawingTest, PictureOfPlacedStamps) {
  const auto answer = WholeCanvas();
  ASSERT_EQ(Draw(answer, 0x101, StampFont(14), u"Internal", kStampFrameNone, 1), 1);
  ASSERT_EQ(Draw(answer, 0x202, StampFont(18, 400, 0, 450), u"DRAFT", kStampFrameBox, 1), 1);
  ASSERT_EQ(Draw(answer, 0x303, StampFont(12), u"OK", kStampFrameCircle, 1), 1);
  ASSERT_EQ(Draw(answer, 0x103, StampFont(12, 700, 1, -300), u"Copy", kStampFrameBox, 1), 1);
  EXPECT_TRUE(sent_.empty());
  ExpectMatchesFixture("placed_stamps.png");
}

TEST_F(StampDrawingTest, PictureOfRepeatingStamp) {
  ASSERT_EQ(Draw(WholeCanvas(), 0, StampFont(12, 700), u"Secret", kStampFrameBox, 0), 1);
  EXPECT_GT(sent_.size(), 6u);
  ExpectMatchesFixture("repeating_stamp.png");
}

}  // namespace
