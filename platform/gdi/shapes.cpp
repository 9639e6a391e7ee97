// Lines, rectangles, ellipses, polygons and fills into a DC's pixels (rules in drawing.h).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <span>

#include "platform/base/errors.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/printer_device.h"
#include "platform/gdi/raster.h"
#include "platform/kernel/lasterror.h"

using namespace gdi;

namespace {

HBRUSH (*systemBrushSource)(int) = nullptr;

// A pen ready to draw: its paint, width and dash pattern (empty for solid).
struct PenPaint {
  Paint paint;
  Paint gap;      // the background colour of dash gaps
  bool gaps = false;  // gaps are painted (OPAQUE mode)
  LONG width = 1;
  std::span<const int> dashes;
  bool insideFrame = false;
};

constexpr std::array kDash{18, 6};
constexpr std::array kDot{3, 3};
constexpr std::array kDashDot{9, 6, 3, 6};
constexpr std::array kDashDotDot{9, 3, 3, 3, 3, 3};

// The DC's pen; false for the null pen.
bool PenOf(const Dc& dc, PenPaint& pen) {
  const Pen* p = Find<Pen>(dc.state.pen);
  if (p == nullptr || p->style == PS_NULL) return false;
  pen.paint.color = ToPixel(p->color);
  pen.paint.rop2 = dc.state.rop2;
  pen.gap = pen.paint;
  pen.gap.color = ToPixel(dc.state.bkColor);
  pen.gaps = dc.state.bkMode == OPAQUE;
  pen.width = p->width;
  pen.insideFrame = p->style == PS_INSIDEFRAME;
  if (p->width == 1) {
    switch (p->style) {
      case PS_DASH: pen.dashes = kDash; break;
      case PS_DOT: pen.dashes = kDot; break;
      case PS_DASHDOT: pen.dashes = kDashDot; break;
      case PS_DASHDOTDOT: pen.dashes = kDashDotDot; break;
      default: break;
    }
  }
  return true;
}

// Whether the pixel `step` of a line is in a dash (true) or a gap.
bool InDash(std::span<const int> dashes, long step) {
  if (dashes.empty()) return true;
  int total = 0;
  for (int d : dashes) total += d;
  long at = step % total;
  for (size_t i = 0; i < dashes.size(); ++i) {
    if (at < dashes[i]) return i % 2 == 0;
    at -= dashes[i];
  }
  return true;
}

void Stamp(const Target& t, LONG x, LONG y, LONG width, const Paint& paint) {
  if (width <= 1) {
    FillSpan(t, y, x, x + 1, paint);
    return;
  }
  const LONG x0 = x - width / 2, y0 = y - width / 2;
  for (LONG row = y0; row < y0 + width; ++row) FillSpan(t, row, x0, x0 + width, paint);
}

// The Bresenham line from a up to but not including b (surface pixels).
void DrawLine(const Target& t, POINT a, POINT b, const PenPaint& pen) {
  // Far-away ends are brought to the surface's neighbourhood first.
  constexpr long long kReach = 1 << 16;
  const long long span = std::max(std::llabs(static_cast<long long>(b.x) - a.x), std::llabs(static_cast<long long>(b.y) - a.y));
  if (span > kReach) {
    const double ax = a.x, ay = a.y, dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double lo[2] = {-double(pen.width) - 2, -double(pen.width) - 2};
    const double hi[2] = {double(t.width) + pen.width + 2, double(t.height) + pen.width + 2};
    double t0 = 0, t1 = 1;
    const double p[2] = {ax, ay}, d[2] = {dx, dy};
    for (int k = 0; k < 2; ++k) {
      if (d[k] == 0) {
        if (p[k] < lo[k] || p[k] > hi[k]) return;
        continue;
      }
      double e0 = (lo[k] - p[k]) / d[k], e1 = (hi[k] - p[k]) / d[k];
      if (e0 > e1) std::swap(e0, e1);
      t0 = std::max(t0, e0);
      t1 = std::min(t1, e1);
    }
    if (t0 >= t1) return;
    a = POINT{static_cast<LONG>(std::lround(ax + t0 * dx)), static_cast<LONG>(std::lround(ay + t0 * dy))};
    b = POINT{static_cast<LONG>(std::lround(ax + t1 * dx)), static_cast<LONG>(std::lround(ay + t1 * dy))};
  }
  const long long dx = std::llabs(static_cast<long long>(b.x) - a.x), dy = -std::llabs(static_cast<long long>(b.y) - a.y);
  const LONG sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  long long err = dx + dy;
  LONG x = a.x, y = a.y;
  for (long step = 0; x != b.x || y != b.y; ++step) {
    if (InDash(pen.dashes, step))
      Stamp(t, x, y, pen.width, pen.paint);
    else if (pen.gaps)
      Stamp(t, x, y, 1, pen.gap);
    const long long e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

// Runs `draw` with the live DC's target under the lock, or `print` for a printer DC; FALSE for
// a bad DC.
template <class F, class P>
BOOL Draw(HDC handle, F draw, P print) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (dc->printer != nullptr) return print(*dc);
  Target target;
  if (!TargetOf(*dc, target)) return TRUE;
  return draw(*dc, target);
}

template <class F>
BOOL Draw(HDC handle, F draw) {
  return Draw(handle, draw, [](Dc&) { return TRUE; });
}

// The surface rectangle of a logical one, normalised.
RECT SurfaceRect(const Dc& dc, LONG left, LONG top, LONG right, LONG bottom) {
  const POINT a = ToSurface(dc, POINT{std::min(left, right), std::min(top, bottom)});
  const POINT b = ToSurface(dc, POINT{std::max(left, right), std::max(top, bottom)});
  return RECT{a.x, a.y, b.x, b.y};
}

// The fill of a polygon (surface points) by pixel centres.
void FillPolygon(const Target& t, std::span<const POINT> points, int mode, const Paint& paint) {
  LONG top = points[0].y, bottom = points[0].y;
  for (const POINT& p : points) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  const RECT visible = BoundsOf(t.clip);
  top = std::max(top, visible.top);
  bottom = std::min(bottom, visible.bottom);
  struct Crossing {
    double x;
    int direction;
  };
  std::vector<Crossing> crossings;
  for (LONG y = top; y < bottom; ++y) {
    const double yc = y + 0.5;
    crossings.clear();
    for (size_t i = 0; i < points.size(); ++i) {
      const POINT& a = points[i];
      const POINT& b = points[(i + 1) % points.size()];
      if (a.y == b.y) continue;
      const bool down = a.y < b.y;
      const double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
      if (yc < y0 || yc >= y1) continue;
      crossings.push_back({a.x + (yc - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y), down ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].direction;
      const bool inside = mode == WINDING ? winding != 0 : i % 2 == 0;
      if (!inside) continue;
      const LONG x0 = static_cast<LONG>(std::ceil(crossings[i].x - 0.5));
      const LONG x1 = static_cast<LONG>(std::ceil(crossings[i + 1].x - 0.5));
      FillSpan(t, y, x0, x1, paint);
    }
  }
}

void Outline(const Target& t, std::span<const POINT> points, bool closed, const PenPaint& pen) {
  for (size_t i = 0; i + 1 < points.size(); ++i) DrawLine(t, points[i], points[i + 1], pen);
  if (closed && points.size() > 1) DrawLine(t, points.back(), points.front(), pen);
}

std::vector<POINT> ToSurface(const Dc& dc, const POINT* points, int count) {
  std::vector<POINT> out(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) out[static_cast<size_t>(i)] = ToSurface(dc, points[i]);
  return out;
}

// A FillRect brush: a brush handle, or a system colour index + 1.
HBRUSH ResolveBrush(HBRUSH brush) {
  const auto value = reinterpret_cast<std::uintptr_t>(brush);
  constexpr std::uintptr_t kSystemColours = 31;
  if (value >= 1 && value <= kSystemColours && systemBrushSource != nullptr) return systemBrushSource(static_cast<int>(value - 1));
  return brush;
}

}  // namespace

void GdiSetSystemBrushSource(HBRUSH (*source)(int index)) { systemBrushSource = source; }

BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) return FALSE;
  if (previous != nullptr) *previous = dc->state.position;
  dc->state.position = POINT{x, y};
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC handle, LPPOINT position) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr || position == nullptr) return FALSE;
  *position = dc->state.position;
  return TRUE;
}

