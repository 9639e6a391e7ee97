// Paths, clips, brushes, colour translations, transforms and strings: the records behind the
// objects of a drawing call and the callbacks that read them.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/engine/engine_state.h"
#include "platform/base/errors.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"

namespace engine {

namespace {

FIX ToFix(float v) { return static_cast<FIX>(std::lround(v * 16.0f)); }

// Bezier segments per curve when an outline is flattened.
constexpr int kFlattenSteps = 16;
// The largest block BRUSHOBJ_pvAllocRbrush hands out.
constexpr ULONG kMaxRealization = 16u << 20;
// Glyphs a STROBJ hands out per STROBJ_bEnum batch; a string of more glyphs has no pgp.
constexpr size_t kStringBatch = 16;
// The largest point count a transform is asked to apply to.
constexpr ULONG kMaxTransformPoints = 1u << 24;

void AddFlattenedBezier(std::vector<POINTFIX>& out, POINTFIX p0, POINTFIX p1, POINTFIX p2, POINTFIX p3) {
  for (int i = 1; i <= kFlattenSteps; ++i) {
    double t = static_cast<double>(i) / kFlattenSteps, u = 1 - t;
    double x = u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x;
    double y = u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y;
    out.push_back({static_cast<FIX>(std::lround(x)), static_cast<FIX>(std::lround(y))});
  }
}

// The figures of a path as closed polygons in 28.4.
std::vector<std::vector<POINTFIX>> FlattenPath(const DrawPath& path) {
  std::vector<std::vector<POINTFIX>> figures;
  size_t p = 0;
  for (PathOp op : path.ops) {
    if (op == PathOp::Move) {
      figures.emplace_back();
      figures.back().push_back({ToFix(path.points[p].x), ToFix(path.points[p].y)});
      ++p;
    } else if (op == PathOp::Line && !figures.empty()) {
      figures.back().push_back({ToFix(path.points[p].x), ToFix(path.points[p].y)});
      ++p;
    } else if (op == PathOp::Bezier && !figures.empty()) {
      POINTFIX p0 = figures.back().back();
      POINTFIX c[3];
      for (int i = 0; i < 3; ++i) c[i] = {ToFix(path.points[p + i].x), ToFix(path.points[p + i].y)};
      AddFlattenedBezier(figures.back(), p0, c[0], c[1], c[2]);
      p += 3;
    }
  }
  return figures;
}

// The pixels whose centres lie inside the figures (alternate rule), as rectangles: spans of
// one row, merged downwards while the next row has the same span.
std::vector<RECTL> RasterizeRegion(const std::vector<std::vector<POINTFIX>>& figures, RECTL limit) {
  std::vector<RECTL> rects;
  std::vector<size_t> open;  // rects that ended on the previous row
  for (LONG y = limit.top; y < limit.bottom; ++y) {
    const double yc = (y + 0.5) * 16.0;
    std::vector<double> xs;
    for (const auto& figure : figures) {
      for (size_t i = 0; i < figure.size(); ++i) {
        POINTFIX a = figure[i], b = figure[(i + 1) % figure.size()];
        if ((a.y <= yc && yc < b.y) || (b.y <= yc && yc < a.y))
          xs.push_back(a.x + (yc - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y));
      }
    }
    std::sort(xs.begin(), xs.end());
    std::vector<size_t> now;
    for (size_t i = 0; i + 1 < xs.size(); i += 2) {
      LONG left = std::max(limit.left, static_cast<LONG>(std::ceil(xs[i] / 16.0 - 0.5)));
      LONG right = std::min(limit.right, static_cast<LONG>(std::ceil(xs[i + 1] / 16.0 - 0.5)));
      if (left >= right) continue;
      auto same = std::find_if(open.begin(), open.end(), [&](size_t k) {
        return rects[k].left == left && rects[k].right == right && rects[k].bottom == y;
      });
      if (same != open.end()) {
        rects[*same].bottom = y + 1;
        now.push_back(*same);
      } else {
        rects.push_back({left, y, right, y + 1});
        now.push_back(rects.size() - 1);
      }
    }
    open = now;
  }
  return rects;
}

}  // namespace

Path* NewPathFromPoints(std::vector<Path::Batch> batches, std::vector<POINTFIX> points, FLONG fl) {
  auto path = new Path;
  path->batches = std::move(batches);
  path->points = std::move(points);
  path->po.fl = fl;
  for (const Path::Batch& b : path->batches) {
    ULONG drawn = (b.flags & PD_BEGINSUBPATH) ? b.count - 1 : b.count;
    path->po.cCurves += (b.flags & PD_BEZIERS) ? drawn / 3 : drawn;
  }
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().paths.insert(path);
  return path;
}

Path* NewPath(const DrawPath& draw) {
  std::vector<Path::Batch> batches;
  std::vector<POINTFIX> points;
  FLONG fl = draw.ellipse ? PO_ELLIPSE : 0;
  size_t p = 0;
  bool inFigure = false;
  auto endFigure = [&](bool closed) {
    if (inFigure && !batches.empty()) batches.back().flags |= PD_ENDSUBPATH | (closed ? PD_CLOSEFIGURE : 0);
    inFigure = false;
  };
  for (size_t i = 0; i < draw.ops.size(); ++i) {
    PathOp op = draw.ops[i];
    if (op == PathOp::Close) {
      endFigure(true);
      continue;
    }
    if (op == PathOp::Move) {
      endFigure(false);
      batches.push_back({PD_BEGINSUBPATH, static_cast<ULONG>(points.size()), 1});
      points.push_back({ToFix(draw.points[p].x), ToFix(draw.points[p].y)});
      ++p;
      inFigure = true;
      continue;
    }
    if (!inFigure) continue;
    const bool bezier = op == PathOp::Bezier;
    const ULONG n = bezier ? 3 : 1;
    Path::Batch& last = batches.back();
    const bool lastIsBezier = (last.flags & PD_BEZIERS) != 0;
    const bool onlyStart = (last.flags & PD_BEGINSUBPATH) && last.count == 1;
    if (onlyStart) {
      if (bezier) last.flags |= PD_BEZIERS;
    } else if (lastIsBezier != bezier) {
      batches.push_back({bezier ? static_cast<FLONG>(PD_BEZIERS) : 0u, static_cast<ULONG>(points.size()), 0});
    }
    for (ULONG k = 0; k < n; ++k) points.push_back({ToFix(draw.points[p + k].x), ToFix(draw.points[p + k].y)});
    batches.back().count += n;
    p += n;
    if (bezier) fl |= PO_BEZIERS;
  }
  endFigure(false);
  return NewPathFromPoints(std::move(batches), std::move(points), fl);
}

void DeletePath(Path* path) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().paths.erase(path);
  delete path;
}

