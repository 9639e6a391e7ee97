// The list box control: items with texts and item data, sorted or in insertion order, one
// selection, the top line, owner-drawn lines measured by the owner, and the notices of mouse
// and keyboard choices.
#include <algorithm>

#include "platform/user/control_paint.h"
#include "platform/user/controls_internal.h"
#include "platform/user/list_items.h"

namespace {

struct ListBoxState {
  ListItems list;
  int sel = -1;
  int top = 0;
  int caret = 0;
  UINT itemHeight = kListLineHeight;
  bool redraw = true;
  bool focused = false;
  std::vector<int> tabStops;
  HFONT font = nullptr;
};

DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }
bool OwnerDrawn(DWORD style) { return (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }

int VisibleLines(HWND hwnd, const ListBoxState& s) {
  RECT client;
  GetClientRect(hwnd, &client);
  return std::max(1, int(client.bottom / LONG(std::max<UINT>(s.itemHeight, 1))));
}

void Redraw(HWND hwnd, const ListBoxState& s) {
  if (s.redraw) InvalidateRect(hwnd, nullptr, TRUE);
}

void ScrollIntoView(HWND hwnd, ListBoxState& s, int index) {
  if (index < 0) return;
  int lines = VisibleLines(hwnd, s);
  if (index < s.top) s.top = index;
  if (index >= s.top + lines) s.top = index - lines + 1;
}

void Select(HWND hwnd, ListBoxState& s, int index) {
  s.sel = index;
  if (index >= 0) s.caret = index;
  ScrollIntoView(hwnd, s, index);
  Redraw(hwnd, s);
}

void Notify(HWND hwnd, WORD code) {
  if (Style(hwnd) & LBS_NOTIFY) UserNotifyParent(hwnd, code);
}

// Where a sorted owner-drawn list without strings puts an item: the owner compares
// (WM_COMPAREITEM answers -1, 0 or 1 for item 1 before, same as or after item 2).
size_t ComparedPlace(HWND hwnd, const ListBoxState& s, ULONG_PTR data) {
  size_t i = 0;
  for (; i < s.list.items.size(); ++i) {
    COMPAREITEMSTRUCT c{ODT_LISTBOX, UINT(GetDlgCtrlID(hwnd)), hwnd, UINT(i), s.list.items[i].data, UINT(-1), data, 0};
    if (UserSendToOwner(hwnd, WM_COMPAREITEM, &c) > 0) break;
  }
  return i;
}

void MeasureItem(HWND hwnd, ListBoxState& s, UINT id, ULONG_PTR data) {
  RECT client;
  GetClientRect(hwnd, &client);
  MEASUREITEMSTRUCT m{ODT_LISTBOX, UINT(GetDlgCtrlID(hwnd)), id, UINT(client.right), s.itemHeight, data};
  UserSendToOwner(hwnd, WM_MEASUREITEM, &m);
  if (m.itemHeight > 0) s.itemHeight = m.itemHeight;
}

LRESULT Insert(HWND hwnd, ListBoxState& s, LONG_PTR at, LPARAM lParam, bool sorted) {
  DWORD style = Style(hwnd);
  ListItem item;
  if (s.list.hasStrings) {
    if (lParam == 0) return LB_ERR;
    item.text = reinterpret_cast<LPCWSTR>(lParam);
  } else {
    item.data = ULONG_PTR(lParam);
  }
  size_t place;
  if (sorted && (style & LBS_SORT))
    place = s.list.hasStrings ? s.list.SortedPlace(item.text) : ComparedPlace(hwnd, s, item.data);
  else if (at < 0)
    place = s.list.items.size();
  else if (size_t(at) > s.list.items.size())
    return LB_ERR;
  else
    place = size_t(at);
  s.list.items.insert(s.list.items.begin() + LONG_PTR(place), std::move(item));
  if (s.sel >= int(place)) s.sel++;
  if (style & LBS_OWNERDRAWVARIABLE) MeasureItem(hwnd, s, UINT(place), s.list.items[place].data);
  Redraw(hwnd, s);
  return LRESULT(place);
}

int IndexAt(HWND hwnd, const ListBoxState& s, LPARAM point) {
  int y = GET_Y_LPARAM(point);
  if (y < 0) return -1;
  int index = s.top + y / int(std::max<UINT>(s.itemHeight, 1));
  RECT client;
  GetClientRect(hwnd, &client);
  if (y >= client.bottom || index >= int(s.list.items.size())) return -1;
  return index;
}

// The default movement of a key; -1 when the key moves nothing.
int KeyTarget(HWND hwnd, const ListBoxState& s, WPARAM vk) {
  int n = int(s.list.items.size());
  if (n == 0) return -1;
  int from = s.sel < 0 ? s.caret : s.sel;
  int page = std::max(1, VisibleLines(hwnd, s) - 1);
  switch (vk) {
    case VK_UP: return std::max(0, from - 1);
    case VK_DOWN: return s.sel < 0 ? 0 : std::min(n - 1, from + 1);
    case VK_HOME: return 0;
    case VK_END: return n - 1;
    case VK_PRIOR: return std::max(0, from - page);
    case VK_NEXT: return std::min(n - 1, from + page);
    default: return -1;
  }
}

// A choice the user makes; the parent hears LBN_SELCHANGE when the selection changes.
void ChooseByUser(HWND hwnd, ListBoxState& s, int index) {
  if (index < 0 || index >= int(s.list.items.size()) || index == s.sel) return;
  Select(hwnd, s, index);
  Notify(hwnd, LBN_SELCHANGE);
}

LRESULT Scroll(HWND hwnd, ListBoxState& s, WPARAM wParam) {
  int n = int(s.list.items.size());
  int lines = VisibleLines(hwnd, s);
  int last = std::max(0, n - lines);
  int top = s.top;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: top--; break;
    case SB_LINEDOWN: top++; break;
    case SB_PAGEUP: top -= lines; break;
    case SB_PAGEDOWN: top += lines; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: top = HIWORD(wParam); break;
    case SB_TOP: top = 0; break;
    case SB_BOTTOM: top = last; break;
    default: return 0;
  }
  s.top = std::clamp(top, 0, last);
  Redraw(hwnd, s);
  return 0;
}

}  // namespace

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    ListBoxState* s = MakeControlState<ListBoxState>(hwnd);
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (s != nullptr && cs != nullptr && OwnerDrawn(DWORD(cs->style)) && !(cs->style & LBS_HASSTRINGS))
      s->list.hasStrings = false;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  ListBoxState* s = ControlState<ListBoxState>(hwnd);
  if (s == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  int count = int(s->list.items.size());
  switch (msg) {
    case WM_CREATE:
      if (Style(hwnd) & LBS_OWNERDRAWFIXED) MeasureItem(hwnd, *s, 0, 0);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case LB_ADDSTRING: return Insert(hwnd, *s, -1, lParam, true);
    case LB_INSERTSTRING: return Insert(hwnd, *s, LONG_PTR(wParam), lParam, false);
    case LB_DELETESTRING: {
      LONG_PTR i = LONG_PTR(wParam);
      if (!s->list.Valid(i)) return LB_ERR;
      s->list.items.erase(s->list.items.begin() + i);
      if (s->sel == int(i)) s->sel = -1;
      else if (s->sel > int(i)) s->sel--;
      s->top = std::min(s->top, std::max(0, count - 2));
      Redraw(hwnd, *s);
      return LRESULT(s->list.items.size());
    }
    case LB_RESETCONTENT:
      s->list.items.clear();
      s->sel = -1;
      s->top = s->caret = 0;
      Redraw(hwnd, *s);
      return 0;
    case LB_GETCOUNT: return count;
    case LB_GETTEXT: return s->list.CopyText(LONG_PTR(wParam), lParam);
    case LB_GETTEXTLEN: return s->list.TextLength(LONG_PTR(wParam));
    case LB_SETITEMDATA: return s->list.SetData(LONG_PTR(wParam), lParam);
    case LB_GETITEMDATA: return s->list.GetData(LONG_PTR(wParam));
    case LB_SETCURSEL: {
      LONG_PTR i = LONG_PTR(wParam);
      if (i == -1) {
        Select(hwnd, *s, -1);
        return LB_ERR;
      }
      if (!s->list.Valid(i)) return LB_ERR;
      Select(hwnd, *s, int(i));
      return LRESULT(i);
    }
    case LB_GETCURSEL: return s->sel;
    case LB_GETSEL:
      if (!s->list.Valid(LONG_PTR(wParam))) return LB_ERR;
      return LONG_PTR(wParam) == s->sel ? 1 : 0;
    case LB_SELECTSTRING:
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT: {
      int found = -1;
      if (s->list.hasStrings) {
        if (lParam == 0) return LB_ERR;
        found = s->list.Find(int(LONG_PTR(wParam)), reinterpret_cast<LPCWSTR>(lParam), msg == LB_FINDSTRINGEXACT);
      } else {
        for (int i = 0; i < count && found < 0; ++i)
          if (s->list.items[size_t(i)].data == ULONG_PTR(lParam)) found = i;
      }
      if (found < 0) return LB_ERR;
      if (msg == LB_SELECTSTRING) Select(hwnd, *s, found);
      return found;
    }
    case LB_SETTOPINDEX:
      if (!s->list.Valid(LONG_PTR(wParam)) && !(wParam == 0 && count == 0)) return LB_ERR;
      s->top = int(wParam);
      Redraw(hwnd, *s);
      return 0;
    case LB_GETTOPINDEX: return s->top;
    case LB_SETCARETINDEX:
      if (!s->list.Valid(LONG_PTR(wParam))) return LB_ERR;
      s->caret = int(wParam);
      return 0;
    case LB_GETCARETINDEX: return s->caret;
    case LB_GETITEMHEIGHT: return s->itemHeight;
    case LB_SETITEMHEIGHT:
      if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255) return LB_ERR;
      s->itemHeight = LOWORD(lParam);
      Redraw(hwnd, *s);
      return 0;
    case LB_GETITEMRECT: {
      LONG_PTR i = LONG_PTR(wParam);
      if (!s->list.Valid(i) || lParam == 0) return LB_ERR;
      RECT client;
      GetClientRect(hwnd, &client);
      LONG h = LONG(s->itemHeight);
      *reinterpret_cast<RECT*>(lParam) = RECT{0, LONG(i - s->top) * h, client.right, LONG(i - s->top + 1) * h};
      return 1;
    }
    case LB_ITEMFROMPOINT: {
      int i = IndexAt(hwnd, *s, lParam);
      return i < 0 ? MAKELONG(WORD(std::max(0, count - 1)), 1) : MAKELONG(WORD(i), 0);
    }
    case LB_SETTABSTOPS: {
      s->tabStops.clear();
      const int* stops = reinterpret_cast<const int*>(lParam);
      for (WPARAM i = 0; stops != nullptr && i < wParam; ++i) s->tabStops.push_back(stops[i]);
      return TRUE;
    }
    case WM_SETREDRAW:
      s->redraw = wParam != 0;
      Redraw(hwnd, *s);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(hwnd);
      int i = IndexAt(hwnd, *s, lParam);
      if (i < 0) return 0;
      ChooseByUser(hwnd, *s, i);
      if (msg == WM_LBUTTONDBLCLK) Notify(hwnd, LBN_DBLCLK);
      return 0;
    }
    case WM_VSCROLL: return Scroll(hwnd, *s, wParam);
    case WM_KEYDOWN: {
      if (Style(hwnd) & LBS_WANTKEYBOARDINPUT) {
        LRESULT r = SendMessageW(GetParent(hwnd), WM_VKEYTOITEM, MAKEWPARAM(WORD(wParam), WORD(s->caret)),
                                 reinterpret_cast<LPARAM>(hwnd));
        if (r == -2) return 0;
        if (r >= 0) {
          ChooseByUser(hwnd, *s, int(r));
          return 0;
        }
      }
      int target = KeyTarget(hwnd, *s, wParam);
      if (target >= 0 && target != s->sel) ChooseByUser(hwnd, *s, target);
      return 0;
    }
    case WM_CHAR: {
      if (!s->list.hasStrings) {
        if (!(Style(hwnd) & LBS_WANTKEYBOARDINPUT)) return 0;
        LRESULT r = SendMessageW(GetParent(hwnd), WM_CHARTOITEM, MAKEWPARAM(WORD(wParam), WORD(s->caret)),
                                 reinterpret_cast<LPARAM>(hwnd));
        if (r >= 0) ChooseByUser(hwnd, *s, int(r));
        return 0;
      }
      int found = s->list.Find(s->sel, std::u16string(1, WCHAR(wParam)), false);
      if (found >= 0 && found != s->sel) ChooseByUser(hwnd, *s, found);
      return 0;
    }
    case WM_SETFOCUS:
      s->focused = true;
      Redraw(hwnd, *s);
      UserNotifyParent(hwnd, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      Redraw(hwnd, *s);
      UserNotifyParent(hwnd, LBN_KILLFOCUS);
      return 0;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) Redraw(hwnd, *s);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_PAINT: {
      DWORD style = Style(hwnd);
      ListPaint p{&s->list, s->sel, s->top, s->itemHeight, s->focused, s->font, OwnerDrawn(style),
                  (style & LBS_USETABSTOPS) != 0};
      UserPaintList(hwnd, p);
      return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
