// N-up sheets, booklets and tiles printed through the engine host: where each page of the
// document lands on which sheet side (one table of cases against the page orders, booklet
// sequences and tile grids the layout rules give), and the printed sheets as a person sees
// them against the engine host's reference rendering of the same pages placed the same way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "items/item_ids.h"
#include "outside/drawlib/drawlib_stream.h"
#include "platform/engine/reference_renderer.h"
#include "platform/registry/registry_sim.h"
#include "tests/graphics/ddi/document_fixture.h"
#include "tools/spoolview/spool_render.h"

namespace {

using Items = std::vector<std::pair<SettingItemId, std::pair<ValueTypeCode, DWORD>>>;

// The identifying mark of page i: a filled square centred on the page whose width is 100 + 10 i.
constexpr LONG kMarkBase = 100;
constexpr LONG kMarkStep = 10;

// The value of a field "name=value" of a trace line.
std::string Field(const std::string& line, const std::string& name) {
  const size_t at = line.find(" " + name + "=");
  if (at == std::string::npos) return "";
  const size_t start = at + name.size() + 2;
  return line.substr(start, line.find_first_of(" ,)", start) - start);
}

// One page placed on a printed side: the page, the side, and the axis it was drawn with.
struct Placed {
  size_t side;
  int page;
  float axis[6];
};

void Map(const float m[6], float x, float y, float* ox, float* oy) {
  *ox = m[0] * x + m[2] * y + m[4];
  *oy = m[1] * x + m[3] * y + m[5];
}

// The inverse of an axis (device point back to the page).
void Unmap(const float m[6], float x, float y, float* ox, float* oy) {
  const float det = m[0] * m[3] - m[1] * m[2];
  const float dx = x - m[4], dy = y - m[5];
  *ox = (m[3] * dx - m[2] * dy) / det;
  *oy = (-m[1] * dx + m[0] * dy) / det;
}

// The cell (across, along) of a page's place k on its side, by the layout's order state.
std::pair<int, int> ExpectedCell(WORD nUp, bool landscapeCells, DWORD order, int k, int r, int q) {
  int state = 0;
  const bool listed = order == 1 || order == 3 || order == 4;
  if (nUp == 1) {
    state = 4;
  } else if (nUp == 2) {
    state = (landscapeCells ? listed : !listed) ? 1 : 5;
  } else {
    static const std::map<DWORD, int> turned = {{3, 1}, {4, 0}, {5, 5}, {6, 4}};
    static const std::map<DWORD, int> upright = {{3, 4}, {4, 5}, {5, 6}, {6, 7}};
    const auto& table = landscapeCells ? turned : upright;
    state = table.count(order) ? table.at(order) : 0;
  }
  switch (state) {
    case 1: return {k / q, k % q};
    case 2: return {r - k % r - 1, k / r};
    case 3: return {r - k / q - 1, k % q};
    case 4: return {k % r, q - k / r - 1};
    case 5: return {k / q, q - k % q - 1};
    case 6: return {r - k % r - 1, q - k / r - 1};
    case 7: return {r - k / q - 1, q - k % q - 1};
    default: return {k % r, k / r};
  }
}

// A page of the pictures: a coloured band, a circle and the page's mark.
std::vector<DrawCall> PageDrawing(int page, SIZEL surface) {
  auto fill = [](DrawPath path, COLORREF colour) {
    DrawCall call;
    call.kind = DrawKind::FillPath;
    call.path = std::move(path);
    call.brush.kind = BrushKind::Solid;
    call.brush.colour = colour;
    return call;
  };
  const LONG w = surface.cx, h = surface.cy;
  const COLORREF colours[] = {RGB(200, 30, 30), RGB(30, 140, 30), RGB(30, 30, 200), RGB(220, 160, 0)};
  const LONG half = (kMarkBase + kMarkStep * page) / 2;
  const LONG d = std::min(w, h) / 2;  // the circle stays on the page in both orientations
  return {fill(PathRectangle({w / 10, h / 12, w * 9 / 10, h / 4}), colours[page % 4]),
          fill(PathEllipse({w / 2 - d / 2, h / 3, w / 2 + d / 2, h / 3 + d}), colours[(page + 1) % 4]),
          fill(PathRectangle({0, h * 7 / 8, w / 3, h}), RGB(40, 40, 40)),
          fill(PathRectangle({w / 2 - half, h / 2 - 50, w / 2 + half, h / 2 + 50}), RGB(0, 0, 0))};
}

class ImpositionTest : public DocumentTest {
 protected:
  // A printer DC with the model's defaults, fixed colour and the settings; a fresh trace.
  EngineDc* Prepare(const Items& items) {
    ApplyDataFileDefaults(store_, settings_, config_, kPrinter);
    Set(kItemColorMode, kTypeUInt8, 2);
    for (const auto& [id, value] : items) Set(id, value.first, value.second);
    reset_();
    return CreateDc();
  }

