// Surfaces and the engine's own drawing: device surfaces with their page bitmaps, engine
// bitmaps, and the punts a driver hands back (EngBitBlt, EngCopyBits, EngStretchBltROP,
// EngEraseSurface), drawn with raster operations into the target's pixels.
#include <algorithm>
#include <cstring>

#include "platform/engine/engine_state.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"

namespace engine {

HSURF SurfaceHandle(Surface* s) { return reinterpret_cast<HSURF>(s); }

namespace {

// The largest surface side and the largest pixel buffer the engine makes.
constexpr LONG kMaxSurfaceSide = 32768;
constexpr size_t kMaxSurfaceBytes = size_t{1} << 30;

int BitsPerPixel(ULONG format) {
  switch (format) {
    case BMF_1BPP: return 1;
    case BMF_4BPP: return 4;
    case BMF_8BPP: return 8;
    case BMF_16BPP: return 16;
    case BMF_24BPP: return 24;
    case BMF_32BPP: return 32;
    default: return 0;
  }
}

LONG RowBytes(LONG width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

Surface* FindSurfaceObject(const SURFOBJ* so) { return Find(State().surfaces, so); }

// A pixel of a surface that has pixels (an engine bitmap or a device's page bitmap), as stored.
bool ReadRaw(Surface* s, LONG x, LONG y, ULONG& value) {
  if (x < 0 || y < 0 || x >= s->so.sizlBitmap.cx || y >= s->so.sizlBitmap.cy) return false;
  const BYTE* row;
  ULONG format = s->so.iBitmapFormat;
  if (s->device) {
    row = PageBitmap(s) + static_cast<size_t>(y) * RowBytes(s->so.sizlBitmap.cx, 24);
    format = BMF_24BPP;
  } else {
    row = static_cast<const BYTE*>(s->so.pvScan0) + static_cast<ptrdiff_t>(y) * s->so.lDelta;
  }
  switch (format) {
    case BMF_1BPP: value = (row[x / 8] >> (7 - x % 8)) & 1; return true;
    case BMF_4BPP: value = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 0xF; return true;
    case BMF_8BPP: value = row[x]; return true;
    case BMF_16BPP: value = row[2 * x] | (row[2 * x + 1] << 8); return true;
    case BMF_24BPP: value = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16); return true;
    case BMF_32BPP: value = row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16); return true;
    default: return false;
  }
}

BYTE* TargetPixel(Surface* s, LONG x, LONG y) {
  if (s->device) return PageBitmap(s) + static_cast<size_t>(y) * RowBytes(s->so.sizlBitmap.cx, 24) + 3 * x;
  BYTE* row = static_cast<BYTE*>(s->so.pvScan0) + static_cast<ptrdiff_t>(y) * s->so.lDelta;
  return row + (s->so.iBitmapFormat == BMF_24BPP ? 3 * x : 4 * x);
}

bool WritableTarget(const Surface* s) {
  return s->device || s->so.iBitmapFormat == BMF_24BPP || s->so.iBitmapFormat == BMF_32BPP;
}

// A source pixel in the target's colour format.
ULONG SourceColour(Surface* src, XLATEOBJ* xo, LONG x, LONG y, bool& inside) {
  ULONG raw = 0;
  inside = ReadRaw(src, x, y, raw);
  if (!inside) return 0;
  if (xo == nullptr) return (!src->device && src->so.iBitmapFormat == BMF_1BPP) ? (raw ? 0xFFFFFF : 0) : raw;
  if (Xlate* xlate = Find(State().xlates, xo)) return TranslateColour(xlate, raw) & 0xFFFFFF;
  if ((xo->flXlate & XO_TABLE) && xo->pulXlate != nullptr) return raw < xo->cEntries ? xo->pulXlate[raw] & 0xFFFFFF : 0;
  return raw;
}

// Applies a ternary raster operation bit by bit.
ULONG Rop3(BYTE rop, ULONG p, ULONG s, ULONG d) {
  ULONG result = 0;
  for (int i = 0; i < 8; ++i)
    if (rop & (1 << i)) result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return result & 0xFFFFFF;
}

bool RopUsesSource(BYTE rop) { return ((rop >> 2) & 0x33) != (rop & 0x33); }
bool RopUsesPattern(BYTE rop) { return ((rop >> 4) & 0x0F) != (rop & 0x0F); }

struct BrushSource {
  bool ok = true;
  Brush* brush = nullptr;
  ULONG solid = 0;
  ULONG paletteMode = PAL_BGR;
  POINTL origin{0, 0};

