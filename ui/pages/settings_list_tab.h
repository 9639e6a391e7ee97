// The settings list tab of the document sheet (page 13): two check boxes, two combo boxes, the
// about button and restore defaults; a control revealed by a keyed double-click.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr DWORD kSettingsListTemplate = 504;
inline constexpr LONG kSettingsListPage = 13;

extern const TabRecord kSettingsListTabRecord;

// The page's procedure: its hidden controls, then the tab dispatch.
INT_PTR SettingsListTabProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
