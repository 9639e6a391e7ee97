// Menus (see menu.h).
#include "platform/user/menu.h"

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/resource.h"
#include "platform/user/modal.h"
#include "platform/user/window.h"

namespace {

struct MenuItem {
  UINT flags = 0;
  UINT_PTR id = 0;
  std::u16string text;
  HMENU popup = nullptr;
};

struct Menu {
  std::vector<MenuItem> items;
};

// Handles count up in steps of 4 from here and are never reused.
constexpr ULONG_PTR kFirstMenuHandle = 0x20010;
// The flags an item keeps (the rest say how to find it or what to do).
constexpr UINT kItemFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_MENUBARBREAK | MF_MENUBREAK |
                            MF_SEPARATOR | MF_HELP | MF_BITMAP | MF_OWNERDRAW | MF_DEFAULT;

struct Menus {
  std::recursive_mutex lock;
  std::map<HMENU, std::shared_ptr<Menu>> menus;
  ULONG_PTR next = kFirstMenuHandle;
  std::deque<UINT> choices;
};

Menus& State() {
  static Menus* m = new Menus;
  return *m;
}

void Reset() {
  Menus& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  m.menus.clear();
  m.choices.clear();
}

const bool registeredReset = (SimAddResetHook(&Reset), true);

std::shared_ptr<Menu> Find(HMENU menu) {
  Menus& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  auto it = m.menus.find(menu);
  if (it == m.menus.end()) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return nullptr;
  }
  return it->second;
}

HMENU Make() {
  Menus& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  HMENU h = reinterpret_cast<HMENU>(m.next);
  m.next += 4;
  m.menus[h] = std::make_shared<Menu>();
  return h;
}

// The item by position or by command (searching popups too); the menu holding it.
MenuItem* Locate(HMENU menu, UINT item, UINT flags, std::shared_ptr<Menu>* holder = nullptr, size_t* index = nullptr) {
  auto m = Find(menu);
  if (!m) return nullptr;
  if (flags & MF_BYPOSITION) {
    if (item >= m->items.size()) return nullptr;
    if (holder) *holder = m;
    if (index) *index = item;
    return &m->items[item];
  }
  for (size_t i = 0; i < m->items.size(); ++i) {
    MenuItem& it = m->items[i];
    if (it.popup != nullptr) {
      if (MenuItem* inner = Locate(it.popup, item, flags, holder, index)) return inner;
    } else if (!(it.flags & MF_SEPARATOR) && UINT(it.id) == item) {
      if (holder) *holder = m;
      if (index) *index = i;
      return &it;
    }
  }
  return nullptr;
}

MenuItem MakeItem(UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  MenuItem it;
  it.flags = flags & kItemFlags;
  if (flags & MF_POPUP)
    it.popup = reinterpret_cast<HMENU>(idOrPopup);
  else
    it.id = idOrPopup;
  if (text != nullptr && !(flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW))) it.text = text;
  return it;
}

HMENU Build(const std::vector<MenuItemTemplate>& items, bool popup) {
  HMENU menu = popup ? CreatePopupMenu() : CreateMenu();
  for (const MenuItemTemplate& t : items) {
    if (t.flags & MF_POPUP)
      AppendMenuW(menu, t.flags, reinterpret_cast<UINT_PTR>(Build(t.items, true)), t.text.c_str());
    else
      AppendMenuW(menu, t.flags, t.id, t.text.c_str());
  }
  return menu;
}

// The commands a person could choose: enabled items that are not popups or separators.
void Choosable(HMENU menu, std::vector<UINT>& out) {
  auto m = Find(menu);
  if (!m) return;
  for (const MenuItem& it : m->items) {
    if (it.popup != nullptr)
      Choosable(it.popup, out);
    else if (!(it.flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED)))
      out.push_back(UINT(it.id));
  }
}

}  // namespace

HMENU CreateMenu() { return Make(); }
HMENU CreatePopupMenu() { return Make(); }

BOOL DestroyMenu(HMENU menu) {
  auto m = Find(menu);
  if (!m) return FALSE;
  {
    Menus& s = State();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    s.menus.erase(menu);
  }
  for (const MenuItem& it : m->items)
    if (it.popup != nullptr) DestroyMenu(it.popup);
  return TRUE;
}

BOOL IsMenu(HMENU menu) {
  Menus& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  return m.menus.count(menu) ? TRUE : FALSE;
}

BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  return InsertMenuW(menu, UINT(-1), flags | MF_BYPOSITION, idOrPopup, text);
}

BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
  auto m = Find(menu);
  if (!m) return FALSE;
  if ((flags & MF_POPUP) && !Find(reinterpret_cast<HMENU>(idOrPopup))) return FALSE;
  MenuItem item = MakeItem(flags, idOrPopup, text);
  if (flags & MF_BYPOSITION) {
    size_t at = position >= m->items.size() ? m->items.size() : position;
    m->items.insert(m->items.begin() + LONG_PTR(at), std::move(item));
    return TRUE;
  }
  std::shared_ptr<Menu> holder;
  size_t index = 0;
  if (!Locate(menu, position, MF_BYCOMMAND, &holder, &index)) {
    m->items.push_back(std::move(item));
    return TRUE;
  }
  holder->items.insert(holder->items.begin() + LONG_PTR(index), std::move(item));
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
  std::shared_ptr<Menu> holder;
  size_t index = 0;
  if (!Locate(menu, position, flags, &holder, &index)) return FALSE;
  holder->items.erase(holder->items.begin() + LONG_PTR(index));
  return TRUE;
}

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
  std::shared_ptr<Menu> holder;
  size_t index = 0;
  MenuItem* it = Locate(menu, position, flags, &holder, &index);
  if (it == nullptr) return FALSE;
  HMENU popup = it->popup;
  holder->items.erase(holder->items.begin() + LONG_PTR(index));
  if (popup != nullptr) DestroyMenu(popup);
  return TRUE;
}

int GetMenuItemCount(HMENU menu) {
  auto m = Find(menu);
  return m ? int(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  auto m = Find(menu);
  if (!m || position < 0 || size_t(position) >= m->items.size() || m->items[size_t(position)].popup) return UINT(-1);
  return UINT(m->items[size_t(position)].id);
}

HMENU GetSubMenu(HMENU menu, int position) {
  auto m = Find(menu);
  if (!m || position < 0 || size_t(position) >= m->items.size()) return nullptr;
  return m->items[size_t(position)].popup;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  MenuItem* it = Locate(menu, item, flags);
  if (it == nullptr) return UINT(-1);
  if (it->popup != nullptr) return (UINT(GetMenuItemCount(it->popup)) << 8) | (it->flags & 0xFF) | MF_POPUP;
  return it->flags;
}

int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int size, UINT flags) {
  MenuItem* it = Locate(menu, item, flags);
  if (it == nullptr) return 0;
  if (buffer == nullptr || size <= 0) return int(it->text.size());
  int n = std::min<int>(int(it->text.size()), size - 1);
  std::copy_n(it->text.data(), n, buffer);
  buffer[n] = 0;
  return n;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
  MenuItem* it = Locate(menu, item, check);
  if (it == nullptr) return DWORD(-1);
  DWORD old = it->flags & MF_CHECKED;
  it->flags = (it->flags & ~UINT(MF_CHECKED)) | (check & MF_CHECKED);
  return old;
}

BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
  MenuItem* it = Locate(menu, item, enable);
  if (it == nullptr) return -1;
  BOOL old = BOOL(it->flags & (MF_GRAYED | MF_DISABLED));
  it->flags = (it->flags & ~UINT(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
  return old;
}

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
  HRSRC found = FindResourceW(instance, name, RT_MENU);
  if (found == nullptr) return nullptr;
  const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
  MenuTemplate t;
  if (bytes == nullptr ||
      DecodeMenuTemplate(std::span<const BYTE>(bytes, SizeofResource(instance, found)), t) != ERROR_SUCCESS) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  return Build(t.items, false);
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int, int, int, HWND hwnd, const RECT*) {
  if (!Find(menu)) return FALSE;
  if (!IsWindow(hwnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool notify = !(flags & TPM_NONOTIFY);
  if (notify) {
    SendMessageW(hwnd, WM_ENTERMENULOOP, TRUE, 0);
    SendMessageW(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
  }
  size_t entry = UserBeginModal(SimModal::PopupMenu, hwnd, 0, u"");
  std::vector<UINT> choosable;
  Choosable(menu, choosable);
  bool scripted = false;
  UINT choice = 0;
  {
    Menus& m = State();
    std::lock_guard<std::recursive_mutex> guard(m.lock);
    if (!m.choices.empty()) {
      scripted = true;
      choice = m.choices.front();
      m.choices.pop_front();
    }
  }
  bool refused = choice != 0 && std::find(choosable.begin(), choosable.end(), choice) == choosable.end();
  if (refused) choice = 0;
  UserEndModal(entry, choice, scripted, false, refused);
  if (notify && IsWindow(hwnd)) SendMessageW(hwnd, WM_EXITMENULOOP, TRUE, 0);
  if (flags & TPM_RETURNCMD) return BOOL(choice);
  if (choice != 0 && IsWindow(hwnd)) PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(WORD(choice), 0), 0);
  return TRUE;
}

void SimPopupMenuChoice(UINT command) {
  Menus& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  m.choices.push_back(command);
}

int SimLiveMenus() {
  Menus& m = State();
  std::lock_guard<std::recursive_mutex> guard(m.lock);
  return int(m.menus.size());
}
