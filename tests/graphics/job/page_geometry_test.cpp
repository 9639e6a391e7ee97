// Page geometry: the cells, scales, turns, margins and bounds of the page transforms, as one
// table over an A4 page at 600 dpi, and the matrix helpers the transforms are built from.
#include "graphics/job/page_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <tuple>

namespace {

PagePaperBlock Paper(SHORT width, SHORT length, SHORT margin) {
  PagePaperBlock p{};
  p.paperId = 9;
  p.width = width;
  p.length = length;
  p.printableWidth = static_cast<SHORT>(width - 2 * margin);
  p.printableLength = static_cast<SHORT>(length - 2 * margin);
  p.centredLeft = p.centredTop = margin;
  p.leftMargin = p.rightMargin = p.topMargin = p.bottomMargin = margin;
  p.fits = 1;
  return p;
}

// A4 portrait, 600 dpi, 5 mm margins, N-up 1, no zoom.
PageState A4() {
  PageState s{};
  s.page = s.sheet = Paper(2100, 2970, 50);
  s.zoomPercent = 100;
  s.nup = 1;
  s.cellsAcross = s.cellsAlong = 1;
  s.resolution[0] = s.resolution[1] = 600;
  s.tileColumns = s.tileRows = 1;
  return s;
}

void SetNup(PageState& s, WORD nup, SHORT across, SHORT along) {
  s.nup = nup;
  s.cellsAcross = across;
  s.cellsAlong = along;
  s.turnedGrid = (nup == 2 || nup == 8 || nup == 32) ? 1 : 0;
  s.landscapeCells = s.landscape ^ s.turnedGrid;
}

float Px(LONG tenths) { return static_cast<float>(tenths) * 600.0f / 254.0f; }

// (x, y) through matrix m.
void Map(const float m[6], float x, float y, float* ox, float* oy) {
  *ox = m[0] * x + m[2] * y + m[4];
  *oy = m[1] * x + m[3] * y + m[5];
}

struct GeometryCase {
  const char* name;
  std::function<void(PageState&)> setup;
  std::function<void(const PageState&)> check;
};

const GeometryCase kCases[] = {
    {"N-up 4, order 0: pages 1 to 4 fill the cells row by row from the top left",
     [](PageState& s) { SetNup(s, 4, 2, 2); },
     [](const PageState& s) {
       const float midX = Px(2100) / 2, midY = Px(2970) / 2;
       const int expected[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
       for (int i = 0; i < 4; ++i) {
         RECT cell{};
         ASSERT_EQ(GetCellRectangle(&s, i, 0, &cell), 0);
         const int u = (cell.left + cell.right) / 2 >= midX ? 1 : 0;
         const int w = (cell.top + cell.bottom) / 2 >= midY ? 1 : 0;
         EXPECT_EQ(u, expected[i][0]) << "page " << i + 1;
         EXPECT_EQ(w, expected[i][1]) << "page " << i + 1;
         EXPECT_NEAR(std::abs(cell.right - cell.left), Px(2000) / 2, 1.0f);
       }
     }},
    {"N-up 2 and 8 turn each page a quarter and keep it inside its own cell",
     [](PageState& s) { SetNup(s, 2, 1, 2); },
     [](const PageState& s) {
       for (const auto& [nup, across, along] : {std::tuple{2, 1, 2}, std::tuple{8, 2, 4}}) {
         PageState grid = s;
         SetNup(grid, static_cast<WORD>(nup), static_cast<SHORT>(across), static_cast<SHORT>(along));
         for (int i = 0; i < nup; ++i) {
           float m[6];
           RECT cell{};
           ASSERT_EQ(GetLogicalPageTransform(m, &grid, i, 0), 0);
           ASSERT_EQ(GetCellRectangle(&grid, i, 0, &cell), 0);
           EXPECT_EQ(m[0], 0.0f);
           EXPECT_EQ(m[3], 0.0f);
           const float corners[4][2] = {{0, 0}, {Px(2000), 0}, {0, Px(2870)}, {Px(2000), Px(2870)}};
           for (const auto& c : corners) {
             float x, y;
             Map(m, c[0], c[1], &x, &y);
             EXPECT_GE(x, static_cast<float>(cell.left) - 1.01f) << "N-up " << nup << " page " << i;
             EXPECT_LE(x, static_cast<float>(cell.right) + 1.01f) << "N-up " << nup << " page " << i;
             const float top = static_cast<float>(std::min(cell.top, cell.bottom));
             const float bottom = static_cast<float>(std::max(cell.top, cell.bottom));
             EXPECT_GE(y, top - 1.01f) << "N-up " << nup << " page " << i;
             EXPECT_LE(y, bottom + 1.01f) << "N-up " << nup << " page " << i;
           }
         }
       }
     }},
    {"N-up 4 scales each page to half its size",
     [](PageState& s) { SetNup(s, 4, 2, 2); },
     [](const PageState& s) {
       float m[6];
       ASSERT_EQ(GetLogicalPageTransform(m, &s, 0, 0), 0);
       EXPECT_FLOAT_EQ(m[0], 0.5f);
       EXPECT_FLOAT_EQ(m[3], 0.5f);
     }},
    {"zoom 50 on A4 gives scale 0.5", [](PageState& s) { s.zoomOn = 1, s.zoomPercent = 50; },
     [](const PageState& s) {
       float m[6];
       ASSERT_EQ(GetLogicalPageTransform(m, &s, 0, 0), 0);
       EXPECT_FLOAT_EQ(m[0], 0.5f);
       EXPECT_FLOAT_EQ(m[3], 0.5f);
       EXPECT_EQ(m[1], 0.0f);
       EXPECT_EQ(m[2], 0.0f);
     }},
    {"zoom 50 on a small sheet also gives 0.5",
     [](PageState& s) {
       s.zoomOn = 1, s.zoomPercent = 50;
       s.sheet = Paper(1480, 2100, 40);
     },
     [](const PageState& s) {
       float m[6];
       ASSERT_EQ(GetLogicalPageTransform(m, &s, 0, 0), 0);
       EXPECT_FLOAT_EQ(m[0], 0.5f);
       EXPECT_FLOAT_EQ(m[3], 0.5f);
     }},
    {"without zoom a page shrinks to fit a smaller sheet", [](PageState& s) { s.sheet = Paper(1480, 2100, 50); },
     [](const PageState& s) {
       float m[6];
       ASSERT_EQ(GetLogicalPageTransform(m, &s, 0, 0), 0);
       EXPECT_FLOAT_EQ(m[0], std::min(Px(1380) / Px(2000), Px(2000) / Px(2870)));
     }},
    {"orientation setting 3 turns the page a half about its centre", [](PageState& s) { s.orientationSetting = 3; },
     [](const PageState& s) {
       PageState upright = s;
       upright.orientationSetting = 0;
       float turned[6], plain[6];
       ASSERT_EQ(GetLogicalPageTransform(turned, &s, 0, 0), 0);
       ASSERT_EQ(GetLogicalPageTransform(plain, &upright, 0, 0), 0);
       EXPECT_EQ(turned[0], -1.0f);
       EXPECT_EQ(turned[3], -1.0f);
       // The page's corners swap places; the centre stays (within the pixel-edge step).
       const float w = Px(2000), h = Px(2870);
       float ax, ay, bx, by;
       Map(turned, 0, 0, &ax, &ay);
       Map(plain, w, h, &bx, &by);
       EXPECT_NEAR(ax, bx, 1.01f);
       EXPECT_NEAR(ay, by, 1.01f);
       Map(turned, w / 2, h / 2, &ax, &ay);
       Map(plain, w / 2, h / 2, &bx, &by);
       EXPECT_NEAR(ax, bx, 1.01f);
       EXPECT_NEAR(ay, by, 1.01f);
     }},
    {"a landscape page on a portrait sheet is turned a quarter onto the sheet's printable area",
     [](PageState& s) { s.orientation = kPageLandscape; },
     [](const PageState& s) {
       float m[6];
       ASSERT_EQ(GetLogicalPageTransform(m, &s, 0, 0), 0);
       EXPECT_EQ(m[0], 0.0f);
       EXPECT_EQ(m[3], 0.0f);
       // Every corner of the page's printable area (2870 x 2000 tenths) lands inside the
       // sheet's (2000 x 2870 tenths from 50, 50), within the pixel-edge step.
       const float w = Px(2870), h = Px(2000);
       for (const auto& [x, y] : {std::pair{0.0f, 0.0f}, {w, 0.0f}, {0.0f, h}, {w, h}}) {
         float sx, sy;
         Map(m, x, y, &sx, &sy);
         EXPECT_GE(sx, Px(50) - 1.01f) << x << "," << y;
         EXPECT_LE(sx, Px(2050) + 1.01f) << x << "," << y;
         EXPECT_GE(sy, Px(50) - 1.01f) << x << "," << y;
         EXPECT_LE(sy, Px(2920) + 1.01f) << x << "," << y;
       }
     }},
    {"orientation setting 1 turns landscape pages only", [](PageState& s) { s.orientationSetting = 1; },
     [](const PageState& s) {
       float m[6];
       ASSERT_EQ(GetLogicalPageTransform(m, &s, 0, 0), 0);
       EXPECT_EQ(m[0], 1.0f) << "a portrait page stays upright";
     }},
    {"a left binding margin wider than the sheet margin moves the printable area in",
     [](PageState& s) {
       s.bindingEdge = kBindLeft;
       s.bindingMargins[0] = 200;
     },
     [](const PageState& s) {
       RECT cell{};
       ASSERT_EQ(GetCellRectangle(&s, 0, 0, &cell), 0);
       EXPECT_EQ(cell.left, static_cast<LONG>(Px(200)));
       EXPECT_EQ(cell.right - cell.left, static_cast<LONG>(Px(2050) - Px(50))) << "the area keeps its size";
     }},
    {"on the back of a long-edge duplex sheet the binding margin moves to the right edge",
     [](PageState& s) {
       s.duplexBinding = 2;
       s.bindingEdge = kBindLeft;
       s.bindingMargins[0] = 200;
       s.bindingMargins[1] = 300;
       s.item1283 = 1;
     },
     [](const PageState& s) {
       RECT cell{};
       ASSERT_EQ(GetCellRectangle(&s, 0, 1, &cell), 0);
       EXPECT_EQ(cell.left, static_cast<LONG>(Px(50)));
       EXPECT_EQ(cell.right, static_cast<LONG>(Px(2100) - Px(300))) << "shrunk from the right";
     }},
    {"cell index 32 and side 2 are refused", [](PageState&) {},
     [](const PageState& s) {
       float m[6];
       RECT cell{};
       EXPECT_EQ(GetLogicalPageTransform(m, &s, 31, 1), 0);
       EXPECT_EQ(GetLogicalPageTransform(m, &s, 32, 0), -1);
       EXPECT_EQ(GetLogicalPageTransform(m, &s, 0, 2), -1);
       EXPECT_EQ(GetLogicalPageTransform(m, &s, -1, 0), -1);
       EXPECT_EQ(GetCellRectangle(&s, 32, 0, &cell), -1);
     }},
    {"a page without printable area is refused instead of scaled to infinity",
     [](PageState& s) { s.page.leftMargin = s.page.rightMargin = 1050; },
     [](const PageState& s) {
       float m[6];
       EXPECT_EQ(GetLogicalPageTransform(m, &s, 0, 0), -1);
     }},
    {"the border axis covers the whole sheet at its size, whatever the N-up and zoom",
     [](PageState& s) {
       SetNup(s, 4, 2, 2);
       s.zoomOn = 1, s.zoomPercent = 50;
       s.offsetKind = 1, s.offsets[0] = 100;
     },
     [](const PageState& s) {
       float m[6];
       ASSERT_EQ(GetBorderAxis(&s, 0, m), 0);
       EXPECT_FLOAT_EQ(m[0], 1.0f);
       EXPECT_FLOAT_EQ(m[3], 1.0f);
       float x, y;
       Map(m, 0, 0, &x, &y);
       EXPECT_NEAR(x, 0.0f, 1.01f);
       EXPECT_NEAR(y, 0.0f, 1.01f);
     }},
    {"a tile axis moves the page by its tenths at full size",
     [](PageState& s) { SetNup(s, 4, 2, 2); },
     [](const PageState& s) {
       float at[6], moved[6];
       ASSERT_EQ(GetTileAxis(&s, at, 0, 0), 0);
       ASSERT_EQ(GetTileAxis(&s, moved, 254, 0), 0);
       EXPECT_FLOAT_EQ(at[0], 1.0f) << "N-up 1 at zoom 100";
       EXPECT_NEAR(moved[4] - at[4], 600.0f, 0.01f) << "254 tenths are 600 pixels";
       EXPECT_EQ(GetTileAxis(&s, at, 0x8000, 0), -1);
     }},
    {"a stamp turns a half with a page of orientation setting 3, and on booklets",
     [](PageState& s) { s.orientationSetting = 3; },
     [](const PageState& s) {
       float tile[6], stamp[6];
       ASSERT_EQ(GetTileAxis(&s, tile, 0, 0), 0);
       ASSERT_EQ(GetStampAxis(&s, stamp, 0, 0, FALSE, FALSE), 0);
       EXPECT_EQ(tile[0], -1.0f) << "the page itself is turned";
       EXPECT_EQ(stamp[0], 1.0f) << "the stamp turns back with it";
       PageState plain = s;
       plain.orientationSetting = 0;
       ASSERT_EQ(GetStampAxis(&plain, stamp, 0, 0, FALSE, TRUE), 0);
       EXPECT_EQ(stamp[0], -1.0f) << "a booklet stamp not rotated";
       ASSERT_EQ(GetStampAxis(&plain, stamp, 0, 0, TRUE, TRUE), 0);
       EXPECT_EQ(stamp[0], 1.0f);
       EXPECT_TRUE(IsStampHalfTurned(1, TRUE));
       EXPECT_FALSE(IsStampHalfTurned(1, FALSE));
       EXPECT_TRUE(IsStampHalfTurned(2, FALSE));
       EXPECT_FALSE(GetLandscapeForStamp(&plain, FALSE));
       EXPECT_TRUE(GetLandscapeForStamp(&plain, TRUE)) << "booklets invert the landscape cells";
     }},
    {"tiles 2 x 2 walk an upright page row by row over sheet-sized cells",
     [](PageState& s) { s.tileColumns = s.tileRows = 2; },
     [](const PageState& s) {
       TileLayout tiles{};
       ASSERT_EQ(ComputeTileLayout(&s, &tiles), 0);
       EXPECT_EQ(tiles.rowByRow, 1u);
       EXPECT_EQ(tiles.alongStep, 1);
       EXPECT_EQ(tiles.acrossEnd, 1);
       EXPECT_FLOAT_EQ(tiles.cellWidth, Px(2000));
       EXPECT_FLOAT_EQ(tiles.matrix[0], 2.0f) << "the page is enlarged over two sheets";
     }},
};

TEST(PageGeometryTest, LayoutCases) {
  for (const GeometryCase& c : kCases) {
    SCOPED_TRACE(c.name);
    PageState s = A4();
    c.setup(s);
    c.check(s);
  }
}

TEST(PageGeometryTest, MatrixHelpers) {
  float m[6] = {-1, 0, 0, -1, 100, 200};
  AdjustPixelEdges(m);
  EXPECT_EQ(m[4], 99.0f);
  EXPECT_EQ(m[5], 199.0f);
  const struct {
    float in[6];
    float e, f;
  } kEdges[] = {
      {{1, 0, 0, -1, 10, 20}, 9, 20},  {{-1, 0, 0, 1, 10, 20}, 10, 19}, {{1, 0, 0, 1, 10, 20}, 10, 20},
      {{0, 1, -1, 0, 10, 20}, 9, 20},  {{0, -1, 1, 0, 10, 20}, 10, 19}, {{0, 1, 1, 0, 10, 20}, 9, 19},
      {{0, -1, -1, 0, 10, 20}, 10, 20}, {{1, 1, 0, 1, 10, 20}, 10, 20},
  };
  for (const auto& c : kEdges) {
    float v[6];
    std::copy(c.in, c.in + 6, v);
    AdjustPixelEdges(v);
    EXPECT_EQ(v[4], c.e);
    EXPECT_EQ(v[5], c.f);
  }
  // M followed by N: a point passes M first.
  float a[6] = {2, 0, 0, 3, 1, 1};
  const float n[6] = {0, 1, -1, 0, 5, 0};
  MultiplyMatrix(a, n);
  float x, y;
  Map(a, 1, 1, &x, &y);
  EXPECT_EQ(x, -4 + 5.0f);  // (3, 4) turned a quarter is (-4, 3), then moved by 5
  EXPECT_EQ(y, 3.0f);
  float t[6] = {2, 0, 0, 3, 1, 1};
  TranslateMatrix(t, 1, 1);
  EXPECT_EQ(t[4], 3.0f);
  EXPECT_EQ(t[5], 4.0f);
  // A quarter turn with b and c of opposite signs walks the tile rows upwards, column by column.
  TileLayout tiles{{0, 1, -1, 0, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3};
  ASSERT_EQ(SetTileGridOrder(&tiles), 0);
  EXPECT_EQ(tiles.alongStart, 2);
  EXPECT_EQ(tiles.alongStep, -1);
  EXPECT_EQ(tiles.rowByRow, 0u);
  TileLayout skew{{1, 1, 0, 1, 0, 0}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3};
  EXPECT_EQ(SetTileGridOrder(&skew), -1);
}

}  // namespace