Clip* NewClip(const DrawClip& draw, SIZEL surface) {
  if (draw.kind == ClipKind::None) return nullptr;
  auto clip = new Clip;
  RECTL whole{0, 0, surface.cx, surface.cy};
  clip->co.iUniq = 0;
  clip->co.fjOptions = 0;
  clip->co.iMode = TC_RECTANGLES;
  if (draw.kind == ClipKind::Trivial) {
    clip->co.iDComplexity = DC_TRIVIAL;
    clip->co.rclBounds = whole;
    clip->rects = {whole};
  } else if (draw.kind == ClipKind::Rect) {
    RECTL r{std::max(draw.rect.left, 0), std::max(draw.rect.top, 0), std::min(draw.rect.right, surface.cx),
            std::min(draw.rect.bottom, surface.cy)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    clip->co.iDComplexity = DC_RECT;
    clip->co.iFComplexity = FC_RECT;
    clip->co.rclBounds = r;
    clip->rects = {r};
  } else {
    clip->figures = FlattenPath(draw.path);
    clip->rects = RasterizeRegion(clip->figures, whole);
    RECTL b{surface.cx, surface.cy, 0, 0};
    for (const RECTL& r : clip->rects) {
      b.left = std::min(b.left, r.left);
      b.top = std::min(b.top, r.top);
      b.right = std::max(b.right, r.right);
      b.bottom = std::max(b.bottom, r.bottom);
    }
    if (clip->rects.empty()) b = {0, 0, 0, 0};
    clip->co.iDComplexity = DC_COMPLEX;
    clip->co.iFComplexity = FC_COMPLEX;
    clip->co.rclBounds = b;
  }
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  clip->co.iUniq = State().nextUniq++;
  State().clips.insert(clip);
  return clip;
}

void DeleteClip(Clip* clip) {
  if (clip == nullptr) return;
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().clips.erase(clip);
  delete clip;
}

Xlate* NewXlate(XlateSource source, const std::vector<COLORREF>& palette, ULONG targetMode) {
  auto xlate = new Xlate;
  xlate->source = source;
  xlate->targetMode = targetMode;
  if (source == XlateSource::Indexed) {
    for (COLORREF c : palette) xlate->table.push_back(RgbToDevice(c, targetMode));
    xlate->xo.flXlate = XO_TABLE;
    xlate->xo.iSrcType = PAL_INDEXED;
    xlate->xo.cEntries = static_cast<ULONG>(xlate->table.size());
    xlate->xo.pulXlate = xlate->table.data();
  } else {
    xlate->xo.flXlate = (source == XlateSource::Bgr && targetMode == PAL_BGR) ? XO_TRIVIAL : 0;
    xlate->xo.iSrcType = source == XlateSource::Bgr ? PAL_BGR : PAL_BITFIELDS;
  }
  xlate->xo.iDstType = static_cast<USHORT>(targetMode);
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  xlate->xo.iUniq = State().nextUniq++;
  State().xlates.insert(xlate);
  return xlate;
}

void DeleteXlate(Xlate* xlate) {
  if (xlate == nullptr) return;
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().xlates.erase(xlate);
  delete xlate;
}

ULONG TranslateColour(Xlate* x, ULONG colour) {
  switch (x->source) {
    case XlateSource::Indexed:
      return colour < x->table.size() ? x->table[colour] : 0xFFFFFFFF;
    case XlateSource::Bgr:
      return RgbToDevice(DeviceToRgb(colour & 0xFFFFFF, PAL_BGR), x->targetMode);
    case XlateSource::Rgb555: {
      auto expand = [](ULONG v) { return static_cast<BYTE>((v << 3) | (v >> 2)); };
      return RgbToDevice(RGB(expand((colour >> 10) & 31), expand((colour >> 5) & 31), expand(colour & 31)), x->targetMode);
    }
  }
  return 0xFFFFFFFF;
}

Xform* NewXform(const XFORML& m) {
  auto xform = new Xform;
  xform->m = m;
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().xforms.insert(xform);
  return xform;
}

void DeleteXform(Xform* xform) {
  if (xform == nullptr) return;
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().xforms.erase(xform);
  delete xform;
}

void DeleteBrush(Brush* brush) {
  if (brush == nullptr) return;
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  State().brushes.erase(brush);
  delete brush;
}

}  // namespace engine