  ULONG At(LONG x, LONG y) const {
    if (brush == nullptr || brush->desc.kind == BrushKind::Solid) return solid;
    const LONG px = ((x - origin.x) % 8 + 8) % 8, py = ((y - origin.y) % 8 + 8) % 8;
    if (brush->desc.kind == BrushKind::Hatch)
      return RgbToDevice(HatchBit(brush->desc.hatch, px, py) ? brush->desc.colour : brush->desc.background, paletteMode);
    const DrawImage& img = brush->desc.pattern;
    if (img.width <= 0 || img.height <= 0) return 0;
    const LONG ix = ((x - origin.x) % img.width + img.width) % img.width;
    const LONG iy = ((y - origin.y) % img.height + img.height) % img.height;
    const BYTE* p = img.bits.data() + static_cast<size_t>(iy) * (img.stride < 0 ? -img.stride : img.stride) + 3 * ix;
    return RgbToDevice(RGB(p[2], p[1], p[0]), paletteMode);
  }
};

BrushSource ReadBrush(BRUSHOBJ* bo, POINTL* origin, ULONG paletteMode) {
  BrushSource b;
  b.paletteMode = paletteMode;
  if (origin != nullptr) b.origin = *origin;
  if (bo == nullptr) {
    b.ok = false;
    return b;
  }
  b.brush = Find(State().brushes, bo);
  if (b.brush == nullptr) {
    // A driver's own brush: only a solid colour can be read from it.
    b.ok = bo->iSolidColor != 0xFFFFFFFF;
    b.solid = bo->iSolidColor & 0xFFFFFF;
  } else if (b.brush->desc.kind == BrushKind::Solid) {
    b.solid = bo->iSolidColor & 0xFFFFFF;
  } else if (b.brush->desc.kind == BrushKind::None) {
    b.ok = false;
  }
  return b;
}

bool ClipRects(CLIPOBJ* co, const RECTL& surface, std::vector<RECTL>& out) {
  if (co == nullptr || co->iDComplexity == DC_TRIVIAL) {
    out = {surface};
    return true;
  }
  if (Clip* clip = Find(State().clips, co)) {
    out = clip->rects;
    return true;
  }
  if (co->iDComplexity == DC_RECT) {
    out = {co->rclBounds};
    return true;
  }
  return false;  // a complex clip the engine did not make has no region to read
}

RECTL Normalized(RECTL r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

bool Intersect(const RECTL& a, const RECTL& b, RECTL& out) {
  out = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return out.left < out.right && out.top < out.bottom;
}

// The common body of the punts: for each target pixel inside the clip, the source pixel (the
// source rectangle stretched onto the target), the mask bit and the brush, combined by the ROP4.
BOOL Punt(const char* name, SURFOBJ* trg, SURFOBJ* src, SURFOBJ* msk, CLIPOBJ* co, XLATEOBJ* xo, RECTL* prcl,
          const RECTL* srcRect, POINTL* maskPt, BRUSHOBJ* bo, POINTL* brushOrg, ROP4 rop4) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  std::string args = Format("trg=%s src=%s mask=%s clip=%s rop4=0x%04X", Pointer(trg).c_str(), Pointer(src).c_str(),
                            Pointer(msk).c_str(), Pointer(co).c_str(), rop4 & 0xFFFF);
  if (prcl != nullptr)
    args += Format(" rect=(%d,%d,%d,%d)", prcl->left, prcl->top, prcl->right, prcl->bottom);
  Surface* target = FindSurfaceObject(trg);
  Surface* source = src != nullptr ? FindSurfaceObject(src) : nullptr;
  Surface* mask = msk != nullptr ? FindSurfaceObject(msk) : nullptr;
  const BYTE fore = rop4 & 0xFF, back = (rop4 >> 8) & 0xFF;
  const bool needSource = RopUsesSource(fore) || RopUsesSource(back);
  const bool needPattern = RopUsesPattern(fore) || RopUsesPattern(back);
  if (target == nullptr || prcl == nullptr || !WritableTarget(target)) {
    Refuse(name, args, "target is not an engine surface with pixels, or no rectangle");
    return FALSE;
  }
  if ((src != nullptr && source == nullptr) || (needSource && source == nullptr) || (msk != nullptr && mask == nullptr) ||
      (mask != nullptr && mask->so.iBitmapFormat != BMF_1BPP)) {
    Refuse(name, args, "source or mask is not an engine surface");
    return FALSE;
  }
  const ULONG paletteMode = SurfacePaletteMode(target);
  BrushSource brush = ReadBrush(bo, brushOrg, paletteMode);
  if (needPattern && !brush.ok) {
    Refuse(name, args, "the raster operation needs a brush the engine can read");
    return FALSE;
  }
  std::vector<RECTL> clipRects;
  if (!ClipRects(co, {0, 0, target->so.sizlBitmap.cx, target->so.sizlBitmap.cy}, clipRects)) {
    Refuse(name, args, "a complex clip the engine did not make");
    return FALSE;
  }
  const RECTL dst = Normalized(*prcl);
  RECTL sr = srcRect != nullptr ? *srcRect : RECTL{0, 0, dst.right - dst.left, dst.bottom - dst.top};
  const LONG dw = dst.right - dst.left, dh = dst.bottom - dst.top;
  const LONG sw = sr.right - sr.left, sh = sr.bottom - sr.top;
  const RECTL surface{0, 0, target->so.sizlBitmap.cx, target->so.sizlBitmap.cy};
  for (const RECTL& c : clipRects) {
    RECTL area, part;
    if (!Intersect(c, dst, area) || !Intersect(area, surface, part)) continue;
    for (LONG y = part.top; y < part.bottom; ++y) {
      for (LONG x = part.left; x < part.right; ++x) {
        ULONG s = 0;
        if (needSource) {
          const LONG sx = sr.left + static_cast<LONG>((static_cast<long long>(x - dst.left) * sw) / (dw ? dw : 1));
          const LONG sy = sr.top + static_cast<LONG>((static_cast<long long>(y - dst.top) * sh) / (dh ? dh : 1));
          bool inside = false;
          s = SourceColour(source, xo, sx, sy, inside);
          if (!inside) continue;  // never read outside the source bitmap
        }
        BYTE rop = fore;
        if (mask != nullptr) {
          const POINTL mp = maskPt != nullptr ? *maskPt : POINTL{0, 0};
          ULONG bit = 0;
          if (!ReadRaw(mask, mp.x + x - dst.left, mp.y + y - dst.top, bit)) continue;
          rop = bit ? fore : back;
        }
        BYTE* px = TargetPixel(target, x, y);
        const ULONG d = px[0] | (px[1] << 8) | (px[2] << 16);
        const ULONG r = Rop3(rop, needPattern ? brush.At(x, y) : 0, s, d);
        px[0] = r & 0xFF;
        px[1] = (r >> 8) & 0xFF;
        px[2] = (r >> 16) & 0xFF;
      }
    }
  }
  LogCallback(name, args, "TRUE");
  return TRUE;
}

Surface* NewSurface(SIZEL size, ULONG format, bool device) {
  auto s = new Surface;
  s->device = device;
  s->so.sizlBitmap = size;
  s->so.iBitmapFormat = format;
  s->so.iType = device ? STYPE_DEVICE : STYPE_BITMAP;
  s->so.hsurf = SurfaceHandle(s);
  s->so.iUniq = State().nextUniq++;
  State().surfaces.insert(s);
  return s;
}

bool SizeAcceptable(SIZEL size, int bpp) {
  if (size.cx <= 0 || size.cy <= 0 || size.cx > kMaxSurfaceSide || size.cy > kMaxSurfaceSide) return false;
  return static_cast<size_t>(RowBytes(size.cx, bpp)) * size.cy <= kMaxSurfaceBytes;
}

}  // namespace