BOOL LineTo(HDC handle, int x, int y) {
  return Draw(handle, [x, y](Dc& dc, Target& t) {
    PenPaint pen;
    if (PenOf(dc, pen)) DrawLine(t, ToSurface(dc, dc.state.position), ToSurface(dc, POINT{x, y}), pen);
    dc.state.position = POINT{x, y};
    return TRUE;
  }, [x, y](Dc& dc) {
    const std::array line{ToSurface(dc, dc.state.position), ToSurface(dc, POINT{x, y})};
    dc.state.position = POINT{x, y};
    return dc.printer->lines(dc, line, false);
  });
}

BOOL Polyline(HDC handle, const POINT* points, int count) {
  if (points == nullptr || count < 2) return FALSE;
  return Draw(handle, [&](Dc& dc, Target& t) {
    PenPaint pen;
    if (PenOf(dc, pen)) Outline(t, ToSurface(dc, points, count), false, pen);
    return TRUE;
  }, [&](Dc& dc) { return dc.printer->lines(dc, ToSurface(dc, points, count), false); });
}

BOOL Polygon(HDC handle, const POINT* points, int count) {
  if (points == nullptr || count < 2) return FALSE;
  return Draw(handle, [&](Dc& dc, Target& t) {
    const std::vector<POINT> surface = ToSurface(dc, points, count);
    Paint brush;
    if (PaintOfBrush(dc, dc.state.brush, brush)) FillPolygon(t, surface, dc.state.polyFillMode, brush);
    PenPaint pen;
    if (PenOf(dc, pen)) Outline(t, surface, true, pen);
    return TRUE;
  }, [&](Dc& dc) { return dc.printer->polygon(dc, ToSurface(dc, points, count)); });
}

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
  return Draw(handle, [=](Dc& dc, Target& t) {
    const RECT r = SurfaceRect(dc, left, top, right, bottom);
    PenPaint pen;
    const bool framed = PenOf(dc, pen);
    Paint brush;
    if (PaintOfBrush(dc, dc.state.brush, brush))
      FillBox(t, framed ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1} : RECT{r.left, r.top, r.right - 1, r.bottom - 1}, brush);
    if (framed && !IsEmpty(r)) {
      const LONG inset = pen.insideFrame ? pen.width / 2 : 0;
      const LONG l = r.left + inset, tp = r.top + inset, rt = r.right - 1 - inset, bt = r.bottom - 1 - inset;
      const std::array corners{POINT{l, tp}, POINT{rt, tp}, POINT{rt, bt}, POINT{l, bt}};
      Outline(t, corners, true, pen);
      if (l == rt || tp == bt) Stamp(t, rt, bt, pen.width, pen.paint);
    }
    return TRUE;
  }, [=](Dc& dc) { return dc.printer->rectangle(dc, SurfaceRect(dc, left, top, right, bottom), false); });
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
  return Draw(handle, [=](Dc& dc, Target& t) {
    const RECT r = SurfaceRect(dc, left, top, right, bottom);
    if (IsEmpty(r)) return TRUE;
    PenPaint pen;
    const bool framed = PenOf(dc, pen);
    Paint brush;
    const bool filled = PaintOfBrush(dc, dc.state.brush, brush);
    const double cx = (r.left + r.right - 1) / 2.0, cy = (r.top + r.bottom - 1) / 2.0;
    const double rx = (r.right - r.left) / 2.0, ry = (r.bottom - r.top) / 2.0;
    const double ring = framed ? pen.width : 0;
    const double irx = rx - ring, iry = ry - ring;
    // The pixels x0 .. x1 - 1 of row y inside the ellipse of radii (ax, ay); false when none.
    auto range = [&](LONG y, double ax, double ay, LONG& x0, LONG& x1) {
      if (ax <= 0 || ay <= 0) return false;
      const double v = (y - cy) / ay;
      if (v * v > 1) return false;
      const double half = ax * std::sqrt(1 - v * v);
      x0 = static_cast<LONG>(std::ceil(cx - half));
      x1 = static_cast<LONG>(std::floor(cx + half)) + 1;
      return x0 < x1;
    };
    const RECT visible = BoundsOf(t.clip);
    for (LONG y = std::max(r.top, visible.top); y < std::min(r.bottom, visible.bottom); ++y) {
      LONG o0, o1, i0, i1;
      if (!range(y, rx, ry, o0, o1)) continue;
      const bool inner = range(y, irx, iry, i0, i1);
      if (filled && !framed) FillSpan(t, y, o0, o1, brush);
      if (filled && framed && inner) FillSpan(t, y, i0, i1, brush);
      if (!framed) continue;
      if (inner) {
        FillSpan(t, y, o0, i0, pen.paint);
        FillSpan(t, y, i1, o1, pen.paint);
      } else {
        FillSpan(t, y, o0, o1, pen.paint);
      }
    }
    return TRUE;
  }, [=](Dc& dc) { return dc.printer->rectangle(dc, SurfaceRect(dc, left, top, right, bottom), true); });
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brush) {
  if (rect == nullptr) return FALSE;
  brush = ResolveBrush(brush);
  return Draw(handle, [&](Dc& dc, Target& t) {
    Paint paint;
    if (!PaintOfBrush(dc, brush, paint)) return FALSE;
    paint.rop2 = R2_COPYPEN;
    FillBox(t, SurfaceRect(dc, rect->left, rect->top, rect->right, rect->bottom), paint);
    return TRUE;
  });
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brush) {
  if (rect == nullptr) return FALSE;
  brush = ResolveBrush(brush);
  return Draw(handle, [&](Dc& dc, Target& t) {
    Paint paint;
    if (!PaintOfBrush(dc, brush, paint)) return FALSE;
    paint.rop2 = R2_COPYPEN;
    const RECT r = SurfaceRect(dc, rect->left, rect->top, rect->right, rect->bottom);
    if (IsEmpty(r)) return TRUE;
    FillBox(t, RECT{r.left, r.top, r.right, r.top + 1}, paint);
    FillBox(t, RECT{r.left, r.bottom - 1, r.right, r.bottom}, paint);
    FillBox(t, RECT{r.left, r.top + 1, r.left + 1, r.bottom - 1}, paint);
    FillBox(t, RECT{r.right - 1, r.top + 1, r.right, r.bottom - 1}, paint);
    return TRUE;
  });
}

BOOL InvertRect(HDC handle, const RECT* rect) {
  if (rect == nullptr) return FALSE;
  return Draw(handle, [&](Dc& dc, Target& t) {
    Paint paint;
    paint.rop2 = R2_NOT;
    FillBox(t, SurfaceRect(dc, rect->left, rect->top, rect->right, rect->bottom), paint);
    return TRUE;
  });
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color) {
  COLORREF answer = CLR_INVALID;
  Draw(handle, [&](Dc& dc, Target& t) {
    const POINT p = ToSurface(dc, POINT{x, y});
    if (!t.Visible(p.x, p.y)) return FALSE;
    *t.Pixel(p.x, p.y) = ToPixel(color);
    answer = color & 0xFFFFFF;
    return TRUE;
  });
  return answer;
}

COLORREF GetPixel(HDC handle, int x, int y) {
  COLORREF answer = CLR_INVALID;
  Draw(handle, [&](Dc& dc, Target& t) {
    const POINT p = ToSurface(dc, POINT{x, y});
    if (!t.Visible(p.x, p.y)) return FALSE;
    answer = ToColor(*t.Pixel(p.x, p.y) & 0xFFFFFF);
    return TRUE;
  });
  return answer;
}