  // Prints a document of `pages` pages with the settings; its pages' answers all TRUE.
  bool Print(const Items& items, int pages) {
    dc_ = Prepare(items);
    if (dc_ == nullptr) return false;
    surface_ = EngineDcSurface(dc_)->sizlBitmap;
    if (!EngineStartDoc(dc_, u"Imposed")) return false;
    bool ok = true;
    for (int i = 0; i < pages; ++i) {
      ok &= EngineStartPage(dc_) != FALSE;
      for (const DrawCall& call : PageDrawing(i, surface_)) EngineDraw(dc_, call);
      ok &= EngineEndPage(dc_) != FALSE;
    }
    ok &= EngineEndDoc(dc_) != FALSE;
    return ok;
  }

  // Every page placed on every printed side, from the library's calls.
  std::vector<Placed> PlacedPages() {
    std::vector<Placed> placed;
    float axis[6] = {1, 0, 0, 1, 0, 0};
    size_t side = 0;
    for (const std::string& line : Lines()) {
      if (line.rfind("VR_ShowPage(", 0) == 0) ++side;
      if (line.rfind("VR_SetAxis(", 0) == 0) {
        const size_t open = line.find('[');
        char* at = const_cast<char*>(line.c_str()) + open + 1;
        for (float& v : axis) {
          v = std::strtof(at, &at);
          ++at;
        }
      }
      if (line.rfind("VR_DrawRectangle(", 0) == 0) {
        const LONG width = std::stol(Field(line, "x1")) - std::stol(Field(line, "x0"));
        const LONG height = std::stol(Field(line, "y1")) - std::stol(Field(line, "y0"));
        if (height != 100 || (width - kMarkBase) % kMarkStep != 0) continue;
        Placed p{side, static_cast<int>((width - kMarkBase) / kMarkStep), {}};
        std::copy(axis, axis + 6, p.axis);
        placed.push_back(p);
      }
    }
    return placed;
  }

  size_t Sides() {
    size_t n = 0;
    for (const std::string& call : Calls()) n += call == "VR_ShowPage";
    return n;
  }

  // The sheet's size in device pixels. The library's sheet is the paper upright whatever the
  // page's orientation: a landscape page is turned onto it.
  SIZEL Sheet() const {
    const GDIINFO* info = EngineDcGdiInfo(dc_);
    return {std::min(info->szlPhysSize.cx, info->szlPhysSize.cy), std::max(info->szlPhysSize.cx, info->szlPhysSize.cy)};
  }

  // Where the centre of a placed page lands: its cell in a grid of r across and q along.
  std::pair<int, int> CellOf(const Placed& p, int r, int q) {
    float x, y;
    Map(p.axis, static_cast<float>(surface_.cx) / 2, static_cast<float>(surface_.cy) / 2, &x, &y);
    const SIZEL sheet = Sheet();
    return {static_cast<int>(std::floor(x * static_cast<float>(r) / static_cast<float>(sheet.cx))),
            static_cast<int>(std::floor(y * static_cast<float>(q) / static_cast<float>(sheet.cy)))};
  }

