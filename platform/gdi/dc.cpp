// Device contexts: creation, selection, saved states, modes, origins and clipping (dc.h).
#include "platform/gdi/dc.h"

#include <algorithm>

#include "platform/base/errors.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/printer_device.h"
#include "platform/gdi/raster.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"

using namespace gdi;

namespace {

constexpr int kDefaultDpi = 96;
int screenDpi = kDefaultDpi;

void ResetDpi() { screenDpi = kDefaultDpi; }
const bool registeredReset = (SimAddResetHook(&ResetDpi), true);

DcState DefaultState() {
  DcState s;
  s.pen = Stock(BLACK_PEN);
  s.brush = Stock(WHITE_BRUSH);
  s.font = Stock(SYSTEM_FONT);
  s.palette = Stock(DEFAULT_PALETTE);
  return s;
}

// The live DC of a handle; sets ERROR_INVALID_HANDLE otherwise. The caller holds Lock().
Dc* FindDc(HDC handle) {
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

// Runs `change` on the state of a live DC under the lock; `fail` for a bad handle.
template <class R, class F>
R WithDc(HDC handle, R fail, F change) {
  std::lock_guard guard(Lock());
  Dc* dc = FindDc(handle);
  return dc != nullptr ? change(*dc) : fail;
}

template <class T>
T Swap(T& slot, T value) {
  T old = slot;
  slot = value;
  return old;
}

// The logical rectangle (normalised) in device coordinates.
RECT ToDevice(const Dc& dc, int left, int top, int right, int bottom) {
  const DcState& s = dc.state;
  const LONG dx = s.viewportOrg.x - s.windowOrg.x, dy = s.viewportOrg.y - s.windowOrg.y;
  return RECT{std::min(left, right) + dx, std::min(top, bottom) + dy, std::max(left, right) + dx, std::max(top, bottom) + dy};
}

// The device rectangle the DC can draw in when it has no clip of its own.
RECT DrawableArea(const Dc& dc) {
  if (dc.memory) {
    const Bitmap* bitmap = Find<Bitmap>(dc.state.bitmap);
    return bitmap != nullptr ? RECT{0, 0, bitmap->width, bitmap->height} : RECT{0, 0, 0, 0};
  }
  const RECT b = dc.bounds;
  return RECT{b.left - dc.origin.x, b.top - dc.origin.y, b.right - dc.origin.x, b.bottom - dc.origin.y};
}

std::vector<RECT> CurrentClip(const Dc& dc) { return dc.state.hasClip ? dc.state.clip.rects : std::vector<RECT>{DrawableArea(dc)}; }

int SetClip(Dc& dc, std::vector<RECT> rects) {
  dc.state.hasClip = true;
  dc.state.clip.rects = std::move(rects);
  return KindOf(dc.state.clip.rects);
}

HRGN NewRegion(std::vector<RECT> rects) { return static_cast<HRGN>(Insert(Region{std::move(rects)})); }

}  // namespace

HDC CreateCompatibleDC(HDC like) {
  std::lock_guard guard(Lock());
  if (like != nullptr && FindDc(like) == nullptr) return nullptr;
  Dc dc;
  dc.memory = true;
  dc.state = DefaultState();
  dc.state.bitmap = DefaultBitmap();
  return static_cast<HDC>(Insert(std::move(dc)));
}

HDC gdi::InsertPrinterDc(EngineDc* engine, const PrinterDcCalls* calls) {
  std::lock_guard guard(Lock());
  Dc dc;
  dc.state = DefaultState();
  dc.engine = engine;
  dc.printer = calls;
  return static_cast<HDC>(Insert(std::move(dc)));
}

const gdi::PrinterDcCalls* gdi::PrinterCallsOf(HDC handle) {
  std::lock_guard guard(Lock());
  const Dc* dc = FindDc(handle);
  return dc != nullptr ? dc->printer : nullptr;
}

HDC GdiCreateSurfaceDC(const GdiSurface& surface, POINT origin, const RECT& clip) {
  if (surface.pixels == nullptr || surface.width <= 0 || surface.height <= 0 || surface.stride < surface.width) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Dc dc;
  dc.surface = surface;
  dc.origin = origin;
  dc.bounds = clip;
  dc.state = DefaultState();
  return static_cast<HDC>(Insert(std::move(dc)));
}

BOOL DeleteDC(HDC handle) {
  const PrinterDcCalls* printer = nullptr;
  {
    std::lock_guard guard(Lock());
    Dc* dc = FindDc(handle);
    if (dc == nullptr) return FALSE;
    printer = dc->printer;
  }
  // A printer DC tells its modules first; they may still use the DC.
  if (printer != nullptr) printer->release(handle);
  std::lock_guard guard(Lock());
  Dc* dc = FindDc(handle);
  if (dc == nullptr) return FALSE;
  if (Bitmap* bitmap = Find<Bitmap>(dc->state.bitmap); bitmap != nullptr && bitmap->selectedInto == handle)
    bitmap->selectedInto = nullptr;
  Erase(handle);
  return TRUE;
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  std::lock_guard guard(Lock());
  Dc* dc = FindDc(handle);
  Object* o = FindObject(object);
  if (dc == nullptr || o == nullptr) {
    if (dc != nullptr) SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  DcState& s = dc->state;
  switch (o->Kind()) {
    case SimGdiKind::Pen: return Swap(s.pen, object);
    case SimGdiKind::Brush: return Swap(s.brush, object);
    case SimGdiKind::Font: return Swap(s.font, object);
    case SimGdiKind::Region: return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(SelectClipRgn(handle, static_cast<HRGN>(object))));
    case SimGdiKind::Bitmap: {
      Bitmap& bitmap = std::get<Bitmap>(o->data);
      if (!dc->memory || (!o->permanent && bitmap.selectedInto != nullptr && bitmap.selectedInto != handle)) return nullptr;
      if (Bitmap* old = Find<Bitmap>(s.bitmap); old != nullptr && old->selectedInto == handle) old->selectedInto = nullptr;
      if (!o->permanent) bitmap.selectedInto = handle;
      return Swap(s.bitmap, object);
    }
    default: return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC handle, UINT type) {
  return WithDc(handle, HGDIOBJ{nullptr}, [type](Dc& dc) -> HGDIOBJ {
    switch (type) {
      case OBJ_PEN: return dc.state.pen;
      case OBJ_BRUSH: return dc.state.brush;
      case OBJ_FONT: return dc.state.font;
      case OBJ_BITMAP: return dc.memory ? dc.state.bitmap : nullptr;
      case OBJ_PAL: return dc.state.palette;
      default: return nullptr;
    }
  });
}

int SaveDC(HDC handle) {
  return WithDc(handle, 0, [](Dc& dc) {
    dc.saved.push_back(dc.state);
    return static_cast<int>(dc.saved.size());
  });
}

BOOL RestoreDC(HDC handle, int level) {
  return WithDc(handle, FALSE, [handle, level](Dc& dc) -> BOOL {
    const int depth = static_cast<int>(dc.saved.size());
    const int target = level < 0 ? depth + 1 + level : level;
    if (target < 1 || target > depth) return FALSE;
    DcState state = dc.saved[static_cast<size_t>(target - 1)];
    dc.saved.resize(static_cast<size_t>(target - 1));
    if (state.bitmap != dc.state.bitmap) {
      if (Bitmap* b = Find<Bitmap>(dc.state.bitmap); b != nullptr && b->selectedInto == handle) b->selectedInto = nullptr;
      if (Bitmap* b = Find<Bitmap>(state.bitmap); b != nullptr && !FindObject(state.bitmap)->permanent) b->selectedInto = handle;
    }
    dc.state = std::move(state);
    return TRUE;
  });
}

COLORREF SetTextColor(HDC dc, COLORREF c) { return WithDc(dc, CLR_INVALID, [c](Dc& d) { return Swap(d.state.textColor, c & 0xFFFFFF); }); }
COLORREF GetTextColor(HDC dc) { return WithDc(dc, CLR_INVALID, [](Dc& d) { return d.state.textColor; }); }
COLORREF SetBkColor(HDC dc, COLORREF c) { return WithDc(dc, CLR_INVALID, [c](Dc& d) { return Swap(d.state.bkColor, c & 0xFFFFFF); }); }
COLORREF GetBkColor(HDC dc) { return WithDc(dc, CLR_INVALID, [](Dc& d) { return d.state.bkColor; }); }

int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) return 0;
  return WithDc(dc, 0, [mode](Dc& d) { return Swap(d.state.bkMode, mode); });
}
int GetBkMode(HDC dc) { return WithDc(dc, 0, [](Dc& d) { return d.state.bkMode; }); }