BYTE* PageBitmap(Surface* s) {
  if (s->bits.empty()) s->bits.assign(static_cast<size_t>(RowBytes(s->so.sizlBitmap.cx, 24)) * s->so.sizlBitmap.cy, 0xFF);
  return s->bits.data();
}

void ClearPageBitmap(Surface* s) {
  if (!s->bits.empty()) std::fill(s->bits.begin(), s->bits.end(), 0xFF);
}

ULONG SurfacePaletteMode(const Surface* s) {
  if (!s->device || s->so.hdev == nullptr) return PAL_BGR;
  return DcPaletteMode(reinterpret_cast<EngineDc*>(s->so.hdev));
}

}  // namespace engine

using namespace engine;

bool HatchBit(ULONG style, LONG x, LONG y) {
  x &= 7, y &= 7;
  const bool h = y == 4, v = x == 4, f = x == y, b = x + y == 7;
  switch (style) {
    case HS_HORIZONTAL: return h;
    case HS_VERTICAL: return v;
    case HS_FDIAGONAL: return f;
    case HS_BDIAGONAL: return b;
    case HS_CROSS: return h || v;
    case HS_DIAGCROSS: return f || b;
    default: return false;
  }
}

HSURF EngCreateDeviceSurface(DHSURF dhsurf, SIZEL size, ULONG format) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  std::string args = Format("dhsurf=%s size=%dx%d format=%u", Pointer(dhsurf).c_str(), size.cx, size.cy, format);
  if (BitsPerPixel(format) == 0 || !SizeAcceptable(size, 24)) {
    Refuse("EngCreateDeviceSurface", args, "bad size or format");
    return nullptr;
  }
  if (SimCallFails("EngCreateDeviceSurface")) {
    LogCallback("EngCreateDeviceSurface", args, "NULL");
    return nullptr;
  }
  Surface* s = NewSurface(size, format, true);
  s->so.dhsurf = dhsurf;
  LogCallback("EngCreateDeviceSurface", args, Pointer(s));
  return SurfaceHandle(s);
}

