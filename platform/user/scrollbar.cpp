// Scroll bars: the scroll-bar control with its SBM_ messages, and a window's own bars
// (WS_HSCROLL, WS_VSCROLL) through the SetScroll... calls. A bar never moves by itself: the
// user's action only tells the owner (WM_HSCROLL, WM_VSCROLL), which sets the position.
#include <algorithm>

#include "platform/user/control_paint.h"
#include "platform/user/controls_internal.h"
#include "platform/user/frame_paint.h"

namespace {

// The highest position the thumb can take: max less the page (plus one) when a page is set.
int TopPosition(const ScrollNumbers& n) {
  return n.page == 0 ? n.max : std::max(n.min, n.max - int(n.page) + 1);
}

void Clamp(ScrollNumbers& n) { n.pos = std::clamp(n.pos, n.min, std::max(n.min, TopPosition(n))); }

// The numbers of a bar: the control's own (SB_CTL) or the window's.
ScrollNumbers* Numbers(HWND hwnd, int bar) {
  auto w = UserFindWindow(hwnd);
  if (!w) return nullptr;
  if (bar == SB_CTL) return ControlState<ScrollNumbers>(hwnd);
  if (bar == SB_HORZ) return &w->hscroll;
  if (bar == SB_VERT) return &w->vscroll;
  return nullptr;
}

// Shows a bar's new numbers: a control paints itself again; a window's own bars lie in its
// frame, which is drawn again at once (its client area stays as it is).
void RedrawBar(HWND hwnd, int bar) {
  if (bar == SB_CTL)
    InvalidateRect(hwnd, nullptr, TRUE);
  else if (IsWindowVisible(hwnd))
    UserPaintFrame(hwnd);
}

int Apply(HWND hwnd, int bar, ScrollNumbers& n, const SCROLLINFO& info, BOOL redraw) {
  if (info.fMask & SIF_RANGE) {
    n.min = info.nMin;
    n.max = std::max(info.nMin, info.nMax);
  }
  if (info.fMask & SIF_PAGE) n.page = std::min<UINT>(info.nPage, UINT(n.max - n.min + 1));
  if (info.fMask & SIF_POS) n.pos = info.nPos;
  Clamp(n);
  if (redraw) RedrawBar(hwnd, bar);
  return n.pos;
}

void Read(const ScrollNumbers& n, SCROLLINFO& info) {
  if (info.fMask & SIF_RANGE) {
    info.nMin = n.min;
    info.nMax = n.max;
  }
  if (info.fMask & SIF_PAGE) info.nPage = n.page;
  if (info.fMask & SIF_POS) info.nPos = n.pos;
  if (info.fMask & SIF_TRACKPOS) info.nTrackPos = n.trackPos;
}

}  // namespace

LRESULT ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    ScrollNumbers* n = MakeControlState<ScrollNumbers>(hwnd);
    if (n != nullptr) n->max = 100;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  ScrollNumbers* n = ControlState<ScrollNumbers>(hwnd);
  if (n == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case SBM_SETPOS: {
      int old = n->pos;
      n->pos = int(LONG_PTR(wParam));
      Clamp(*n);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case SBM_GETPOS: return n->pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      int old = n->pos;
      n->min = int(LONG_PTR(wParam));
      n->max = std::max(n->min, int(lParam));
      Clamp(*n);
      if (msg == SBM_SETRANGEREDRAW) InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case SBM_GETRANGE:
      if (wParam) *reinterpret_cast<int*>(wParam) = n->min;
      if (lParam) *reinterpret_cast<int*>(lParam) = n->max;
      return 0;
    case SBM_ENABLE_ARROWS: return TRUE;
    case SBM_SETSCROLLINFO: {
      auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
      if (info == nullptr || info->cbSize != sizeof(SCROLLINFO)) return 0;
      return Apply(hwnd, SB_CTL, *n, *info, BOOL(wParam));
    }
    case SBM_GETSCROLLINFO: {
      auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
      if (info == nullptr || info->cbSize != sizeof(SCROLLINFO)) return FALSE;
      Read(*n, *info);
      return TRUE;
    }
    case WM_GETDLGCODE: return 0;
    case WM_PAINT: UserPaintScrollBar(hwnd, *n, (GetWindowLongW(hwnd, GWL_STYLE) & SBS_VERT) != 0); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

int SetScrollInfo(HWND hwnd, int bar, LPCSCROLLINFO info, BOOL redraw) {
  ScrollNumbers* n = Numbers(hwnd, bar);
  if (n == nullptr || info == nullptr || info->cbSize != sizeof(SCROLLINFO)) return 0;
  if (bar == SB_CTL) return int(SendMessageW(hwnd, SBM_SETSCROLLINFO, WPARAM(redraw), reinterpret_cast<LPARAM>(info)));
  return Apply(hwnd, bar, *n, *info, redraw);
}

BOOL GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info) {
  ScrollNumbers* n = Numbers(hwnd, bar);
  if (n == nullptr || info == nullptr || info->cbSize != sizeof(SCROLLINFO)) return FALSE;
  if (bar == SB_CTL) return BOOL(SendMessageW(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
  Read(*n, *info);
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  ScrollNumbers* n = Numbers(hwnd, bar);
  if (n == nullptr) return 0;
  if (bar == SB_CTL) return int(SendMessageW(hwnd, SBM_SETPOS, WPARAM(pos), redraw));
  int old = n->pos;
  n->pos = pos;
  Clamp(*n);
  if (redraw) RedrawBar(hwnd, bar);
  return old;
}

int GetScrollPos(HWND hwnd, int bar) {
  ScrollNumbers* n = Numbers(hwnd, bar);
  return n == nullptr ? 0 : n->pos;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
  ScrollNumbers* n = Numbers(hwnd, bar);
  if (n == nullptr) return FALSE;
  if (bar == SB_CTL) {
    SendMessageW(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, WPARAM(min), max);
    return TRUE;
  }
  n->min = min;
  n->max = std::max(min, max);
  Clamp(*n);
  if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  ScrollNumbers* n = Numbers(hwnd, bar);
  if (n == nullptr) return FALSE;
  if (min != nullptr) *min = n->min;
  if (max != nullptr) *max = n->max;
  return TRUE;
}

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  if (bar == SB_CTL) return ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE), TRUE;
  DWORD bits = bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL | WS_VSCROLL;
  w->style = show ? (w->style | bits) : (w->style & ~bits);
  InvalidateRect(hwnd, nullptr, TRUE);
  return TRUE;
}
