// The details popup of a delayed job (page 43): the hour and minute at which it prints, with
// the shared job fields.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr DWORD kJobTimePopupTemplate = 3377;
inline constexpr LONG kJobTimePopupPage = 43;

extern const DialogRecord kJobTimePopupDialog;
extern PageDescriptor kJobTimePopupDescriptor;

INT_PTR JobTimePopupDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