  EngineDc* dc_ = nullptr;
  SIZEL surface_{};
};

// ---------------------------------------------------------------------------------------------
// Where the pages land.

struct NupGrid {
  WORD nUp;
  int across;
  int along;
};
constexpr NupGrid kGrids[] = {{1, 1, 1}, {2, 1, 2}, {4, 2, 2}, {8, 2, 4}, {16, 4, 4}, {32, 4, 8}};

TEST_F(ImpositionTest, NupPlacesEveryPageInTheCellOfItsPageOrder) {
  for (const NupGrid& grid : kGrids) {
    for (DWORD landscape : {1u, 2u}) {
      for (DWORD order = 0; order <= 6; ++order) {
        SCOPED_TRACE("N-up " + std::to_string(grid.nUp) + (landscape == 2 ? " landscape" : " portrait") +
                     " order " + std::to_string(order));
        const int pages = grid.nUp + 1;  // a full side and one page on the next
        ASSERT_TRUE(Print({{kItemPagesPerSheet, {kTypeUInt8, grid.nUp}},
                           {kItemPageOrder, {kTypeUInt8, order}},
                           {kItemOrientation, {kTypeInt16, landscape}},
                           {kItemNupRotation, {kTypeUInt8, landscape}}},
                          pages));
        const std::vector<Placed> placed = PlacedPages();
        ASSERT_EQ(placed.size(), static_cast<size_t>(pages)) << Trace();
        EXPECT_EQ(Sides(), 2u);
        const bool landscapeCells = (landscape == 2) != (grid.nUp == 2 || grid.nUp == 8 || grid.nUp == 32);
        for (int i = 0; i < pages; ++i) {
          EXPECT_EQ(placed[static_cast<size_t>(i)].page, i);
          EXPECT_EQ(placed[static_cast<size_t>(i)].side, static_cast<size_t>(i / grid.nUp));
          EXPECT_EQ(CellOf(placed[static_cast<size_t>(i)], grid.across, grid.along),
                    ExpectedCell(grid.nUp, landscapeCells, order, i % grid.nUp, grid.across, grid.along))
              << "page " << i;
        }
        EXPECT_EQ(breaches_(), 0u) << Trace();
        DeleteDc(dc_);
      }
    }
  }
}

// Layout values outside their tables refuse the document (at its start or at its first page)
// and leave nothing behind: N-up counts without a cell grid (1, 2, 4, 8, 16 and 32 have one),
// a zoom below 25 or above 400 percent, a page order beyond 6.
struct LayoutValueCase {
  const char* name;
  Items items;
  bool printed;
};

const LayoutValueCase kLayoutValueCases[] = {
    {"N-up 3", {{kItemPagesPerSheet, {kTypeUInt8, 3}}}, false},
    {"N-up 6", {{kItemPagesPerSheet, {kTypeUInt8, 6}}}, false},
    {"N-up 9", {{kItemPagesPerSheet, {kTypeUInt8, 9}}}, false},
    {"zoom 24", {{kItemZoomOn, {kTypeFlag, 1}}, {kItemZoomPercent, {kTypeUInt16, 24}}}, false},
    {"zoom 25", {{kItemZoomOn, {kTypeFlag, 1}}, {kItemZoomPercent, {kTypeUInt16, 25}}}, true},
    {"zoom 400", {{kItemZoomOn, {kTypeFlag, 1}}, {kItemZoomPercent, {kTypeUInt16, 400}}}, true},
    {"zoom 401", {{kItemZoomOn, {kTypeFlag, 1}}, {kItemZoomPercent, {kTypeUInt16, 401}}}, false},
    {"page order 7", {{kItemPagesPerSheet, {kTypeUInt8, 4}}, {kItemPageOrder, {kTypeUInt8, 7}}}, false},
};

TEST_F(ImpositionTest, LayoutValuesOutsideTheirTablesRefuseTheDocument) {
  for (const LayoutValueCase& c : kLayoutValueCases) {
    SCOPED_TRACE(c.name);
    EngineDc* dc = Prepare(c.items);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(PrintBlankDocument(dc, 2).ended != FALSE, c.printed);
    EXPECT_EQ(liveSessions_(), 0u);
    DeleteDc(dc);
    EXPECT_EQ(SimEngineOutstanding(), driverOnly_) << testing::PrintToString(SimEngineOutstandingList());
  }
}

// A booklet side: the page on its first half and on its second (-1 blank).
using Spread = std::pair<int, int>;

struct BookletCase {
  const char* name;
  Items items;
  int pages;
  std::vector<Spread> sides;
  bool halfTurned = false;  // the second binding turns every page a half on its half sheet
};

constexpr std::pair<SettingItemId, std::pair<ValueTypeCode, DWORD>> kBooklet = {kItemPageLayout, {kTypeUInt8, 2}};

const BookletCase kBookletCases[] = {
    {"8 pages: the outer sheet first", {kBooklet}, 8, {{7, 0}, {1, 6}, {5, 2}, {3, 4}}},
    {"5 pages: three blank positions", {kBooklet}, 5, {{-1, 0}, {1, -1}, {-1, 2}, {3, 4}}},
    {"3 pages: one sheet, one blank", {kBooklet}, 3, {{-1, 0}, {1, 2}}},
    {"second binding: the halves exchanged",
     {kBooklet, {kItemBookletBinding, {kTypeUInt8, 1}}},
     8,
     {{0, 7}, {6, 1}, {2, 5}, {4, 3}},
     true},
    {"subsets of one sheet",
     {kBooklet, {kItemBookletOutput, {kTypeUInt8, 1}}, {kItemBookletSubsetDevice, {kTypeUInt16, 1}}},
     10,
     {{3, 0}, {1, 2}, {7, 4}, {5, 6}, {-1, 8}, {9, -1}}},
    {"groups of one sheet, each printed when complete",
     {kBooklet, {kItemBookletOutput, {kTypeUInt8, 2}}, {kItemBookletSubset, {kTypeUInt8, 1}}},
     6,
     {{3, 0}, {1, 2}, {-1, 4}, {5, -1}}},
};

TEST_F(ImpositionTest, BookletsPutEachPageOnItsHalfOfItsSide) {
  for (const BookletCase& c : kBookletCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Print(c.items, c.pages)) << Trace();
    const std::vector<Placed> placed = PlacedPages();
    ASSERT_EQ(Sides(), c.sides.size()) << Trace();
    std::vector<Spread> sides(c.sides.size(), {-1, -1});
    for (const Placed& p : placed) {
      ASSERT_LT(p.side, sides.size());
      const auto [across, half] = CellOf(p, 1, 2);
      EXPECT_EQ(across, 0) << "page " << p.page;
      // An upright page lies with its top towards the sheet's left edge, a turned one the right.
      EXPECT_EQ(p.axis[1] > 0, c.halfTurned) << "page " << p.page;
      ASSERT_TRUE(half == 0 || half == 1) << "page " << p.page;
      int& slot = half == 0 ? sides[p.side].first : sides[p.side].second;
      EXPECT_EQ(slot, -1) << "two pages on one half";
      slot = p.page;
    }
    EXPECT_EQ(sides, c.sides) << Trace();
    // Each side is one page start, one end and one show.
    const std::vector<std::string> calls = Calls();
    EXPECT_EQ(static_cast<size_t>(std::count(calls.begin(), calls.end(), "VR_StartPage")), c.sides.size());
    EXPECT_EQ(static_cast<size_t>(std::count(calls.begin(), calls.end(), "VR_EndPage")), c.sides.size());
    EXPECT_EQ(breaches_(), 0u) << Trace();
    DeleteDc(dc_);
  }
}

