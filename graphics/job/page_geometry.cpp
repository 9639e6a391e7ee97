#include "graphics/job/page_geometry.h"

#include <cstring>
#include <initializer_list>

namespace {

constexpr float kIdentity[6] = {1, 0, 0, 1, 0, 0};

// N-up counts whose cell grid is turned a quarter against the sheet.
bool IsTurnedNup(SHORT nup) { return nup == 2 || nup == 8 || nup == 32; }

float Pixels(const PageState* state, LONG tenths, bool horizontal) {
  return ConvertToPixelsFloat(state, tenths, horizontal ? TRUE : FALSE);
}

void Translate(float m[6], float x, float y) {
  const float t[6] = {1, 0, 0, 1, x, y};
  MultiplyMatrix(m, t);
}

// The flip about height h: [1, 0, 0, -1, 0, h].
void FlipAbout(float m[6], float h) {
  const float f[6] = {1, 0, 0, -1, 0, h};
  MultiplyMatrix(m, f);
}

// Moves the sheet's printable edge selected by the binding edge inward to the binding margin
// of this side; with the item-1283 flag off the opposite edge moves with it.
void ApplyBindingMargin(FloatLayout* l, int side) {
  if (l->bindingEdge == 0) return;
  LONG edge = l->bindingEdge;
  float margin = l->bindingMargins[0];
  const bool secondSide = l->duplexBinding != 0 && side % 2 == 0;
  if (secondSide) {
    margin = l->bindingMargins[1];
    if (l->duplexBinding == 2 && (edge == kBindLeft || edge == kBindRight)) edge = kBindLeft + kBindRight - edge;
    if (l->duplexBinding == 1 && (edge == kBindBottom || edge == kBindTop)) edge = kBindBottom + kBindTop - edge;
  }
  const bool keepSize = l->item1283 == 0;
  float shift = 0;
  switch (edge) {
    case kBindLeft:
      if (l->sheetLeft < margin) {
        shift = margin - l->sheetLeft;
        l->sheetLeft = margin;
        if (keepSize) l->sheetRight += shift;
      }
      break;
    case kBindRight:
      if (l->sheetWidth - l->sheetRight < margin) {
        shift = margin - (l->sheetWidth - l->sheetRight);
        l->sheetRight -= shift;
        if (keepSize) l->sheetLeft -= shift;
      }
      break;
    case kBindBottom:  // the edge at the sheet's foot (largest downward y)
      if (l->sheetBottom < margin) {
        shift = margin - l->sheetBottom;
        l->sheetBottom = margin;
        if (keepSize) l->sheetTop += shift;
      }
      break;
    case kBindTop:
      if (l->sheetHeight - l->sheetTop < margin) {
        shift = margin - (l->sheetHeight - l->sheetTop);
        l->sheetTop -= shift;
        if (keepSize) l->sheetBottom -= shift;
      }
      break;
    default:
      break;
  }
}

// Moves the sheet's printable area by the offsets (x across, y downwards).
void ApplyOffsets(FloatLayout* l) {
  if (l->offsetKind != 1) return;
  bool t = l->landscapeSetting == 0;
  if (IsTurnedNup(l->nup)) t = !t;
  const float dx = t ? l->offsets[0] : -l->offsets[1];
  const float dy = t ? l->offsets[1] : l->offsets[0];
  l->sheetLeft += dx;
  l->sheetRight += dx;
  l->sheetTop -= dy;
  l->sheetBottom -= dy;
}

bool IsHalfTurned(const FloatLayout* l) {
  const bool landscape = l->landscapePage != 0;
  return (l->orientationSetting == 1 && landscape) || (l->orientationSetting == 2 && !landscape) ||
         l->orientationSetting == 3;
}

// The order state that maps a page's place k on its side to its cell.
int CellOrderState(const FloatLayout* l) {
  if (l->nup == 1) return 4;
  const bool cells = l->landscapeCells != 0;
  const DWORD order = l->pageOrder;
  const bool listed = order == 1 || order == 3 || order == 4;
  if (l->nup == 2) return (cells ? listed : !listed) ? 1 : 5;
  if (cells) {
    switch (order) {
      case 3: return 1;
      case 4: return 0;
      case 5: return 5;
      case 6: return 4;
      default: return 0;
    }
  }
  switch (order) {
    case 3: return 4;
    case 4: return 5;
    case 5: return 6;
    case 6: return 7;
    default: return 0;
  }
}

// The cell (u across, w along) of place k in an R x Q grid.
void CellOfPlace(int state, int k, int r, int q, int* u, int* w) {
  switch (state) {
    case 1: *w = k % q; *u = k / q; break;
    case 2: *w = k / r; *u = r - k % r - 1; break;
    case 3: *w = k % q; *u = r - k / q - 1; break;
    case 4: *w = q - k / r - 1; *u = k % r; break;
    case 5: *w = q - k % q - 1; *u = k / q; break;
    case 6: *w = q - k / r - 1; *u = r - k % r - 1; break;
    case 7: *w = q - k % q - 1; *u = r - k / q - 1; break;
    default: *w = k / r; *u = k % r; break;
  }
}

// Mirrors the cell alignment on the second side of a duplex sheet.
LONG SideAlignment(const FloatLayout* l, int side) {
  const LONG c = l->cellAlignment;
  if (l->duplexBinding == 0 || side % 2 != 0 || c < 0 || c > 3) return c;
  const bool cells = l->landscapeCells != 0;
  if ((l->duplexBinding == 2 && !cells) || (l->duplexBinding == 1 && cells)) {
    constexpr LONG kSwap[4] = {1, 0, 3, 2};
    return kSwap[c];
  }
  return 3 - c;
}

}  // namespace

