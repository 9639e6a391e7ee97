// The edit control: its text, limit, selection, read-only and number-only styles, password
// character, modify flag and one level of undo. Typed characters (WM_CHAR) honour the limit
// and the styles; every change tells the parent EN_UPDATE, then EN_CHANGE.
#include <algorithm>

#include "platform/user/control_paint.h"
#include "platform/user/controls_internal.h"

namespace {

struct EditState {
  std::u16string text;
  UINT limit = kEditDefaultLimit;
  size_t anchor = 0;  // selection: from anchor to caret
  size_t caret = 0;
  bool modified = false;
  std::u16string undo;
  bool canUndo = false;
  WCHAR passwordChar = 0;
  HFONT font = nullptr;
  bool focused = false;
};

size_t SelStart(const EditState& s) { return std::min(s.anchor, s.caret); }
size_t SelEnd(const EditState& s) { return std::max(s.anchor, s.caret); }

void Changed(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, TRUE);
  UserNotifyParent(hwnd, EN_UPDATE);
  UserNotifyParent(hwnd, EN_CHANGE);
}

// Replaces the selection by `with` as typing does: refused whole (EN_MAXTEXT) when the result
// would pass the limit.
bool ReplaceSelection(HWND hwnd, EditState& s, const std::u16string& with, bool keepUndo) {
  size_t a = SelStart(s), b = SelEnd(s);
  if (s.text.size() - (b - a) + with.size() > s.limit) {
    UserNotifyParent(hwnd, EN_MAXTEXT);
    return false;
  }
  if (keepUndo) {
    s.undo = s.text;
    s.canUndo = true;
  }
  s.text.replace(a, b - a, with);
  s.anchor = s.caret = a + with.size();
  s.modified = true;
  Changed(hwnd);
  return true;
}

void TypeCharacter(HWND hwnd, EditState& s, WCHAR c) {
  DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
  if (style & ES_READONLY) {
    MessageBeep(0);
    return;
  }
  if (c == VK_BACK) {
    if (SelStart(s) == SelEnd(s)) {
      if (s.caret == 0) return;
      s.anchor = s.caret - 1;
    }
    ReplaceSelection(hwnd, s, u"", true);
    return;
  }
  if (c < 0x20) return;
  if ((style & ES_NUMBER) && (c < u'0' || c > u'9')) {
    MessageBeep(0);
    return;
  }
  if (style & ES_UPPERCASE) c = (c >= u'a' && c <= u'z') ? WCHAR(c - 32) : c;
  if (style & ES_LOWERCASE) c = (c >= u'A' && c <= u'Z') ? WCHAR(c + 32) : c;
  ReplaceSelection(hwnd, s, std::u16string(1, c), true);
}

void MoveCaret(EditState& s, size_t to, bool extend) {
  s.caret = std::min(to, s.text.size());
  if (!extend) s.anchor = s.caret;
}

}  // namespace

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    EditState* s = MakeControlState<EditState>(hwnd);
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (s != nullptr && cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName)) s->text = cs->lpszName;
    if (s != nullptr && cs != nullptr && (cs->style & ES_PASSWORD)) s->passwordChar = u'*';
    return TRUE;
  }
  EditState* s = ControlState<EditState>(hwnd);
  if (s == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
  switch (msg) {
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      return (style & ES_MULTILINE) ? code | DLGC_WANTALLKEYS : code;
    }
    case WM_SETTEXT:
      s->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
      s->anchor = s->caret = 0;
      s->modified = false;
      s->canUndo = false;
      Changed(hwnd);
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      auto* out = reinterpret_cast<LPWSTR>(lParam);
      size_t n = std::min<size_t>(s->text.size(), size_t(wParam) - 1);
      std::copy_n(s->text.data(), n, out);
      out[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(s->text.size());
    case WM_CHAR:
      if (IsWindowEnabled(hwnd)) TypeCharacter(hwnd, *s, WCHAR(wParam));
      return 0;
    case WM_KEYDOWN: {
      bool extend = GetKeyState(VK_SHIFT) < 0;
      switch (wParam) {
        case VK_LEFT: MoveCaret(*s, s->caret == 0 ? 0 : s->caret - 1, extend); break;
        case VK_RIGHT: MoveCaret(*s, s->caret + 1, extend); break;
        case VK_HOME: MoveCaret(*s, 0, extend); break;
        case VK_END: MoveCaret(*s, s->text.size(), extend); break;
        case VK_DELETE:
          if (style & ES_READONLY) break;
          if (SelStart(*s) == SelEnd(*s)) MoveCaret(*s, s->caret + 1, true);
          if (SelStart(*s) != SelEnd(*s)) ReplaceSelection(hwnd, *s, u"", true);
          break;
        default: break;
      }
      return 0;
    }
    case EM_GETSEL: {
      DWORD a = DWORD(SelStart(*s)), b = DWORD(SelEnd(*s));
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = a;
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = b;
      return MAKELONG(std::min<DWORD>(a, 0xFFFF), std::min<DWORD>(b, 0xFFFF));
    }
    case EM_SETSEL: {
      LONG a = LONG(wParam), b = LONG(lParam);
      if (a == -1) {
        s->anchor = s->caret;
      } else {
        size_t n = s->text.size();
        s->anchor = a < 0 ? n : std::min<size_t>(size_t(a), n);
        s->caret = b < 0 ? n : std::min<size_t>(size_t(b), n);
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case EM_REPLACESEL:
      ReplaceSelection(hwnd, *s, lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"", wParam != 0);
      return 0;
    case EM_LIMITTEXT: s->limit = wParam == 0 ? kEditLargestLimit : UINT(wParam); return 0;
    case EM_GETLIMITTEXT: return s->limit;
    case EM_GETMODIFY: return s->modified ? TRUE : FALSE;
    case EM_SETMODIFY: s->modified = wParam != 0; return 0;
    case EM_SETREADONLY: {
      auto w = UserPeekWindow(hwnd);
      w->style = wParam ? (w->style | ES_READONLY) : (w->style & ~DWORD(ES_READONLY));
      InvalidateRect(hwnd, nullptr, TRUE);
      return TRUE;
    }
    case EM_SETPASSWORDCHAR: {
      s->passwordChar = WCHAR(wParam);
      auto w = UserPeekWindow(hwnd);
      w->style = wParam ? (w->style | ES_PASSWORD) : (w->style & ~DWORD(ES_PASSWORD));
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case EM_GETPASSWORDCHAR: return s->passwordChar;
    case EM_CANUNDO: return s->canUndo ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER: s->canUndo = false; return 0;
    case EM_UNDO:
    case WM_UNDO: {
      if (!s->canUndo) return FALSE;
      std::swap(s->text, s->undo);
      s->anchor = s->caret = s->text.size();
      s->modified = true;
      Changed(hwnd);
      return TRUE;
    }
    case WM_CLEAR:
      if (!(style & ES_READONLY) && SelStart(*s) != SelEnd(*s)) ReplaceSelection(hwnd, *s, u"", true);
      return 0;
    case WM_SETFOCUS:
      s->focused = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      UserNotifyParent(hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      InvalidateRect(hwnd, nullptr, TRUE);
      UserNotifyParent(hwnd, EN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_PAINT: {
      std::u16string shown = s->passwordChar ? std::u16string(s->text.size(), s->passwordChar) : s->text;
      UserPaintEdit(hwnd, shown, SelStart(*s), SelEnd(*s), s->focused, s->font);
      return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