using namespace engine;

VOID PATHOBJ_vEnumStart(PATHOBJ* po) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Path* path = Find(State().paths, po);
  if (path == nullptr) return Refuse("PATHOBJ_vEnumStart", Pointer(po), "not an engine path");
  path->next = 0;
  path->ended = false;
  LogCallback("PATHOBJ_vEnumStart", Pointer(po), "");
}

BOOL PATHOBJ_bEnum(PATHOBJ* po, PATHDATA* data) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Path* path = Find(State().paths, po);
  std::string args = Pointer(po);
  if (path == nullptr || data == nullptr) {
    if (data != nullptr) *data = PATHDATA{0, 0, nullptr};
    Refuse("PATHOBJ_bEnum", args, path == nullptr ? "not an engine path" : "no PATHDATA");
    return FALSE;
  }
  if (path->ended || path->next >= path->batches.size()) {
    *data = PATHDATA{0, 0, nullptr};
    path->ended = true;
    Refuse("PATHOBJ_bEnum", args, "enumeration past the end");
    return FALSE;
  }
  const Path::Batch& b = path->batches[path->next++];
  *data = PATHDATA{b.flags, b.count, path->points.data() + b.first};
  const BOOL more = path->next < path->batches.size();
  if (!more) path->ended = true;
  LogCallback("PATHOBJ_bEnum", args, Format("%s flags=0x%X count=%u", more ? "TRUE" : "FALSE", b.flags, b.count));
  return more;
}