int CopyAxisMatrix(const float source[6], float destination[6]) {
  if (source == nullptr || destination == nullptr) return -1;
  std::memmove(destination, source, 6 * sizeof(float));
  return 0;
}

int ConvertToPixels(const PageState* state, float* out, LONG tenths, BOOL horizontal) {
  if (state == nullptr || out == nullptr) return -1;
  const WORD r = state->resolution[horizontal ? 0 : 1];
  if (r != 0) *out = static_cast<float>(tenths) * static_cast<float>(r) / 254.0f;
  return 0;
}

float ConvertToPixelsFloat(const PageState* state, LONG tenths, BOOL horizontal) {
  float value = 0;
  ConvertToPixels(state, &value, tenths, horizontal);
  return value;
}

LONG ConvertToPixelsInt(const PageState* state, LONG tenths, BOOL horizontal) {
  return static_cast<LONG>(ConvertToPixelsFloat(state, tenths, horizontal));
}

int ConvertLayoutToFloat(FloatLayout* l, const PageState* s) {
  if (l == nullptr || s == nullptr) return -1;
  *l = FloatLayout{};
  const PagePaperBlock& p = s->page;
  const bool landscape = s->orientation == kPageLandscape;
  // The page: a landscape page has its size and its margin pairs exchanged.
  LONG width = p.width, height = p.length;
  LONG left = p.leftMargin, right = p.rightMargin, top = p.topMargin, bottom = p.bottomMargin;
  if (landscape) {
    width = p.length;
    height = p.width;
    left = p.bottomMargin;
    bottom = p.leftMargin;
    right = p.topMargin;
    top = p.rightMargin;
  }
  l->pageWidth = Pixels(s, width, true);
  l->pageHeight = Pixels(s, height, false);
  l->pageLeft = Pixels(s, left, true);
  l->pageBottom = Pixels(s, bottom, false);
  l->pageRight = l->pageWidth - Pixels(s, right, true);
  l->pageTop = l->pageHeight - Pixels(s, top, false);
  const PagePaperBlock& h = s->sheet;
  l->sheetWidth = Pixels(s, h.width, true);
  l->sheetHeight = Pixels(s, h.length, false);
  l->sheetLeft = Pixels(s, h.leftMargin, true);
  l->sheetBottom = Pixels(s, h.bottomMargin, false);
  l->sheetRight = l->sheetWidth - Pixels(s, h.rightMargin, true);
  l->sheetTop = l->sheetHeight - Pixels(s, h.topMargin, false);
  l->orientationSetting = s->orientationSetting;
  l->zoomOn = s->zoomOn;
  l->zoomPercent = s->zoomPercent;
  l->landscapePage = s->orientation;
  l->landscapeSetting = s->landscape;
  l->duplexBinding = s->duplexBinding;
  l->pageOrder = s->pageOrder;
  l->nup = static_cast<SHORT>(s->nup);
  l->turnedGrid = s->turnedGrid;
  l->cellsAcross = static_cast<WORD>(s->cellsAcross);
  l->cellsAlong = static_cast<WORD>(s->cellsAlong);
  l->landscapeCells = s->landscapeCells;
  l->bindingEdge = static_cast<LONG>(s->bindingEdge);
  const bool across = l->bindingEdge == kBindLeft || l->bindingEdge == kBindRight;
  l->bindingMargins[0] = Pixels(s, s->bindingMargins[0], across);
  l->bindingMargins[1] = Pixels(s, s->bindingMargins[1], across);
  l->item1283 = s->item1283;
  l->cellAlignment = static_cast<LONG>(s->cellAlignment);
  l->marginLeft = Pixels(s, p.leftMargin, true);
  l->marginRight = Pixels(s, p.rightMargin, true);
  l->marginTop = Pixels(s, p.topMargin, false);
  l->marginBottom = Pixels(s, p.bottomMargin, false);
  l->offsetKind = s->offsetKind;
  // Offset kind 2 carries zero offsets.
  if (s->offsetKind == 1) {
    l->offsets[0] = Pixels(s, s->offsets[0], true);
    l->offsets[1] = Pixels(s, s->offsets[1], false);
  }
  return 0;
}

