// The windows' shared routines: number text of the edits and read-outs, lengths in the display
// units, the rounding of the linear mapping, and the drawing primitives checked on the pixels of
// a memory DC (ticks, 3D frames, outlines, keyed resource bitmaps, stretched DIBs).
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "scanner/ui/drawing.h"
#include "scanner/ui/mapping.h"
#include "scanner/ui/number_text.h"
#include "scanner/ui/window_ids.h"
#include "tests/support/scanner_fixture.h"

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kGrey = 0x808080;

TEST(NumberText, FixedPointTextBothWays) {
  struct Case {
    const char* text;
    int decimals;
    LONG value;
  } parsed[] = {
      {"1.5", 2, 150}, {"2", 2, 200},   {".05", 2, 5},    {"-1.234", 2, -123}, {"1.2.3", 2, 120},
      {"", 2, 0},      {"abc", 2, 0},   {"  \t+7", 1, 70}, {"12x", 0, 12},     {"99999999999999999999", 2, 2147483647},
      {"-99999999999999999999", 0, -2147483647 - 1},
  };
  for (const Case& c : parsed) EXPECT_EQ(ParseFixedPoint(c.text, c.decimals), c.value) << c.text;
  struct Shown {
    LONG value;
    int decimals;
    const char* text;
  } shown[] = {{100, 2, "1.00"}, {5, 2, "0.05"}, {-5, 2, "-0.05"}, {-123, 2, "-1.23"}, {42, 0, "42"}, {1234, 3, "1.234"}};
  for (const Shown& c : shown) {
    char text[64];
    FormatDecimalValue(text, c.value, c.decimals);
    EXPECT_STREQ(text, c.text);
  }
}

TEST(NumberText, RoundedDecimalsAndUnits) {
  struct Case {
    double value;
    int decimals;
    const char* text;
  } cases[] = {{8.2708, 2, "8.27"}, {0.05, 2, "0.05"}, {0.125, 2, "0.13"}, {9.996, 2, "10.00"},
               {0.4, 0, "0"},       {2.5, 0, "3"},     {210.058, 2, "210.06"}, {0.0, 3, "0.000"}};
  for (const Case& c : cases) {
    char text[64];
    FormatDecimal(text, sizeof text, c.value, c.decimals);
    EXPECT_STREQ(text, c.text) << c.value;
  }
  // A4's width (9924 units) in every unit, 300 dpi for pixels.
  const double expected[] = {8.27, 21.0058, 210.058, 2481.0, 49.62, 595.44};
  for (WORD unit = kUnitInch; unit <= kUnitPoint; ++unit) {
    double value = 0;
    ASSERT_TRUE(DocumentUnitsTo(9924, unit, 300, &value));
    EXPECT_NEAR(value, expected[unit], 1e-9) << unit;
  }
  double value = -1;
  EXPECT_FALSE(DocumentUnitsTo(9924, 6, 300, &value));
  char text[64];
  ASSERT_TRUE(DocumentUnitsTo(9924, kUnitMillimetre, 0, &value));
  FormatDecimal(text, sizeof text, value, 2);
  EXPECT_STREQ(text, "210.06");
}

TEST(Mapping, RoundsHalvesAwayFromZero) {
  struct Case {
    LONG value, fromOrigin, fromExtent, toOrigin, toExtent, mapped;
  } cases[] = {
      {1, 0, 2, 0, 1, 1},   {-1, 0, 2, 0, 1, -1},  {3, 0, 4, 0, 1, 1},     {1, 0, 4, 0, 1, 0},
      {7014, 0, 14028, 20, 206, 123}, {14028, 0, 14028, 20, 206, 226}, {5, 0, 0, 9, 100, 9}, {10, 0, -20, 0, 10, -5},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MapLinear(c.value, c.fromOrigin, c.fromExtent, c.toOrigin, c.toExtent), c.mapped) << c.value;
  POINT p{7014, 10200};
  const MapBox bed{0, 0, 14028, 20400}, page{20, 18, 206, 280};
  LogicalToDevice(p, bed, page);
  EXPECT_EQ(p.x, 123);
  EXPECT_EQ(p.y, 158);
  DeviceToLogical(p, bed, page);
  EXPECT_NEAR(p.x, 7014, 14028 / 206);
  EXPECT_NEAR(p.y, 10200, 20400 / 280);
}

// A memory DC over a grey bitmap for the drawing checks.
class DrawingTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, 40, 30);
    old_ = SelectObject(dc_, bitmap_);
    HBRUSH grey = CreateSolidBrush(kGrey);
    const RECT all{0, 0, 40, 30};
    FillRect(dc_, &all, grey);
    DeleteObject(grey);
  }
  void TearDown() override {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    ScannerCodeTest::TearDown();
  }
  COLORREF At(int x, int y) { return GetPixel(dc_, x, y); }

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

