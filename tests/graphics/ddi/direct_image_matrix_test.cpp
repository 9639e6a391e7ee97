// The matrix of a direct-mode image for each quarter turn, and for a turn that is none.
#include <gtest/gtest.h>

#include <array>

#include "graphics/ddi/direct_image_matrix.h"

namespace {

TEST(DirectImageMatrix, QuarterTurns) {
  struct Case {
    LONG turn;
    std::array<float, 6> matrix;
  };
  // 100 x 50 source pixels drawn at 200 x 100: scale 2 both ways.
  const Case cases[] = {
      {0, {2, 0, 0, 2, 0, 0}},      {90, {0, -2, 2, 0, 0, 50}},  {180, {-2, 0, 0, -2, 100, 50}},
      {270, {0, 2, -2, 0, 100, 0}}, {45, {2, 0, 0, 2, 0, 0}},
  };
  for (const Case& c : cases) {
    ImageAttributes header{};
    header.width = 100;
    header.height = 50;
    ASSERT_EQ(SetImageTurnMatrix(&header, c.turn, 2, 2), 0);
    std::array<float, 6> got;
    for (int i = 0; i < 6; ++i) got[i] = header.matrix[i];
    EXPECT_EQ(got, c.matrix) << c.turn;
  }
  EXPECT_EQ(SetImageTurnMatrix(nullptr, 0, 1, 1), -1);
}

}  // namespace
