// The window table: creating and destroying windows, the parent/owner tree and its order,
// the default window procedure.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/paint.h"
#include "platform/user/user_sim.h"
#include "platform/user/window_class.h"
#include "platform/user/window_internal.h"

namespace {

// Handles count up in steps of 4 from here and are never reused.
constexpr ULONG_PTR kFirstWindowHandle = 0x10010;

struct WindowTable {
  std::recursive_mutex lock;
  std::map<HWND, std::shared_ptr<Window>> windows;
  std::vector<HWND> order;  // creation order (parents before children)
  ULONG_PTR next = kFirstWindowHandle;
  std::shared_ptr<Window> desktop;
  HWND focus = nullptr;
  HWND active = nullptr;
};

WindowTable& Table() {
  static WindowTable* table = new WindowTable;
  return *table;
}

// The desktop: the parent of every top-level window; it is never destroyed nor counted.
std::shared_ptr<Window> Desktop() {
  WindowTable& t = Table();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  if (!t.desktop) {
    t.desktop = std::make_shared<Window>();
    t.desktop->handle = reinterpret_cast<HWND>(ULONG_PTR(0x10000));
    t.desktop->style = WS_VISIBLE;
    t.desktop->rect = RECT{0, 0, kScreenWidth, kScreenHeight};
    t.desktop->proc = DefWindowProcW;
  }
  return t.desktop;
}

const bool registeredReset = (SimAddResetHook([] {
                                UserForgetMessages();
                                UserForgetWindows();
                                UserForgetClasses();
                              }),
                              true);

void Remove(Window& w) {
  WindowTable& t = Table();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  w.destroyed = true;
  t.windows.erase(w.handle);
  t.order.erase(std::remove(t.order.begin(), t.order.end(), w.handle), t.order.end());
  if (auto parent = UserPeekWindow(w.parent)) {
    auto& c = parent->children;
    c.erase(std::remove(c.begin(), c.end(), w.handle), c.end());
  }
  if (w.cls) w.cls->windows--;
  w.props.clear();
  if (t.focus == w.handle) t.focus = nullptr;
  if (t.active == w.handle) t.active = nullptr;
  UserDropWindowMessages(w.handle);
}

void SendDestroy(const std::shared_ptr<Window>& w) {
  w->destroying = true;
  SendMessageW(w->handle, WM_DESTROY, 0, 0);
  std::vector<HWND> children = w->children;
  for (HWND c : children)
    if (auto child = UserPeekWindow(c); child && !child->destroying) SendDestroy(child);
}

void SendNcDestroy(const std::shared_ptr<Window>& w) {
  std::vector<HWND> children = w->children;
  for (HWND c : children)
    if (auto child = UserPeekWindow(c)) SendNcDestroy(child);
  SendMessageW(w->handle, WM_NCDESTROY, 0, 0);
  Remove(*w);
}

bool ContainsWindow(HWND ancestor, HWND hwnd) {
  for (auto w = UserPeekWindow(hwnd); w; w = UserPeekWindow(w->parent))
    if (w->handle == ancestor) return true;
  return false;
}

}  // namespace

std::shared_ptr<Window> UserPeekWindow(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  WindowTable& t = Table();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  if (t.desktop && hwnd == t.desktop->handle) return t.desktop;
  auto it = t.windows.find(hwnd);
  return it == t.windows.end() ? nullptr : it->second;
}

