// Device contexts of windows and painting. Each top-level window owns a surface of 32-bit
// pixels as large as the window; its children draw into the same surface. A window's DC draws
// only inside its client area and those of its parents (and, between BeginPaint and EndPaint,
// inside the part to paint).
#include <algorithm>
#include <cstring>

#include "platform/gdi/dc.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/drawn.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/frame_paint.h"
#include "platform/user/paint.h"
#include "platform/user/sys_colors.h"
#include "platform/user/user_sim.h"
#include "platform/user/window_internal.h"

namespace {

// The screen's surface, for GetDC(NULL): made on first use, never freed.
WindowSurface& ScreenSurface() {
  static WindowSurface* s = [] {
    auto* surface = new WindowSurface;
    surface->width = kScreenWidth;
    surface->height = kScreenHeight;
    surface->pixels.assign(size_t(kScreenWidth) * kScreenHeight, GetSysColor(COLOR_BACKGROUND));
    return surface;
  }();
  return *s;
}

// The surface of the window's top-level window, sized to it (resized contents are lost).
WindowSurface* SurfaceOf(HWND hwnd, POINT& rootOrigin) {
  HWND root = GetAncestor(hwnd, GA_ROOT);
  auto r = UserFindWindow(root);
  if (!r) return nullptr;
  LONG width = std::max<LONG>(1, r->rect.right - r->rect.left);
  LONG height = std::max<LONG>(1, r->rect.bottom - r->rect.top);
  if (!r->surface) r->surface = std::make_shared<WindowSurface>();
  WindowSurface& s = *r->surface;
  if (s.width != width || s.height != height) {
    s.width = width;
    s.height = height;
    s.pixels.assign(size_t(width) * size_t(height), GetSysColor(COLOR_BTNFACE));
  }
  rootOrigin = POINT{r->rect.left, r->rect.top};
  return &s;
}

RECT ScreenClient(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  POINT o{0, 0};
  ClientToScreen(hwnd, &o);
  OffsetRect(&r, o.x, o.y);
  return r;
}

// A DC over the window's surface with its device origin at `origin` (screen) and drawing only
// inside `clip` (screen) and the client areas of every parent.
HDC MakeDC(HWND hwnd, POINT origin, RECT clip) {
  POINT rootOrigin;
  WindowSurface* s = SurfaceOf(hwnd, rootOrigin);
  if (s == nullptr) return nullptr;
  for (HWND p = GetParent(hwnd); p != nullptr && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD); p = GetParent(p)) {
    RECT pc = ScreenClient(p);
    IntersectRect(&clip, &clip, &pc);
    if (!(GetWindowLongW(p, GWL_STYLE) & WS_CHILD)) break;
  }
  OffsetRect(&clip, -rootOrigin.x, -rootOrigin.y);
  GdiSurface surface{s->pixels.data(), s->width, s->height, s->width};
  HDC dc = GdiCreateSurfaceDC(surface, POINT{origin.x - rootOrigin.x, origin.y - rootOrigin.y}, clip);
  GdiSetDcWindow(dc, hwnd);
  return dc;
}

}  // namespace

HDC GetDC(HWND hwnd) {
  if (hwnd == nullptr || hwnd == GetDesktopWindow()) {
    WindowSurface& s = ScreenSurface();
    GdiSurface surface{s.pixels.data(), s.width, s.height, s.width};
    return GdiCreateSurfaceDC(surface, POINT{0, 0}, RECT{0, 0, s.width, s.height});
  }
  if (!UserFindWindow(hwnd)) return nullptr;
  POINT o{0, 0};
  ClientToScreen(hwnd, &o);
  return MakeDC(hwnd, o, ScreenClient(hwnd));
}

HDC GetWindowDC(HWND hwnd) {
  if (!UserFindWindow(hwnd)) return nullptr;
  RECT r;
  GetWindowRect(hwnd, &r);
  return MakeDC(hwnd, POINT{r.left, r.top}, r);
}

