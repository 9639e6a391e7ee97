// The tooltip control (see tooltip.h). Tools are kept in the order added; a tool is found by
// its window and id. TTF_SUBCLASS tools have their window's procedure replaced by one that
// hands the mouse messages to the tooltip first; the window keeps that procedure (forwarding
// only) when someone subclassed it after us, since a procedure in the middle of a chain cannot
// be taken out.
#include <algorithm>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/tooltip.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/resource.h"
#include "platform/user/sys_colors.h"

namespace {

struct Tool {
  UINT flags = 0;
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  RECT rect{};
  HINSTANCE hinst = nullptr;
  std::u16string text;
  WORD stringId = 0;  // a string of hinst, read when asked
  bool callback = false;
  LPARAM lParam = 0;
};

struct ToolTip {
  std::vector<Tool> tools;
  bool active = true;
  int maxWidth = -1;
  int current = -1;  // the tool under the mouse
  COLORREF background = 0, textColour = 0;
  bool coloursSet[2] = {false, false};
  int automatic = -1;                // TTDT_AUTOMATIC's initial delay, -1 the default
  int delays[4] = {-1, -1, -1, -1};  // set one by one (TTDT_*), -1 derived from `automatic`
  RECT margin{};
};

// The platform's default delays follow the double-click time (500 ms).
constexpr int kInitialDelay = 500;

// Windows whose procedure we replaced, and the tooltips listening to them.
struct Subclass {
  WNDPROC previous = nullptr;
  std::vector<HWND> tooltips;
};

struct Subclasses {
  std::recursive_mutex lock;
  std::map<HWND, Subclass> windows;
};

Subclasses& Hooks() {
  static auto* s = new Subclasses;
  return *s;
}

const bool registeredReset = (SimAddResetHook([] {
                                Subclasses& s = Hooks();
                                std::lock_guard<std::recursive_mutex> guard(s.lock);
                                s.windows.clear();
                              }),
                              true);

HWND ToolWindow(const Tool& t) { return (t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.id) : t.hwnd; }

bool SizeOk(const TOOLINFOW* ti) { return ti != nullptr && ti->cbSize >= kToolInfoSizeV1 && ti->cbSize <= sizeof(TOOLINFOW); }

int Find(const ToolTip& tt, HWND hwnd, UINT_PTR id) {
  for (size_t i = 0; i < tt.tools.size(); ++i)
    if (tt.tools[i].hwnd == hwnd && tt.tools[i].id == id) return int(i);
  return -1;
}

void SetText(Tool& t, HINSTANCE hinst, LPCWSTR text) {
  t.callback = text == LPSTR_TEXTCALLBACKW;
  t.stringId = 0;
  t.text.clear();
  t.hinst = hinst;
  if (t.callback || text == nullptr) return;
  if (IS_INTRESOURCE(text)) {
    t.stringId = WORD(reinterpret_cast<ULONG_PTR>(text));
    return;
  }
  t.text.assign(text, std::min<size_t>(std::char_traits<char16_t>::length(text), kToolTipTextMax));
}

// The tool's text now: kept, a string of its module, or asked of its window.
std::u16string TextOf(HWND tooltip, Tool& t) {
  if (t.stringId != 0) {
    WCHAR buffer[kToolTipTextMax + 1];
    int n = LoadStringW(t.hinst, t.stringId, buffer, kToolTipTextMax + 1);
    return std::u16string(buffer, size_t(std::max(n, 0)));
  }
  if (!t.callback) return t.text;
  NMTTDISPINFOW info{};
  info.hdr.hwndFrom = tooltip;
  info.hdr.idFrom = t.id;
  info.hdr.code = TTN_GETDISPINFOW;
  info.lpszText = info.szText;
  info.uFlags = t.flags;
  info.lParam = t.lParam;
  HWND window = t.hwnd;
  SendMessageW(window, WM_NOTIFY, WPARAM(t.id), reinterpret_cast<LPARAM>(&info));
  std::u16string text;
  if (info.lpszText != nullptr && info.lpszText != LPSTR_TEXTCALLBACKW && IS_INTRESOURCE(info.lpszText)) {
    WCHAR buffer[kToolTipTextMax + 1];
    int n = LoadStringW(info.hinst, UINT(reinterpret_cast<ULONG_PTR>(info.lpszText)), buffer, kToolTipTextMax + 1);
    text.assign(buffer, size_t(std::max(n, 0)));
  } else if (info.lpszText == info.szText) {
    info.szText[std::size(info.szText) - 1] = 0;
    text = info.szText;
  } else if (info.lpszText != nullptr && info.lpszText != LPSTR_TEXTCALLBACKW) {
    text.assign(info.lpszText, std::min<size_t>(std::char_traits<char16_t>::length(info.lpszText), kToolTipTextMax));
  }
  if ((info.uFlags & TTF_DI_SETITEM) && UserPeekWindow(tooltip)) {
    t.callback = false;
    t.text = text;
  }
  return text;
}

// Copies a tool into the caller's structure; the text into the caller's buffer when it gave
// one (at most `room` characters with the terminator), else the kept pointer's meaning.
void CopyOut(HWND tooltip, Tool& t, TOOLINFOW* ti, size_t room) {
  ti->uFlags = t.flags;
  ti->hwnd = t.hwnd;
  ti->uId = t.id;
  ti->rect = t.rect;
  ti->hinst = t.hinst;
  if (ti->cbSize >= kToolInfoSizeV2) ti->lParam = t.lParam;
  if (ti->lpszText == nullptr) return;
  if (t.callback) {
    ti->lpszText = LPSTR_TEXTCALLBACKW;
    return;
  }
  if (t.stringId != 0) {
    ti->lpszText = reinterpret_cast<LPWSTR>(ULONG_PTR(t.stringId));
    return;
  }
  std::u16string text = TextOf(tooltip, t);
  lstrcpynW(ti->lpszText, text.c_str(), int(room));
}

LRESULT SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void Listen(HWND tooltip, HWND window) {
  if (window == nullptr || !IsWindow(window)) return;
  Subclasses& s = Hooks();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  auto it = s.windows.find(window);
  if (it == s.windows.end()) {
    Subclass sub;
    sub.previous = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
    it = s.windows.emplace(window, sub).first;
  }
  if (std::find(it->second.tooltips.begin(), it->second.tooltips.end(), tooltip) == it->second.tooltips.end())
    it->second.tooltips.push_back(tooltip);
}

// Stops listening when no subclassing tool of this tooltip is left on the window; the
// window's own procedure comes back when ours is still the one on top.
void StopListening(HWND tooltip, const ToolTip& tt, HWND window) {
  for (const Tool& t : tt.tools)
    if ((t.flags & TTF_SUBCLASS) && ToolWindow(t) == window) return;
  Subclasses& s = Hooks();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  auto it = s.windows.find(window);
  if (it == s.windows.end()) return;
  std::erase(it->second.tooltips, tooltip);
  if (!it->second.tooltips.empty()) return;
  if (IsWindow(window) && GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc)) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
    s.windows.erase(it);
  }
}