void MultiplyMatrix(float m[6], const float n[6]) {
  const float a = m[0], b = m[1], c = m[2], d = m[3], e = m[4], f = m[5];
  m[0] = a * n[0] + b * n[2];
  m[1] = a * n[1] + b * n[3];
  m[2] = c * n[0] + d * n[2];
  m[3] = c * n[1] + d * n[3];
  m[4] = e * n[0] + f * n[2] + n[4];
  m[5] = e * n[1] + f * n[3] + n[5];
}

void SetIdentity(float m[6]) { std::memcpy(m, kIdentity, sizeof(kIdentity)); }

void ComposeMatrix(float out[6], const float m[6], const float n[6]) {
  float result[6];
  std::memcpy(result, m, sizeof(result));
  MultiplyMatrix(result, n);
  std::memcpy(out, result, sizeof(result));
}

void TranslateMatrix(float m[6], float dx, float dy) {
  m[4] += dx * m[0] + dy * m[2];
  m[5] += dx * m[1] + dy * m[3];
}

void FlipMatrixY(float m[6]) {
  m[2] = -m[2];
  m[3] = -m[3];
}

void AdjustPixelEdges(float m[6]) {
  const float a = m[0], b = m[1], c = m[2], d = m[3];
  if (b == 0 && c == 0) {
    if (a < 0 && d < 0) {
      m[4] -= 1;
      m[5] -= 1;
    } else if (a > 0 && d < 0) {
      m[4] -= 1;
    } else if (a < 0 && d > 0) {
      m[5] -= 1;
    }
  } else if (a == 0 && d == 0) {
    if (b > 0 && c < 0) {
      m[4] -= 1;
    } else if (b < 0 && c > 0) {
      m[5] -= 1;
    } else if (b > 0 && c > 0) {
      m[4] -= 1;
      m[5] -= 1;
    }
  }
}

void HalfTurnAt(const FloatLayout*, float m[6], float x, float y) {
  const float turn[6] = {-1, 0, 0, -1, x, y};
  MultiplyMatrix(m, turn);
}

