// The button control: push, default, check, three-state, radio and owner-drawn buttons and
// group boxes.
#include "platform/user/control_paint.h"
#include "platform/user/controls_internal.h"

namespace {

struct ButtonState {
  WORD check = BST_UNCHECKED;
  bool pushed = false;
  bool focused = false;
  HFONT font = nullptr;
  HANDLE image = nullptr;
};

UINT Kind(HWND hwnd) { return UINT(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK; }

bool Checkable(UINT kind) {
  switch (kind) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_AUTORADIOBUTTON: return true;
    default: return false;
  }
}

LRESULT DialogCode(UINT kind) {
  switch (kind) {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_USERBUTTON: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
  }
}

// A completed click: auto buttons change their own check, then the parent hears BN_CLICKED.
void Click(HWND hwnd, ButtonState& s) {
  UINT kind = Kind(hwnd);
  if (kind == BS_AUTOCHECKBOX) {
    SendMessageW(hwnd, BM_SETCHECK, s.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  } else if (kind == BS_AUTO3STATE) {
    SendMessageW(hwnd, BM_SETCHECK, (s.check + 1) % 3, 0);
  } else if (kind == BS_AUTORADIOBUTTON) {
    SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
    for (HWND other : UserGroupOf(hwnd))
      if (other != hwnd && (SendMessageW(other, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
        SendMessageW(other, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  UserNotifyParent(hwnd, BN_CLICKED);
}

}  // namespace

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) MakeControlState<ButtonState>(hwnd);
  ButtonState* s = ControlState<ButtonState>(hwnd);
  if (s == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  UINT kind = Kind(hwnd);
  DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
  switch (msg) {
    case WM_GETDLGCODE: return DialogCode(kind);
    case BM_GETCHECK: return Checkable(kind) ? s->check : BST_UNCHECKED;
    case BM_SETCHECK: {
      if (!Checkable(kind)) return 0;
      WORD check = WORD(wParam);
      if (check > BST_INDETERMINATE) check = BST_CHECKED;
      if (check == BST_INDETERMINATE && kind != BS_3STATE && kind != BS_AUTO3STATE) check = BST_CHECKED;
      if (check != s->check) {
        s->check = check;
        InvalidateRect(hwnd, nullptr, TRUE);
      }
      return 0;
    }
    case BM_GETSTATE: return s->check | (s->pushed ? BST_PUSHED : 0) | (s->focused ? BST_FOCUS : 0);
    case BM_SETSTATE:
      s->pushed = wParam != 0;
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case BM_SETSTYLE: {
      auto w = UserPeekWindow(hwnd);
      w->style = (w->style & 0xFFFF0000u) | LOWORD(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    }
    case BM_GETIMAGE: return reinterpret_cast<LRESULT>(s->image);
    case BM_SETIMAGE: {
      HANDLE old = s->image;
      s->image = reinterpret_cast<HANDLE>(lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(old);
    }
    case BM_CLICK:
      if (!IsWindowEnabled(hwnd) || kind == BS_GROUPBOX) return 0;
      SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
      return 0;
    case WM_LBUTTONDOWN:
      if (kind == BS_GROUPBOX) return 0;
      SetFocus(hwnd);
      SetCapture(hwnd);
      SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_LBUTTONUP:
      if (!s->pushed) return 0;
      ReleaseCapture();
      SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
      Click(hwnd, *s);
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && kind != BS_GROUPBOX) SendMessageW(hwnd, BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_KEYUP:
      if (wParam != VK_SPACE || !s->pushed) return 0;
      SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
      Click(hwnd, *s);
      return 0;
    case WM_SETFOCUS:
      s->focused = true;
      InvalidateRect(hwnd, nullptr, TRUE);
      if (style & BS_NOTIFY) UserNotifyParent(hwnd, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      s->focused = false;
      if (s->pushed) SendMessageW(hwnd, BM_SETSTATE, FALSE, 0);
      InvalidateRect(hwnd, nullptr, TRUE);
      if (style & BS_NOTIFY) UserNotifyParent(hwnd, BN_KILLFOCUS);
      return 0;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_NCHITTEST: return kind == BS_GROUPBOX ? HTTRANSPARENT : HTCLIENT;
    case WM_PAINT: UserPaintButton(hwnd, s->check, s->pushed, s->focused, s->font); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
