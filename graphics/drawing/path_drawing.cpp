#include "graphics/drawing/path_drawing.h"

#include <algorithm>
#include <vector>

#include "graphics/device/overlay_state.h"
#include "graphics/device/pdev.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/drawing/clip_cache.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/drawing/rop_maps.h"
#include "graphics/imaging/brush_emission.h"
#include "graphics/imaging/image_queue.h"
#include "graphics/job/job_control.h"  // up: a drawing that fills the page ends it through the job code
#include "graphics/job/page_start.h"  // up: a drawing opens the page it lands on
#include "items/item_ids.h"
#include "platform/engine/engine.h"

namespace {

constexpr LONG kStyleResolutionUnit = 25;
constexpr BYTE kLineTypeSolid = 1;
constexpr float kMinMiterLimit = 1.0f;
constexpr BYTE kFillAlternate = 1;
constexpr BYTE kFillWinding = 2;
constexpr DWORD kMaxDashes = 255;  // the line-type command counts its entries in a byte

BYTE JoinCode(ULONG join) { return join == JOIN_ROUND ? 2 : join == JOIN_BEVEL ? 3 : 1; }
BYTE CapCode(ULONG cap) { return cap == ENDCAP_ROUND ? 2 : cap == ENDCAP_SQUARE ? 3 : 1; }

bool HasStyle(const LINEATTRS* line) { return line->cstyle != 0 && line->pstyle != nullptr; }

// The first batch of the path; false for a path without points.
bool FirstBatch(PATHOBJ* path, PATHDATA* batch, bool* only) {
  PATHOBJ_vEnumStart(path);
  *batch = {};
  const BOOL more = PATHOBJ_bEnum(path, batch);
  *only = !more;
  return batch->count > 0;
}

RECTL PixelBounds(PATHOBJ* path) {
  RECTFX bounds{};
  PATHOBJ_vGetBounds(path, &bounds);
  return {bounds.xLeft >> 4, bounds.yTop >> 4, (bounds.xRight + 16) >> 4, (bounds.yBottom + 16) >> 4};
}

bool Inside(const RECTL& inner, const RECTL& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Applies the clip for the path; a filled rectangle sticking out of a rectangle clip is cut by
// the rectangle itself instead (cutClip then holds the clip rectangle).
int ApplyPathClip(Pdev* pdev, PATHOBJ* path, CLIPOBJ* clip, int mode, const RECTL** cutClip) {
  *cutClip = nullptr;
  const RECTL bounds = PixelBounds(path);
  if (IsOverlayDrawingActive(pdev)) return 1;
  if (mode == kPathFill && clip != nullptr && clip->iDComplexity == DC_RECT && !Inside(bounds, clip->rclBounds)) {
    PATHDATA batch{};
    bool only = false;
    if (FirstBatch(path, &batch, &only) && only && IsRectangleBatch(batch)) {
      *cutClip = &clip->rclBounds;
      return ApplyClipObject(pdev, nullptr, &bounds);
    }
  }
  return ApplyClipObject(pdev, clip, &bounds);
}

// The dash entries with a gap first: the last entry moves to the front and its length is added
// to the offset.
template <typename T>
void RotateForStartGap(std::vector<T>& entries, T& offset) {
  std::rotate(entries.rbegin(), entries.rbegin() + 1, entries.rend());
  offset += entries.front();
}

int EmitGeometricLine(GraphicsStateEmitter* e, const LINEATTRS* line) {
  const float limit = std::max(line->eMiterLimit, kMinMiterLimit);
  if (EmitLineJoin(e, JoinCode(line->iJoin)) != 0 || EmitLineCap(e, CapCode(line->iEndCap)) != 0 ||
      EmitMiterLimit(e, limit) != 0 || EmitLineWidth(e, line->elWidth.e) != 0)
    return 0;
  if (!HasStyle(line)) return EmitLineType(e, kLineTypeSolid, 0.0f, 0, nullptr) == 0 ? 1 : 0;
  const DWORD count = std::min<DWORD>(line->cstyle, kMaxDashes);
  std::vector<float> dashes(count);
  for (DWORD i = 0; i < count; ++i) dashes[i] = line->pstyle[i].e;
  float offset = line->elStyleState.e;
  if (line->fl & LA_STARTGAP) RotateForStartGap(dashes, offset);
  return EmitLineType(e, kLineTypeUser, offset, static_cast<BYTE>(count), dashes.data()) == 0 ? 1 : 0;
}

int EmitCosmeticLine(Pdev* pdev, const LINEATTRS* line) {
  GraphicsStateEmitter* e = pdev->emitter;
  if (EmitLineWidth(e, static_cast<float>(line->elWidth.l)) != 0) return 0;
  std::vector<LONG> dashes;
  LONG multiplier = 1;
  if (line->fl & LA_ALTERNATE) {
    dashes = {1, 1};
  } else if (HasStyle(line)) {
    const DWORD count = std::min<DWORD>(line->cstyle, kMaxDashes);
    for (DWORD i = 0; i < count; ++i) dashes.push_back(line->pstyle[i].l);
    multiplier = static_cast<LONG>(GetPdevSettingWord(pdev, kItemYResolution)) / kStyleResolutionUnit;
  }
  if (dashes.empty()) return EmitLineTypeFromIntegers(e, kLineTypeSolid, 0, 0, nullptr) == 0 ? 1 : 0;
  for (LONG& dash : dashes) dash *= multiplier;
  LONG offset = line->elStyleState.l;
  if (line->fl & LA_STARTGAP) RotateForStartGap(dashes, offset);
  return EmitLineTypeFromIntegers(e, kLineTypeUser, offset, static_cast<BYTE>(dashes.size()), dashes.data()) == 0
             ? 1
             : 0;
}

int EmitLineAttributes(Pdev* pdev, const LINEATTRS* line) {
  return (line->fl & LA_GEOMETRIC) ? EmitGeometricLine(pdev->emitter, line) : EmitCosmeticLine(pdev, line);
}

int SetPathDrawingState(Pdev* pdev, BRUSHOBJ* strokeBrush, const LINEATTRS* line, BRUSHOBJ* fillBrush,
                        POINTL* brushOrigin, MIX mix, FLONG fillOptions, int mode) {
  if (mode != kPathFill && EmitLineAttributes(pdev, line) == 0) return 0;
  const DWORD rop = MapMixToRop3(mix);
  if (mode != kPathFill && EmitBrushPattern(pdev, kBrushTargetPen, brushOrigin, strokeBrush, rop) == 0) return 0;
  if (mode != kPathStroke) {
    if (EmitBrushPattern(pdev, kBrushTargetFill, brushOrigin, fillBrush, rop) == 0) return 0;
    if (fillOptions != FP_ALTERNATEMODE && fillOptions != FP_WINDINGMODE) return 0;
    if (EmitFillMode(pdev->emitter, fillOptions == FP_ALTERNATEMODE ? kFillAlternate : kFillWinding) != 0) return 0;
  }
  return 1;
}

int DrawPathEllipse(Pdev* pdev, PATHOBJ* path, int mode) {
  RECTFX b{};
  PATHOBJ_vGetBounds(path, &b);
  const float rx = (static_cast<float>(b.xRight) * 0.0625f - static_cast<float>(b.xLeft) * 0.0625f) / 2.0f;
  const float ry = (static_cast<float>(b.yBottom) * 0.0625f - static_cast<float>(b.yTop) * 0.0625f) / 2.0f;
  GraphicsStateEmitter* e = pdev->emitter;
  if (EmitDrawMode(e, static_cast<BYTE>(mode)) != 0) return 0;
  if (rx > 0.0f && ry > 0.0f) {
    const float values[6] = {static_cast<float>(b.xLeft) * 0.0625f + rx, static_cast<float>(b.yTop) * 0.0625f + ry,
                             rx, ry, 0.0f, 360.0f};
    return EmitEllipse(e, values) == 0 ? 1 : 0;
  }
  // A flat ellipse is drawn as its bounds.
  return EmitRectangle(e, b.xLeft, b.yTop, b.xRight, b.yBottom) == 0 ? 1 : 0;
}

int DrawPathRectangle(Pdev* pdev, PATHOBJ* path, int mode, const RECTL* cutClip) {
  PATHDATA batch{};
  bool only = false;
  if (!FirstBatch(path, &batch, &only) || !only || !IsRectangleBatch(batch)) return 0;
  LONG left = std::min(batch.pptfx[1].x, batch.pptfx[3].x), right = std::max(batch.pptfx[1].x, batch.pptfx[3].x);
  LONG top = std::min(batch.pptfx[1].y, batch.pptfx[3].y), bottom = std::max(batch.pptfx[1].y, batch.pptfx[3].y);
  if (left == right && top == bottom) {
    ++right;
    ++bottom;
  }
  if (cutClip != nullptr) {
    left = std::max(left, cutClip->left << 4);
    top = std::max(top, cutClip->top << 4);
    right = std::min(right, cutClip->right << 4);
    bottom = std::min(bottom, cutClip->bottom << 4);
    if (left >= right || top >= bottom) return 1;  // wholly outside the clip: nothing shows
  }
  return EmitDrawMode(pdev->emitter, static_cast<BYTE>(mode)) == 0 &&
                 EmitRectangle(pdev->emitter, left, top, right, bottom) == 0
             ? 1
             : 0;
}

// The pen of a geometric stroke is transformed by the world transform on top of the page axis.
void ComposeAxis(XFORMOBJ* xform, const float axis[6], float out[6]) {
  XFORML t{1, 0, 0, 1, 0, 0};
  const ULONG kind = XFORMOBJ_iGetXform(xform, &t);
  if (kind == GX_IDENTITY) {
    std::copy(axis, axis + 6, out);
    return;
  }
  if (kind == GX_SCALE) t = {t.eM11, 0, 0, t.eM22, 0, 0};
  out[0] = t.eM11 * axis[0] + t.eM12 * axis[2];
  out[1] = t.eM11 * axis[1] + t.eM12 * axis[3];
  out[2] = t.eM21 * axis[0] + t.eM22 * axis[2];
  out[3] = t.eM21 * axis[1] + t.eM22 * axis[3];
  out[4] = t.eDx * axis[0] + t.eDy * axis[2] + axis[4];
  out[5] = t.eDx * axis[1] + t.eDy * axis[3] + axis[5];
}

int DrawGeneralPath(Pdev* pdev, PATHOBJ* path, XFORMOBJ* xform, const LINEATTRS* line, int mode) {
  GraphicsStateEmitter* e = pdev->emitter;
  int drawn = 0;
  if (EmitPath(e, path, nullptr, 0, &drawn) == 0) return 0;
  const bool transformPen = mode != kPathFill && line != nullptr && (line->fl & LA_GEOMETRIC) && xform != nullptr;
  float saved[6];
  GetCachedAxis(e, saved);
  bool changed = false;
  if (transformPen) {
    float axis[6];
    ComposeAxis(xform, saved, axis);
    changed = !std::equal(axis, axis + 6, saved);
    if (changed && SetPageAxis(pdev, axis) != 0) return 0;
  }
  int result = EmitDrawMode(e, static_cast<BYTE>(mode)) == 0 && EmitDrawPath(e) == 0 ? 1 : 0;
  if (changed && SetPageAxis(pdev, saved) != 0) result = 0;
  return result;
}

}  // namespace

bool IsRectangleBatch(const PATHDATA& b) {
  if (b.count != 4 || (b.flags & PD_BEZIERS) || !(b.flags & PD_CLOSEFIGURE) || b.pptfx == nullptr) return false;
  const POINTFIX* p = b.pptfx;
  return p[1].y == p[0].y && p[2].x == p[1].x && p[3].y == p[2].y && p[0].x == p[3].x;
}

int ClassifyPath(PATHOBJ* path, const LINEATTRS* line, XFORMOBJ* xform, int mode) {
  const bool stroking = mode != kPathFill;
  if (path->fl & PO_ELLIPSE) {
    if (!stroking) return kPathEllipse;
    if (!(line->fl & LA_GEOMETRIC) && !HasStyle(line)) return kPathEllipse;
  }
  PATHDATA batch{};
  bool only = false;
  if (!FirstBatch(path, &batch, &only) || !only || !IsRectangleBatch(batch)) return kPathGeneral;
  if (!stroking) return kPathRectangle;
  if (HasStyle(line)) return kPathGeneral;
  if (!(line->fl & LA_GEOMETRIC)) return kPathRectangle;
  XFORML t{};
  return xform != nullptr && XFORMOBJ_iGetXform(xform, &t) == GX_IDENTITY ? kPathRectangle : kPathGeneral;
}

int StrokeFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* strokeBrush,
                   LINEATTRS* line, BRUSHOBJ* fillBrush, POINTL* brushOrigin, MIX mix, FLONG fillOptions, int mode) {
  Pdev* pdev = reinterpret_cast<Pdev*>(surface->dhpdev);
  if (!IsPdevValid(pdev) || (pdev->ddiState & kDdiDocFailed)) return kDdiError;
  if (FlushDeferredImages(pdev, kFlushForDrawing) != 0 || DispatchPageEnd(pdev) == -1) return kDdiError;
  const RECTL* cutClip = nullptr;
  if (ApplyPathClip(pdev, path, clip, mode, &cutClip) == 0) return FALSE;
  const int kind = ClassifyPath(path, line, xform, mode);
  LINEATTRS roundJoins{};
  if (kind == kPathRectangle && mode != kPathFill) {
    PATHDATA batch{};
    bool only = false;
    FirstBatch(path, &batch, &only);
    // A rectangle of no size is stroked as a dot: its joins are round.
    if (batch.pptfx[1].x == batch.pptfx[3].x && batch.pptfx[1].y == batch.pptfx[3].y) {
      roundJoins = *line;
      roundJoins.iJoin = JOIN_ROUND;
      line = &roundJoins;
    }
  }
  if (SetPathDrawingState(pdev, strokeBrush, line, fillBrush, brushOrigin, mix, fillOptions, mode) == 0) return FALSE;
  switch (kind) {
    case kPathEllipse:
      return DrawPathEllipse(pdev, path, mode);
    case kPathRectangle:
      return DrawPathRectangle(pdev, path, mode, cutClip);
    default:
      return DrawGeneralPath(pdev, path, xform, line, mode);
  }
}