struct TileCase {
  const char* name;
  Items items;
  int columns;
  bool reverse;
  bool marks;
};

const TileCase kTileCases[] = {
    {"2 x 2", {{kItemTileCount, {kTypeUInt16, 514}}}, 2, false, false},
    {"3 x 3 with crop marks", {{kItemTileCount, {kTypeUInt16, 771}}, {kItemTileMarks, {kTypeFlag, 1}}}, 3, false, true},
    {"3 x 3 in reverse order",
     {{kItemTileCount, {kTypeUInt16, 771}}, {kItemReverseOrder, {kTypeFlag, 1}}},
     3,
     true,
     false},
    {"4 x 4 with crop marks",
     {{kItemTileCount, {kTypeUInt16, 1028}}, {kItemTileMarks, {kTypeFlag, 1}}},
     4,
     false,
     true},
};

TEST_F(ImpositionTest, TilesSpreadEachPageOverItsGridOfSheets) {
  for (const TileCase& c : kTileCases) {
    SCOPED_TRACE(c.name);
    Items items = c.items;
    items.push_back({kItemPageLayout, {kTypeUInt8, 1}});
    constexpr int kPages = 2;
    ASSERT_TRUE(Print(items, kPages)) << Trace();
    const int cells = c.columns * c.columns;
    const std::vector<Placed> placed = PlacedPages();
    ASSERT_EQ(Sides(), static_cast<size_t>(kPages * cells));
    ASSERT_EQ(placed.size(), static_cast<size_t>(kPages * cells)) << Trace();
    const SIZEL sheet = Sheet();
    for (size_t s = 0; s < placed.size(); ++s) {
      const Placed& p = placed[s];
      EXPECT_EQ(p.side, s);
      EXPECT_EQ(p.page, c.reverse ? kPages - 1 - static_cast<int>(s) / cells : static_cast<int>(s) / cells);
      // The sheet's centre shows the middle of its cell of the enlarged page.
      const int n = c.reverse ? cells - 1 - static_cast<int>(s) % cells : static_cast<int>(s) % cells;
      float x, y;
      Unmap(p.axis, static_cast<float>(sheet.cx) / 2, static_cast<float>(sheet.cy) / 2, &x, &y);
      EXPECT_EQ(static_cast<int>(std::floor(x * static_cast<float>(c.columns) / static_cast<float>(surface_.cx))),
                n % c.columns)
          << "sheet " << s;
      EXPECT_EQ(static_cast<int>(std::floor(y * static_cast<float>(c.columns) / static_cast<float>(surface_.cy))),
                n / c.columns)
          << "sheet " << s;
      // The enlarged page is the grid's size: the sheet's printable area times the columns.
      EXPECT_NEAR(std::hypot(p.axis[0], p.axis[1]), static_cast<float>(c.columns), 0.05f);
    }
    // Crop marks: two legs at each corner and a mark on each edge, dashed, on every sheet.
    const std::vector<std::string> calls = Calls();
    EXPECT_EQ(static_cast<size_t>(std::count(calls.begin(), calls.end(), "VR_DrawPath")),
              c.marks ? static_cast<size_t>(12 * kPages * cells) : 0u);
    EXPECT_EQ(breaches_(), 0u) << Trace();
    DeleteDc(dc_);
  }
}

