// Icons drawn with their masks (rules in drawing.h).
#include <algorithm>
#include <array>

#include "platform/base/errors.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/drawn_internal.h"
#include "platform/gdi/raster.h"
#include "platform/kernel/lasterror.h"

using namespace gdi;

namespace {

constexpr std::array<std::uint32_t, 16> kStandardColours{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

std::uint32_t IndexedColour(unsigned index, int bits) {
  if (bits == 1) return index != 0 ? 0xFFFFFF : 0;
  if (index < 16) return kStandardColours[index];
  constexpr unsigned kCubeEnd = 16 + 6 * 6 * 6;
  if (index < kCubeEnd) {
    const unsigned i = index - 16;
    return ((i / 36) * 51 << 16) | (((i / 6) % 6) * 51 << 8) | ((i % 6) * 51);
  }
  const unsigned grey = 8 + 10 * (index - kCubeEnd);
  return (grey << 16) | (grey << 8) | grey;
}

size_t RowBytes(int width, int bits) { return (static_cast<size_t>(width) * bits + 15) / 16 * 2; }

bool MaskBit(const Icon& icon, int x, int y) {
  const BYTE* row = icon.andBits.data() + RowBytes(icon.width, 1) * static_cast<size_t>(y);
  return (row[x / 8] >> (7 - x % 8)) & 1;
}

std::uint32_t ImagePixel(const Icon& icon, int x, int y) {
  const int bits = icon.bitsPixel;
  const BYTE* row = icon.xorBits.data() + RowBytes(icon.width, bits) * static_cast<size_t>(y);
  switch (bits) {
    case 1: return IndexedColour((row[x / 8] >> (7 - x % 8)) & 1, 1);
    case 4: return IndexedColour((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF, 4);
    case 8: return IndexedColour(row[x], 8);
    case 16: {
      const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
      auto five = [](unsigned c) { return (c << 3) | (c >> 2); };
      return (five((v >> 10) & 31) << 16) | (five((v >> 5) & 31) << 8) | five(v & 31);
    }
    case 24: return (std::uint32_t{row[3 * x + 2]} << 16) | (row[3 * x + 1] << 8) | row[3 * x];
    case 32: return (std::uint32_t{row[4 * x + 2]} << 16) | (row[4 * x + 1] << 8) | row[4 * x];
    default: return 0;  // other depths have no colours of their own
  }
}

}  // namespace

BOOL DrawIconEx(HDC handle, int x, int y, HICON icon, int width, int height, UINT, HBRUSH brush, UINT flags) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const Icon* ic = Find<Icon>(icon);
  if (ic == nullptr) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  if ((flags & DI_NORMAL) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const bool defaultSize = (flags & DI_DEFAULTSIZE) != 0;
  const int w = width != 0 ? std::abs(width) : defaultSize ? kGdiIconSize : ic->width;
  const int h = height != 0 ? std::abs(height) : defaultSize ? kGdiIconSize : ic->height;
  Target t;
  if (!TargetOf(*dc, t)) return TRUE;
  const POINT corner = ToSurface(*dc, POINT{x, y});
  const RECT box{corner.x, corner.y, corner.x + w, corner.y + h};
  NoteDrawn(*dc, GdiDrawn{GdiDrawn::Icon, {}, icon, box});
  if (brush != nullptr) {
    Paint fill;
    if (PaintOfBrush(*dc, brush, fill)) {
      fill.rop2 = R2_COPYPEN;
      FillBox(t, box, fill);
    }
  }
  for (const RECT& part : ClipRects(t.clip, box))
    for (LONG py = part.top; py < part.bottom; ++py) {
      const int sy = static_cast<int>((2LL * (py - box.top) + 1) * ic->height / (2LL * h));
      for (LONG px = part.left; px < part.right; ++px) {
        const int sx = static_cast<int>((2LL * (px - box.left) + 1) * ic->width / (2LL * w));
        std::uint32_t* d = t.Pixel(px, py);
        const std::uint32_t mask = MaskBit(*ic, sx, sy) ? 0xFFFFFF : 0;
        switch (flags & DI_NORMAL) {
          case DI_MASK: *d = mask; break;
          case DI_IMAGE: *d = ImagePixel(*ic, sx, sy); break;
          default: *d = ((*d & mask) ^ ImagePixel(*ic, sx, sy)) & 0xFFFFFF; break;
        }
      }
    }
  return TRUE;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE); }
