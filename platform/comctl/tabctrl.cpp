// The tab control (see tabctrl.h). Tabs lie in one row from the left, each as wide as its
// text plus padding; the display area is the client area below the row, inside a frame.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/base/text.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/tabctrl.h"
#include "platform/user/sys_colors.h"

namespace {

struct Tab {
  std::u16string text;
  int image = -1;
  LPARAM lParam = 0;
  DWORD state = 0;
};

struct TabControl {
  std::vector<Tab> tabs;
  int cur = -1;
  int focus = -1;
  HANDLE images = nullptr;
};

// The tab's rectangle in the row (its width follows its text in the GUI font).
RECT TabRect(HWND hwnd, const TabControl& tc, int index) {
  HDC dc = GetDC(hwnd);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  int x = 2;
  RECT r{};
  for (int i = 0; i <= index && i < int(tc.tabs.size()); ++i) {
    SIZE size{};
    const std::u16string& text = tc.tabs[size_t(i)].text;
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    int width = size.cx + 2 * kTabPadding;
    r = RECT{x, 2, x + width, kTabHeight};
    x += width;
  }
  SelectObject(dc, old);
  ReleaseDC(hwnd, dc);
  return r;
}

void Apply(Tab& tab, const TCITEMW& item) {
  if (item.mask & TCIF_TEXT) tab.text = item.pszText ? std::u16string(item.pszText) : std::u16string();
  if (item.mask & TCIF_IMAGE) tab.image = item.iImage;
  if (item.mask & TCIF_PARAM) tab.lParam = item.lParam;
  if (item.mask & TCIF_STATE) tab.state = (tab.state & ~item.dwStateMask) | (item.dwState & item.dwStateMask);
}

void Read(const Tab& tab, TCITEMW& item) {
  if ((item.mask & TCIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0)
    lstrcpynW(item.pszText, tab.text.c_str(), item.cchTextMax);
  if (item.mask & TCIF_IMAGE) item.iImage = tab.image;
  if (item.mask & TCIF_PARAM) item.lParam = tab.lParam;
  if (item.mask & TCIF_STATE) item.dwState = tab.state & item.dwStateMask;
}

// A person picks a tab: the parent may keep the current one.
void Pick(HWND hwnd, TabControl& tc, int index) {
  if (index < 0 || index >= int(tc.tabs.size()) || index == tc.cur) return;
  if (ComctlNotifyCode(hwnd, TCN_SELCHANGING) != 0) return;
  tc.cur = tc.focus = index;
  InvalidateRect(hwnd, nullptr, TRUE);
  ComctlNotifyCode(hwnd, TCN_SELCHANGE);
}

void Paint(HWND hwnd, const TabControl& tc) {
  ComctlPaint(hwnd, [&](HDC dc, RECT client) {
    RECT body{client.left, kTabHeight, client.right, client.bottom};
    ComctlFill(dc, body, COLOR_BTNFACE);
    ComctlRaised(dc, body);
    for (int i = 0; i < int(tc.tabs.size()); ++i) {
      RECT r = TabRect(hwnd, tc, i);
      if (i == tc.cur) {
        InflateRect(&r, 2, 0);
        r.top -= 2;
        r.bottom += 1;
      }
      ComctlFill(dc, r, COLOR_BTNFACE);
      ComctlRaised(dc, RECT{r.left, r.top, r.right, r.bottom + (i == tc.cur ? 0 : 1)});
      if (i == tc.cur) {
        RECT joint{r.left + 1, r.bottom - 1, r.right - 1, r.bottom + 1};
        ComctlFill(dc, joint, COLOR_BTNFACE);
      }
      ComctlText(dc, tc.tabs[size_t(i)].text.c_str(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  });
}

}  // namespace

LRESULT TabControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    MakeControlState<TabControl>(hwnd);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  TabControl* tc = ControlState<TabControl>(hwnd);
  if (tc == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  int count = int(tc->tabs.size());
  switch (msg) {
    case TCM_INSERTITEMW: {
      auto* item = reinterpret_cast<const TCITEMW*>(lParam);
      if (item == nullptr || int(wParam) < 0) return -1;
      int at = std::min(int(wParam), count);
      Tab tab;
      Apply(tab, *item);
      tc->tabs.insert(tc->tabs.begin() + at, tab);
      if (tc->cur < 0) tc->cur = 0;
      else if (at <= tc->cur && count > 0) ++tc->cur;
      InvalidateRect(hwnd, nullptr, TRUE);
      return at;
    }
    case TCM_SETITEMW:
    case TCM_GETITEMW: {
      auto* item = reinterpret_cast<TCITEMW*>(lParam);
      if (item == nullptr || int(wParam) < 0 || int(wParam) >= count) return FALSE;
      if (msg == TCM_SETITEMW) {
        Apply(tc->tabs[wParam], *item);
        InvalidateRect(hwnd, nullptr, TRUE);
      } else {
        Read(tc->tabs[wParam], *item);
      }
      return TRUE;
    }
    case TCM_DELETEITEM:
      if (int(wParam) < 0 || int(wParam) >= count) return FALSE;
      tc->tabs.erase(tc->tabs.begin() + int(wParam));
      if (tc->cur == int(wParam)) tc->cur = -1;
      else if (tc->cur > int(wParam)) --tc->cur;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TCM_DELETEALLITEMS:
      tc->tabs.clear();
      tc->cur = tc->focus = -1;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    case TCM_GETITEMCOUNT: return count;
    case TCM_GETCURSEL: return tc->cur;
    case TCM_SETCURSEL: {
      if (int(wParam) < 0 || int(wParam) >= count) return -1;
      int old = tc->cur;
      tc->cur = tc->focus = int(wParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return old;
    }
    case TCM_GETCURFOCUS: return tc->focus;
    case TCM_SETCURFOCUS:
      if (int(wParam) >= 0 && int(wParam) < count) tc->focus = int(wParam);
      return 0;
    case TCM_GETROWCOUNT: return count > 0 ? 1 : 0;
    case TCM_GETITEMRECT:
      if (int(wParam) < 0 || int(wParam) >= count || lParam == 0) return FALSE;
      *reinterpret_cast<RECT*>(lParam) = TabRect(hwnd, *tc, int(wParam));
      return TRUE;
    case TCM_HITTEST: {
      auto* hit = reinterpret_cast<TCHITTESTINFO*>(lParam);
      if (hit == nullptr) return -1;
      for (int i = 0; i < count; ++i) {
        RECT r = TabRect(hwnd, *tc, i);
        if (PtInRect(&r, hit->pt)) {
          hit->flags = TCHT_ONITEMLABEL;
          return i;
        }
      }
      hit->flags = TCHT_NOWHERE;
      return -1;
    }
    case TCM_ADJUSTRECT: {
      // FALSE: the display area of a window rectangle; TRUE: the window rectangle of a display area.
      auto* r = reinterpret_cast<RECT*>(lParam);
      if (r == nullptr) return 0;
      int sign = wParam ? -1 : 1;
      r->left += sign * 4;
      r->right -= sign * 4;
      r->top += sign * (kTabHeight + 4);
      r->bottom -= sign * 4;
      return 0;
    }
    case TCM_SETIMAGELIST: {
      HANDLE old = tc->images;
      tc->images = reinterpret_cast<HANDLE>(lParam);
      return reinterpret_cast<LRESULT>(old);
    }
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(tc->images);
    case WM_LBUTTONDOWN: {
      TCHITTESTINFO hit{POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, 0};
      int index = int(SendMessageW(hwnd, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
      if (index >= 0) Pick(hwnd, *tc, index);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == VK_LEFT) Pick(hwnd, *tc, tc->cur - 1);
      if (wParam == VK_RIGHT) Pick(hwnd, *tc, tc->cur + 1);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_PAINT: Paint(hwnd, *tc); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

// The driver's click on a tab (comctl_sim.h).
BOOL ComctlClickTab(HWND hwnd, int index) {
  TabControl* tc = ControlState<TabControl>(hwnd);
  if (tc == nullptr || index < 0 || index >= int(tc->tabs.size())) return FALSE;
  RECT r = TabRect(hwnd, *tc, index);
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  return TRUE;
}
