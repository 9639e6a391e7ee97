#include "core/pictures/color_adjust.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ColorAdjust, NeutralInputsGiveTheIdentity) {
  ColorAdjustMatrix m{};
  ASSERT_EQ(BuildColorAdjustMatrix(&m, 0, 0, 0), 0);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) EXPECT_EQ(m.factor[r][c], r == c ? 65536 : 0) << r << c;
    EXPECT_EQ(m.offset[r], 0);
  }
  const BYTE in[] = {0, 1, 2, 127, 128, 255, 10, 200, 30};
  BYTE out[9] = {};
  ApplyColorMatrix(&m, in, out, 3);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(out[i], in[i]) << i;
  EXPECT_EQ(BuildColorAdjustMatrix(nullptr, 0, 0, 0), -1);
}

TEST(ColorAdjust, ContrastSaturationAndBrightness) {
  ColorAdjustMatrix m{};
  ASSERT_EQ(BuildColorAdjustMatrix(&m, 0, 0, 100), 0);  // K = 1.3, S = 1
  EXPECT_EQ(m.offset[0], static_cast<LONG>(-76.5 * 65536));
  EXPECT_EQ(m.offset[1], m.offset[0]);
  EXPECT_EQ(m.factor[0][0], static_cast<LONG>((0.3 * 1.3 + 0.7) * 65536));
  EXPECT_EQ(m.factor[0][1], static_cast<LONG>(0.59 * 0.3 * 65536));
  ColorAdjustMatrix clamped{};
  ASSERT_EQ(BuildColorAdjustMatrix(&clamped, 0, 0, 250), 0);  // clamped to 100
  EXPECT_EQ(clamped.offset[0], m.offset[0]);
  ASSERT_EQ(BuildColorAdjustMatrix(&m, 0, -100, 0), 0);  // S = 0.5
  EXPECT_EQ(m.factor[2][2], static_cast<LONG>((0.11 + 0.89 * 0.5) * 65536));
  EXPECT_EQ(m.factor[2][0], static_cast<LONG>(0.3 * 0.5 * 65536));
  ASSERT_EQ(BuildColorAdjustMatrix(&m, 100, 0, 0), 0);
  EXPECT_EQ(m.offset[2], 50 * 65536);
  const BYTE grey[] = {100, 100, 100, 250, 250, 250};
  BYTE out[6];
  ApplyColorMatrix(&m, grey, out, 2);
  EXPECT_EQ(out[0], 150);
  EXPECT_EQ(out[3], 255);  // clamped
}

TEST(ColorAdjust, ApplyUsesBlueGreenRedOrderAndCopiesWithoutMatrix) {
  ColorAdjustMatrix m{};
  ASSERT_EQ(BuildColorAdjustMatrix(&m, 0, -100, 0), 0);  // half saturation
  const BYTE red[] = {0, 0, 255};  // blue, green, red
  BYTE out[3];
  ApplyColorMatrix(&m, red, out, 1);
  // red' = (0.3 + 0.35) * 255, green' = blue' = 0.15 * 255 (each minus a little for the shifts)
  EXPECT_NEAR(out[2], 166, 1);
  EXPECT_NEAR(out[1], 38, 1);
  EXPECT_NEAR(out[0], 38, 1);
  const BYTE any[] = {1, 2, 3, 4, 5, 6};
  BYTE copy[6] = {};
  ApplyColorMatrix(nullptr, any, copy, 2);
  EXPECT_EQ(std::vector<BYTE>(copy, copy + 6), std::vector<BYTE>(any, any + 6));
  // Darkening by contrast -100 with the negative offset floors at 0.
  ASSERT_EQ(BuildColorAdjustMatrix(&m, -100, 0, 100), 0);
  const BYTE dark[] = {20, 20, 20};
  ApplyColorMatrix(&m, dark, out, 1);
  EXPECT_EQ(out[0], 0);
}

TEST(ColorAdjust, GreyConversion) {
  const BYTE pixels[] = {128, 128, 128, 255, 0, 0, 0, 0, 255, 0, 255, 0, 10, 20, 30, 255, 255, 255};
  BYTE grey[6] = {};
  ConvertRgbToGray(pixels, grey, 3, 2);
  EXPECT_EQ(grey[0], 128);
  EXPECT_EQ(grey[1], 84);
  EXPECT_EQ(grey[2], 84);
  EXPECT_EQ(grey[3], 85);  // 255 * 86 >> 8
  EXPECT_EQ(grey[4], (40 * 85 + 20 * 86) >> 8);
  EXPECT_EQ(grey[5], 255);
}

}  // namespace
