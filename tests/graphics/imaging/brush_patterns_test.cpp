// Brush patterns as the drawing library gets them: hatch codes, one-bit rows without padding
// from the top row down, colour patterns unpacked into three-byte rows with their length.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/imaging/brush_patterns.h"

namespace {
using Bytes = std::vector<BYTE>;
}  // namespace

TEST(BrushPatterns, HatchStylesHaveTheLibrarysCodes) {
  const std::pair<DWORD, int> cases[] = {{0, 2}, {1, 3}, {2, 4}, {3, 5}, {4, 6}, {5, 7}, {6, 1}, {99, 1}};
  for (auto [style, code] : cases) EXPECT_EQ(HatchCode(style), code) << style;
}

TEST(BrushPatterns, MaskRowsLoseTheirPadding) {
  const Bytes rows{0xA5, 1, 2, 3, 0x5A, 4, 5, 6};
  const Bytes wide{0xA5, 0xF0, 2, 3, 0x5A, 0x0F, 5, 6};
  struct Case {
    const char* what;
    const Bytes* rows;
    LONG width, height;
    BOOL topDown;
    std::size_t present;
    bool ok;
    Bytes expected;
  } cases[] = {
      {"top-down", &rows, 8, 2, TRUE, 8, true, {0xA5, 0x5A}},
      {"bottom-up", &rows, 8, 2, FALSE, 8, true, {0x5A, 0xA5}},
      {"twelve wide", &wide, 12, 2, TRUE, 8, true, {0xA5, 0xF0, 0x5A, 0x0F}},
      {"rows missing", &rows, 8, 3, TRUE, 8, false, {}},
      {"too high", &rows, 8, 40000, TRUE, 8, false, {}},
      {"negative", &rows, -8, 1, TRUE, 8, false, {}},
  };
  for (const Case& c : cases) {
    Bytes out(4, 0xEE);
    const PatternRows p{c.width, c.height, kPatternFormat1Bit, c.topDown, c.rows->data(), c.present, nullptr, 0};
    ASSERT_EQ(RepackMaskRows(p, out.data(), out.size()), c.ok) << c.what;
    if (c.ok) {
      EXPECT_EQ(Bytes(out.begin(), out.begin() + c.expected.size()), c.expected) << c.what;
    }
  }
}

TEST(BrushPatterns, ColourPatternsBecomeThreeByteRows) {
  const DWORD table[] = {0x00112233, 0x00445566, 0x00778899};
  const Bytes four{0x01, 0x20, 0, 0, 0x22, 0x10, 0, 0};  // 3 x 2 pixels, two per byte, rows of 4
  const Bytes eight{2, 1, 0, 0, 0, 0, 2, 0};
  const Bytes deep{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};  // 2 x 2, rows of 8
  const Bytes pastTable{0x03, 0, 0, 0};
  struct Case {
    const char* what;
    const Bytes* rows;
    LONG width, height;
    DWORD format;
    BOOL topDown;
    bool ok;
    std::size_t length;
    Bytes expected;
  } cases[] = {
      {"4-bit top-down", &four, 3, 2, kPatternFormat4Bit, TRUE, true, 48,
       {0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0x99, 0x88, 0x77, 0x99, 0x88, 0x77, 0x66, 0x55, 0x44}},
      {"8-bit bottom-up", &eight, 3, 2, kPatternFormat8Bit, FALSE, true, 24,
       {0x33, 0x22, 0x11, 0x33, 0x22, 0x11, 0x99, 0x88, 0x77, 0x99, 0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11}},
      {"24-bit bottom-up", &deep, 2, 2, kPatternFormat24Bit, FALSE, true, 16,
       {7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}},
      {"index past the table", &pastTable, 2, 1, kPatternFormat4Bit, TRUE, false, 24, {}},
      {"one bit", &four, 3, 2, kPatternFormat1Bit, TRUE, false, 0, {}},
  };
  for (const Case& c : cases) {
    const PatternRows p{c.width, c.height, c.format, c.topDown, c.rows->data(), c.rows->size(), table, 3};
    EXPECT_EQ(RasterPatternLength(p), c.length) << c.what;
    Bytes out(64, 0xEE);
    ASSERT_EQ(PatternToRgbRows(p, out.data(), c.length), c.ok) << c.what;
    if (!c.ok) continue;
    Bytes expected = c.expected;
    expected.resize(c.length, 0);  // the bytes after the last pixel stay 0
    EXPECT_EQ(Bytes(out.begin(), out.begin() + c.length), expected) << c.what;
    EXPECT_EQ(out[c.length], 0xEE) << c.what;
  }
}