VOID PATHOBJ_vGetBounds(PATHOBJ* po, RECTFX* bounds) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Path* path = Find(State().paths, po);
  if (path == nullptr || bounds == nullptr) return Refuse("PATHOBJ_vGetBounds", Pointer(po), "not an engine path");
  RECTFX b{0, 0, 0, 0};
  for (size_t i = 0; i < path->points.size(); ++i) {
    const POINTFIX& p = path->points[i];
    if (i == 0) b = {p.x, p.y, p.x, p.y};
    b.xLeft = std::min(b.xLeft, p.x);
    b.yTop = std::min(b.yTop, p.y);
    b.xRight = std::max(b.xRight, p.x);
    b.yBottom = std::max(b.yBottom, p.y);
  }
  *bounds = b;
  LogCallback("PATHOBJ_vGetBounds", Pointer(po), Format("(%d,%d,%d,%d)", b.xLeft, b.yTop, b.xRight, b.yBottom));
}

VOID EngDeletePath(PATHOBJ* po) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Path* path = Find(State().paths, po);
  if (path == nullptr || !path->handedOut) return Refuse("EngDeletePath", Pointer(po), "not a path of the driver's");
  DeletePath(path);
  LogCallback("EngDeletePath", Pointer(po), "");
}

ULONG CLIPOBJ_cEnumStart(CLIPOBJ* co, BOOL all, ULONG type, ULONG direction, ULONG limit) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Clip* clip = Find(State().clips, co);
  std::string args = Format("%s all=%d type=%u direction=%u limit=%u", Pointer(co).c_str(), all, type, direction, limit);
  if (clip == nullptr || type != CT_RECTANGLES || direction > CD_ANY) {
    Refuse("CLIPOBJ_cEnumStart", args, clip == nullptr ? "not an engine clip" : "unknown type or direction");
    return 0xFFFFFFFF;
  }
  const bool leftwards = direction != CD_ANY && (direction & 1), upwards = direction != CD_ANY && (direction & 2);
  std::stable_sort(clip->rects.begin(), clip->rects.end(), [&](const RECTL& a, const RECTL& b) {
    if (a.top != b.top) return upwards ? a.top > b.top : a.top < b.top;
    return leftwards ? a.left > b.left : a.left < b.left;
  });
  clip->next = 0;
  clip->enumStarted = true;
  const ULONG count = static_cast<ULONG>(clip->rects.size());
  const ULONG answer = (limit != 0 && count > limit) ? 0xFFFFFFFF : count;
  LogCallback("CLIPOBJ_cEnumStart", args, Format("%u", answer));
  return answer;
}