// ---------------------------------------------------------------------------------------------
// The printed sheets as a person sees them.

constexpr double kScale = 0.125;

struct PictureCase {
  const char* name;
  Items items;
  int pages;
  // The share of pixels that may differ: a page's edges fall between picture pixels a little
  // differently on the sheet than in the reference, and the marks and borders the printer adds
  // are not part of the pages. A page in the wrong place differs in a tenth of the sheet or more.
  double tolerance = 0.02;
};

const PictureCase kPictureCases[] = {
    {"N-up 2", {{kItemPagesPerSheet, {kTypeUInt8, 2}}}, 3},
    {"N-up 4 in page order 5 with borders",
     {{kItemPagesPerSheet, {kTypeUInt8, 4}}, {kItemPageOrder, {kTypeUInt8, 5}}, {kItemNupBorders, {kTypeFlag, 1}}},
     4,
     0.035},  // the four cells' frames are lines the pages do not have,
    {"N-up 16 landscape",
     {{kItemPagesPerSheet, {kTypeUInt8, 16}}, {kItemOrientation, {kTypeInt16, 2}}, {kItemNupRotation, {kTypeUInt8, 2}}},
     5},
    {"booklet of 5 pages", {kBooklet}, 5},
    {"tiles 2 x 2 with crop marks",
     {{kItemPageLayout, {kTypeUInt8, 1}}, {kItemTileCount, {kTypeUInt16, 514}}, {kItemTileMarks, {kTypeFlag, 1}}},
     1},
};

