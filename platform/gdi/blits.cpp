// Blits with ternary raster operations: PatBlt, BitBlt, StretchBlt (rules in drawing.h).
#include <algorithm>
#include <cstdlib>

#include "platform/base/errors.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/drawn_internal.h"
#include "platform/gdi/raster.h"
#include "platform/kernel/lasterror.h"

namespace gdi {
namespace {

bool UsesSource(BYTE code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool UsesPattern(BYTE code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

}  // namespace

void Blit(Dc& dc, LONG x, LONG y, LONG width, LONG height, const SourceImage& source, LONG xSrc, LONG ySrc,
          LONG srcWidth, LONG srcHeight, DWORD rop) {
  Target t;
  if (!TargetOf(dc, t) || width == 0 || height == 0) return;
  const BYTE code = static_cast<BYTE>(rop >> 16);
  const bool withSource = UsesSource(code) && source.top != nullptr;
  if (UsesSource(code) && source.top == nullptr) return;
  Paint pattern;
  const bool withPattern = UsesPattern(code);
  if (withPattern && !PaintOfBrush(dc, dc.state.brush, pattern)) return;
  // A rectangle of negative size reaches back from its corner (x + width .. x - 1); a negative
  // size on one side only mirrors.
  const bool mirrorX = (width < 0) != (srcWidth < 0), mirrorY = (height < 0) != (srcHeight < 0);
  const POINT corner = ToSurface(dc, POINT{width < 0 ? x + width : x, height < 0 ? y + height : y});
  const LONG w = std::abs(width), h = std::abs(height);
  const LONG sw = std::abs(srcWidth), sh = std::abs(srcHeight);
  const LONG sx0 = srcWidth < 0 ? xSrc + srcWidth : xSrc, sy0 = srcHeight < 0 ? ySrc + srcHeight : ySrc;
  const RECT box{corner.x, corner.y, corner.x + w, corner.y + h};
  const std::vector<RECT> parts = ClipRects(t.clip, box);
  if (parts.empty()) return;
  // The source rows and columns each destination pixel reads.
  auto sourceIndex = [](LONG i, LONG n, LONG sn, bool mirror) {
    const long long k = (2LL * i + 1) * sn / (2LL * n);
    return static_cast<LONG>(mirror ? sn - 1 - k : k);
  };
  // The source is read before anything is written (it may be the destination), for the
  // visible part of the destination only.
  const RECT vis = BoundsOf(parts);
  const LONG vw = vis.right - vis.left;
  std::vector<std::uint32_t> copy;
  std::vector<bool> present;
  if (withSource) {
    copy.assign(static_cast<size_t>(vw) * (vis.bottom - vis.top), 0);
    present.assign(copy.size(), false);
    for (LONG py = vis.top; py < vis.bottom; ++py) {
      const LONG sy = sy0 + sourceIndex(py - box.top, h, sh, mirrorY);
      if (sy < 0 || sy >= source.height) continue;
      for (LONG px = vis.left; px < vis.right; ++px) {
        const LONG sx = sx0 + sourceIndex(px - box.left, w, sw, mirrorX);
        if (sx < 0 || sx >= source.width) continue;
        const size_t at = static_cast<size_t>(py - vis.top) * vw + (px - vis.left);
        copy[at] = source.top[sy * source.stride + sx] & 0xFFFFFF;
        present[at] = true;
      }
    }
  }
  for (const RECT& part : parts)
    for (LONG py = part.top; py < part.bottom; ++py)
      for (LONG px = part.left; px < part.right; ++px) {
        const size_t at = static_cast<size_t>(py - vis.top) * vw + (px - vis.left);
        if (withSource && !present[at]) continue;
        std::uint32_t p = 0;
        if (withPattern && !PatternPixel(pattern, px, py, p)) continue;
        std::uint32_t* d = t.Pixel(px, py);
        *d = ApplyRop3(code, p, withSource ? copy[at] : 0, *d & 0xFFFFFF);
      }
}

// The pixels of a DC as a blit's source (logical point `at` moved to surface pixels).
bool SourceOf(Dc& dc, SourceImage& image, LONG& x, LONG& y) {
  Target t;
  if (!TargetOf(dc, t)) return false;
  image = SourceImage{t.top, t.stride, t.width, t.height};
  const POINT p = ToSurface(dc, POINT{x, y});
  x = p.x;
  y = p.y;
  return true;
}

}  // namespace gdi

using namespace gdi;

BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (UsesSource(static_cast<BYTE>(rop >> 16))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Blit(*dc, x, y, width, height, SourceImage{}, 0, 0, width, height, rop);
  return TRUE;
}

BOOL StretchBlt(HDC handle, int x, int y, int width, int height, HDC sourceDc, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  Dc* src = sourceDc != nullptr ? Find<Dc>(sourceDc) : nullptr;
  const bool needsSource = UsesSource(static_cast<BYTE>(rop >> 16));
  if (dc == nullptr || (needsSource && src == nullptr)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  SourceImage image;
  LONG sx = xSrc, sy = ySrc;
  if (needsSource && !SourceOf(*src, image, sx, sy)) return FALSE;
  Blit(*dc, x, y, width, height, image, sx, sy, srcWidth, srcHeight, rop);
  if (needsSource && src->memory && src->state.bitmap != DefaultBitmap()) {
    const POINT a = ToSurface(*dc, POINT{x, y}), b = ToSurface(*dc, POINT{x + width, y + height});
    NoteDrawn(*dc, GdiDrawn{GdiDrawn::Bitmap, {}, src->state.bitmap, RECT{a.x, a.y, b.x, b.y}});
  }
  return TRUE;
}

BOOL BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int xSrc, int ySrc, DWORD rop) {
  return StretchBlt(dc, x, y, width, height, source, xSrc, ySrc, width, height, rop);
}
