#include "core/common/units.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Units, TenthMillimetreAndHundredthInchRoundHalfAwayFromZero) {
  struct Case { LONG tenthMm, hundredthInch; };
  // 2970 -> 11692.9/10 -> 1169; 127 -> 500.0 -> 50; 13 -> 51.1 -> 5; 14 -> 55.1 -> 6 (half up)
  for (Case c : {Case{0, 0}, Case{2970, 1169}, Case{-2970, -1169}, Case{127, 50}, Case{13, 5}, Case{14, 6},
                 Case{-14, -6}, Case{2159, 850}}) {
    EXPECT_EQ(TenthMmToHundredthInch(c.tenthMm), c.hundredthInch) << c.tenthMm;
  }
  for (Case c : {Case{2969, 1169}, Case{-2969, -1169}, Case{2159, 850}, Case{5, 2}, Case{0, 0}, Case{3, 1}}) {
    EXPECT_EQ(HundredthInchToTenthMm(c.hundredthInch), c.tenthMm) << c.hundredthInch;
  }
  // Extreme inputs do not overflow: 2147483648000 / 254 = 8454660031.
  EXPECT_EQ(TenthMmToHundredthInch(INT_MIN), -845466003);
  EXPECT_EQ(HundredthInchToTenthMm(INT_MAX), INT_MAX);
}

TEST(Units, SplitHundredths) {
  int whole = -1, fraction = -1;
  ASSERT_EQ(SplitHundredths(FALSE, 1234, &whole, &fraction), 1);
  EXPECT_EQ(whole, 12);
  EXPECT_EQ(fraction, 34);
  ASSERT_EQ(SplitHundredths(TRUE, 1234, &whole, &fraction), 1);
  EXPECT_EQ(whole, 12);
  EXPECT_EQ(fraction, 3);
  ASSERT_EQ(SplitHundredths(TRUE, 65535, &whole, &fraction), 1);
  EXPECT_EQ(whole, 655);
  EXPECT_EQ(fraction, 3);
  EXPECT_EQ(SplitHundredths(FALSE, 1, nullptr, &fraction), 0);
  EXPECT_EQ(SplitHundredths(FALSE, 1, &whole, nullptr), 0);
}

}  // namespace
