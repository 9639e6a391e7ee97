// Stored values and control positions of scaled items; sizes shown in inches.
#include <gtest/gtest.h>

#include "core/constraints/item_position.h"
#include "items/item_ids.h"

namespace {

TEST(ItemPosition, TableOfConversions) {
  struct Case {
    WORD mode;
    SettingItemId id;
    LONG value;
    BOOL converts;
    LONG expected;
  };
  const Case cases[] = {
      {kPositionToValue, 268, 7, TRUE, 70},      {kValueToPosition, 268, 75, TRUE, 7},
      {kValueToPosition, 324, -75, TRUE, -7},    {kPositionToValue, 311, -3, TRUE, -30},
      {kValueToPosition, 269, 0xFFF6, TRUE, -1}, // the 16-bit value is signed
      {kValueToPosition, 393, 256, TRUE, -3},    {kValueToPosition, 393, 255, TRUE, -4},
      {kPositionToValue, 393, 0, TRUE, 2048},    {kPositionToValue, 393, -4, TRUE, 128},
      {kValueToPosition, 392, 5, TRUE, 0},       {kValueToPosition, 394, 65536 * 8, TRUE, 0},
      {kValueToPosition, 403, 65536 * 9, TRUE, 1},
      {kPositionToValue, 401, 5, TRUE, 256},     {kValueToPosition, 401, 256, TRUE, 5},
      {0, 395, 256, TRUE, 5},                    // any mode other than 1 reads a value
      {kPositionToValue, 300, 9, FALSE, 9},      {kValueToPosition, 404, 9, FALSE, 9},
      {kValueToPosition, 391, 9, FALSE, 9},
      // Values from outside never hang or overflow: a huge stored value has a position,
      // a huge position gives the largest step that fits.
      {kValueToPosition, 394, LONG(0xFFFFFFFFu), TRUE, 13},
      {kValueToPosition, 392, LONG(0xFFFFFFFFu), TRUE, 29},
      {kPositionToValue, 394, 1000000, TRUE, LONG(0x80000000u)},
      {kPositionToValue, 392, 0x7FFFFFFF, TRUE, LONG(0x80000000u)},
  };
  for (const Case& c : cases) {
    LONG result = 12345;
    EXPECT_EQ(ConvertItemPosition(c.mode, c.id, c.value, &result), c.converts) << c.id << " " << c.value;
    EXPECT_EQ(result, c.expected) << c.id << " " << c.value;
  }
  EXPECT_FALSE(ConvertItemPosition(kPositionToValue, kItemBindingShift, 1, nullptr));
}

TEST(ItemPosition, ClampItemValueInInches) {
  EXPECT_EQ(ClampItemValue(2100, kItemUserPaperWidth), 827);  // 210 mm
  EXPECT_EQ(ClampItemValue(-2100, kItemUserPaperWidth), -827);
  EXPECT_EQ(ClampItemValue(48, kItemBindingShift), 19);      // 0.19 inch is the bound
  EXPECT_EQ(ClampItemValue(51, kItemBindingShiftBack), 19);  // 20 and more
  EXPECT_EQ(ClampItemValue(-51, kItemBookletShift), -19);
  EXPECT_EQ(ClampItemValue(46, kItemBookletShift), 18);
  EXPECT_EQ(ClampItemValue(51, kItemStampEscapement), 20);  // 311 has no bound
}

}  // namespace