int SetROP2(HDC dc, int rop2) {
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return WithDc(dc, 0, [rop2](Dc& d) { return Swap(d.state.rop2, rop2); });
}
int GetROP2(HDC dc) { return WithDc(dc, 0, [](Dc& d) { return d.state.rop2; }); }

int SetPolyFillMode(HDC dc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  return WithDc(dc, 0, [mode](Dc& d) { return Swap(d.state.polyFillMode, mode); });
}
int GetPolyFillMode(HDC dc) { return WithDc(dc, 0, [](Dc& d) { return d.state.polyFillMode; }); }

int SetStretchBltMode(HDC dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return WithDc(dc, 0, [mode](Dc& d) { return Swap(d.state.stretchMode, mode); });
}
int GetStretchBltMode(HDC dc) { return WithDc(dc, 0, [](Dc& d) { return d.state.stretchMode; }); }

int SetMapMode(HDC dc, int mode) { return mode == MM_TEXT ? WithDc(dc, 0, [](Dc&) { return MM_TEXT; }) : 0; }
int GetMapMode(HDC dc) { return WithDc(dc, 0, [](Dc&) { return MM_TEXT; }); }

namespace {

BOOL SetPoint(HDC handle, POINT DcState::*member, POINT value, LPPOINT previous) {
  return WithDc(handle, FALSE, [&](Dc& dc) {
    if (previous != nullptr) *previous = dc.state.*member;
    dc.state.*member = value;
    return TRUE;
  });
}

BOOL GetPoint(HDC handle, POINT DcState::*member, LPPOINT out) {
  return WithDc(handle, FALSE, [&](Dc& dc) {
    if (out == nullptr) return FALSE;
    *out = dc.state.*member;
    return TRUE;
  });
}

}  // namespace

BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT previous) { return SetPoint(dc, &DcState::viewportOrg, POINT{x, y}, previous); }
BOOL GetViewportOrgEx(HDC dc, LPPOINT origin) { return GetPoint(dc, &DcState::viewportOrg, origin); }
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT previous) {
  return WithDc(dc, FALSE, [&](Dc& d) {
    if (previous != nullptr) *previous = d.state.viewportOrg;
    d.state.viewportOrg.x += dx;
    d.state.viewportOrg.y += dy;
    return TRUE;
  });
}
BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT previous) { return SetPoint(dc, &DcState::windowOrg, POINT{x, y}, previous); }
BOOL GetWindowOrgEx(HDC dc, LPPOINT origin) { return GetPoint(dc, &DcState::windowOrg, origin); }
BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT previous) { return SetPoint(dc, &DcState::brushOrg, POINT{x, y}, previous); }

BOOL LPtoDP(HDC dc, LPPOINT points, int count) {
  return WithDc(dc, FALSE, [&](Dc& d) {
    if (points == nullptr || count < 0) return FALSE;
    for (int i = 0; i < count; ++i) {
      points[i].x += d.state.viewportOrg.x - d.state.windowOrg.x;
      points[i].y += d.state.viewportOrg.y - d.state.windowOrg.y;
    }
    return TRUE;
  });
}

BOOL DPtoLP(HDC dc, LPPOINT points, int count) {
  return WithDc(dc, FALSE, [&](Dc& d) {
    if (points == nullptr || count < 0) return FALSE;
    for (int i = 0; i < count; ++i) {
      points[i].x -= d.state.viewportOrg.x - d.state.windowOrg.x;
      points[i].y -= d.state.viewportOrg.y - d.state.windowOrg.y;
    }
    return TRUE;
  });
}

int GetDeviceCaps(HDC dc, int index) {
  return WithDc(dc, 0, [index](Dc& d) {
    if (d.printer != nullptr) return d.printer->deviceCaps(d, index);
    const RECT area = DrawableArea(d);
    switch (index) {
      case HORZRES: return static_cast<int>(d.memory ? area.right : d.surface.width);
      case VERTRES: return static_cast<int>(d.memory ? area.bottom : d.surface.height);
      case BITSPIXEL: return 32;
      case PLANES: return 1;
      case NUMCOLORS: return -1;
      case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
      case LOGPIXELSX:
      case LOGPIXELSY: return screenDpi;
      default: return 0;
    }
  });
}

void SimSetScreenDpi(int dpi) { screenDpi = dpi; }

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  const RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  return NewRegion(IsEmpty(r) ? std::vector<RECT>{} : std::vector<RECT>{r});
}

HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (rect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

int CombineRgn(HRGN target, HRGN a, HRGN b, int mode) {
  std::lock_guard guard(Lock());
  Region* t = Find<Region>(target);
  const Region* ra = Find<Region>(a);
  const Region* rb = Find<Region>(b);
  if (t == nullptr || ra == nullptr || (mode != RGN_COPY && rb == nullptr) || mode < RGN_AND || mode > RGN_COPY) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  t->rects = CombineRects(ra->rects, mode == RGN_COPY ? std::vector<RECT>{} : rb->rects, mode);
  return KindOf(t->rects);
}

BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  std::lock_guard guard(Lock());
  Region* r = Find<Region>(region);
  if (r == nullptr) return FALSE;
  const RECT box{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  r->rects = IsEmpty(box) ? std::vector<RECT>{} : std::vector<RECT>{box};
  return TRUE;
}

int OffsetRgn(HRGN region, int dx, int dy) {
  std::lock_guard guard(Lock());
  Region* r = Find<Region>(region);
  if (r == nullptr) return ERROR;
  OffsetRects(r->rects, dx, dy);
  return KindOf(r->rects);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  std::lock_guard guard(Lock());
  const Region* r = Find<Region>(region);
  if (r == nullptr) return FALSE;
  for (const RECT& box : r->rects)
    if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) return TRUE;
  return FALSE;
}

int GetRgnBox(HRGN region, LPRECT box) {
  std::lock_guard guard(Lock());
  const Region* r = Find<Region>(region);
  if (r == nullptr || box == nullptr) return ERROR;
  *box = BoundsOf(r->rects);
  return KindOf(r->rects);
}

BOOL EqualRgn(HRGN a, HRGN b) {
  std::lock_guard guard(Lock());
  const Region* ra = Find<Region>(a);
  const Region* rb = Find<Region>(b);
  if (ra == nullptr || rb == nullptr) return FALSE;
  return CombineRects(ra->rects, rb->rects, RGN_XOR).empty();
}

int SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

int ExtSelectClipRgn(HDC handle, HRGN region, int mode) {
  return WithDc(handle, ERROR, [&](Dc& dc) {
    const Region* r = Find<Region>(region);
    if (region == nullptr && mode == RGN_COPY) {
      dc.state.hasClip = false;
      dc.state.clip.rects.clear();
      return SIMPLEREGION;
    }
    if (r == nullptr || mode < RGN_AND || mode > RGN_COPY) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
    }
    if (mode == RGN_COPY) return SetClip(dc, r->rects);
    return SetClip(dc, CombineRects(CurrentClip(dc), r->rects, mode));
  });
}

int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
  return WithDc(handle, ERROR, [&](Dc& dc) { return SetClip(dc, ClipRects(CurrentClip(dc), ToDevice(dc, left, top, right, bottom))); });
}

int ExcludeClipRect(HDC handle, int left, int top, int right, int bottom) {
  return WithDc(handle, ERROR, [&](Dc& dc) {
    return SetClip(dc, CombineRects(CurrentClip(dc), {ToDevice(dc, left, top, right, bottom)}, RGN_DIFF));
  });
}

int GetClipBox(HDC handle, LPRECT box) {
  return WithDc(handle, ERROR, [&](Dc& dc) {
    if (box == nullptr) return ERROR;
    const std::vector<RECT> visible = ClipRects(CurrentClip(dc), DrawableArea(dc));
    RECT b = BoundsOf(visible);
    const LONG dx = dc.state.viewportOrg.x - dc.state.windowOrg.x, dy = dc.state.viewportOrg.y - dc.state.windowOrg.y;
    *box = RECT{b.left - dx, b.top - dy, b.right - dx, b.bottom - dy};
    return KindOf(visible);
  });
}

int GetClipRgn(HDC handle, HRGN region) {
  return WithDc(handle, -1, [&](Dc& dc) {
    Region* r = Find<Region>(region);
    if (r == nullptr) return -1;
    if (!dc.state.hasClip) return 0;
    r->rects = dc.state.clip.rects;
    return 1;
  });
}

BOOL PtVisible(HDC handle, int x, int y) {
  return WithDc(handle, FALSE, [&](Dc& dc) -> BOOL {
    Target target;
    if (!TargetOf(dc, target)) return FALSE;
    const POINT p = ToSurface(dc, POINT{x, y});
    return target.Visible(p.x, p.y);
  });
}

BOOL RectVisible(HDC handle, const RECT* rect) {
  return WithDc(handle, FALSE, [&](Dc& dc) -> BOOL {
    Target target;
    if (rect == nullptr || !TargetOf(dc, target)) return FALSE;
    const POINT a = ToSurface(dc, POINT{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom)});
    const POINT b = ToSurface(dc, POINT{std::max(rect->left, rect->right), std::max(rect->top, rect->bottom)});
    return !ClipRects(target.clip, RECT{a.x, a.y, b.x, b.y}).empty();
  });
}
