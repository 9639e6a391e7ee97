#include "graphics/job/layout_settings.h"

#include "graphics/job/job_items.h"
#include "items/item_ids.h"

namespace {

// The cell grid of each N-up count: cells across, cells along.
struct NupGrid {
  WORD nUp;
  SHORT across;
  SHORT along;
};
// Tiles spread a page over 2 x 2 to 4 x 4 sheets.
constexpr SHORT kMinTiles = 2;
constexpr SHORT kMaxTiles = 4;

constexpr NupGrid kNupGrids[] = {{1, 1, 1}, {2, 1, 2}, {4, 2, 2}, {8, 2, 4}, {16, 4, 4}, {32, 4, 8}};

}  // namespace

int ReadLayoutSettings(Pdev* pdev) {
  PageState& s = pdev->pageState;
  const RenderSettings& r = pdev->render;
  const bool folded = r.tiles || r.booklet;
  const LONG orientation = ReadJobItem(pdev, kItemLayoutOrientation) & 0xFF;
  if (orientation > 3) return -1;
  s.orientationSetting = static_cast<BYTE>(orientation);
  switch (ReadJobItem(pdev, kItemDuplex)) {
    case 1: s.duplexBinding = 0; break;
    case 2: s.duplexBinding = 2; break;
    case 3: s.duplexBinding = 1; break;
    default: return -1;
  }
  switch (ReadJobItem(pdev, kItemBindingEdge)) {
    case 0: s.bindingEdge = 0; break;
    case 1: case 3: s.bindingEdge = 1; break;
    case 2: case 7: s.bindingEdge = 2; break;
    case 4: case 8: s.bindingEdge = 4; break;
    case 5: case 6: s.bindingEdge = 3; break;
    default: return -1;
  }
  if (folded) s.duplexBinding = s.bindingEdge = 0;
  s.bindingMargins[0] = s.bindingEdge != 0 ? static_cast<SHORT>(ReadJobItem(pdev, kItemBindingShift)) : 0;
  s.bindingMargins[1] = s.bindingEdge != 0 ? static_cast<SHORT>(ReadJobItem(pdev, kItemBindingShiftBack)) : 0;
  s.zoomOn = ReadJobItem(pdev, kItemZoomOn) != 0;
  s.zoomPercent = s.zoomOn ? static_cast<WORD>(ReadJobItem(pdev, kItemZoomPercent)) : 100;
  if (s.zoomPercent < 25 || s.zoomPercent > 400) return -1;
  s.item1283 = s.zoomOn ? 0 : static_cast<DWORD>(ReadJobItem(pdev, kItemBindingShiftOn));
  const LONG order = ReadJobItem(pdev, kItemPageOrder);
  if (order < 0 || order > 6) return -1;
  s.pageOrder = folded ? 0 : static_cast<DWORD>(order);
  const WORD nUp = folded ? 1 : r.nUp;
  const NupGrid* grid = nullptr;
  for (const NupGrid& g : kNupGrids)
    if (g.nUp == nUp) grid = &g;
  if (grid == nullptr) return -1;
  s.nup = nUp;
  s.turnedGrid = nUp == 2 || nUp == 8 || nUp == 32;
  s.cellsAcross = grid->across;
  s.cellsAlong = grid->along;
  LONG landscape = ReadJobItem(pdev, kItemNupRotation);
  if (landscape == 0) landscape = ReadJobItem(pdev, kItemOrientation);
  if (landscape != 1 && landscape != 2) return -1;
  s.landscape = landscape == 2;
  s.landscapeCells = s.landscape ^ s.turnedGrid;
  s.bookletOptions[0] = static_cast<DWORD>(ReadJobItem(pdev, kItemBookletOptionA));
  s.bookletOptions[1] = s.bookletOptions[0] ? static_cast<DWORD>(ReadJobItem(pdev, kItemBookletOptionB)) : 0;
  s.bookletItem324 = s.bookletOptions[0] ? static_cast<SHORT>(ReadJobItem(pdev, kItemBookletShift)) : 0;
  s.bookletBinding = 0;
  if (r.booklet) {
    const LONG binding = ReadJobItem(pdev, kItemBookletBinding);
    if (binding != 0 && binding != 1) return -1;
    s.bookletBinding = binding + 1;
  }
  s.tileColumns = 1;
  s.tileRows = 1;
  if (r.tiles) {
    if (r.tileColumns < kMinTiles || r.tileColumns > kMaxTiles || r.tileRows < kMinTiles || r.tileRows > kMaxTiles)
      return -1;
    s.tileColumns = r.tileColumns;
    s.tileRows = r.tileRows;
  }
  const LONG alignment = ReadJobItem(pdev, kItemCellAlignment);
  s.cellAlignment = !r.tiles && alignment >= 1 && alignment <= 4 ? static_cast<DWORD>(alignment) : 0;
  const LONG offsetKind = ReadJobItem(pdev, kItemOffsetKind) & 0xFF;
  s.offsetKind = offsetKind == 1 || offsetKind == 2 ? static_cast<DWORD>(offsetKind) : 0;
  s.offsets[0] = s.offsetKind == 1 ? static_cast<SHORT>(ReadJobItem(pdev, kItemOffsetX)) : 0;
  s.offsets[1] = s.offsetKind == 1 ? static_cast<SHORT>(ReadJobItem(pdev, kItemOffsetY)) : 0;
  return 0;
}