TEST_F(DrawingTest, TicksFramesAndOutlines) {
  // A tick of 3 on the top ruler's inner edge at y 20: black x 5, rows 16..19; white beside it.
  ASSERT_TRUE(DrawRulerTick(dc_, 5, 20, 3, TRUE));
  for (int y = 16; y < 20; ++y) EXPECT_EQ(At(5, y), kBlack) << y;
  EXPECT_EQ(At(5, 15), kGrey);
  EXPECT_EQ(At(5, 20), kGrey);
  for (int y = 17; y < 20; ++y) EXPECT_EQ(At(6, y), kWhite) << y;
  EXPECT_EQ(At(6, 16), kGrey);
  // A tick on the left ruler's inner edge at x 30.
  ASSERT_TRUE(DrawRulerTick(dc_, 30, 10, 6, FALSE));
  for (int x = 23; x < 30; ++x) EXPECT_EQ(At(x, 10), kBlack) << x;
  for (int x = 24; x < 30; ++x) EXPECT_EQ(At(x, 11), kWhite) << x;
  // A 3D frame: black outside, white along the top and left inner edges.
  ASSERT_TRUE(Draw3DFrame(dc_, RECT{10, 2, 20, 9}));
  EXPECT_EQ(At(10, 8), kWhite);   // the left edge's white line covers the black frame
  EXPECT_EQ(At(19, 8), kBlack);   // bottom-right stays black
  EXPECT_EQ(At(19, 2), kWhite);  // the white line starts at right - 1
  EXPECT_EQ(At(15, 2), kWhite);
  EXPECT_EQ(At(15, 8), kBlack);
  EXPECT_EQ(At(15, 5), kGrey);
  // A 1-pixel outline: left side, bottom from left + 1, right side up from bottom - 1, top.
  ASSERT_TRUE(DrawRectOutline(dc_, 2, 20, 8, 28, 1, 0x0000FF));
  EXPECT_EQ(At(2, 24), 0x0000FFu);
  EXPECT_EQ(At(5, 28), 0x0000FFu);
  EXPECT_EQ(At(8, 24), 0x0000FFu);
  EXPECT_EQ(At(5, 20), 0x0000FFu);
  EXPECT_EQ(At(5, 24), kGrey);
}

TEST_F(DrawingTest, KeyedBitmapsShowTheBackgroundWhereTheyAreMagenta) {
  BITMAP size{};
  ASSERT_TRUE(GetBitmapSize(kBitmapDigitOne, &size));
  EXPECT_EQ(size.bmWidth, 5);
  EXPECT_EQ(size.bmHeight, 7);
  SetBkColor(dc_, GetSysColor(COLOR_BTNFACE));
  ASSERT_TRUE(DrawBitmapKeyed(dc_, 3, 4, kBitmapDigitOne));
  // "1": its stem is black, the rest of the cell takes the button face; nothing outside changes.
  EXPECT_EQ(At(3 + 2, 4 + 3), kBlack);
  EXPECT_EQ(At(3 + 0, 4 + 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(At(3 + 4, 4 + 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(At(2, 4), kGrey);
  EXPECT_EQ(At(8, 4), kGrey);
  // Unkeyed and stretched to twice the size, magenta stays magenta.
  ASSERT_TRUE(StretchBitmapResource(dc_, RECT{20, 10, 30, 24}, kBitmapDigitOne));
  EXPECT_EQ(At(20, 10), 0xFF00FFu);
  EXPECT_EQ(At(24, 16), kBlack);
  EXPECT_FALSE(DrawBitmapKeyed(dc_, 0, 0, 9999));
}

TEST_F(DrawingTest, StretchedDibsAreCheckedAgainstTheirBlock) {
  // A 2 x 2 top-down 24-bit DIB stretched onto 4 x 4.
  const DWORD stride = 8;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 40 + 2 * stride);
  BYTE* b = static_cast<BYTE*>(GlobalLock(block));
  std::memset(b, 0, 40 + 2 * stride);
  BITMAPINFOHEADER h{};
  h.biSize = 40;
  h.biWidth = 2;
  h.biHeight = -2;
  h.biPlanes = 1;
  h.biBitCount = 24;
  std::memcpy(b, &h, 40);
  b[40 + 2] = 0xFF;           // (0, 0) red
  b[40 + stride + 3] = 0xFF;  // (1, 1) blue
  GlobalUnlock(block);
  ASSERT_TRUE(StretchDib(dc_, RECT{0, 0, 4, 4}, block));
  EXPECT_EQ(At(0, 0), 0x0000FFu);
  EXPECT_EQ(At(3, 3), 0xFF0000u);
  EXPECT_EQ(At(3, 0), kBlack);
  // A header that claims more rows than the block holds draws nothing.
  b = static_cast<BYTE*>(GlobalLock(block));
  h.biHeight = -3;
  std::memcpy(b, &h, 40);
  GlobalUnlock(block);
  EXPECT_FALSE(StretchDib(dc_, RECT{10, 0, 14, 4}, block));
  EXPECT_EQ(At(10, 0), kGrey);
  GlobalFree(block);
}

}  // namespace
