// The progress bar (see progress.h): the owner sets the range and moves the position; the bar
// only shows it (blocks, or one smooth bar with PBS_SMOOTH).
#include <algorithm>

#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/progress.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/user/sys_colors.h"

namespace {

struct Progress {
  int low = 0;
  int high = 100;
  int pos = 0;
  int step = 10;
  COLORREF bar = CLR_DEFAULT;
  COLORREF background = CLR_DEFAULT;
  bool marquee = false;
};

constexpr int kBlockWidth = 8;
constexpr int kBlockGap = 2;

DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }

int Clamp(const Progress& p, long long v) { return int(std::clamp<long long>(v, p.low, std::max(p.low, p.high))); }

// Moves to a new position; answers the one before.
int Move(HWND hwnd, Progress& p, int next) {
  int old = p.pos;
  p.pos = next;
  if (old != next) InvalidateRect(hwnd, nullptr, FALSE);
  return old;
}

void Fill(HDC dc, RECT r, COLORREF colour, int sysColour) {
  if (colour == CLR_DEFAULT) {
    ComctlFill(dc, r, sysColour);
    return;
  }
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Paint(HWND hwnd, const Progress& p) {
  ComctlPaint(hwnd, [&](HDC dc, RECT r) {
    Fill(dc, r, p.background, COLOR_BTNFACE);
    ComctlSunken(dc, r);
    InflateRect(&r, -2, -2);
    bool vertical = (Style(hwnd) & PBS_VERTICAL) != 0;
    int length = vertical ? r.bottom - r.top : r.right - r.left;
    int span = std::max(1, p.high - p.low);
    int filled = int((long long)(p.pos - p.low) * length / span);
    if (filled <= 0) return;
    if (Style(hwnd) & PBS_SMOOTH) {
      RECT bar = vertical ? RECT{r.left, r.bottom - filled, r.right, r.bottom} : RECT{r.left, r.top, r.left + filled, r.bottom};
      Fill(dc, bar, p.bar, COLOR_HIGHLIGHT);
      return;
    }
    for (int at = 0; at < filled; at += kBlockWidth + kBlockGap) {
      int end = std::min(filled, at + kBlockWidth);
      RECT block = vertical ? RECT{r.left, r.bottom - end, r.right, r.bottom - at} : RECT{r.left + at, r.top, r.left + end, r.bottom};
      Fill(dc, block, p.bar, COLOR_HIGHLIGHT);
    }
  });
}

}  // namespace

LRESULT ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    MakeControlState<Progress>(hwnd);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  Progress* p = ControlState<Progress>(hwnd);
  if (p == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
      LRESULT old = MAKELONG(WORD(p->low), WORD(p->high));
      if (msg == PBM_SETRANGE) {
        p->low = WORD(LOWORD(lParam));
        p->high = WORD(HIWORD(lParam));
      } else {
        p->low = int(wParam);
        p->high = int(lParam);
      }
      Move(hwnd, *p, Clamp(*p, p->pos));
      InvalidateRect(hwnd, nullptr, FALSE);
      return old;
    }
    case PBM_GETRANGE:
      if (lParam) *reinterpret_cast<PBRANGE*>(lParam) = PBRANGE{p->low, p->high};
      return wParam ? p->low : p->high;
    case PBM_SETPOS: return Move(hwnd, *p, Clamp(*p, int(wParam)));
    case PBM_DELTAPOS: return Move(hwnd, *p, Clamp(*p, (long long)p->pos + int(wParam)));
    case PBM_GETPOS: return p->pos;
    case PBM_SETSTEP: {
      int old = p->step;
      p->step = int(wParam);
      return old;
    }
    case PBM_STEPIT: {
      // Past the end the bar starts over from the beginning, the overshoot carried along.
      long long next = (long long)p->pos + p->step;
      long long span = (long long)p->high - p->low;
      if (span > 0 && next > p->high) next = p->low + (next - p->low) % span;
      if (span > 0 && next < p->low) next = p->high - (p->low - next) % span;
      return Move(hwnd, *p, Clamp(*p, next));
    }
    case PBM_SETBARCOLOR: {
      COLORREF old = p->bar;
      p->bar = COLORREF(lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return old;
    }
    case PBM_SETBKCOLOR: {
      COLORREF old = p->background;
      p->background = COLORREF(lParam);
      InvalidateRect(hwnd, nullptr, FALSE);
      return old;
    }
    case PBM_SETMARQUEE: p->marquee = wParam != 0; return TRUE;
    case WM_PAINT: Paint(hwnd, *p); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