std::shared_ptr<Window> UserFindWindow(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

std::vector<HWND> UserAllWindows() {
  WindowTable& t = Table();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  return t.order;
}

void UserForgetWindows() {
  WindowTable& t = Table();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  for (auto& [h, w] : t.windows) {
    w->destroyed = true;
    if (w->cls) w->cls->windows--;
  }
  t.windows.clear();
  t.order.clear();
  t.focus = t.active = nullptr;
}

HWND UserSetFocusVariable(HWND hwnd) {
  WindowTable& t = Table();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  HWND old = t.focus;
  t.focus = hwnd;
  return old;
}

HWND UserSetActiveVariable(HWND hwnd) {
  WindowTable& t = Table();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  HWND old = t.active;
  t.active = hwnd;
  return old;
}

int SimLiveWindows() {
  WindowTable& t = Table();
  std::lock_guard<std::recursive_mutex> guard(t.lock);
  return int(t.windows.size());
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  std::shared_ptr<WindowClass> cls = UserFindClass(className);
  if (!cls) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  std::shared_ptr<Window> parentWindow;
  if (style & WS_CHILD) {
    if (parent == nullptr) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    parentWindow = UserFindWindow(parent);
    if (!parentWindow) return nullptr;
  } else if (parent != nullptr && !UserFindWindow(parent)) {
    return nullptr;
  }
  if (parentWindow && (parentWindow->exStyle & WS_EX_LAYOUTRTL) && !(parentWindow->exStyle & WS_EX_NOINHERITLAYOUT))
    exStyle |= WS_EX_LAYOUTRTL;
  DWORD processLayout = 0;
  if (parent == nullptr && GetProcessDefaultLayout(&processLayout) && (processLayout & LAYOUT_RTL))
    exStyle |= WS_EX_LAYOUTRTL;
  auto w = std::make_shared<Window>();
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style;
  w->exStyle = exStyle;
  w->instance = instance;
  w->extra.assign(size_t(std::max(cls->wndExtra, 0)), 0);
  if (style & WS_CHILD) {
    w->parent = parent;
    w->id = LONG_PTR(reinterpret_cast<ULONG_PTR>(menu));
  } else if (parent != nullptr) {
    w->owner = GetAncestor(parent, GA_ROOT);
  }
  if (x == CW_USEDEFAULT) x = y = 0;
  if (width == CW_USEDEFAULT) width = height = 0;
  w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
  {
    WindowTable& t = Table();
    std::lock_guard<std::recursive_mutex> guard(t.lock);
    w->handle = reinterpret_cast<HWND>(t.next);
    t.next += 4;
    t.windows[w->handle] = w;
    t.order.push_back(w->handle);
    if (parentWindow) parentWindow->children.push_back(w->handle);
    cls->windows++;
  }
  HWND h = w->handle;
  CREATESTRUCTW cs{param, instance, menu, parent, height, width, y, x, LONG(style), windowName, className, exStyle};
  if (!SendMessageW(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    if (UserPeekWindow(h)) SendNcDestroy(w);
    return nullptr;
  }
  if (SendMessageW(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    // Refused: destroyed again without a word to the parent, which never heard of it.
    if (UserPeekWindow(h) && !w->destroying) {
      SendDestroy(w);
      SendNcDestroy(w);
    }
    return nullptr;
  }
  if (!UserPeekWindow(h)) return nullptr;
  RECT client;
  GetClientRect(h, &client);
  SendMessageW(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  SendMessageW(h, WM_MOVE, 0, MAKELPARAM(w->rect.left, w->rect.top));
  if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY))
    SendMessageW(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, WORD(w->id)), reinterpret_cast<LPARAM>(h));
  if (!UserPeekWindow(h)) return nullptr;
  if ((style & WS_VISIBLE) && !(style & WS_CHILD)) {
    w->style &= ~DWORD(WS_VISIBLE);
    ShowWindow(h, SW_SHOW);
  } else if (style & WS_VISIBLE) {
    UserInvalidateAll(h, true);
  }
  return h;
}

BOOL DestroyWindow(HWND hwnd) {
  std::shared_ptr<Window> w = UserFindWindow(hwnd);
  if (!w || w == Desktop()) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (w->destroying) return TRUE;
  for (HWND other : UserAllWindows())
    if (auto o = UserPeekWindow(other); o && o->owner == hwnd && !o->destroying) DestroyWindow(other);
  {
    WindowTable& t = Table();
    std::lock_guard<std::recursive_mutex> guard(t.lock);
    if (ContainsWindow(hwnd, t.focus)) t.focus = nullptr;
  }
  if ((w->style & WS_CHILD) && !(w->exStyle & WS_EX_NOPARENTNOTIFY))
    SendMessageW(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, WORD(w->id)), reinterpret_cast<LPARAM>(hwnd));
  if (UserPeekWindow(hwnd) && !w->destroying) {
    SendDestroy(w);
    SendNcDestroy(w);
  }
  return TRUE;
}

BOOL IsWindow(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  return w && !w->destroyed;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  while (w && (w->style & WS_CHILD)) {
    if (w->parent == parent) return TRUE;
    w = UserPeekWindow(w->parent);
  }
  return FALSE;
}