int ReleaseDC(HWND, HDC dc) { return DeleteDC(dc) ? 1 : 0; }

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  auto w = UserFindWindow(hwnd);
  if (!w || ps == nullptr) return nullptr;
  RECT client;
  GetClientRect(hwnd, &client);
  RECT part = w->invalid ? w->update : RECT{0, 0, 0, 0};
  bool erase = w->erase;
  w->invalid = false;
  w->erase = false;
  SetRectEmpty(&w->update);
  POINT o{0, 0};
  ClientToScreen(hwnd, &o);
  RECT clip = part;
  OffsetRect(&clip, o.x, o.y);
  HDC dc = MakeDC(hwnd, o, clip);
  *ps = PAINTSTRUCT{};
  ps->hdc = dc;
  ps->rcPaint = part;
  ps->fErase = erase ? (SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0) : FALSE;
  return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
  if (ps == nullptr) return FALSE;
  DeleteDC(ps->hdc);
  return TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  if (w->invalid && IsWindowVisible(hwnd)) {
    UserForgetDrawn(*w);
    UserPaintFrame(hwnd);
    SendMessageW(hwnd, WM_PAINT, 0, 0);
  }
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN, UINT flags) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  if (flags & RDW_INVALIDATE) InvalidateRect(hwnd, rect, (flags & RDW_ERASE) ? TRUE : FALSE);
  if (flags & RDW_VALIDATE) ValidateRect(hwnd, rect);
  if (flags & RDW_ALLCHILDREN) {
    std::vector<HWND> children = w->children;
    for (HWND c : children) RedrawWindow(c, nullptr, nullptr, flags & ~UINT(RDW_UPDATENOW));
  }
  if (flags & RDW_UPDATENOW) UserPaintInvalid(hwnd);
  return TRUE;
}

namespace {

// Copies the window's client pixels of `to` (client coordinates) from `to` less (dx, dy), rows
// in the order that reads each source pixel before it is overwritten.
void MovePixels(HWND hwnd, RECT to, int dx, int dy) {
  POINT rootOrigin;
  WindowSurface* s = SurfaceOf(hwnd, rootOrigin);
  if (s == nullptr) return;
  POINT o{0, 0};
  ClientToScreen(hwnd, &o);
  OffsetRect(&to, o.x, o.y);
  // A child's pixels lie inside its parents' client areas, as its DC draws them.
  for (HWND p = GetParent(hwnd); p != nullptr && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD); p = GetParent(p)) {
    const RECT pc = ScreenClient(p);
    if (!IntersectRect(&to, &to, &pc)) return;
    if (!(GetWindowLongW(p, GWL_STYLE) & WS_CHILD)) break;
  }
  OffsetRect(&to, -rootOrigin.x, -rootOrigin.y);
  RECT from = to;
  OffsetRect(&from, -dx, -dy);
  const RECT all{0, 0, s->width, s->height};
  RECT both{};
  // Only pixels whose source and target both lie on the surface move.
  if (!IntersectRect(&to, &to, &all) || !IntersectRect(&from, &from, &all)) return;
  OffsetRect(&from, dx, dy);
  if (!IntersectRect(&both, &to, &from)) return;
  const size_t width = size_t(both.right - both.left);
  auto row = [&](LONG y) {
    std::uint32_t* target = s->pixels.data() + size_t(y) * size_t(s->width) + size_t(both.left);
    const std::uint32_t* source = target - (std::ptrdiff_t(dy) * s->width + dx);
    std::memmove(target, source, width * sizeof *target);
  };
  if (dy > 0)
    for (LONG y = both.bottom - 1; y >= both.top; --y) row(y);
  else
    for (LONG y = both.top; y < both.bottom; ++y) row(y);
}

}  // namespace

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect,
                   UINT flags) {
  auto w = UserFindWindow(hwnd);
  if (!w) return ERROR;
  RECT client, source, area;
  GetClientRect(hwnd, &client);
  if (scroll == nullptr || !IntersectRect(&source, scroll, &client)) source = scroll == nullptr ? client : RECT{};
  if (clip == nullptr || !IntersectRect(&area, clip, &client)) area = clip == nullptr ? client : RECT{};
  // The moved pixels land inside the clip; what they leave uncovered of the scrolled rectangle
  // needs painting.
  RECT moved = source, target{}, inside{};
  OffsetRect(&moved, dx, dy);
  IntersectRect(&target, &moved, &area);
  IntersectRect(&inside, &source, &area);
  if (IsWindowVisible(hwnd) && !IsRectEmpty(&target)) MovePixels(hwnd, target, dx, dy);
  if (w->invalid) {
    RECT pending{};
    if (IntersectRect(&pending, &w->update, &source)) {
      OffsetRect(&pending, dx, dy);
      if (IntersectRect(&pending, &pending, &area)) UnionRect(&w->update, &w->update, &pending);
    }
  }
  HRGN uncovered = CreateRectRgnIndirect(&inside);
  HRGN covered = CreateRectRgnIndirect(&target);
  const int kind = CombineRgn(uncovered, uncovered, covered, RGN_DIFF);
  RECT bounds{};
  GetRgnBox(uncovered, &bounds);
  if (update != nullptr) CombineRgn(update, uncovered, nullptr, RGN_COPY);
  if (updateRect != nullptr) *updateRect = bounds;
  DeleteObject(covered);
  DeleteObject(uncovered);
  if ((flags & SW_INVALIDATE) && kind != NULLREGION) InvalidateRect(hwnd, &bounds, (flags & SW_ERASE) ? TRUE : FALSE);
  if (flags & SW_SCROLLCHILDREN) {
    std::vector<HWND> children = w->children;
    for (HWND c : children) {
      RECT r, meet;
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
      if (scroll == nullptr || IntersectRect(&meet, &r, &source))
        SetWindowPos(c, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return kind;
}

LRESULT UserEraseBackground(HWND hwnd, HDC dc, HBRUSH brush) {
  if (brush == nullptr || dc == nullptr) return 0;
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, brush);
  return 1;
}

void UserDefaultPaint(HWND hwnd) {
  PAINTSTRUCT ps;
  BeginPaint(hwnd, &ps);
  EndPaint(hwnd, &ps);
}

LRESULT UserDefaultControlColour(UINT msg, HDC dc) {
  int back = COLOR_BTNFACE;
  if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX) back = COLOR_WINDOW;
  if (msg == WM_CTLCOLORSCROLLBAR) back = COLOR_SCROLLBAR;
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(back));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(back));
}

