// The track bar (see trackbar.h). A person's action moves the thumb by the action's amount
// (lines, pages, ends, or to a position), then tells the parent with the action's code (the
// position rides along for TB_THUMBPOSITION and TB_THUMBTRACK) and TB_ENDTRACK.
#include <algorithm>
#include <vector>

#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/trackbar.h"
#include "platform/user/sys_colors.h"

namespace {

struct TrackBar {
  int min = 0;
  int max = 100;
  int pos = 0;
  int line = 1;
  int page = 20;
  int ticFrequency = 1;
  std::vector<int> tics;  // set one by one (TBM_SETTIC)
  int selStart = 0, selEnd = 0;
  HWND buddies[2] = {nullptr, nullptr};  // left (or top) and right (or bottom)
};

constexpr int kThumbWidth = 10;
constexpr int kChannelInset = 8;

DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }

void Clamp(TrackBar& t) { t.pos = std::clamp(t.pos, t.min, std::max(t.min, t.max)); }

// The channel the thumb runs along, in client coordinates.
RECT Channel(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  if (Style(hwnd) & TBS_VERT) {
    int x = (r.left + r.right) / 2;
    return RECT{x - 2, r.top + kChannelInset, x + 2, r.bottom - kChannelInset};
  }
  int y = (r.top + r.bottom) / 2;
  return RECT{r.left + kChannelInset, y - 2, r.right - kChannelInset, y + 2};
}

// Where a position lies along the channel.
int Offset(HWND hwnd, const TrackBar& t, int pos) {
  RECT c = Channel(hwnd);
  int length = (Style(hwnd) & TBS_VERT) ? c.bottom - c.top : c.right - c.left;
  int span = std::max(1, t.max - t.min);
  return int((long long)(pos - t.min) * length / span);
}

RECT Thumb(HWND hwnd, const TrackBar& t) {
  RECT c = Channel(hwnd), r;
  GetClientRect(hwnd, &r);
  int at = Offset(hwnd, t, t.pos);
  if (Style(hwnd) & TBS_VERT) return RECT{r.left + 2, c.top + at - kThumbWidth / 2, r.right - 2, c.top + at + kThumbWidth / 2};
  return RECT{c.left + at - kThumbWidth / 2, r.top + 2, c.left + at + kThumbWidth / 2, r.bottom - 2};
}

void Paint(HWND hwnd, const TrackBar& t) {
  ComctlPaint(hwnd, [&](HDC dc, RECT client) {
    RECT c = Channel(hwnd);
    ComctlFill(dc, c, COLOR_WINDOW);
    ComctlSunken(dc, c);
    bool vertical = (Style(hwnd) & TBS_VERT) != 0;
    if ((Style(hwnd) & TBS_AUTOTICKS) && !(Style(hwnd) & TBS_NOTICKS) && t.ticFrequency > 0) {
      HBRUSH ink = GetSysColorBrush(COLOR_BTNTEXT);
      for (long long v = t.min; v <= t.max; v += t.ticFrequency) {
        int at = Offset(hwnd, t, int(v));
        RECT tick = vertical ? RECT{client.right - 4, c.top + at, client.right - 1, c.top + at + 1}
                             : RECT{c.left + at, client.bottom - 4, c.left + at + 1, client.bottom - 1};
        FillRect(dc, &tick, ink);
      }
    }
    if (!(Style(hwnd) & TBS_NOTHUMB)) {
      RECT thumb = Thumb(hwnd, t);
      ComctlFill(dc, thumb, COLOR_BTNFACE);
      ComctlRaised(dc, thumb);
    }
  });
}

// The action of a person: the new position for the code, then the parent's two notices.
void Act(HWND hwnd, TrackBar& t, int code, int pos) {
  switch (code) {
    case TB_LINEUP: t.pos -= t.line; break;
    case TB_LINEDOWN: t.pos += t.line; break;
    case TB_PAGEUP: t.pos -= t.page; break;
    case TB_PAGEDOWN: t.pos += t.page; break;
    case TB_THUMBPOSITION:
    case TB_THUMBTRACK: t.pos = pos; break;
    case TB_TOP: t.pos = t.min; break;
    case TB_BOTTOM: t.pos = t.max; break;
    default: return;
  }
  Clamp(t);
  InvalidateRect(hwnd, nullptr, FALSE);
  HWND parent = GetParent(hwnd);
  if (parent == nullptr) return;
  UINT scroll = (Style(hwnd) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  bool withPos = code == TB_THUMBPOSITION || code == TB_THUMBTRACK;
  SendMessageW(parent, scroll, MAKEWPARAM(WORD(code), withPos ? WORD(t.pos) : 0), reinterpret_cast<LPARAM>(hwnd));
  SendMessageW(parent, scroll, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(hwnd));
}

}  // namespace