BOOL CLIPOBJ_bEnum(CLIPOBJ* co, ULONG cj, ULONG* buffer) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Clip* clip = Find(State().clips, co);
  std::string args = Format("%s cj=%u", Pointer(co).c_str(), cj);
  if (buffer != nullptr && cj >= sizeof(ULONG)) buffer[0] = 0;
  if (clip == nullptr || buffer == nullptr) {
    Refuse("CLIPOBJ_bEnum", args, "not an engine clip or no buffer");
    return FALSE;
  }
  if (cj < sizeof(ENUMRECTS)) {
    Refuse("CLIPOBJ_bEnum", args, "buffer shorter than one rectangle");
    return FALSE;
  }
  if (!clip->enumStarted || clip->next >= clip->rects.size()) {
    Refuse("CLIPOBJ_bEnum", args, clip->enumStarted ? "enumeration past the end" : "enumeration not started");
    clip->next = clip->rects.size();
    return FALSE;
  }
  auto* out = reinterpret_cast<ENUMRECTS*>(buffer);
  const size_t capacity = (cj - sizeof(ULONG)) / sizeof(RECTL);
  size_t n = std::min(capacity, clip->rects.size() - clip->next);
  for (size_t i = 0; i < n; ++i) std::memcpy(&out->arcl[0] + i, &clip->rects[clip->next + i], sizeof(RECTL));
  out->c = static_cast<ULONG>(n);
  clip->next += n;
  const BOOL more = clip->next < clip->rects.size();
  LogCallback("CLIPOBJ_bEnum", args, Format("%s c=%zu", more ? "TRUE" : "FALSE", n));
  return more;
}

PATHOBJ* CLIPOBJ_ppoGetPath(CLIPOBJ* co) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Clip* clip = Find(State().clips, co);
  if (clip == nullptr) {
    Refuse("CLIPOBJ_ppoGetPath", Pointer(co), "not an engine clip");
    return nullptr;
  }
  std::vector<Path::Batch> batches;
  std::vector<POINTFIX> points;
  auto addFigure = [&](const std::vector<POINTFIX>& figure) {
    if (figure.empty()) return;
    batches.push_back({PD_BEGINSUBPATH | PD_ENDSUBPATH | PD_CLOSEFIGURE, static_cast<ULONG>(points.size()),
                       static_cast<ULONG>(figure.size())});
    points.insert(points.end(), figure.begin(), figure.end());
  };
  if (clip->co.iDComplexity == DC_COMPLEX) {
    for (const auto& figure : clip->figures) addFigure(figure);
  } else {
    const RECTL& r = clip->co.rclBounds;
    addFigure({{r.left * 16, r.top * 16}, {r.right * 16, r.top * 16}, {r.right * 16, r.bottom * 16}, {r.left * 16, r.bottom * 16}});
  }
  Path* path = NewPathFromPoints(std::move(batches), std::move(points), 0);
  path->handedOut = true;
  LogCallback("CLIPOBJ_ppoGetPath", Pointer(co), Pointer(path));
  return &path->po;
}

PVOID BRUSHOBJ_pvAllocRbrush(BRUSHOBJ* bo, ULONG cj) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Brush* brush = Find(State().brushes, bo);
  std::string args = Format("%s cj=%u", Pointer(bo).c_str(), cj);
  if (brush == nullptr || cj == 0 || cj > kMaxRealization) {
    Refuse("BRUSHOBJ_pvAllocRbrush", args, brush == nullptr ? "not an engine brush" : "size out of range");
    return nullptr;
  }
  if (SimCallFails("BRUSHOBJ_pvAllocRbrush")) {
    LogCallback("BRUSHOBJ_pvAllocRbrush", args, "NULL");
    return nullptr;
  }
  // Poison-filled, so bytes the driver leaves unwritten show.
  constexpr BYTE kPoison = 0xCD;
  brush->blocks.emplace_back(new BYTE[cj]);
  std::memset(brush->blocks.back().get(), kPoison, cj);
  brush->blockSizes.push_back(cj);
  LogCallback("BRUSHOBJ_pvAllocRbrush", args, Pointer(brush->blocks.back().get()));
  return brush->blocks.back().get();
}