// The sheet a side should be: each page placed on it, drawn by the engine's reference renderer
// at the size it has on the sheet and carried to the sheet through its axis.
ReferenceImage ExpectedSide(const std::vector<Placed>& placed, size_t side, EngineDc* dc, SIZEL surface,
                            LONG width, LONG height) {
  ReferenceImage sheet;
  sheet.width = width;
  sheet.height = height;
  sheet.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFFFFFF);
  for (const Placed& p : placed) {
    if (p.side != side) continue;
    const double pageScale = kScale * std::sqrt(std::fabs(p.axis[0] * p.axis[3] - p.axis[1] * p.axis[2]));
    const ReferenceImage page = RenderReferencePage(EngineDcPage(dc, static_cast<size_t>(p.page)), surface, pageScale);
    for (LONG y = 0; y < height; ++y)
      for (LONG x = 0; x < width; ++x) {
        float ex, ey;
        Unmap(p.axis, static_cast<float>((x + 0.5) / kScale), static_cast<float>((y + 0.5) / kScale), &ex, &ey);
        const LONG px = static_cast<LONG>(std::floor(ex * pageScale));
        const LONG py = static_cast<LONG>(std::floor(ey * pageScale));
        if (ex < 0 || ey < 0 || px >= page.width || py >= page.height) continue;
        sheet.pixels[static_cast<size_t>(y * width + x)] = page.pixels[static_cast<size_t>(py * page.width + px)];
      }
  }
  return sheet;
}

TEST_F(ImpositionTest, ImposedSheetsLookLikeTheirPagesPlaced) {
  for (const PictureCase& c : kPictureCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Print(c.items, c.pages)) << Trace();
    const std::vector<Placed> placed = PlacedPages();
    SpoolRenderOptions options;
    options.scale = kScale;
    const std::vector<ReferenceImage> printed = RenderSpoolPages(ScanSpoolStream(LastSpoolJob()), options);
    ASSERT_EQ(printed.size(), Sides());
    for (size_t s = 0; s < printed.size(); ++s) {
      const ReferenceImage expected = ExpectedSide(placed, s, dc_, surface_, printed[s].width, printed[s].height);
      const double difference = CompareReferenceImages(printed[s], expected, 8);
      EXPECT_LT(difference, c.tolerance) << "side " << s;
      if (difference >= c.tolerance) {
        // Both pictures beside the test for a person to compare.
        std::string stem = std::string("imposed-") + c.name + "-" + std::to_string(s);
        std::replace(stem.begin(), stem.end(), ' ', '-');
        SaveReferencePng(printed[s], stem + "-printed.png");
        SaveReferencePng(expected, stem + "-expected.png");
      }
    }
    DeleteDc(dc_);
  }
}

// ---------------------------------------------------------------------------------------------
// Whole documents into their spool job, and failures.

constexpr const WCHAR* kTempFiles = u"SOFTWARE\\Qorvex\\QX-4500\\TempFile";

