#include "core/stamps/stamp_transform.h"

#include <gtest/gtest.h>

namespace {

TEST(StampTransform, NinetyDegreesTurnsTheExtent) {
  const StampSize area{1000, 1000};
  const StampSize box{100, 20};
  StampTransform t{};
  ASSERT_EQ(MakeStampTransform(&area, &box, 90, 0, 0x101, &t), 1);
  EXPECT_NEAR(t.m11, 0.0f, 1e-6f);
  EXPECT_NEAR(t.m12, 1.0f, 1e-6f);
  EXPECT_NEAR(t.m21, -1.0f, 1e-6f);
  EXPECT_NEAR(t.offsetX, 0.0f, 1e-4f);
  EXPECT_NEAR(t.offsetY, 100.0f, 1e-4f);  // s * w
  EXPECT_EQ(t.columns, 0);
  EXPECT_EQ(t.rows, 0);
  // Centred and at the bottom right: the extent W' = 20, H' = 100 decides.
  ASSERT_EQ(MakeStampTransform(&area, &box, 90, 0, 0x202, &t), 1);
  EXPECT_NEAR(t.offsetX, 500.0f - 10.0f, 1e-3f);
  EXPECT_NEAR(t.offsetY, 100.0f + 500.0f - 50.0f, 1e-3f);
  ASSERT_EQ(MakeStampTransform(&area, &box, 90, 0, 0x303, &t), 1);
  EXPECT_NEAR(t.offsetX, 980.0f, 1e-3f);
  EXPECT_NEAR(t.offsetY, 100.0f + 900.0f, 1e-3f);
  // A point of the box lands turned: (100, 0) -> (0, 0) + offsets for the aligned top left.
  ASSERT_EQ(MakeStampTransform(&area, &box, 90, 0, 0x101, &t), 1);
  StampPoint out{};
  const StampPoint p{100, 0};
  ASSERT_EQ(MapStampPoint(&t, &p, 7, &out), 0);  // the tile index is ignored when not tiling
  EXPECT_NEAR(out.x, 0.0f, 1e-3f);
  EXPECT_NEAR(out.y, 0.0f, 1e-3f);
}

TEST(StampTransform, NegativeAngleAndCentreRotation) {
  const StampSize area{500, 500};
  const StampSize box{100, 20};
  StampTransform t{};
  ASSERT_EQ(MakeStampTransform(&area, &box, -90, 0, 0x101, &t), 1);
  EXPECT_NEAR(t.offsetX, 20.0f, 1e-4f);  // sin(90) * h
  EXPECT_NEAR(t.offsetY, 0.0f, 1e-4f);
  ASSERT_EQ(MakeStampTransform(&area, &box, 180, kStampRotateAboutCentre, 0x101, &t), 1);
  // Turning by 180 degrees about the centre maps the box onto itself.
  StampPoint out{};
  const StampPoint corner{0, 0};
  ASSERT_EQ(MapStampPoint(&t, &corner, 0, &out), 0);
  EXPECT_NEAR(out.x, 100.0f, 1e-3f);
  EXPECT_NEAR(out.y, 20.0f, 1e-3f);
}

TEST(StampTransform, TilingCoversTheArea) {
  const StampSize area{1000, 500};
  const StampSize box{300, 200};
  StampTransform t{};
  ASSERT_EQ(MakeStampTransform(&area, &box, 0, 0, 0, &t), 12);
  EXPECT_EQ(t.columns, 4);
  EXPECT_EQ(t.rows, 3);
  StampPoint out{};
  const StampPoint p{1, 2};
  ASSERT_EQ(MapStampPoint(&t, &p, 5, &out), 0);
  EXPECT_FLOAT_EQ(out.x, 1 + 300.0f);
  EXPECT_FLOAT_EQ(out.y, 2 + 200.0f);
  EXPECT_EQ(MapStampPoint(&t, &p, 11, &out), 0);
  EXPECT_EQ(MapStampPoint(&t, &p, 12, &out), -1);
  EXPECT_EQ(MapStampPoint(&t, &p, -1, &out), -1);
  // Exact fit: no extra column.
  const StampSize exact{900, 400};
  ASSERT_EQ(MakeStampTransform(&exact, &box, 0, 0, 0, &t), 6);
  // Huge areas saturate the tile counts.
  const StampSize huge{1e12f, 1e12f};
  const StampSize tiny{1, 1};
  EXPECT_EQ(MakeStampTransform(&huge, &tiny, 0, 0, 0, &t), kStampMaxTiles);
}

TEST(StampTransform, RefusesMissingArgumentsAndEmptyTiles) {
  const StampSize area{100, 100};
  const StampSize box{10, 10};
  const StampSize empty{0, 0};
  StampTransform t{};
  EXPECT_EQ(MakeStampTransform(nullptr, &box, 0, 0, 0, &t), -1);
  EXPECT_EQ(MakeStampTransform(&area, nullptr, 0, 0, 0, &t), -1);
  EXPECT_EQ(MakeStampTransform(&area, &box, 0, 0, 0, nullptr), -1);
  EXPECT_EQ(MakeStampTransform(&area, &empty, 0, 0, 0, &t), -1);  // would divide by zero
  StampPoint out{};
  EXPECT_EQ(MapStampPoint(nullptr, &out, 0, &out), -1);
  EXPECT_EQ(MapStampPoint(&t, nullptr, 0, &out), -1);
  EXPECT_EQ(MapStampPoint(&t, &out, 0, nullptr), -1);
}

}  // namespace