PVOID BRUSHOBJ_pvGetRbrush(BRUSHOBJ* bo) {
  Brush* brush = nullptr;
  {
    std::lock_guard<std::recursive_mutex> guard(State().lock);
    brush = Find(State().brushes, bo);
    if (brush == nullptr) {
      Refuse("BRUSHOBJ_pvGetRbrush", Pointer(bo), "not an engine brush");
      return nullptr;
    }
    if (bo->pvRbrush != nullptr || brush->realizeFailed || brush->realizing || brush->desc.kind == BrushKind::Solid ||
        brush->desc.kind == BrushKind::None) {
      LogCallback("BRUSHOBJ_pvGetRbrush", Pointer(bo), Pointer(bo->pvRbrush));
      return bo->pvRbrush;
    }
  }
  const BOOL realized = RealizeBrushThroughDriver(brush);
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (!realized || brush->blocks.empty()) {
    // A driver that answers TRUE without allocating has no realisation either.
    brush->realizeFailed = true;
    LogCallback("BRUSHOBJ_pvGetRbrush", Pointer(bo), "NULL");
    return nullptr;
  }
  bo->pvRbrush = brush->blocks.back().get();
  LogCallback("BRUSHOBJ_pvGetRbrush", Pointer(bo), Pointer(bo->pvRbrush));
  return bo->pvRbrush;
}

ULONG BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* bo) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Brush* brush = Find(State().brushes, bo);
  if (brush == nullptr) {
    Refuse("BRUSHOBJ_ulGetBrushColor", Pointer(bo), "not an engine brush");
    return 0xFFFFFFFF;
  }
  const ULONG answer = brush->desc.kind == BrushKind::Solid ? brush->desc.colour & 0xFFFFFF : 0xFFFFFFFF;
  LogCallback("BRUSHOBJ_ulGetBrushColor", Pointer(bo), Format("0x%06X", answer));
  return answer;
}

ULONG XLATEOBJ_iXlate(XLATEOBJ* xo, ULONG colour) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (xo == nullptr) return colour;
  Xlate* xlate = Find(State().xlates, xo);
  if (xlate == nullptr) {
    Refuse("XLATEOBJ_iXlate", Pointer(xo), "not an engine translation");
    return 0xFFFFFFFF;
  }
  const ULONG answer = TranslateColour(xlate, colour);
  if (answer == 0xFFFFFFFF) {
    Refuse("XLATEOBJ_iXlate", Format("%s colour=0x%X", Pointer(xo).c_str(), colour), "index outside the table");
    return answer;
  }
  // Drivers translate pixel by pixel: a run of calls on one translation is one log entry.
  if (!State().keepRecords) return answer;
  std::vector<SimEngineCall>& log = State().log;
  if (!log.empty() && log.back().name == "XLATEOBJ_iXlate" && log.back().args.rfind(Pointer(xo), 0) == 0) {
    log.back().result = Format("0x%06X (last of a run)", answer);
    return answer;
  }
  LogCallback("XLATEOBJ_iXlate", Format("%s colour=0x%X", Pointer(xo).c_str(), colour), Format("0x%06X", answer));
  return answer;
}

ULONG XFORMOBJ_iGetXform(XFORMOBJ* xo, XFORML* out) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Xform* xform = Find(State().xforms, xo);
  if (xform == nullptr) {
    Refuse("XFORMOBJ_iGetXform", Pointer(xo), "not an engine transform");
    return DDI_ERROR;
  }
  const XFORML& m = xform->m;
  if (out != nullptr) *out = m;
  ULONG kind = GX_GENERAL;
  if (m.eM12 == 0 && m.eM21 == 0) {
    if (m.eM11 == 1 && m.eM22 == 1)
      kind = (m.eDx == 0 && m.eDy == 0) ? GX_IDENTITY : GX_OFFSET;
    else
      kind = GX_SCALE;
  }
  LogCallback("XFORMOBJ_iGetXform", Pointer(xo), Format("%u", kind));
  return kind;
}

