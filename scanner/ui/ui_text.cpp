// Texts of the data source's windows (see ui_text.h).
#include "scanner/ui/ui_text.h"

#include "platform/kernel/codepage.h"
#include "scanner/system_routines.h"

std::u16string WidenUiText(LPCSTR text) {
  char16_t wide[kUiTextBytes] = {};
  MultiByteToWideChar(CP_ACP, 0, text, -1, reinterpret_cast<LPWSTR>(wide), kUiTextBytes);
  wide[kUiTextBytes - 1] = 0;
  return std::u16string(wide);
}

std::u16string LoadUiText(UINT id) {
  char text[kUiTextBytes] = {};
  LoadLocalizedString(g_Instance, id, text, sizeof text);
  return WidenUiText(text);
}
