// The static control: text, icon, bitmap, frames and rectangles, and owner-drawn statics.
// An SS_ICON static made from a template loads its icon by the resource number it names.
#include "platform/gdi/gdi_objects.h"
#include "platform/user/control_paint.h"
#include "platform/user/controls_internal.h"
#include "platform/user/resources.h"

namespace {

struct StaticState {
  HANDLE image = nullptr;  // an icon (SS_ICON) or a bitmap (SS_BITMAP)
  bool loadedIcon = false; // the icon was loaded for the template, and is the static's to free
  HFONT font = nullptr;
};

HANDLE SetImage(HWND hwnd, StaticState& s, HANDLE image) {
  HANDLE old = s.image;
  if (s.loadedIcon && old != nullptr) {
    DestroyIcon(reinterpret_cast<HICON>(old));
    old = nullptr;
  }
  s.loadedIcon = false;
  s.image = image;
  InvalidateRect(hwnd, nullptr, TRUE);
  return old;
}

}  // namespace

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    StaticState* s = MakeControlState<StaticState>(hwnd);
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    if (s != nullptr && cs != nullptr && (UINT(cs->style) & SS_TYPEMASK) == SS_ICON && cs->lpszName != nullptr) {
      // A template names the icon by number ("\xFFFF" then the number) or by name.
      LPCWSTR name = cs->lpszName;
      if (!IS_INTRESOURCE(name) && name[0] == 0xFFFF) name = MAKEINTRESOURCEW(name[1]);
      s->image = LoadIconW(cs->hInstance, name);
      s->loadedIcon = s->image != nullptr;
      return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  StaticState* s = ControlState<StaticState>(hwnd);
  if (s == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_GETDLGCODE: return DLGC_STATIC;
    case STM_SETICON: return reinterpret_cast<LRESULT>(SetImage(hwnd, *s, reinterpret_cast<HANDLE>(wParam)));
    case STM_GETICON: return reinterpret_cast<LRESULT>(s->image);
    case STM_SETIMAGE:
      if (wParam != IMAGE_ICON && wParam != IMAGE_BITMAP && wParam != IMAGE_CURSOR) return 0;
      return reinterpret_cast<LRESULT>(SetImage(hwnd, *s, reinterpret_cast<HANDLE>(lParam)));
    case STM_GETIMAGE: return reinterpret_cast<LRESULT>(s->image);
    case WM_SETTEXT: {
      LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return r;
    }
    case WM_NCHITTEST:
      return (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_LBUTTONUP:
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) UserNotifyParent(hwnd, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) UserNotifyParent(hwnd, STN_DBLCLK);
      return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);
      if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOTIFY) UserNotifyParent(hwnd, wParam ? STN_ENABLE : STN_DISABLE);
      return 0;
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (lParam) InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_PAINT: UserPaintStatic(hwnd, UINT(GetWindowLongW(hwnd, GWL_STYLE)) & SS_TYPEMASK, s->image, s->font); return 0;
    case WM_NCDESTROY:
      if (s->loadedIcon && s->image != nullptr) DestroyIcon(reinterpret_cast<HICON>(s->image));
      s->image = nullptr;
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