HBITMAP EngCreateBitmap(SIZEL size, LONG width, ULONG format, FLONG flags, PVOID bits) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  std::string args = Format("size=%dx%d width=%d format=%u flags=0x%X bits=%s", size.cx, size.cy, width, format, flags,
                            Pointer(bits).c_str());
  const int bpp = BitsPerPixel(format);
  // The engine keeps the pixels of its bitmaps itself: memory of the driver's, whose size it
  // cannot check, is not taken.
  if (bpp == 0 || !SizeAcceptable(size, bpp) || bits != nullptr || (width != 0 && width < RowBytes(size.cx, bpp))) {
    Refuse("EngCreateBitmap", args, "bad size, format or row width, or bits of the driver's");
    return nullptr;
  }
  Surface* s = NewSurface(size, format, false);
  const LONG stride = width != 0 ? width : RowBytes(size.cx, bpp);
  s->bits.assign(static_cast<size_t>(stride) * size.cy, 0);
  s->so.cjBits = static_cast<ULONG>(s->bits.size());
  s->so.pvBits = s->bits.data();
  s->so.fjBitmap = static_cast<USHORT>(flags & BMF_TOPDOWN);
  if (flags & BMF_TOPDOWN) {
    s->so.pvScan0 = s->bits.data();
    s->so.lDelta = stride;
  } else {
    s->so.pvScan0 = s->bits.data() + static_cast<size_t>(stride) * (size.cy - 1);
    s->so.lDelta = -stride;
  }
  LogCallback("EngCreateBitmap", args, Pointer(s));
  return reinterpret_cast<HBITMAP>(s);
}

BOOL EngAssociateSurface(HSURF handle, HDEV device, FLONG hooks) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  std::string args = Format("hsurf=%s hdev=%s hooks=0x%X", Pointer(handle).c_str(), Pointer(device).c_str(), hooks);
  Surface* s = Find(State().surfaces, handle);
  EngineDc* dc = Find(State().dcs, device);
  if (s == nullptr || dc == nullptr) {
    Refuse("EngAssociateSurface", args, "unknown surface or device");
    return FALSE;
  }
  s->so.hdev = device;
  s->so.dhpdev = EngineDcDevice(dc);
  s->hooks = hooks;
  s->associated = true;
  LogCallback("EngAssociateSurface", args, "TRUE");
  return TRUE;
}

