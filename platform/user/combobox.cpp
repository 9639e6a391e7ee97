// The combo box control: a selection field (an edit field for CBS_SIMPLE and CBS_DROPDOWN)
// over a list that drops down. A choice from the dropped list notifies CBN_SELCHANGE,
// CBN_SELENDOK and CBN_CLOSEUP after CBN_DROPDOWN; a dropped list closed without a choice
// CBN_SELENDCANCEL and CBN_CLOSEUP; a choice by key without dropping CBN_SELCHANGE and
// CBN_SELENDOK; typing in the edit field CBN_EDITUPDATE and CBN_EDITCHANGE.
#include <algorithm>

#include "platform/user/control_paint.h"
#include "platform/user/controls_internal.h"
#include "platform/user/list_items.h"
#include "platform/user/user_sim.h"

namespace {

struct ComboState {
  ListItems list;
  int sel = -1;
  int top = 0;
  std::u16string text;  // the edit field, or the selected item's text
  UINT limit = kEditDefaultLimit;
  bool dropped = false;
  HWND before = nullptr;  // the sibling above the box before it dropped (z-order and tab order)
  bool focused = false;
  int minVisible = kComboDefaultMinVisible;
  UINT itemHeight = kListLineHeight;
  UINT fieldHeight = kListLineHeight;
  DWORD editSel = 0;
  HFONT font = nullptr;
};

// A closed combo box's height beyond its selection field's.
constexpr LONG kComboFieldMargin = 6;

DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }
UINT Kind(HWND hwnd) { return UINT(Style(hwnd) & 0x3); }
bool OwnerDrawn(DWORD style) { return (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }

void Select(HWND hwnd, ComboState& s, int index) {
  s.sel = index;
  if (index >= 0 && s.list.hasStrings) s.text = s.list.items[size_t(index)].text;
  if (index < 0 && Kind(hwnd) == CBS_DROPDOWNLIST) s.text.clear();
  InvalidateRect(hwnd, nullptr, TRUE);
}

// The height of the closed box, or of the box with its dropped list below the field: as many
// lines as the list has, at least one and at most the minimum visible count.
void FitDroppedHeight(HWND hwnd, const ComboState& s) {
  RECT r;
  GetWindowRect(hwnd, &r);
  LONG height = LONG(s.fieldHeight) + kComboFieldMargin;
  if (s.dropped) {
    const int lines = std::max(1, std::min(int(s.list.items.size()), s.minVisible));
    height += LONG(lines) * LONG(s.itemHeight) + 2;
  }
  // The dropped list lies over the controls below it; closed, the box takes its place in the
  // z-order (the dialog's tab order) again.
  SetWindowPos(hwnd, s.dropped ? HWND_TOP : (s.before != nullptr ? s.before : HWND_TOP), 0, 0, r.right - r.left,
               height, SWP_NOMOVE);
}

void Drop(HWND hwnd, ComboState& s) {
  if (s.dropped || Kind(hwnd) == CBS_SIMPLE) return;
  UserNotifyParent(hwnd, CBN_DROPDOWN);
  s.before = GetWindow(hwnd, GW_HWNDPREV);
  s.dropped = true;
  FitDroppedHeight(hwnd, s);
  InvalidateRect(hwnd, nullptr, TRUE);
}

// Closes the dropped list: with the choice kept (CBN_SELENDOK) or given up (CBN_SELENDCANCEL).
void CloseUp(HWND hwnd, ComboState& s, bool keep) {
  if (!s.dropped) return;
  UserNotifyParent(hwnd, keep ? CBN_SELENDOK : CBN_SELENDCANCEL);
  s.dropped = false;
  FitDroppedHeight(hwnd, s);
  InvalidateRect(hwnd, nullptr, TRUE);
  UserNotifyParent(hwnd, CBN_CLOSEUP);
}

void Measure(HWND hwnd, ComboState& s, UINT id) {
  RECT client;
  GetClientRect(hwnd, &client);
  MEASUREITEMSTRUCT m{ODT_COMBOBOX, UINT(GetDlgCtrlID(hwnd)), id, UINT(client.right), kListLineHeight, 0};
  UserSendToOwner(hwnd, WM_MEASUREITEM, &m);
  if (m.itemHeight == 0) return;
  if (id == UINT(-1))
    s.fieldHeight = m.itemHeight;
  else
    s.itemHeight = m.itemHeight;
}

LRESULT Insert(HWND hwnd, ComboState& s, LONG_PTR at, LPARAM lParam, bool sorted) {
  ListItem item;
  if (s.list.hasStrings) {
    if (lParam == 0) return CB_ERR;
    item.text = reinterpret_cast<LPCWSTR>(lParam);
  } else {
    item.data = ULONG_PTR(lParam);
  }
  size_t place;
  if (sorted && (Style(hwnd) & CBS_SORT) && s.list.hasStrings)
    place = s.list.SortedPlace(item.text);
  else if (at < 0)
    place = s.list.items.size();
  else if (size_t(at) > s.list.items.size())
    return CB_ERR;
  else
    place = size_t(at);
  s.list.items.insert(s.list.items.begin() + LONG_PTR(place), std::move(item));
  if (s.sel >= int(place)) s.sel++;
  return LRESULT(place);
}

// A choice the user makes: the new selection and CBN_SELCHANGE; without a dropped list the
// choice is final at once (CBN_SELENDOK).
void ChooseByUser(HWND hwnd, ComboState& s, int index) {
  if (!s.list.Valid(index) || index == s.sel) return;
  Select(hwnd, s, index);
  UserNotifyParent(hwnd, CBN_SELCHANGE);
  if (!s.dropped) UserNotifyParent(hwnd, CBN_SELENDOK);
}

void TypeCharacter(HWND hwnd, ComboState& s, WCHAR c) {
  if (Kind(hwnd) == CBS_DROPDOWNLIST) {
    int found = s.list.Find(s.sel, std::u16string(1, c), false);
    if (found >= 0) ChooseByUser(hwnd, s, found);
    return;
  }
  if (c == VK_BACK) {
    if (s.text.empty()) return;
    s.text.pop_back();
  } else if (c < 0x20) {
    return;
  } else if (s.text.size() >= s.limit) {
    MessageBeep(0);
    return;
  } else {
    s.text.push_back(c);
  }
  InvalidateRect(hwnd, nullptr, TRUE);
  UserNotifyParent(hwnd, CBN_EDITUPDATE);
  UserNotifyParent(hwnd, CBN_EDITCHANGE);
}

void KeyDown(HWND hwnd, ComboState& s, WPARAM vk) {
  int n = int(s.list.items.size());
  switch (vk) {
    case VK_F4:
      if (s.dropped)
        CloseUp(hwnd, s, true);
      else
        Drop(hwnd, s);
      return;
    case VK_RETURN: CloseUp(hwnd, s, true); return;
    case VK_ESCAPE: CloseUp(hwnd, s, false); return;
    case VK_UP: ChooseByUser(hwnd, s, std::max(0, s.sel - 1)); return;
    case VK_DOWN:
      if (GetKeyState(VK_MENU) < 0) {
        Drop(hwnd, s);
        return;
      }
      ChooseByUser(hwnd, s, s.sel < 0 ? 0 : std::min(n - 1, s.sel + 1));
      return;
    case VK_HOME: ChooseByUser(hwnd, s, 0); return;
    case VK_END: ChooseByUser(hwnd, s, n - 1); return;
    default: return;
  }
}

}  // namespace

