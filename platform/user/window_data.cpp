// A window's data: window longs (fixed fields and the class's extra bytes), properties and
// its text.
#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/window_internal.h"

namespace {

// Reads or writes `size` bytes of the window's extra bytes at `offset`; false (with
// ERROR_INVALID_INDEX) when they do not lie inside.
bool ExtraFits(const Window& w, int offset, size_t size) {
  if (offset < 0 || size_t(offset) + size > w.extra.size()) {
    SetLastError(ERROR_INVALID_INDEX);
    return false;
  }
  return true;
}

template <typename T>
T ReadExtra(const Window& w, int offset) {
  T v{};
  std::memcpy(&v, w.extra.data() + offset, sizeof v);
  return v;
}

template <typename T>
void WriteExtra(Window& w, int offset, T v) {
  std::memcpy(w.extra.data() + offset, &v, sizeof v);
}

// The style change through GWL_STYLE or GWL_EXSTYLE, with WM_STYLECHANGING and WM_STYLECHANGED.
DWORD ChangeStyle(HWND hwnd, Window& w, int index, DWORD value) {
  DWORD& field = index == GWL_STYLE ? w.style : w.exStyle;
  STYLESTRUCT change{field, value};
  SendMessageW(hwnd, WM_STYLECHANGING, WPARAM(LONG_PTR(index)), reinterpret_cast<LPARAM>(&change));
  DWORD old = field;
  field = change.styleNew;
  SendMessageW(hwnd, WM_STYLECHANGED, WPARAM(LONG_PTR(index)), reinterpret_cast<LPARAM>(&change));
  return old;
}

WindowProperty* FindProp(Window& w, LPCWSTR name) {
  for (auto& p : w.props) {
    if (IS_INTRESOURCE(name) ? p.atom == WORD(reinterpret_cast<ULONG_PTR>(name))
                             : (p.atom == 0 && lstrcmpiW(p.name.c_str(), name) == 0))
      return &p;
  }
  return nullptr;
}

}  // namespace

LONG_PTR GetWindowLongPtrW(HWND hwnd, int index) {
  auto w = UserFindWindow(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
    case GWLP_ID: return w->id;
    case GWL_STYLE: return LONG_PTR(LONG(w->style));
    case GWL_EXSTYLE: return LONG_PTR(LONG(w->exStyle));
    case GWLP_USERDATA: return w->userData;
    default:
      if (!ExtraFits(*w, index, sizeof(LONG_PTR))) return 0;
      return ReadExtra<LONG_PTR>(*w, index);
  }
}

LONG_PTR SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  auto w = UserFindWindow(hwnd);
  if (!w) return 0;
  LONG_PTR old = 0;
  switch (index) {
    case GWLP_WNDPROC:
      if (value == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      old = reinterpret_cast<LONG_PTR>(w->proc);
      w->proc = reinterpret_cast<WNDPROC>(value);
      return old;
    case GWLP_HINSTANCE:
      old = reinterpret_cast<LONG_PTR>(w->instance);
      w->instance = reinterpret_cast<HINSTANCE>(value);
      return old;
    case GWLP_HWNDPARENT:
      if (w->style & WS_CHILD) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      old = reinterpret_cast<LONG_PTR>(w->owner);
      w->owner = reinterpret_cast<HWND>(value);
      return old;
    case GWLP_ID:
      old = w->id;
      w->id = value;
      return old;
    case GWL_STYLE:
    case GWL_EXSTYLE: return LONG_PTR(LONG(ChangeStyle(hwnd, *w, index, DWORD(value))));
    case GWLP_USERDATA:
      old = w->userData;
      w->userData = value;
      return old;
    default:
      if (!ExtraFits(*w, index, sizeof(LONG_PTR))) return 0;
      old = ReadExtra<LONG_PTR>(*w, index);
      WriteExtra<LONG_PTR>(*w, index, value);
      return old;
  }
}

// The 32-bit longs: the styles and the id, or 4 extra bytes. Pointer-sized fields go through
// the ...LongPtr calls.
LONG GetWindowLongW(HWND hwnd, int index) {
  auto w = UserFindWindow(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
    case GWLP_ID: return LONG(GetWindowLongPtrW(hwnd, index));
    case GWLP_WNDPROC:
    case GWLP_HINSTANCE:
    case GWLP_HWNDPARENT:
    case GWLP_USERDATA: SetLastError(ERROR_INVALID_INDEX); return 0;
    default:
      if (!ExtraFits(*w, index, sizeof(LONG))) return 0;
      return ReadExtra<LONG>(*w, index);
  }
}

LONG SetWindowLongW(HWND hwnd, int index, LONG value) {
  auto w = UserFindWindow(hwnd);
  if (!w) return 0;
  switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: return LONG(ChangeStyle(hwnd, *w, index, DWORD(value)));
    case GWLP_ID: return LONG(SetWindowLongPtrW(hwnd, index, value));
    case GWLP_WNDPROC:
    case GWLP_HINSTANCE:
    case GWLP_HWNDPARENT:
    case GWLP_USERDATA: SetLastError(ERROR_INVALID_INDEX); return 0;
    default: {
      if (!ExtraFits(*w, index, sizeof(LONG))) return 0;
      LONG old = ReadExtra<LONG>(*w, index);
      WriteExtra<LONG>(*w, index, value);
      return old;
    }
  }
}

int GetDlgCtrlID(HWND hwnd) {
  auto w = UserFindWindow(hwnd);
  if (!w || !(w->style & WS_CHILD)) return 0;
  return int(w->id);
}

BOOL SetPropW(HWND hwnd, LPCWSTR name, HANDLE data) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  if (name == nullptr || (!IS_INTRESOURCE(name) && name[0] == 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (WindowProperty* p = FindProp(*w, name)) {
    p->data = data;
    return TRUE;
  }
  WindowProperty p;
  if (IS_INTRESOURCE(name))
    p.atom = WORD(reinterpret_cast<ULONG_PTR>(name));
  else
    p.name = name;
  p.data = data;
  w->props.push_back(std::move(p));
  return TRUE;
}

HANDLE GetPropW(HWND hwnd, LPCWSTR name) {
  auto w = UserFindWindow(hwnd);
  if (!w || name == nullptr) return nullptr;
  WindowProperty* p = FindProp(*w, name);
  return p ? p->data : nullptr;
}

HANDLE RemovePropW(HWND hwnd, LPCWSTR name) {
  auto w = UserFindWindow(hwnd);
  if (!w || name == nullptr) return nullptr;
  WindowProperty* p = FindProp(*w, name);
  if (p == nullptr) return nullptr;
  HANDLE data = p->data;
  w->props.erase(w->props.begin() + (p - w->props.data()));
  return data;
}

BOOL SetWindowTextW(HWND hwnd, LPCWSTR text) {
  if (!UserFindWindow(hwnd)) return FALSE;
  return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int GetWindowTextW(HWND hwnd, LPWSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = 0;
  if (!UserFindWindow(hwnd)) return 0;
  return int(SendMessageW(hwnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND hwnd) {
  if (!UserFindWindow(hwnd)) return 0;
  return int(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
}
