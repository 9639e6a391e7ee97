// Window rectangles, frames, positions and the mapping between client areas and the screen.
#include <algorithm>

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/window_internal.h"

DWORD UserFrameScrollBars(const Window& w) {
  constexpr ATOM kComboBoxAtom = 0x0085;
  if (w.cls && w.cls->system && w.cls->atom == kComboBoxAtom) return 0;
  return w.style & (WS_HSCROLL | WS_VSCROLL);
}

RECT UserFrameInsets(const Window& w) {
  RECT in{0, 0, 0, 0};
  int frame = 0;
  if ((w.style & WS_CAPTION) == WS_CAPTION || (w.style & (WS_DLGFRAME | WS_THICKFRAME)) ||
      (w.exStyle & WS_EX_DLGMODALFRAME))
    frame = kFrameWidth;
  else if (w.style & WS_BORDER)
    frame = kBorderWidth;
  if (w.exStyle & WS_EX_CLIENTEDGE) frame += kClientEdgeWidth;
  in = RECT{frame, frame, frame, frame};
  if ((w.style & WS_CAPTION) == WS_CAPTION) in.top += kCaptionHeight;
  const DWORD bars = UserFrameScrollBars(w);
  if (bars & WS_VSCROLL) in.right += kScrollBarSize;
  if (bars & WS_HSCROLL) in.bottom += kScrollBarSize;
  return in;
}

POINT UserClientOrigin(const Window& w) {
  RECT in = UserFrameInsets(w);
  POINT p{w.rect.left + in.left, w.rect.top + in.top};
  if (w.style & WS_CHILD) {
    if (auto parent = UserPeekWindow(w.parent)) {
      POINT o = UserClientOrigin(*parent);
      p.x += o.x;
      p.y += o.y;
    }
  }
  return p;
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  auto w = UserFindWindow(hwnd);
  if (!w || rect == nullptr) return FALSE;
  *rect = w->rect;
  if (w->style & WS_CHILD) {
    if (auto parent = UserPeekWindow(w->parent)) {
      POINT o = UserClientOrigin(*parent);
      rect->left += o.x;
      rect->right += o.x;
      rect->top += o.y;
      rect->bottom += o.y;
    }
  }
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  auto w = UserFindWindow(hwnd);
  if (!w || rect == nullptr) return FALSE;
  RECT in = UserFrameInsets(*w);
  *rect = RECT{0, 0, std::max<LONG>(0, w->rect.right - w->rect.left - in.left - in.right),
               std::max<LONG>(0, w->rect.bottom - w->rect.top - in.top - in.bottom)};
  return TRUE;
}

// Moves hwnd within its level: to the top, the bottom, or right after another window.
static void Reorder(Window& w, HWND insertAfter) {
  auto parent = UserPeekWindow(w.parent);
  if (!(w.style & WS_CHILD) || !parent) return;
  auto& c = parent->children;
  c.erase(std::remove(c.begin(), c.end(), w.handle), c.end());
  if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
    c.insert(c.begin(), w.handle);
  } else if (insertAfter == HWND_BOTTOM) {
    c.push_back(w.handle);
  } else {
    auto it = std::find(c.begin(), c.end(), insertAfter);
    c.insert(it == c.end() ? c.end() : it + 1, w.handle);
  }
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
  RECT r = w->rect;
  if (!(flags & SWP_NOMOVE)) {
    if (x == r.left && y == r.top) pos.flags |= SWP_NOMOVE;
    r = RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
  }
  if (!(flags & SWP_NOSIZE)) {
    if (std::max(cx, 0) == r.right - r.left && std::max(cy, 0) == r.bottom - r.top) pos.flags |= SWP_NOSIZE;
    r.right = r.left + std::max(cx, 0);
    r.bottom = r.top + std::max(cy, 0);
  }
  w->rect = r;
  if (!(flags & SWP_NOZORDER)) Reorder(*w, insertAfter);
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  if (!(pos.flags & SWP_NOSIZE) && !(flags & SWP_NOREDRAW) && IsWindowVisible(hwnd)) UserInvalidateAll(hwnd, true);
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

// The screen position of a window's client origin; the screen's for NULL or the desktop.
static bool OriginOf(HWND hwnd, POINT& origin) {
  origin = POINT{0, 0};
  if (hwnd == nullptr || hwnd == GetDesktopWindow()) return true;
  auto w = UserFindWindow(hwnd);
  if (!w) return false;
  origin = UserClientOrigin(*w);
  return true;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  POINT a, b;
  if (!OriginOf(from, a) || !OriginOf(to, b)) return 0;
  LONG dx = a.x - b.x, dy = a.y - b.y;
  for (UINT i = 0; points != nullptr && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  SetLastError(ERROR_SUCCESS);
  return MAKELONG(WORD(SHORT(dx)), WORD(SHORT(dy)));
}

BOOL ClientToScreen(HWND hwnd, LPPOINT point) {
  POINT o;
  if (point == nullptr || hwnd == nullptr || !OriginOf(hwnd, o)) return FALSE;
  point->x += o.x;
  point->y += o.y;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT point) {
  POINT o;
  if (point == nullptr || hwnd == nullptr || !OriginOf(hwnd, o)) return FALSE;
  point->x -= o.x;
  point->y -= o.y;
  return TRUE;
}

static bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

HWND ChildWindowFromPointEx(HWND parent, POINT point, UINT flags) {
  auto w = UserFindWindow(parent);
  if (!w) return nullptr;
  RECT client;
  GetClientRect(parent, &client);
  if (!Inside(client, point)) return nullptr;
  for (HWND c : w->children) {
    auto child = UserPeekWindow(c);
    if (!child) continue;
    if ((flags & CWP_SKIPINVISIBLE) && !(child->style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (child->style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (child->exStyle & WS_EX_TRANSPARENT)) continue;
    if (Inside(child->rect, point)) return c;
  }
  return parent;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) { return ChildWindowFromPointEx(parent, point, CWP_ALL); }
