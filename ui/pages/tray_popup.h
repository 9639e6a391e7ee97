// The tray popup of the paper source tab (page 40): the media type and the feed edge of the
// paper in the tray.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr DWORD kTrayPopupTemplate = 3460;
inline constexpr LONG kTrayPopupPage = 40;

extern const DialogRecord kTrayPopupDialog;
extern PageDescriptor kTrayPopupDescriptor;

INT_PTR TrayPopupDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
