// Tile cells: each cell's placement in the layout's order (row by row, or column by column
// from the last row for a quarter-turned page), and cells the layout does not have.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/job/tile_cells.h"

namespace {

TileLayout Layout(WORD columns, WORD rows, const std::vector<float>& m) {
  TileLayout t{};
  for (int i = 0; i < 6; ++i) t.matrix[i] = m[i];
  t.cellWidth = 1000;
  t.cellHeight = 2000;
  t.columns = columns;
  t.rows = rows;
  EXPECT_EQ(SetTileGridOrder(&t), 0);
  return t;
}

TEST(TileCells, CellsInTheLayoutsOrder) {
  struct Case {
    const char* name;
    TileLayout tiles;
    WORD n;
    float e, f;  // the placement's translation
  };
  const std::vector<float> upright = {2, 0, 0, 2, 10, 20};
  const std::vector<float> turned = {0, 2, -2, 0, 10, 20};
  const Case cases[] = {
      {"2x2 first", Layout(2, 2, upright), 0, 10, 20},
      {"2x2 second", Layout(2, 2, upright), 1, 10 - 1000, 20},
      {"2x2 third", Layout(2, 2, upright), 2, 10, 20 - 2000},
      {"3x3 centre", Layout(3, 3, upright), 4, 10 - 1000, 20 - 2000},
      {"3x3 last", Layout(3, 3, upright), 8, 10 - 2000, 20 - 4000},
      {"4x4 last", Layout(4, 4, upright), 15, 10 - 3000, 20 - 6000},
      {"turned first from the last row", Layout(2, 3, turned), 0, 10, 20 - 4000},
      {"turned down the column", Layout(2, 3, turned), 1, 10, 20 - 2000},
      {"turned next column", Layout(2, 3, turned), 3, 10 - 1000, 20 - 4000},
  };
  for (const Case& c : cases) {
    float out[6] = {};
    ASSERT_EQ(ComputeGridCell(out, &c.tiles, c.n), 0) << c.name;
    EXPECT_EQ(out[0], c.tiles.matrix[0]) << c.name;
    EXPECT_EQ(out[4], c.e) << c.name;
    EXPECT_EQ(out[5], c.f) << c.name;
  }
}

TEST(TileCells, CellsBeyondTheGridAreRefused) {
  const TileLayout tiles = Layout(3, 3, {1, 0, 0, 1, 0, 0});
  float out[6] = {7, 7, 7, 7, 7, 7};
  EXPECT_EQ(ComputeGridCell(out, &tiles, 9), -1);
  EXPECT_EQ(out[4], 7);
  TileLayout broken = tiles;
  broken.acrossStart = -5;
  EXPECT_EQ(ComputeGridCell(out, &broken, 0), -1);
  EXPECT_EQ(ComputeGridCell(out, nullptr, 0), -1);
}

}  // namespace