// The sides of the spool job: its library page starts and shows.
std::pair<size_t, size_t> SpoolSides(const std::vector<BYTE>& bytes) {
  size_t starts = 0, shows = 0;
  for (const SpoolRecord& r : ScanSpoolStream(bytes).records) {
    starts += r.slot == kVrStartPage;
    shows += r.slot == kVrShowPage;
  }
  return {starts, shows};
}

TEST_F(ImpositionTest, BookletAndTileDocumentsPrintIntoTheirSpoolJob) {
  struct Case {
    const char* name;
    Items items;
    int pages;
    size_t sides;
  };
  const Case cases[] = {
      {"booklet of 7 pages", {kBooklet}, 7, 4},
      // Two groups of one sheet, then the last page alone on its sheet: outer sheets first,
      // a side whose both halves are blank is left out.
      {"booklet in groups",
       {kBooklet, {kItemBookletOutput, {kTypeUInt8, 2}}, {kItemBookletSubset, {kTypeUInt8, 1}}},
       9,
       5},
      {"tiles 3 x 3 with marks",
       {{kItemPageLayout, {kTypeUInt8, 1}}, {kItemTileCount, {kTypeUInt16, 771}}, {kItemTileMarks, {kTypeFlag, 1}}},
       2,
       18},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Print(c.items, c.pages)) << Trace();
    EXPECT_EQ(SpoolSides(LastSpoolJob()), std::make_pair(c.sides, c.sides));
    DeleteDc(dc_);
    // Nothing of the stored pages is left: no store registered, no engine object held.
    EXPECT_EQ(SimRegistryDump(HKEY_LOCAL_MACHINE, kTempFiles).find("/"), std::string::npos);
    EXPECT_EQ(SimEngineOutstanding(), driverOnly_) << testing::PrintToString(SimEngineOutstandingList());
  }
}

// A library failure while stored pages are laid out or replayed: the job fails (the page whose
// side replays its tiles, or the document's end for a booklet), and nothing is left behind.
struct ReplayFailure {
  const char* name;
  Items items;
  const char* call;
  DWORD nth;
};

const ReplayFailure kReplayFailures[] = {
    {"booklet: second page start", {kBooklet}, "VR_StartPage", 2},
    {"booklet: an axis of the second side", {kBooklet}, "VR_SetAxis", 3},
    {"booklet: the last show", {kBooklet}, "VR_ShowPage", 2},
    {"tiles: third tile's page start",
     {{kItemPageLayout, {kTypeUInt8, 1}}, {kItemTileCount, {kTypeUInt16, 514}}},
     "VR_StartPage",
     3},
    {"tiles: a crop mark",
     {{kItemPageLayout, {kTypeUInt8, 1}}, {kItemTileCount, {kTypeUInt16, 514}}, {kItemTileMarks, {kTypeFlag, 1}}},
     "VR_DrawPath",
     14},
    {"tiles: first tile's end",
     {{kItemPageLayout, {kTypeUInt8, 1}}, {kItemTileCount, {kTypeUInt16, 514}}},
     "VR_EndPage",
     1},
};

TEST_F(ImpositionTest, ReplayFailuresFailTheJobAndLeaveNothingBehind) {
  for (const ReplayFailure& c : kReplayFailures) {
    SCOPED_TRACE(c.name);
    EngineDc* dc = Prepare(c.items);
    ASSERT_NE(dc, nullptr);
    fail_(c.call, c.nth, -1);
    EXPECT_FALSE(PrintBlankDocument(dc, 4).ended) << Trace();
    EXPECT_EQ(liveSessions_(), 0u);
    DeleteDc(dc);
    EXPECT_EQ(SimRegistryDump(HKEY_LOCAL_MACHINE, kTempFiles).find("/"), std::string::npos);
    EXPECT_EQ(SimEngineOutstanding(), driverOnly_) << testing::PrintToString(SimEngineOutstandingList());
  }
}

}  // namespace
