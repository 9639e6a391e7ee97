// The layout popup (page 16), which the main tab's layout button opens: poster and booklet
// printing with their options, gutters and the booklet finishing.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr DWORD kLayoutPopupTemplate = 529;
inline constexpr LONG kLayoutPopupPage = 16;

extern const DialogRecord kLayoutPopupDialog;
extern PageDescriptor kLayoutPopupDescriptor;

INT_PTR LayoutPopupDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