bool IsMouse(UINT msg) {
  return msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_RBUTTONDOWN ||
         msg == WM_RBUTTONUP;
}

LRESULT SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC previous = nullptr;
  std::vector<HWND> tooltips;
  {
    Subclasses& s = Hooks();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    auto it = s.windows.find(hwnd);
    if (it != s.windows.end()) {
      previous = it->second.previous;
      tooltips = it->second.tooltips;
      if (msg == WM_NCDESTROY) s.windows.erase(it);
    }
  }
  if (IsMouse(msg)) {
    MSG m{hwnd, msg, wParam, lParam, GetTickCount(), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
    for (HWND tooltip : tooltips) SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
  }
  return previous ? CallWindowProcW(previous, hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

// The tool under a point of a window's client area: a TTF_IDISHWND tool of that window, else
// the first whose rectangle of that window holds the point.
int HitTest(const ToolTip& tt, HWND window, POINT at) {
  for (size_t i = 0; i < tt.tools.size(); ++i)
    if ((tt.tools[i].flags & TTF_IDISHWND) && ToolWindow(tt.tools[i]) == window) return int(i);
  for (size_t i = 0; i < tt.tools.size(); ++i)
    if (!(tt.tools[i].flags & TTF_IDISHWND) && tt.tools[i].hwnd == window && PtInRect(&tt.tools[i].rect, at)) return int(i);
  return -1;
}

void Relay(HWND tooltip, ToolTip& tt, const MSG& m) {
  if (!tt.active || !IsMouse(m.message)) return;
  int hit = HitTest(tt, m.hwnd, POINT{GET_X_LPARAM(m.lParam), GET_Y_LPARAM(m.lParam)});
  if (m.message != WM_MOUSEMOVE) hit = -1;  // a click takes a tip down
  if (hit == tt.current) return;
  tt.current = hit;
  InvalidateRect(tooltip, nullptr, TRUE);
}

void Remove(HWND tooltip, ToolTip& tt, int index) {
  Tool gone = tt.tools[size_t(index)];
  tt.tools.erase(tt.tools.begin() + index);
  if (tt.current == index) tt.current = -1;
  else if (tt.current > index) --tt.current;
  if (gone.flags & TTF_SUBCLASS) StopListening(tooltip, tt, ToolWindow(gone));
}

void Paint(HWND hwnd, ToolTip& tt) {
  std::u16string text = tt.current >= 0 ? TextOf(hwnd, tt.tools[size_t(tt.current)]) : std::u16string();
  ComctlPaint(hwnd, [&](HDC dc, RECT r) {
    ComctlFill(dc, r, COLOR_INFOBK);
    FrameRect(dc, &r, GetSysColorBrush(COLOR_INFOTEXT));
    SetTextColor(dc, tt.coloursSet[1] ? tt.textColour : GetSysColor(COLOR_INFOTEXT));
    InflateRect(&r, -3, -2);
    ComctlText(dc, text.c_str(), r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  });
}

}  // namespace

LRESULT ToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    MakeControlState<ToolTip>(hwnd);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  ToolTip* tt = ControlState<ToolTip>(hwnd);
  if (tt == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  auto* ti = reinterpret_cast<TOOLINFOW*>(lParam);
  switch (msg) {
    case TTM_ADDTOOLW: {
      if (!SizeOk(ti) || Find(*tt, ti->hwnd, ti->uId) >= 0) return FALSE;
      Tool t;
      t.flags = ti->uFlags;
      t.hwnd = ti->hwnd;
      t.id = ti->uId;
      t.rect = ti->rect;
      if (ti->cbSize >= kToolInfoSizeV2) t.lParam = ti->lParam;
      SetText(t, ti->hinst, ti->lpszText);
      tt->tools.push_back(t);
      if (t.flags & TTF_SUBCLASS) Listen(hwnd, ToolWindow(t));
      return TRUE;
    }
    case TTM_DELTOOLW: {
      if (!SizeOk(ti)) return 0;
      int i = Find(*tt, ti->hwnd, ti->uId);
      if (i >= 0) Remove(hwnd, *tt, i);
      return 0;
    }
    case TTM_NEWTOOLRECTW: {
      if (!SizeOk(ti)) return 0;
      if (int i = Find(*tt, ti->hwnd, ti->uId); i >= 0) tt->tools[size_t(i)].rect = ti->rect;
      return 0;
    }
    case TTM_UPDATETIPTEXTW: {
      if (!SizeOk(ti)) return 0;
      if (int i = Find(*tt, ti->hwnd, ti->uId); i >= 0) SetText(tt->tools[size_t(i)], ti->hinst, ti->lpszText);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case TTM_SETTOOLINFOW: {
      if (!SizeOk(ti)) return 0;
      int i = Find(*tt, ti->hwnd, ti->uId);
      if (i < 0) return 0;
      Tool& t = tt->tools[size_t(i)];
      bool listened = t.flags & TTF_SUBCLASS;
      t.flags = ti->uFlags;
      t.rect = ti->rect;
      if (ti->cbSize >= kToolInfoSizeV2) t.lParam = ti->lParam;
      SetText(t, ti->hinst, ti->lpszText);
      if (!listened && (t.flags & TTF_SUBCLASS)) Listen(hwnd, ToolWindow(t));
      if (listened && !(t.flags & TTF_SUBCLASS)) StopListening(hwnd, *tt, ToolWindow(t));
      return 0;
    }
    case TTM_GETTOOLINFOW: {
      if (!SizeOk(ti)) return FALSE;
      int i = Find(*tt, ti->hwnd, ti->uId);
      if (i < 0) return FALSE;
      CopyOut(hwnd, tt->tools[size_t(i)], ti, std::size(NMTTDISPINFOW{}.szText));
      return TRUE;
    }
    case TTM_ENUMTOOLSW:
      if (!SizeOk(ti) || wParam >= tt->tools.size()) return FALSE;
      CopyOut(hwnd, tt->tools[wParam], ti, std::size(NMTTDISPINFOW{}.szText));
      return TRUE;
    case TTM_GETCURRENTTOOLW:
      if (tt->current < 0) return FALSE;
      if (ti != nullptr && SizeOk(ti)) CopyOut(hwnd, tt->tools[size_t(tt->current)], ti, std::size(NMTTDISPINFOW{}.szText));
      return TRUE;
    case TTM_GETTEXTW: {
      // wParam: the buffer's size in characters; 0 (older callers) means the 80 of szText.
      if (!SizeOk(ti) || ti->lpszText == nullptr) return 0;
      int i = Find(*tt, ti->hwnd, ti->uId);
      size_t room = wParam ? size_t(wParam) : std::size(NMTTDISPINFOW{}.szText);
      std::u16string text = i >= 0 ? TextOf(hwnd, tt->tools[size_t(i)]) : std::u16string();
      lstrcpynW(ti->lpszText, text.c_str(), int(std::min<size_t>(room, 0x7FFFFFFF)));
      return LRESULT(std::min(text.size(), room - 1));
    }
    case TTM_HITTESTW: {
      auto* hit = reinterpret_cast<TTHITTESTINFOW*>(lParam);
      if (hit == nullptr) return FALSE;
      int i = HitTest(*tt, hit->hwnd, hit->pt);
      if (i < 0) return FALSE;
      if (SizeOk(&hit->ti)) CopyOut(hwnd, tt->tools[size_t(i)], &hit->ti, std::size(NMTTDISPINFOW{}.szText));
      return TRUE;
    }
    case TTM_GETTOOLCOUNT: return LRESULT(tt->tools.size());
    case TTM_ACTIVATE:
      tt->active = wParam != 0;
      if (!tt->active) tt->current = -1;
      return 0;
    case TTM_RELAYEVENT:
      if (lParam) Relay(hwnd, *tt, *reinterpret_cast<const MSG*>(lParam));
      return 0;
    case TTM_POP: tt->current = -1; return 0;
    case TTM_UPDATE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case TTM_SETMAXTIPWIDTH: {
      int old = tt->maxWidth;
      tt->maxWidth = int(lParam);
      return old;
    }
    case TTM_GETMAXTIPWIDTH: return tt->maxWidth;
    case TTM_SETDELAYTIME:
      if (wParam == TTDT_AUTOMATIC) {
        tt->automatic = std::max(-1, int(SHORT(LOWORD(lParam))));
        for (int& d : tt->delays) d = -1;
      } else if (wParam <= TTDT_INITIAL) {
        tt->delays[wParam] = std::max(-1, int(SHORT(LOWORD(lParam))));
      }
      return 0;
    case TTM_GETDELAYTIME: {
      // A delay not set by itself follows the initial one: ten times for the pop-down, a
      // fifth for the reshow.
      if (wParam == TTDT_AUTOMATIC || wParam > TTDT_INITIAL) return 0;
      if (tt->delays[wParam] >= 0) return tt->delays[wParam];
      int base = tt->automatic >= 0 ? tt->automatic : kInitialDelay;
      return wParam == TTDT_AUTOPOP ? base * 10 : wParam == TTDT_RESHOW ? base / 5 : base;
    }
    case TTM_SETTIPBKCOLOR: tt->background = COLORREF(wParam), tt->coloursSet[0] = true; return 0;
    case TTM_SETTIPTEXTCOLOR: tt->textColour = COLORREF(wParam), tt->coloursSet[1] = true; return 0;
    case TTM_GETTIPBKCOLOR: return tt->coloursSet[0] ? tt->background : GetSysColor(COLOR_INFOBK);
    case TTM_GETTIPTEXTCOLOR: return tt->coloursSet[1] ? tt->textColour : GetSysColor(COLOR_INFOTEXT);
    case TTM_SETMARGIN:
      if (lParam) tt->margin = *reinterpret_cast<const RECT*>(lParam);
      return 0;
    case TTM_GETMARGIN:
      if (lParam) *reinterpret_cast<RECT*>(lParam) = tt->margin;
      return 0;
    case WM_DESTROY:
      while (!tt->tools.empty()) Remove(hwnd, *tt, int(tt->tools.size()) - 1);
      return 0;
    case WM_PAINT: Paint(hwnd, *tt); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