int ComputeLogicalPageTransform(float m[6], const FloatLayout* layout, int n, int side, CellRectangle* rect) {
  if (m == nullptr || layout == nullptr || n < 1) return -1;
  FloatLayout l = *layout;
  const int r = l.cellsAcross, q = l.cellsAlong;
  if (r <= 0 || q <= 0) return -1;
  const bool landscape = l.landscapePage != 0;
  // 1. The page origin.
  SetIdentity(m);
  if (!landscape)
    Translate(m, l.marginLeft - l.pageLeft, -(l.marginTop - l.pageHeight + l.pageBottom));
  else
    Translate(m, l.marginBottom - l.pageLeft, -(l.marginLeft - l.pageHeight + l.pageBottom));
  // 2, 3. The sheet's printable area: binding margin and offsets.
  ApplyBindingMargin(&l, side);
  ApplyOffsets(&l);
  // 4. Half turn about the page.
  if (IsHalfTurned(&l)) {
    const float turn[6] = {-1, 0, 0, -1, l.pageRight + l.pageLeft, l.pageTop + l.pageBottom};
    MultiplyMatrix(m, turn);
  }
  // 5. Zoom.
  const float s = l.zoomOn != 0 ? static_cast<float>(l.zoomPercent) / 100.0f : 1.0f;
  // 6. Placement into the page's cell.
  float placement[6];
  SetIdentity(placement);
  const bool landscapeLayout = l.landscapeSetting != 0;
  // A quarter turn brings the page's printable area to the cell's origin: x across from 0 to
  // the page's along extent, y from 0 to its across extent. (The turns the other way round,
  // [0, 1, -1, 0, bottom, -right] and [0, -1, 1, 0, -top, left], put the area entirely below and
  // left of the origin, so that a turned page lands off the sheet and prints nothing.)
  if (landscape && !landscapeLayout) {
    const float turn[6] = {0, -1, 1, 0, -l.pageBottom, l.pageRight};
    MultiplyMatrix(placement, turn);
  } else if (!landscape && landscapeLayout) {
    const float turn[6] = {0, 1, -1, 0, l.pageTop, -l.pageLeft};
    MultiplyMatrix(placement, turn);
  } else {
    Translate(placement, -l.pageLeft, -l.pageBottom);
  }
  const float scale[6] = {s, 0, 0, s, 0, 0};
  MultiplyMatrix(placement, scale);
  const int k = (n - 1) % (r * q);
  int u = 0, w = 0;
  CellOfPlace(CellOrderState(&l), k, r, q, &u, &w);
  const float spanX = l.sheetRight - l.sheetLeft;
  const float spanY = l.sheetBottom - l.sheetTop;
  const float x0 = l.sheetLeft + static_cast<float>(u) * spanX / static_cast<float>(r);
  const float x1 = l.sheetLeft + static_cast<float>(u + 1) * spanX / static_cast<float>(r);
  const float y0 = l.sheetTop + static_cast<float>(w) * spanY / static_cast<float>(q);
  const float y1 = l.sheetTop + static_cast<float>(w + 1) * spanY / static_cast<float>(q);
  // The page's printable sides, exchanged for a landscape page.
  float pageAcross = l.pageRight - l.pageLeft, pageAlong = l.pageTop - l.pageBottom;
  if (landscape) {
    const float t = pageAcross;
    pageAcross = pageAlong;
    pageAlong = t;
  }
  float g = 1.0f;
  if (l.zoomOn == 0) {
    // A page without printable area cannot be scaled into a cell.
    if (pageAcross <= 0 || pageAlong <= 0) return -1;
    float cellAcross = spanX / static_cast<float>(r), cellAlong = -spanY / static_cast<float>(q);
    if (l.landscapeSetting != l.landscapeCells) {
      const float t = cellAcross;
      cellAcross = cellAlong;
      cellAlong = t;
    }
    const float gx = cellAcross / pageAcross, gy = cellAlong / pageAlong;
    g = gx < gy ? gx : gy;
  }
  const bool cells = l.landscapeCells != 0;
  // A page turned a quarter (its top towards the cell's left edge) reaches from its anchor
  // leftwards and upwards: it is anchored at the cell's right and lower edges, as an upright
  // page at its left and lower edges, so that both lie inside their cell.
  const float cell[6] = {cells ? 0 : g, cells ? g : 0, cells ? -g : 0, cells ? 0 : g, cells ? x1 : x0, y1};
  MultiplyMatrix(placement, cell);
  MultiplyMatrix(m, placement);
  // 7. Alignment inside the cell.
  float across = pageAcross, along = pageAlong;
  if (IsTurnedNup(l.nup)) {
    const float t = across;
    across = along;
    along = t;
  }
  const float ex = spanX / static_cast<float>(r) - s * g * across;
  const float ey = -spanY / static_cast<float>(q) - s * g * along;
  float dx = 0, dy = 0;
  switch (SideAlignment(&l, side)) {
    case 1: cells ? (dy = ey) : (dx = ex); break;
    case 2:
      dx = ex;
      dy = cells ? ey : -ey;
      break;
    case 3: cells ? (dx = ex) : (dy = -ey); break;
    case 4:
      dx = ex / 2;
      dy = cells ? ey / 2 : -ey / 2;
      break;
    default: break;
  }
  if (dx != 0 || dy != 0) Translate(m, dx, dy);
  // 8. The cell in device y.
  if (rect != nullptr) *rect = CellRectangle{x0, l.sheetHeight - y1, x1, l.sheetHeight - y0};
  return 0;
}

