// The settings list tab of the document sheet (page 13). So far it carries the button that
// opens the about dialog.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr DWORD kSettingsListTemplate = 504;
inline constexpr LONG kSettingsListPage = 13;

extern const TabRecord kSettingsListTabRecord;

INT_PTR SettingsListDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
