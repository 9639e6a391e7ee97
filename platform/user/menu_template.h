// Menu templates as resources carry them: the platform's standard menu template (a 4-byte
// header, then items; a popup item holds its own items; MF_END marks each level's last).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"

#define MF_STRING 0x0000
#define MF_GRAYED 0x0001
#define MF_DISABLED 0x0002
#define MF_CHECKED 0x0008
#define MF_POPUP 0x0010
#define MF_MENUBARBREAK 0x0020
#define MF_MENUBREAK 0x0040
#define MF_END 0x0080
#define MF_SEPARATOR 0x0800
#define MF_HELP 0x4000

struct MenuItemTemplate {
  WORD flags = 0;  // MF_* without MF_END (the encoder sets it)
  WORD id = 0;     // not kept for popups
  std::u16string text;
  std::vector<MenuItemTemplate> items;  // a popup's items
};

struct MenuTemplate {
  std::vector<MenuItemTemplate> items;
};

// Popups nest at most this deep; deeper templates are refused.
inline constexpr int kMenuMaxDepth = 8;

PLATFORM_API std::vector<BYTE> EncodeMenuTemplate(const MenuTemplate& menu);
// ERROR_INVALID_DATA for anything but a complete template inside `bytes`.
PLATFORM_API DWORD DecodeMenuTemplate(std::span<const BYTE> bytes, MenuTemplate& menu);
