#include "graphics/job/booklet_cell.h"

#include "graphics/job/page_geometry.h"

namespace {

// The two halves of a booklet sheet are the cells of a 2-up grid: one across, two along, the
// grid turned a quarter against the sheet.
constexpr WORD kHalves = 2;
constexpr SHORT kHalvesAcross = 1;
constexpr SHORT kHalvesAlong = 2;
// Page orders of a 2-up sheet whose first page lies in the first cell along the sheet, for a
// grid turned against the sheet and for an upright one.
constexpr DWORD kFirstHalfFirstTurned = 1;
constexpr DWORD kFirstHalfFirstUpright = 0;
// The orientation setting that turns every page a half.
constexpr BYTE kEveryPageHalfTurned = 3;

}  // namespace

int ComputeBookletCell(BookletCell* cell, const PageState* state, WORD half, BOOL secondBinding) {
  if (cell == nullptr || state == nullptr || half >= kHalves) return -1;
  PageState& s = cell->state;
  s = *state;
  s.nup = kHalves;
  s.turnedGrid = 1;
  s.cellsAcross = kHalvesAcross;
  s.cellsAlong = kHalvesAlong;
  s.landscapeCells = s.landscape ^ s.turnedGrid;
  // The order that puts the first half's page in the first cell along the sheet.
  s.pageOrder = s.landscapeCells ? kFirstHalfFirstTurned : kFirstHalfFirstUpright;
  // The page is scaled to fit its half; no binding margin or offsets move the halves.
  s.zoomOn = 0;
  s.zoomPercent = 100;
  s.item1283 = 0;
  s.duplexBinding = 0;
  s.bindingEdge = 0;
  s.bindingMargins[0] = s.bindingMargins[1] = 0;
  s.offsetKind = 0;
  s.offsets[0] = s.offsets[1] = 0;
  if (secondBinding) s.orientationSetting = kEveryPageHalfTurned;
  cell->half = half;
  return 0;
}

int ComputeCellPlacement(float placement[6], const BookletCell* cell, int side) {
  if (placement == nullptr || cell == nullptr) return -1;
  return GetLogicalPageTransform(placement, &cell->state, cell->half, side % 2);
}