// Paints the window's invalid parts and then its children's, bottom of the Z order first so
// that the top child is drawn last.
void UserPaintInvalid(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  if (!w || !IsWindowVisible(hwnd)) return;
  UpdateWindow(hwnd);
  std::vector<HWND> children = w->children;
  for (auto it = children.rbegin(); it != children.rend(); ++it) UserPaintInvalid(*it);
}

void SimPaint(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  UserPaintInvalid(hwnd);
}

namespace {

// The window's pixels (frame included) as they are on its surface.
BOOL CopyWindowPixels(HWND hwnd, ReferenceImage& picture) {
  POINT rootOrigin;
  WindowSurface* s = SurfaceOf(hwnd, rootOrigin);
  RECT r;
  GetWindowRect(hwnd, &r);
  OffsetRect(&r, -rootOrigin.x, -rootOrigin.y);
  RECT all{0, 0, s->width, s->height};
  IntersectRect(&r, &r, &all);
  picture.width = r.right - r.left;
  picture.height = r.bottom - r.top;
  picture.pixels.resize(size_t(picture.width) * size_t(picture.height));
  for (LONG y = 0; y < picture.height; ++y)
    for (LONG x = 0; x < picture.width; ++x)
      picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)] =
          s->pixels[size_t(r.top + y) * size_t(s->width) + size_t(r.left + x)];
  return TRUE;
}

}  // namespace

BOOL SimWindowPicture(HWND hwnd, ReferenceImage& picture) {
  if (!IsWindow(hwnd)) return FALSE;
  SimPaint(hwnd);
  return CopyWindowPixels(hwnd, picture);
}

BOOL SimWindowPictureAsShown(HWND hwnd, ReferenceImage& picture) {
  if (!IsWindow(hwnd)) return FALSE;
  UserPaintInvalid(hwnd);
  return CopyWindowPixels(hwnd, picture);
}

BOOL SimScreenshot(HWND hwnd, const std::string& pngPath) {
  ReferenceImage picture;
  return SimWindowPicture(hwnd, picture) && SaveReferencePng(picture, pngPath);
}
