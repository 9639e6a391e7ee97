// The data-font records of glyphs: their bytes as the drawing library reads them, the em size
// and bold strength arithmetic, and the viewer reading back what was built (and refusing
// records whose counts run past their length).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/drawing/glyph_records.h"
#include "platform/base/byte_order.h"
#include "tools/spoolview/glyph_render.h"

namespace {

float F32At(const std::vector<BYTE>& b, size_t at) {
  const DWORD bits = GetLE32(b.data() + at);
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

TEST(GlyphRecordsTest, IntegerHypotRoundsUp) {
  struct Case {
    LONG a, b, r;
  } cases[] = {{0, 0, 0},   {0, -7, 7},  {-5, 0, 5},     {3, 4, 5},       {3, 5, 6},
               {1, 1, 2},   {-1, 1, 2},  {1328, 0, 1328}, {939, 939, 1328},
               // Far past where squaring in 32 bits overflows (a 45-degree font above 245 pt).
               {50000, 50000, 70711}, {0x7FFFFFFF, 0, 0x7FFFFFFF}};
  for (const Case& c : cases) EXPECT_EQ(IntegerHypot(c.a, c.b), c.r) << c.a << ", " << c.b;
}

TEST(GlyphRecordsTest, BoldStrengthByLevelAndSetting) {
  struct Case {
    DWORD setting;
    float em;
    SHORT resolution;
    DWORD level;
    BYTE bold;
  } cases[] = {
      {0, 10, 600, 2, 10},     // x = 1000: 1000 / 485 + 0.5 = 2, plus 8
      {1, 10, 600, 2, 11},     // 1000 / 360 + 0.5 = 3
      {0, 10, 600, 3, 0},      // 5.1 and later without the setting: no strength
      {5, 10, 600, 3, 10},     // 1000 / 640 + 0.5 = 2
      {5, 1, 600, 3, 0},       // 100 / 640 + 0.5 = 0 stays 0
      {5, 60, 600, 3, 17},     // x = 6000: (6000 - 2900) / 600 + 2900 / 640 = 9.7
      {0, 3000, 1200, 2, 255}, // capped at 247 before the bias
  };
  for (const Case& c : cases)
    EXPECT_EQ(BoldStrengthFor(c.setting, c.em, c.resolution, c.level), c.bold)
        << c.setting << " " << c.em << " " << c.resolution << " " << c.level;
}

TEST(GlyphRecordsTest, OutlineRecordPacksPointsAndCodes) {
  // A triangle and a curve: codes 1 2 2 5 | 1 4 5 | 6 (eight codes), seven points.
  GlyphOutline outline;
  outline.points = {{0, 0}, {10, 0}, {5, -8.5f}, {20, 0}, {21, -3}, {24, -3}, {25, 0}};
  outline.ops = {1, 2, 2, 5, 1, 4, 5, 6};
  const std::vector<BYTE> r = BuildOutlineGlyphRecord({12, 1, 9.96f}, outline);
  const size_t size = ((8 + 1) / 2 + 7 * 8 + 19) & ~3u;  // 76
  ASSERT_EQ(r.size(), size);
  EXPECT_EQ(r[0], 1);
  EXPECT_EQ(r[1], 12);
  EXPECT_EQ(r[2], 0);
  EXPECT_EQ(r[3], 1);
  EXPECT_EQ(GetLE32(r.data() + 4), size);
  EXPECT_FLOAT_EQ(F32At(r, 8), 9.96f);
  EXPECT_EQ(GetLE16(r.data() + 12), 7);
  EXPECT_EQ(GetLE16(r.data() + 14), 8);
  EXPECT_FLOAT_EQ(F32At(r, 16 + 2 * 8 + 4), -8.5f);
  const std::vector<BYTE> codes(r.begin() + 16 + 56, r.begin() + 16 + 56 + 4);
  EXPECT_EQ(codes, (std::vector<BYTE>{0x12, 0x25, 0x14, 0x56}));

  // An odd count leaves the last code alone in a high nibble, the rest zero.
  outline.ops = {1, 2, 2, 5, 6};
  outline.points.resize(3);
  const std::vector<BYTE> odd = BuildOutlineGlyphRecord({0, 0, 12}, outline);
  ASSERT_EQ(odd.size(), ((5 + 1) / 2 + 3 * 8 + 19) & ~3u);
  EXPECT_EQ(std::vector<BYTE>(odd.begin() + 40, odd.end()), (std::vector<BYTE>{0x12, 0x25, 0x60, 0x00}));

  ViewedGlyph viewed;
  ASSERT_TRUE(ReadGlyphRecord(r, &viewed));
  EXPECT_FALSE(viewed.bitmap);
  EXPECT_EQ(viewed.bold, 12);
  EXPECT_EQ(viewed.ops, (std::vector<BYTE>{1, 2, 2, 5, 1, 4, 5, 6}));
  ASSERT_EQ(viewed.points.size(), 14u);
  EXPECT_FLOAT_EQ(viewed.points[13], 0);
  EXPECT_FLOAT_EQ(viewed.points[12], 25);
}

TEST(GlyphRecordsTest, BitmapRecordKeepsRowsAndPads) {
  const BYTE bits[] = {0xF0, 0x0F, 0xAA, 0x55, 0xFF, 0x81};  // 3 rows of 2 bytes, 12 pixels wide
  const std::vector<BYTE> r = BuildBitmapGlyphRecord(1, -9, 12, 3, bits);
  ASSERT_EQ(r.size(), (6u + 25) & ~3u);  // 28
  EXPECT_EQ(GetLE32(r.data()), 2u);
  EXPECT_EQ(GetLE32(r.data() + 4), 28u);
  EXPECT_FLOAT_EQ(F32At(r, 8), 1);
  EXPECT_FLOAT_EQ(F32At(r, 12), -9);
  EXPECT_EQ(GetLE16(r.data() + 16), 3);
  EXPECT_EQ(GetLE16(r.data() + 18), 12);
  EXPECT_EQ(r[20], 2);
  EXPECT_EQ(r[21], 1);
  EXPECT_EQ(std::vector<BYTE>(r.begin() + 22, r.end()), (std::vector<BYTE>{0xF0, 0x0F, 0xAA, 0x55, 0xFF, 0x81}));
  const std::vector<BYTE> padded = BuildBitmapGlyphRecord(0, 0, 8, 1, bits);
  EXPECT_EQ(std::vector<BYTE>(padded.begin() + 22, padded.end()), (std::vector<BYTE>{0xF0, 0x11}));

  ViewedGlyph viewed;
  ASSERT_TRUE(ReadGlyphRecord(r, &viewed));
  EXPECT_TRUE(viewed.bitmap);
  EXPECT_EQ(viewed.width, 12);
  EXPECT_EQ(viewed.rows, 3);
  EXPECT_EQ(viewed.bits, std::vector<BYTE>(bits, bits + 6));

  // A row wider than one byte can count, and rows that are not there, make no record.
  std::vector<BYTE> wide(256 * 2, 0);
  EXPECT_TRUE(BuildBitmapGlyphRecord(0, 0, 2041, 2, wide.data()).empty());
  EXPECT_FALSE(BuildBitmapGlyphRecord(0, 0, 2040, 2, wide.data()).empty());
  EXPECT_TRUE(BuildBitmapGlyphRecord(0, 0, 8, 1, nullptr).empty());
}

TEST(GlyphRecordsTest, ViewerRefusesRecordsThatRunPastThemselves) {
  GlyphOutline outline{{{0, 0}, {1, 1}}, {1, 2, 6}};
  const std::vector<BYTE> good = BuildOutlineGlyphRecord({0, 0, 10}, outline);
  ViewedGlyph g;
  ASSERT_TRUE(ReadGlyphRecord(good, &g));
  struct Case {
    const char* what;
    size_t at;
    DWORD value;
    int width;
  } cases[] = {{"a length past the bytes", 4, 0x1000, 4},
               {"more points than the length holds", 12, 200, 2},
               {"codes asking for more points than there are", 14, 1, 2},
               {"an unknown kind", 0, 9, 1}};
  for (const Case& c : cases) {
    std::vector<BYTE> bad = good;
    if (c.width == 4) PutLE32(bad.data() + c.at, c.value);
    else if (c.width == 2) PutLE16(bad.data() + c.at, static_cast<WORD>(c.value));
    else bad[c.at] = static_cast<BYTE>(c.value);
    if (c.at == 14) bad[16 + 16] = 0x40;  // one Bezier over two points
    EXPECT_FALSE(ReadGlyphRecord(bad, &g)) << c.what;
  }
  std::vector<BYTE> shortBitmap = BuildBitmapGlyphRecord(0, 0, 8, 2, std::vector<BYTE>{1, 2}.data());
  PutLE16(shortBitmap.data() + 16, 40);  // rows past the record
  EXPECT_FALSE(ReadGlyphRecord(shortBitmap, &g));
  EXPECT_FALSE(ReadGlyphRecord(std::vector<BYTE>{1, 0, 0}, &g));
}

}  // namespace