BOOL EngDeleteSurface(HSURF handle) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Surface* s = Find(State().surfaces, handle);
  if (s == nullptr) {
    Refuse("EngDeleteSurface", Pointer(handle), "not an engine surface");
    return FALSE;
  }
  State().surfaces.erase(s);
  delete s;
  LogCallback("EngDeleteSurface", Pointer(handle), "TRUE");
  return TRUE;
}

SURFOBJ* EngLockSurface(HSURF handle) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Surface* s = Find(State().surfaces, handle);
  if (s == nullptr) {
    Refuse("EngLockSurface", Pointer(handle), "not an engine surface");
    return nullptr;
  }
  ++s->locks;
  LogCallback("EngLockSurface", Pointer(handle), Pointer(&s->so));
  return &s->so;
}

VOID EngUnlockSurface(SURFOBJ* so) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Surface* s = Find(State().surfaces, so);
  if (s == nullptr || s->locks == 0) return Refuse("EngUnlockSurface", Pointer(so), "not a locked engine surface");
  --s->locks;
  LogCallback("EngUnlockSurface", Pointer(so), "");
}

BOOL EngEraseSurface(SURFOBJ* so, RECTL* rect, ULONG colour) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  std::string args = Format("%s colour=0x%08X", Pointer(so).c_str(), colour);
  Surface* s = Find(State().surfaces, so);
  if (s == nullptr || rect == nullptr || !WritableTarget(s)) {
    Refuse("EngEraseSurface", args, "not an engine surface with pixels, or no rectangle");
    return FALSE;
  }
  RECTL part;
  if (Intersect(Normalized(*rect), {0, 0, s->so.sizlBitmap.cx, s->so.sizlBitmap.cy}, part)) {
    for (LONG y = part.top; y < part.bottom; ++y)
      for (LONG x = part.left; x < part.right; ++x) {
        BYTE* px = TargetPixel(s, x, y);
        px[0] = colour & 0xFF, px[1] = (colour >> 8) & 0xFF, px[2] = (colour >> 16) & 0xFF;
      }
  }
  LogCallback("EngEraseSurface", args, "TRUE");
  return TRUE;
}

BOOL EngBitBlt(SURFOBJ* trg, SURFOBJ* src, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* rect, POINTL* srcPt,
               POINTL* maskPt, BRUSHOBJ* brush, POINTL* brushOrg, ROP4 rop4) {
  RECTL srcRect{0, 0, 0, 0};
  if (rect != nullptr) {
    const RECTL n = Normalized(*rect);
    const POINTL at = srcPt != nullptr ? *srcPt : POINTL{0, 0};
    srcRect = {at.x, at.y, at.x + n.right - n.left, at.y + n.bottom - n.top};
  }
  return Punt("EngBitBlt", trg, src, mask, clip, xlate, rect, &srcRect, maskPt, brush, brushOrg, rop4);
}

BOOL EngCopyBits(SURFOBJ* trg, SURFOBJ* src, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* rect, POINTL* srcPt) {
  RECTL srcRect{0, 0, 0, 0};
  if (rect != nullptr) {
    const RECTL n = Normalized(*rect);
    const POINTL at = srcPt != nullptr ? *srcPt : POINTL{0, 0};
    srcRect = {at.x, at.y, at.x + n.right - n.left, at.y + n.bottom - n.top};
  }
  return Punt("EngCopyBits", trg, src, nullptr, clip, xlate, rect, &srcRect, nullptr, nullptr, nullptr, 0xCCCC);
}

BOOL EngStretchBltROP(SURFOBJ* trg, SURFOBJ* src, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate, COLORADJUSTMENT*,
                      POINTL*, RECTL* rect, RECTL* srcRect, POINTL* maskPt, ULONG, BRUSHOBJ* brush, DWORD rop4) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (srcRect == nullptr && src != nullptr) {
    Refuse("EngStretchBltROP", Pointer(trg), "no source rectangle");
    return FALSE;
  }
  RECTL sr = srcRect != nullptr ? Normalized(*srcRect) : RECTL{0, 0, 0, 0};
  return Punt("EngStretchBltROP", trg, src, mask, clip, xlate, rect, srcRect != nullptr ? &sr : nullptr, maskPt, brush,
              nullptr, rop4);
}
