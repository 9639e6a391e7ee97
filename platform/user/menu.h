// Menus: menu bars and popup menus built by calls or loaded from menu templates, and
// TrackPopupMenu, whose choice comes from the test's script (user_sim.h): without one the menu
// closes with no choice, recorded as unscripted.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/user/menu_template.h"

#define MF_INSERT 0x0000
#define MF_CHANGE 0x0080
#define MF_APPEND 0x0100
#define MF_DELETE 0x0200
#define MF_REMOVE 0x1000
#define MF_BYCOMMAND 0x0000
#define MF_BYPOSITION 0x0400
#define MF_ENABLED 0x0000
#define MF_UNCHECKED 0x0000
#define MF_BITMAP 0x0004
#define MF_OWNERDRAW 0x0100
#define MF_DEFAULT 0x1000
#define MF_RIGHTJUSTIFY 0x4000

#define TPM_LEFTBUTTON 0x0000
#define TPM_RIGHTBUTTON 0x0002
#define TPM_LEFTALIGN 0x0000
#define TPM_CENTERALIGN 0x0004
#define TPM_RIGHTALIGN 0x0008
#define TPM_TOPALIGN 0x0000
#define TPM_VCENTERALIGN 0x0010
#define TPM_BOTTOMALIGN 0x0020
#define TPM_NONOTIFY 0x0080
#define TPM_RETURNCMD 0x0100

PLATFORM_API HMENU CreateMenu();
PLATFORM_API HMENU CreatePopupMenu();
// Destroys the menu and every popup it holds. FALSE with ERROR_INVALID_MENU_HANDLE.
PLATFORM_API BOOL DestroyMenu(HMENU menu);
PLATFORM_API BOOL IsMenu(HMENU menu);
// MF_POPUP: `idOrPopup` is a popup menu, owned by this one from now on.
PLATFORM_API BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text);
PLATFORM_API BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text);
// Takes an item out; DeleteMenu also destroys a popup it holds.
PLATFORM_API BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
PLATFORM_API BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
PLATFORM_API int GetMenuItemCount(HMENU menu);
// The item's command id; -1 for a popup or a position past the end.
PLATFORM_API UINT GetMenuItemID(HMENU menu, int position);
PLATFORM_API HMENU GetSubMenu(HMENU menu, int position);
// The item's MF_ flags (a popup's item count in the high byte); -1 when there is no such item.
PLATFORM_API UINT GetMenuState(HMENU menu, UINT item, UINT flags);
PLATFORM_API int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int size, UINT flags);
// Answer the previous state (MF_CHECKED / MF_GRAYED | MF_DISABLED bits), -1 when there is no
// such item.
PLATFORM_API DWORD CheckMenuItem(HMENU menu, UINT item, UINT check);
PLATFORM_API BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable);
// A menu from a module's menu template; NULL with the resource error, or ERROR_INVALID_DATA
// for a malformed template.
PLATFORM_API HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
// Sends WM_ENTERMENULOOP and WM_INITMENUPOPUP (unless TPM_NONOTIFY), takes the scripted
// choice, sends WM_EXITMENULOOP. With TPM_RETURNCMD answers the chosen command (0 for none);
// otherwise posts WM_COMMAND of the choice to the window and answers TRUE.
PLATFORM_API BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND hwnd, const RECT* rect);