// The driver's pick from the dropped list (see user_sim.h): the list drops when it is not
// yet, the item becomes the selection and the list closes keeping it.
BOOL UserComboPick(HWND hwnd, int index) {
  ComboState* s = ControlState<ComboState>(hwnd);
  if (s == nullptr || !s->list.Valid(index)) return FALSE;
  if (!s->dropped) SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  if (s->sel != index) {
    Select(hwnd, *s, index);
    UserNotifyParent(hwnd, CBN_SELCHANGE);
  }
  CloseUp(hwnd, *s, true);
  return TRUE;
}

// The driver drops the list and closes it again without a choice.
BOOL UserComboCancel(HWND hwnd) {
  ComboState* s = ControlState<ComboState>(hwnd);
  if (s == nullptr) return FALSE;
  if (!s->dropped) SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  CloseUp(hwnd, *s, false);
  return TRUE;
}

LRESULT ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    ComboState* s = MakeControlState<ComboState>(hwnd);
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (s != nullptr && cs != nullptr && OwnerDrawn(DWORD(cs->style)) && !(cs->style & CBS_HASSTRINGS))
      s->list.hasStrings = false;
    return TRUE;
  }
  ComboState* s = ControlState<ComboState>(hwnd);
  if (s == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  int count = int(s->list.items.size());
  switch (msg) {
    case WM_CREATE: {
      if (Style(hwnd) & CBS_OWNERDRAWFIXED) {
        Measure(hwnd, *s, UINT(-1));
        Measure(hwnd, *s, 0);
      }
      // A combo box that drops its list is as tall as its selection field while closed (the
      // height it was made with is the dropped list's).
      if (Kind(hwnd) != CBS_SIMPLE) {
        RECT r;
        GetWindowRect(hwnd, &r);
        SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, LONG(s->fieldHeight) + kComboFieldMargin,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
      }
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (s->dropped ? DLGC_WANTALLKEYS : 0);
    case CB_ADDSTRING: return Insert(hwnd, *s, -1, lParam, true);
    case CB_INSERTSTRING: return Insert(hwnd, *s, LONG_PTR(wParam), lParam, false);
    case CB_DELETESTRING: {
      LONG_PTR i = LONG_PTR(wParam);
      if (!s->list.Valid(i)) return CB_ERR;
      s->list.items.erase(s->list.items.begin() + i);
      if (s->sel == int(i)) Select(hwnd, *s, -1);
      else if (s->sel > int(i)) s->sel--;
      return LRESULT(s->list.items.size());
    }
    case CB_RESETCONTENT:
      s->list.items.clear();
      s->sel = -1;
      if (Kind(hwnd) == CBS_DROPDOWNLIST) s->text.clear();
      InvalidateRect(hwnd, nullptr, TRUE);
      return CB_OKAY;
    case CB_GETCOUNT: return count;
    case CB_GETLBTEXT: return s->list.CopyText(LONG_PTR(wParam), lParam);
    case CB_GETLBTEXTLEN: return s->list.TextLength(LONG_PTR(wParam));
    case CB_SETITEMDATA: return s->list.SetData(LONG_PTR(wParam), lParam);
    case CB_GETITEMDATA: return s->list.GetData(LONG_PTR(wParam));
    case CB_SETCURSEL: {
      LONG_PTR i = LONG_PTR(wParam);
      if (i == -1) {
        Select(hwnd, *s, -1);
        return CB_ERR;
      }
      if (!s->list.Valid(i)) return CB_ERR;
      Select(hwnd, *s, int(i));
      return LRESULT(i);
    }
    case CB_GETCURSEL: return s->sel;
    case CB_SELECTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT: {
      if (!s->list.hasStrings || lParam == 0) return CB_ERR;
      int found = s->list.Find(int(LONG_PTR(wParam)), reinterpret_cast<LPCWSTR>(lParam), msg == CB_FINDSTRINGEXACT);
      if (found < 0) return CB_ERR;
      if (msg == CB_SELECTSTRING) Select(hwnd, *s, found);
      return found;
    }
    case CB_SHOWDROPDOWN:
      if (wParam)
        Drop(hwnd, *s);
      else if (s->dropped) {
        s->dropped = false;
        FitDroppedHeight(hwnd, *s);
        InvalidateRect(hwnd, nullptr, TRUE);
        UserNotifyParent(hwnd, CBN_CLOSEUP);
      }
      return TRUE;
    case CB_GETDROPPEDSTATE: return s->dropped ? TRUE : FALSE;
    case CB_LIMITTEXT:
      if (Kind(hwnd) == CBS_DROPDOWNLIST) return CB_ERR;
      s->limit = wParam == 0 ? kEditLargestLimit : UINT(wParam);
      return TRUE;
    case CB_GETEDITSEL:
      if (Kind(hwnd) == CBS_DROPDOWNLIST) return CB_ERR;
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = LOWORD(s->editSel);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = HIWORD(s->editSel);
      return LRESULT(s->editSel);
    case CB_SETEDITSEL:
      if (Kind(hwnd) == CBS_DROPDOWNLIST) return CB_ERR;
      s->editSel = DWORD(lParam);
      return TRUE;
    case CB_SETMINVISIBLE:
      if (LONG_PTR(wParam) <= 0) return FALSE;
      s->minVisible = int(wParam);
      return TRUE;
    case CB_GETMINVISIBLE: return s->minVisible;
    case CB_SETITEMHEIGHT:
      if (LONG_PTR(wParam) == -1)
        s->fieldHeight = UINT(lParam);
      else
        s->itemHeight = UINT(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case CB_GETITEMHEIGHT: return LONG_PTR(wParam) == -1 ? s->fieldHeight : s->itemHeight;
    case CB_SETTOPINDEX:
      if (!s->list.Valid(LONG_PTR(wParam))) return CB_ERR;
      s->top = int(wParam);
      return 0;
    case CB_GETTOPINDEX: return s->top;
    case WM_SETTEXT: {
      std::u16string text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
      if (Kind(hwnd) == CBS_DROPDOWNLIST) {
        int found = s->list.Find(-1, text, true);
        if (found < 0) return CB_ERR;
        Select(hwnd, *s, found);
        return TRUE;
      }
      s->text = text;
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      auto* out = reinterpret_cast<LPWSTR>(lParam);
      size_t n = std::min<size_t>(s->text.size(), size_t(wParam) - 1);
      std::copy_n(s->text.data(), n, out);
      out[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(s->text.size());
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      if (s->dropped)
        CloseUp(hwnd, *s, true);
      else
        Drop(hwnd, *s);
      return 0;
    case WM_KEYDOWN: KeyDown(hwnd, *s, wParam); return 0;
    case WM_CHAR:
      if (wParam != VK_RETURN && wParam != VK_ESCAPE) TypeCharacter(hwnd, *s, WCHAR(wParam));
      return 0;
    case WM_SETFOCUS:
      s->focused = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      UserNotifyParent(hwnd, CBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      CloseUp(hwnd, *s, false);
      s->focused = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      UserNotifyParent(hwnd, CBN_KILLFOCUS);
      return 0;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_PAINT: {
      ComboPaint p{&s->list, s->sel,  s->text,  s->fieldHeight, s->focused, s->font, OwnerDrawn(Style(hwnd)),
                   s->dropped, s->top, s->itemHeight};
      UserPaintCombo(hwnd, p);
      return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