HWND GetParent(HWND hwnd) {
  auto w = UserFindWindow(hwnd);
  if (!w) return nullptr;
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND SetParent(HWND hwnd, HWND parent) {
  auto w = UserFindWindow(hwnd);
  if (!w) return nullptr;
  if (parent == nullptr) parent = Desktop()->handle;
  auto p = UserFindWindow(parent);
  if (!p) return nullptr;
  HWND old = (w->style & WS_CHILD) ? w->parent : Desktop()->handle;
  if (auto oldParent = UserPeekWindow(w->parent)) {
    auto& c = oldParent->children;
    c.erase(std::remove(c.begin(), c.end(), hwnd), c.end());
  }
  if (p == Desktop()) {
    w->parent = nullptr;
  } else {
    w->parent = parent;
    p->children.insert(p->children.begin(), hwnd);
  }
  return old;
}

// The windows on the same level as w: its parent's children, or the top-level windows.
static std::vector<HWND> Siblings(const Window& w) {
  if (w.style & WS_CHILD) {
    auto p = UserPeekWindow(w.parent);
    return p ? p->children : std::vector<HWND>{};
  }
  std::vector<HWND> top;
  for (HWND h : UserAllWindows())
    if (auto o = UserPeekWindow(h); o && !(o->style & WS_CHILD)) top.push_back(h);
  return top;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  auto w = UserFindWindow(hwnd);
  if (!w) return nullptr;
  if (cmd == GW_OWNER) return (w->style & WS_CHILD) ? nullptr : w->owner;
  if (cmd == GW_CHILD) {
    if (w == Desktop()) return GetTopWindow(nullptr);
    return w->children.empty() ? nullptr : w->children.front();
  }
  std::vector<HWND> level = Siblings(*w);
  auto it = std::find(level.begin(), level.end(), hwnd);
  if (it == level.end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return level.front();
    case GW_HWNDLAST: return level.back();
    case GW_HWNDNEXT: return it + 1 == level.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == level.begin() ? nullptr : *(it - 1);
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HWND GetTopWindow(HWND hwnd) {
  if (hwnd != nullptr && hwnd != Desktop()->handle) {
    auto w = UserFindWindow(hwnd);
    return w && !w->children.empty() ? w->children.front() : nullptr;
  }
  for (HWND h : UserAllWindows())
    if (auto o = UserPeekWindow(h); o && !(o->style & WS_CHILD)) return h;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  auto w = UserFindWindow(hwnd);
  if (!w || w == Desktop()) return nullptr;
  switch (flags) {
    case GA_PARENT: return (w->style & WS_CHILD) ? w->parent : Desktop()->handle;
    case GA_ROOT:
      while (w->style & WS_CHILD) w = UserPeekWindow(w->parent);
      return w->handle;
    case GA_ROOTOWNER: {
      while (w->style & WS_CHILD) w = UserPeekWindow(w->parent);
      while (auto o = UserPeekWindow(w->owner)) w = o;
      return w->handle;
    }
    default: return nullptr;
  }
}

HWND GetDesktopWindow() { return Desktop()->handle; }

static BOOL EnumChildren(const std::vector<HWND>& children, WNDENUMPROC proc, LPARAM lParam) {
  for (HWND c : children) {
    auto w = UserPeekWindow(c);
    if (!w) continue;
    if (!proc(c, lParam)) return FALSE;
    if (!EnumChildren(w->children, proc, lParam)) return FALSE;
  }
  return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
  auto w = parent ? UserFindWindow(parent) : Desktop();
  if (!w || proc == nullptr) return FALSE;
  std::vector<HWND> children = w == Desktop() ? std::vector<HWND>{} : w->children;
  EnumChildren(children, proc, lParam);
  return TRUE;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
  for (HWND h : UserAllWindows()) {
    auto w = UserPeekWindow(h);
    if (!w || (w->style & WS_CHILD) || w->destroying) continue;
    if (className != nullptr && !UserClassMatches(*w->cls, className)) continue;
    if (windowName != nullptr && w->text != windowName) continue;
    return h;
  }
  return nullptr;
}

LRESULT CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc == nullptr ? 0 : proc(hwnd, msg, wParam, lParam);
}

LRESULT DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = UserFindWindow(hwnd);
  if (!w) return 0;
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
      if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName) && cs->lpszName[0] != 0xFFFF)
        w->text = cs->lpszName;
      return TRUE;
    }
    case WM_SETTEXT:
      w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : u"";
      if (IsWindowVisible(hwnd)) UserInvalidateAll(hwnd, true);
      return TRUE;
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      auto* out = reinterpret_cast<LPWSTR>(lParam);
      size_t n = std::min<size_t>(w->text.size(), size_t(wParam) - 1);
      std::copy_n(w->text.data(), n, out);
      out[n] = 0;
      return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->text.size());
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (pos == nullptr) return 0;
      if (!(pos->flags & SWP_NOMOVE)) SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.left, w->rect.top));
      if (!(pos->flags & SWP_NOSIZE)) {
        RECT client;
        GetClientRect(hwnd, &client);
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
      }
      return 0;
    }
    case WM_ERASEBKGND: return UserEraseBackground(hwnd, reinterpret_cast<HDC>(wParam), w->cls->background);
    case WM_PAINT: UserDefaultPaint(hwnd); return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return UserDefaultControlColour(msg, reinterpret_cast<HDC>(wParam));
    case WM_NCHITTEST: return HTCLIENT;
    case WM_CONTEXTMENU:
    case WM_HELP:
      if (w->style & WS_CHILD) return SendMessageW(w->parent, msg, wParam, lParam);
      return 0;
    default: return 0;
  }
}
