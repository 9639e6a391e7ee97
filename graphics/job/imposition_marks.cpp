#include "graphics/job/imposition_marks.h"

#include <utility>

#include "graphics/device/paper_layout.h"
#include "graphics/drawing/command_recorder.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/job/page_geometry.h"

namespace {

constexpr LONG kDefaultResolution = 600;
constexpr BYTE kJoinBevel = 2;
constexpr BYTE kCapSquare = 2;
constexpr BYTE kDrawStroke = 1;
constexpr BYTE kRopKind = 1;
constexpr DWORD kRopCopyPen = 13;
constexpr BYTE kPenTarget = 1;
constexpr BYTE kColorSpaceRgb = 4;
constexpr BYTE kLineSolid = 1;
constexpr LONG kCropLegTenths = 100;
constexpr float kIdentity[6] = {1, 0, 0, 1, 0, 0};
constexpr LONG kFixedOne = 16;  // one pixel in 28.4 fixed point

LONG Resolution(const Pdev* pdev) {
  const LONG r = pdev->pageState.resolution[0];
  return r != 0 ? r : kDefaultResolution;
}

// A quarter point in pixels, averaged over both axes (whole pixels, as the device counts).
LONG LineWidth(const Pdev* pdev) {
  const LONG w = static_cast<LONG>(static_cast<float>(Resolution(pdev)) * 0.25f / 72.0f);
  return (w + w + 1) / 2;
}

// Width, joins, caps, draw mode, raster operation and solid black.
int SetUpLines(GraphicsStateEmitter* e, LONG width) {
  static const BYTE kBlack[4] = {0, 0, 0, 0};
  int r = EmitLineWidth(e, static_cast<float>(width));
  r |= EmitLineJoin(e, kJoinBevel);
  r |= EmitLineCap(e, kCapSquare);
  r |= EmitDrawMode(e, kDrawStroke);
  r |= EmitRopMode(e, kRopKind, kRopCopyPen);
  r |= EmitSolidColor(e, kPenTarget, kColorSpaceRgb, kBlack);
  return r != 0 ? -1 : 0;
}

// A line between two whole-pixel points; paths take their points in 28.4 fixed point.
int Line(GraphicsStateEmitter* e, LONG x0, LONG y0, LONG x1, LONG y1) {
  const RecordPoint to{x1 * kFixedOne, y1 * kFixedOne};
  int r = EmitInitPath(e);
  r |= EmitMovePoint(e, x0 * kFixedOne, y0 * kFixedOne);
  r |= EmitLinePath(e, 1, &to);
  r |= EmitDrawPath(e);
  return r != 0 ? -1 : 0;
}

// Runs `draw` with the cache off, the clip reset, and the identity axis and a forgotten cache
// afterwards.
template <typename Draw>
int WithMarkState(Pdev* pdev, Draw draw) {
  GraphicsStateEmitter* e = pdev->emitter;
  if (e == nullptr) return -1;
  const DWORD cached = SetStateCacheEnabled(e, 0);
  int r = EmitInitClip(e);
  r |= draw(e);
  r |= EmitSetAxis(e, kIdentity);
  SetStateCacheEnabled(e, cached);
  r |= InvalidateStateCache(e);
  return r != 0 ? -1 : 0;
}

}  // namespace

int DrawNupBorders(Pdev* pdev, WORD cells) {
  if (pdev == nullptr) return -1;
  const int side = pdev->job.sidesOnSheet & 1;
  return WithMarkState(pdev, [&](GraphicsStateEmitter* e) {
    float axis[6];
    if (GetBorderAxis(&pdev->pageState, side, axis) != 0) return -1;
    const LONG width = LineWidth(pdev);
    int r = EmitSetAxis(e, axis);
    r |= SetUpLines(e, width);
    r |= EmitLineType(e, kLineSolid, 0, 0, nullptr);
    const LONG in = width / 2;
    for (WORD i = 0; i < cells; ++i) {
      RECT c;
      if (GetCellRectangle(&pdev->pageState, i, side, &c) != 0) return -1;
      const LONG l = c.left + in, t = c.top + in, rt = c.right - in, b = c.bottom - in;
      r |= Line(e, l, t, rt, t);
      r |= Line(e, rt, t, rt, b);
      r |= Line(e, rt, b, l, b);
      r |= Line(e, l, b, l, t);
    }
    return r;
  });
}

int DrawCropMarks(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  return WithMarkState(pdev, [&](GraphicsStateEmitter* e) {
    const PageState& s = pdev->pageState;
    const LONG res = Resolution(pdev);
    const LONG leg = LayoutUnitsToPixels(TenthMmToLayoutUnits(kCropLegTenths), res);
    LONG w = LayoutUnitsToPixels(TenthMmToLayoutUnits(s.sheet.printableWidth), res);
    LONG h = LayoutUnitsToPixels(TenthMmToLayoutUnits(s.sheet.printableLength), res);
    if (s.landscape) std::swap(w, h);
    const LONG width = LineWidth(pdev);
    const LONG in = width / 2;
    const float dashes[2] = {static_cast<float>(res * 40 / 600), static_cast<float>(res * 10 / 600)};
    // The marks lie on one sheet's printable area, whichever part of the enlarged page it shows.
    float axis[6];
    if (GetTileAxis(&s, axis, 0, 0) != 0) return -1;
    int r = EmitSetAxis(e, axis);
    r |= SetUpLines(e, width);
    r |= EmitLineType(e, kLineTypeUser, 0, 2, dashes);
    // Two legs at each corner, inset by half the line width.
    const LONG l = in, t = in, rt = w - in, b = h - in;
    r |= Line(e, l, t, l + leg, t) | Line(e, l, t, l, t + leg);
    r |= Line(e, rt, t, rt - leg, t) | Line(e, rt, t, rt, t + leg);
    r |= Line(e, l, b, l + leg, b) | Line(e, l, b, l, b - leg);
    r |= Line(e, rt, b, rt - leg, b) | Line(e, rt, b, rt, b - leg);
    // Marks centred on each edge.
    r |= Line(e, w / 2 - leg / 2, t, w / 2 + leg / 2, t) | Line(e, w / 2 - leg / 2, b, w / 2 + leg / 2, b);
    r |= Line(e, l, h / 2 - leg / 2, l, h / 2 + leg / 2) | Line(e, rt, h / 2 - leg / 2, rt, h / 2 + leg / 2);
    return r;
  });
}