BOOL XFORMOBJ_bApplyXform(XFORMOBJ* xo, ULONG mode, ULONG count, PVOID in, PVOID out) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Xform* xform = Find(State().xforms, xo);
  std::string args = Format("%s mode=%u count=%u", Pointer(xo).c_str(), mode, count);
  if (xform == nullptr || in == nullptr || out == nullptr || count > kMaxTransformPoints || mode > XF_INV_FXTOL) {
    Refuse("XFORMOBJ_bApplyXform", args, xform == nullptr ? "not an engine transform" : "bad mode, count or buffer");
    return FALSE;
  }
  const XFORML& m = xform->m;
  const double det = static_cast<double>(m.eM11) * m.eM22 - static_cast<double>(m.eM12) * m.eM21;
  const bool inverse = mode == XF_INV_LTOL || mode == XF_INV_FXTOL;
  if (inverse && det == 0) {
    Refuse("XFORMOBJ_bApplyXform", args, "transform has no inverse");
    return FALSE;
  }
  auto* src = static_cast<const POINTL*>(in);
  auto* dst = static_cast<POINTL*>(out);
  for (ULONG i = 0; i < count; ++i) {
    double x = src[i].x, y = src[i].y;
    if (mode == XF_INV_FXTOL) x /= 16.0, y /= 16.0;
    double rx, ry;
    if (!inverse) {
      rx = x * m.eM11 + y * m.eM21 + m.eDx;
      ry = x * m.eM12 + y * m.eM22 + m.eDy;
    } else {
      x -= m.eDx, y -= m.eDy;
      rx = (x * m.eM22 - y * m.eM21) / det;
      ry = (y * m.eM11 - x * m.eM12) / det;
    }
    if (mode == XF_LTOFX) rx *= 16.0, ry *= 16.0;
    dst[i] = {static_cast<LONG>(std::lround(rx)), static_cast<LONG>(std::lround(ry))};
  }
  LogCallback("XFORMOBJ_bApplyXform", args, "TRUE");
  return TRUE;
}

VOID STROBJ_vEnumStart(STROBJ* so) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  StringObj* string = Find(State().strings, so);
  if (string == nullptr) return Refuse("STROBJ_vEnumStart", Pointer(so), "not an engine string");
  string->next = 0;
  string->ended = false;
  LogCallback("STROBJ_vEnumStart", Pointer(so), "");
}

BOOL STROBJ_bEnum(STROBJ* so, ULONG* count, GLYPHPOS** glyphs) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  StringObj* string = Find(State().strings, so);
  if (count != nullptr) *count = 0;
  if (glyphs != nullptr) *glyphs = nullptr;
  if (string == nullptr || count == nullptr || glyphs == nullptr) {
    Refuse("STROBJ_bEnum", Pointer(so), string == nullptr ? "not an engine string" : "no output");
    return FALSE;
  }
  if (string->ended || string->next >= string->glyphs.size()) {
    string->ended = true;
    Refuse("STROBJ_bEnum", Pointer(so), "enumeration past the end");
    return FALSE;
  }
  const size_t batch = so->pgp != nullptr ? string->glyphs.size() : kStringBatch;
  const size_t n = std::min(batch, string->glyphs.size() - string->next);
  *glyphs = string->glyphs.data() + string->next;
  *count = static_cast<ULONG>(n);
  string->next += n;
  const BOOL more = string->next < string->glyphs.size();
  if (!more) string->ended = true;
  LogCallback("STROBJ_bEnum", Pointer(so), Format("%s count=%zu", more ? "TRUE" : "FALSE", n));
  return more;
}

namespace engine {
// Strings longer than one batch go out without pgp, to be enumerated.
bool StringNeedsEnumeration(size_t glyphs) { return glyphs > kStringBatch; }
}  // namespace engine