void ComposeLayoutTransform(const PageState*, const FloatLayout* layout, const float logical[6], float out[6]) {
  float p[6];
  SetIdentity(p);
  FlipAbout(p, layout->pageHeight);
  MultiplyMatrix(p, logical);
  FlipAbout(p, layout->sheetHeight);
  AdjustPixelEdges(p);
  SetIdentity(out);
  Translate(out, layout->pageLeft, layout->pageTop);
  MultiplyMatrix(out, p);
}

int GetLogicalPageTransform(float out[6], const PageState* state, int cellIndex, int side) {
  if (out == nullptr || state == nullptr || cellIndex < 0 || cellIndex > kMaxCellIndex || side < 0 ||
      side > kMaxSideIndex)
    return -1;
  FloatLayout layout;
  float logical[6];
  if (ConvertLayoutToFloat(&layout, state) != 0 ||
      ComputeLogicalPageTransform(logical, &layout, cellIndex + 1, side + 1, nullptr) != 0)
    return -1;
  ComposeLayoutTransform(state, &layout, logical, out);
  return 0;
}

int GetCellRectangle(const PageState* state, int cellIndex, int side, RECT* out) {
  if (state == nullptr || out == nullptr || cellIndex < 0 || cellIndex > kMaxCellIndex || side < 0 ||
      side > kMaxSideIndex)
    return -1;
  FloatLayout layout;
  float logical[6];
  CellRectangle cell;
  if (ConvertLayoutToFloat(&layout, state) != 0 ||
      ComputeLogicalPageTransform(logical, &layout, cellIndex + 1, side + 1, &cell) != 0)
    return -1;
  out->left = static_cast<LONG>(cell.x0);
  out->top = static_cast<LONG>(cell.y1);
  out->right = static_cast<LONG>(cell.x1);
  out->bottom = static_cast<LONG>(cell.y0);
  return 0;
}

namespace {

// A copy of the page state that places one page alone on the sheet at its own size.
PageState SinglePageState(const PageState* state) {
  PageState copy = *state;
  copy.nup = 1;
  copy.cellsAcross = copy.cellsAlong = 1;
  copy.turnedGrid = 0;
  copy.landscapeCells = copy.landscape;
  copy.zoomOn = 1;
  copy.zoomPercent = 100;
  return copy;
}

}  // namespace

int GetBorderAxis(const PageState* state, int side, float out[6]) {
  if (state == nullptr || out == nullptr) return -1;
  PageState sheet = SinglePageState(state);
  sheet.offsetKind = 0;
  sheet.offsets[0] = sheet.offsets[1] = 0;
  sheet.cellAlignment = 0;
  sheet.bindingEdge = 0;
  sheet.bindingMargins[0] = sheet.bindingMargins[1] = 0;
  for (PagePaperBlock* p : {&sheet.page, &sheet.sheet})
    p->leftMargin = p->rightMargin = p->topMargin = p->bottomMargin = 0;
  return GetLogicalPageTransform(out, &sheet, 0, side);
}

int GetTileAxis(const PageState* state, float out[6], LONG dx, LONG dy) {
  if (state == nullptr || out == nullptr || dx < -0x8000 || dx > 0x7FFF || dy < -0x8000 || dy > 0x7FFF) return -1;
  PageState tile = SinglePageState(state);
  tile.offsetKind = 1;
  tile.offsets[0] = static_cast<SHORT>(dx);
  tile.offsets[1] = static_cast<SHORT>(dy);
  return GetLogicalPageTransform(out, &tile, 0, 0);
}

BOOL IsStampHalfTurned(BYTE orientationSetting, BOOL rotated) {
  return (orientationSetting == 1 && rotated) || (orientationSetting == 2 && !rotated) || orientationSetting == 3;
}