LRESULT TrackBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    MakeControlState<TrackBar>(hwnd);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  TrackBar* t = ControlState<TrackBar>(hwnd);
  if (t == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  auto redraw = [&](bool yes) {
    if (yes) InvalidateRect(hwnd, nullptr, TRUE);
  };
  switch (msg) {
    case TBM_GETPOS: return t->pos;
    case TBM_GETRANGEMIN: return t->min;
    case TBM_GETRANGEMAX: return t->max;
    case TBM_SETRANGE:
      t->min = SHORT(LOWORD(lParam));
      t->max = SHORT(HIWORD(lParam));
      Clamp(*t);
      redraw(wParam);
      return 0;
    case TBM_SETRANGEMIN:
      t->min = int(lParam);
      Clamp(*t);
      redraw(wParam);
      return 0;
    case TBM_SETRANGEMAX:
      t->max = int(lParam);
      Clamp(*t);
      redraw(wParam);
      return 0;
    case TBM_SETPOS:
    case TBM_SETPOSNOTIFY:
      t->pos = int(lParam);
      Clamp(*t);
      redraw(msg == TBM_SETPOSNOTIFY || wParam);
      return 0;
    case TBM_SETPAGESIZE: {
      int old = t->page;
      t->page = int(lParam);
      return old;
    }
    case TBM_GETPAGESIZE: return t->page;
    case TBM_SETLINESIZE: {
      int old = t->line;
      t->line = int(lParam);
      return old;
    }
    case TBM_GETLINESIZE: return t->line;
    case TBM_SETTICFREQ: t->ticFrequency = int(wParam); redraw(true); return 0;
    case TBM_SETTIC:
      if (int(lParam) < t->min || int(lParam) > t->max) return FALSE;
      t->tics.push_back(int(lParam));
      return TRUE;
    case TBM_GETTIC: return WPARAM(wParam) < t->tics.size() ? t->tics[wParam] : -1;
    case TBM_CLEARTICS: t->tics.clear(); redraw(wParam); return 0;
    case TBM_GETNUMTICS:
      // The two ends and the ticks set one by one (TBS_NOTICKS: none at all).
      return (Style(hwnd) & TBS_NOTICKS) ? 0 : LRESULT(2 + t->tics.size());
    case TBM_SETSEL:
      t->selStart = SHORT(LOWORD(lParam));
      t->selEnd = SHORT(HIWORD(lParam));
      redraw(wParam);
      return 0;
    case TBM_SETSELSTART: t->selStart = int(lParam); redraw(wParam); return 0;
    case TBM_SETSELEND: t->selEnd = int(lParam); redraw(wParam); return 0;
    case TBM_GETSELSTART: return t->selStart;
    case TBM_GETSELEND: return t->selEnd;
    case TBM_CLEARSEL: t->selStart = t->selEnd = 0; redraw(wParam); return 0;
    case TBM_GETTHUMBRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = Thumb(hwnd, *t);
      return 0;
    case TBM_GETCHANNELRECT:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = Channel(hwnd);
      return 0;
    case TBM_SETBUDDY: {
      HWND& slot = t->buddies[wParam ? 0 : 1];
      HWND old = slot;
      slot = reinterpret_cast<HWND>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case TBM_GETBUDDY: return reinterpret_cast<LRESULT>(t->buddies[wParam ? 0 : 1]);
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_LEFT:
        case VK_UP: Act(hwnd, *t, TB_LINEUP, 0); break;
        case VK_RIGHT:
        case VK_DOWN: Act(hwnd, *t, TB_LINEDOWN, 0); break;
        case VK_PRIOR: Act(hwnd, *t, TB_PAGEUP, 0); break;
        case VK_NEXT: Act(hwnd, *t, TB_PAGEDOWN, 0); break;
        case VK_HOME: Act(hwnd, *t, TB_TOP, 0); break;
        case VK_END: Act(hwnd, *t, TB_BOTTOM, 0); break;
        default: break;
      }
      return 0;
    case WM_LBUTTONDOWN: {
      // A click beside the thumb moves a page toward the click.
      RECT thumb = Thumb(hwnd, *t);
      bool vertical = (Style(hwnd) & TBS_VERT) != 0;
      int at = vertical ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
      if (at < (vertical ? thumb.top : thumb.left)) Act(hwnd, *t, TB_PAGEUP, 0);
      else if (at >= (vertical ? thumb.bottom : thumb.right)) Act(hwnd, *t, TB_PAGEDOWN, 0);
      SetFocus(hwnd);
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case WM_PAINT: Paint(hwnd, *t); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

// The driver's action on a track bar (comctl_sim.h).
BOOL ComctlTrack(HWND hwnd, int code, int pos) {
  TrackBar* t = ControlState<TrackBar>(hwnd);
  if (t == nullptr || code < TB_LINEUP || code > TB_BOTTOM) return FALSE;
  Act(hwnd, *t, code, pos);
  return TRUE;
}
