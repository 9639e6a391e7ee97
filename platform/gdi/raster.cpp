// Painting runs of pixels, raster operations and region arithmetic (raster.h).
#include "platform/gdi/raster.h"

#include <algorithm>

namespace gdi {

bool Target::Visible(LONG x, LONG y) const {
  for (const RECT& r : clip)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

namespace {

RECT Intersect(const RECT& a, const RECT& b) {
  return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

// `a` without `b`: up to four rectangles.
void Subtract(const RECT& a, const RECT& b, std::vector<RECT>& out) {
  const RECT i = Intersect(a, b);
  if (IsEmpty(i)) {
    out.push_back(a);
    return;
  }
  if (a.top < i.top) out.push_back(RECT{a.left, a.top, a.right, i.top});
  if (i.bottom < a.bottom) out.push_back(RECT{a.left, i.bottom, a.right, a.bottom});
  if (a.left < i.left) out.push_back(RECT{a.left, i.top, i.left, i.bottom});
  if (i.right < a.right) out.push_back(RECT{i.right, i.top, a.right, i.bottom});
}

std::vector<RECT> Difference(const std::vector<RECT>& a, const std::vector<RECT>& b) {
  std::vector<RECT> rest = a;
  for (const RECT& cut : b) {
    std::vector<RECT> next;
    for (const RECT& r : rest) Subtract(r, cut, next);
    rest = std::move(next);
  }
  return rest;
}

// Joins rectangles that share a whole edge, so that a rectangular result is one rectangle.
void Merge(std::vector<RECT>& rects) {
  bool joined = true;
  while (joined) {
    joined = false;
    for (size_t i = 0; i < rects.size() && !joined; ++i)
      for (size_t j = i + 1; j < rects.size() && !joined; ++j) {
        RECT& a = rects[i];
        const RECT& b = rects[j];
        if (a.top == b.top && a.bottom == b.bottom && (a.right == b.left || b.right == a.left)) {
          a.left = std::min(a.left, b.left);
          a.right = std::max(a.right, b.right);
          joined = true;
        } else if (a.left == b.left && a.right == b.right && (a.bottom == b.top || b.bottom == a.top)) {
          a.top = std::min(a.top, b.top);
          a.bottom = std::max(a.bottom, b.bottom);
          joined = true;
        }
        if (joined) rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
      }
  }
}

}  // namespace

std::vector<RECT> CombineRects(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode) {
  std::vector<RECT> out;
  switch (mode) {
    case RGN_AND:
      for (const RECT& x : a)
        for (const RECT& y : b)
          if (RECT i = Intersect(x, y); !IsEmpty(i)) out.push_back(i);
      break;
    case RGN_OR:
      out = a;
      for (const RECT& r : Difference(b, a)) out.push_back(r);
      break;
    case RGN_XOR:
      out = Difference(a, b);
      for (const RECT& r : Difference(b, a)) out.push_back(r);
      break;
    case RGN_DIFF: out = Difference(a, b); break;
    default: out = a; break;
  }
  std::erase_if(out, [](const RECT& r) { return IsEmpty(r); });
  Merge(out);
  return out;
}

std::vector<RECT> ClipRects(const std::vector<RECT>& rects, const RECT& box) { return CombineRects(rects, {box}, RGN_AND); }

void OffsetRects(std::vector<RECT>& rects, LONG dx, LONG dy) {
  for (RECT& r : rects) r = RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

RECT BoundsOf(const std::vector<RECT>& rects) {
  if (rects.empty()) return RECT{0, 0, 0, 0};
  RECT b = rects[0];
  for (const RECT& r : rects) b = RECT{std::min(b.left, r.left), std::min(b.top, r.top), std::max(b.right, r.right), std::max(b.bottom, r.bottom)};
  return b;
}

int KindOf(const std::vector<RECT>& rects) {
  return rects.empty() ? NULLREGION : rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool TargetOf(Dc& dc, Target& target) {
  if (dc.printer != nullptr) return false;  // a printer DC has no pixels of its own
  RECT bounds;
  if (dc.memory) {
    Bitmap* bitmap = Find<Bitmap>(dc.state.bitmap);
    if (bitmap == nullptr || bitmap->pixels.empty()) return false;
    target.top = bitmap->Row(0);
    target.stride = bitmap->bottomUp ? -static_cast<std::ptrdiff_t>(bitmap->width) : bitmap->width;
    target.width = bitmap->width;
    target.height = bitmap->height;
    target.origin = POINT{0, 0};
    bounds = RECT{0, 0, bitmap->width, bitmap->height};
  } else {
    target.top = dc.surface.pixels;
    target.stride = dc.surface.stride;
    target.width = dc.surface.width;
    target.height = dc.surface.height;
    target.origin = dc.origin;
    bounds = Intersect(dc.bounds, RECT{0, 0, dc.surface.width, dc.surface.height});
  }
  if (dc.state.hasClip) {
    std::vector<RECT> clip = dc.state.clip.rects;
    OffsetRects(clip, target.origin.x, target.origin.y);
    target.clip = ClipRects(clip, bounds);
  } else if (!IsEmpty(bounds)) {
    target.clip = {bounds};
  } else {
    target.clip.clear();
  }
  return true;
}

POINT ToSurface(const Dc& dc, POINT p) {
  const DcState& s = dc.state;
  const LONG x = p.x - s.windowOrg.x + s.viewportOrg.x + (dc.memory ? 0 : dc.origin.x);
  const LONG y = p.y - s.windowOrg.y + s.viewportOrg.y + (dc.memory ? 0 : dc.origin.y);
  return POINT{x, y};
}

bool PaintOfBrush(const Dc& dc, HGDIOBJ handle, Paint& paint) {
  const Brush* brush = Find<Brush>(handle);
  if (brush == nullptr || brush->style == BS_NULL) return false;
  paint.color = ToPixel(brush->color);
  paint.hatched = brush->style == BS_HATCHED;
  paint.hatch = brush->hatch;
  paint.background = ToPixel(dc.state.bkColor);
  paint.opaque = dc.state.bkMode != TRANSPARENT;
  paint.brushOrg = POINT{dc.state.brushOrg.x + (dc.memory ? 0 : dc.origin.x), dc.state.brushOrg.y + (dc.memory ? 0 : dc.origin.y)};
  paint.rop2 = dc.state.rop2;
  return true;
}

bool PatternPixel(const Paint& paint, LONG x, LONG y, std::uint32_t& out) {
  if (!paint.hatched) {
    out = paint.color;
    return true;
  }
  const LONG px = ((x - paint.brushOrg.x) % 8 + 8) % 8, py = ((y - paint.brushOrg.y) % 8 + 8) % 8;
  const bool h = py == 0, v = px == 0, f = px == py, b = px + py == 7;
  bool line = false;
  switch (paint.hatch) {
    case HS_HORIZONTAL: line = h; break;
    case HS_VERTICAL: line = v; break;
    case HS_FDIAGONAL: line = f; break;
    case HS_BDIAGONAL: line = b; break;
    case HS_CROSS: line = h || v; break;
    case HS_DIAGCROSS: line = f || b; break;
    default: break;
  }
  if (line) {
    out = paint.color;
    return true;
  }
  out = paint.background;
  return paint.opaque;
}

std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t destination) {
  const unsigned table = static_cast<unsigned>(rop2 - 1) & 0xF;
  std::uint32_t result = 0;
  for (unsigned index = 0; index < 4; ++index)
    if (table & (1u << index)) result |= ((index & 2) ? pen : ~pen) & ((index & 1) ? destination : ~destination);
  return result & 0xFFFFFF;
}

std::uint32_t ApplyRop3(BYTE code, std::uint32_t pattern, std::uint32_t source, std::uint32_t destination) {
  switch (code) {
    case 0xCC: return source;
    case 0xF0: return pattern;
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFF;
    default: break;
  }
  std::uint32_t result = 0;
  for (unsigned index = 0; index < 8; ++index)
    if (code & (1u << index))
      result |= ((index & 4) ? pattern : ~pattern) & ((index & 2) ? source : ~source) & ((index & 1) ? destination : ~destination);
  return result & 0xFFFFFF;
}

void FillSpan(const Target& target, LONG y, LONG x0, LONG x1, const Paint& paint) {
  for (const RECT& r : target.clip) {
    if (y < r.top || y >= r.bottom) continue;
    const LONG from = std::max(x0, r.left), to = std::min(x1, r.right);
    std::uint32_t* p = target.Pixel(from, y);
    for (LONG x = from; x < to; ++x, ++p) {
      std::uint32_t color;
      if (!PatternPixel(paint, x, y, color)) continue;
      *p = paint.rop2 == R2_COPYPEN ? color : ApplyRop2(paint.rop2, color, *p & 0xFFFFFF);
    }
  }
}

void FillBox(const Target& target, const RECT& box, const Paint& paint) {
  const RECT visible = BoundsOf(target.clip);
  const LONG bottom = std::min(box.bottom, visible.bottom);
  for (LONG y = std::max(box.top, visible.top); y < bottom; ++y) FillSpan(target, y, box.left, box.right, paint);
}

}  // namespace gdi