int GetStampAxis(const PageState* state, float out[6], LONG dx, LONG dy, BOOL rotated, BOOL booklet) {
  if (GetTileAxis(state, out, dx, dy) != 0) return -1;
  const bool pageTurned = state->nup == 1 && !booklet && IsStampHalfTurned(state->orientationSetting, rotated);
  const bool turned = (booklet && !rotated) || pageTurned || state->bookletBinding == 2;
  if (turned) {
    FloatLayout layout;
    if (ConvertLayoutToFloat(&layout, state) != 0) return -1;
    HalfTurnAt(&layout, out, layout.pageWidth, layout.pageHeight);
  }
  return 0;
}

BOOL GetLandscapeForStamp(const PageState* state, BOOL booklet) {
  if (state == nullptr) return FALSE;
  if (booklet) return state->landscapeCells == 0;
  if (state->nup == 1) return state->orientation == kPageLandscape;
  return state->landscapeCells != 0;
}

void ComputePlacementMatrix(const float m[6], float out[6], float pageExtent, float x, float y, float sheetExtent) {
  float p[6];
  SetIdentity(p);
  FlipAbout(p, pageExtent);
  MultiplyMatrix(p, m);
  FlipAbout(p, sheetExtent);
  AdjustPixelEdges(p);
  SetIdentity(out);
  Translate(out, x, y);
  MultiplyMatrix(out, p);
}

int SetTileGridOrder(TileLayout* tiles) {
  if (tiles == nullptr || tiles->columns == 0 || tiles->rows == 0) return -1;
  const float* m = tiles->matrix;
  const bool aligned = m[1] == 0 && m[2] == 0;
  const bool quarter = m[0] == 0 && m[3] == 0;
  if (!aligned && !quarter) return -1;
  tiles->acrossStart = 0;
  tiles->acrossEnd = tiles->columns - 1;
  tiles->acrossStep = 1;
  const bool reversed = quarter && ((m[1] > 0 && m[2] < 0) || (m[1] < 0 && m[2] > 0));
  tiles->alongStart = reversed ? tiles->rows - 1 : 0;
  tiles->alongEnd = reversed ? 0 : tiles->rows - 1;
  tiles->alongStep = reversed ? -1 : 1;
  tiles->rowByRow = reversed ? 0 : 1;
  return 0;
}

int ComputeTileLayout(const PageState* state, TileLayout* tiles) {
  if (state == nullptr || tiles == nullptr || state->tileColumns <= 0 || state->tileRows <= 0) return -1;
  PageState virtualSheet = *state;
  PagePaperBlock& sheet = virtualSheet.sheet;
  const LONG printableWidth = static_cast<LONG>(state->sheet.printableWidth) * state->tileColumns;
  const LONG printableLength = static_cast<LONG>(state->sheet.printableLength) * state->tileRows;
  const LONG width = printableWidth + 2 * state->sheet.centredLeft;
  const LONG length = printableLength + 2 * state->sheet.centredTop;
  if (width > 0x7FFF || length > 0x7FFF) return -1;
  sheet.printableWidth = static_cast<SHORT>(printableWidth);
  sheet.printableLength = static_cast<SHORT>(printableLength);
  sheet.width = static_cast<SHORT>(width);
  sheet.length = static_cast<SHORT>(length);
  sheet.leftMargin = sheet.rightMargin = state->sheet.centredLeft;
  sheet.topMargin = sheet.bottomMargin = state->sheet.centredTop;
  virtualSheet.nup = 1;
  virtualSheet.cellsAcross = virtualSheet.cellsAlong = 1;
  virtualSheet.zoomOn = 0;
  virtualSheet.zoomPercent = 100;
  if (GetLogicalPageTransform(tiles->matrix, &virtualSheet, 0, 0) != 0) return -1;
  tiles->cellWidth = Pixels(state, state->sheet.printableWidth, true);
  tiles->cellHeight = Pixels(state, state->sheet.printableLength, false);
  tiles->columns = static_cast<WORD>(state->tileColumns);
  tiles->rows = static_cast<WORD>(state->tileRows);
  return SetTileGridOrder(tiles);
}
