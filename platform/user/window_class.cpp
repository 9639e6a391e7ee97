// Window classes (see window_class.h).
#include "platform/user/window_class.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/user_sim.h"

namespace {

struct ClassTable {
  std::recursive_mutex lock;
  std::vector<std::shared_ptr<WindowClass>> app;
  std::vector<std::shared_ptr<WindowClass>> system;
  ATOM nextAtom = kFirstClassAtom;
};

ClassTable& Classes() {
  static ClassTable* table = new ClassTable;
  return *table;
}

std::shared_ptr<WindowClass> FindIn(const std::vector<std::shared_ptr<WindowClass>>& list, LPCWSTR nameOrAtom) {
  for (const auto& c : list)
    if (UserClassMatches(*c, nameOrAtom)) return c;
  return nullptr;
}

ATOM Register(const WNDCLASSEXW& wc) {
  if (wc.lpszClassName == nullptr || wc.lpfnWndProc == nullptr || wc.cbWndExtra < 0 || wc.cbClsExtra < 0 ||
      (!IS_INTRESOURCE(wc.lpszClassName) && wc.lpszClassName[0] == 0) || IS_INTRESOURCE(wc.lpszClassName)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  UserRegisterSystemClasses();
  ClassTable& t = Classes();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  if (FindIn(t.app, wc.lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto c = std::make_shared<WindowClass>();
  c->atom = t.nextAtom++;
  c->name = wc.lpszClassName;
  c->style = wc.style;
  c->proc = wc.lpfnWndProc;
  c->clsExtra = wc.cbClsExtra;
  c->wndExtra = wc.cbWndExtra;
  c->instance = wc.hInstance;
  c->icon = wc.hIcon;
  c->cursor = wc.hCursor;
  c->background = wc.hbrBackground;
  t.app.push_back(c);
  return c->atom;
}

}  // namespace

bool UserClassMatches(const WindowClass& cls, LPCWSTR nameOrAtom) {
  if (nameOrAtom == nullptr) return false;
  if (IS_INTRESOURCE(nameOrAtom)) return cls.atom == WORD(reinterpret_cast<ULONG_PTR>(nameOrAtom));
  return lstrcmpiW(cls.name.c_str(), nameOrAtom) == 0;
}

std::shared_ptr<WindowClass> UserFindClass(LPCWSTR nameOrAtom) {
  UserRegisterSystemClasses();
  ClassTable& t = Classes();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  if (auto c = FindIn(t.app, nameOrAtom)) return c;
  return FindIn(t.system, nameOrAtom);
}

void UserAddSystemClass(LPCWSTR name, ATOM atom, WNDPROC proc, int wndExtra, UINT style, HBRUSH background) {
  ClassTable& t = Classes();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  auto c = std::make_shared<WindowClass>();
  c->atom = atom;
  c->name = name;
  c->proc = proc;
  c->wndExtra = wndExtra;
  c->style = style | CS_GLOBALCLASS;
  c->background = background;
  c->system = true;
  t.system.push_back(c);
}

void UserForgetClasses() {
  ClassTable& t = Classes();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  t.app.clear();
  t.nextAtom = kFirstClassAtom;
}

int SimLiveWindowClasses() {
  ClassTable& t = Classes();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  return int(t.app.size());
}

ATOM RegisterClassW(const WNDCLASSW* wc) {
  if (wc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEXW ex{sizeof(WNDCLASSEXW), wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra, wc->hInstance,
                 wc->hIcon, wc->hCursor, wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName, nullptr};
  return Register(ex);
}

ATOM RegisterClassExW(const WNDCLASSEXW* wc) {
  if (wc == nullptr || wc->cbSize != sizeof(WNDCLASSEXW)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Register(*wc);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE) {
  ClassTable& t = Classes();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  auto c = FindIn(t.app, className);
  if (!c) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (c->windows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  t.app.erase(std::find(t.app.begin(), t.app.end(), c));
  return TRUE;
}

BOOL GetClassInfoW(HINSTANCE, LPCWSTR className, WNDCLASSW* wc) {
  auto c = UserFindClass(className);
  if (!c || wc == nullptr) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  *wc = WNDCLASSW{c->style, c->proc, c->clsExtra, c->wndExtra, c->instance, c->icon, c->cursor, c->background,
                  nullptr, className};
  return TRUE;
}

int GetClassNameW(HWND hwnd, LPWSTR buffer, int size) {
  auto w = UserFindWindow(hwnd);
  if (!w || !w->cls || buffer == nullptr || size <= 0) return 0;
  int n = std::min<int>(int(w->cls->name.size()), size - 1);
  std::copy_n(w->cls->name.data(), n, buffer);
  buffer[n] = 0;
  return n;
}

ULONG_PTR GetClassLongPtrW(HWND hwnd, int index) {
  auto w = UserFindWindow(hwnd);
  if (!w || !w->cls) return 0;
  const WindowClass& c = *w->cls;
  switch (index) {
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(c.background);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_STYLE: return c.style;
    case GCL_CBWNDEXTRA: return ULONG_PTR(c.wndExtra);
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

ULONG_PTR SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value) {
  auto w = UserFindWindow(hwnd);
  if (!w || !w->cls) return 0;
  WindowClass& c = *w->cls;
  ULONG_PTR old = GetClassLongPtrW(hwnd, index);
  switch (index) {
    case GCLP_HCURSOR: c.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HICON: c.icon = reinterpret_cast<HICON>(value); break;
    case GCLP_HBRBACKGROUND: c.background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_WNDPROC: c.proc = reinterpret_cast<WNDPROC>(value); break;
    case GCL_STYLE: c.style = UINT(value); break;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
  return old;
}
