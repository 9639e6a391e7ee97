// Routines and tables the property-sheet pages share.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

// The items the main tabs and the layout popup keep bound without a control of their own, so
// that their states follow every change made on the page.
inline constexpr LONG kSharedPageItemCount = 40;
extern const DWORD kSharedPageItems[kSharedPageItemCount];

// The row's kind handler, as the framework hands it to a row callback (0 without one).
INT_PTR RunChained(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                   const void* kindData);

// A WM_NOTIFY with the code.
bool IsNotice(UINT message, LPARAM lParam, UINT code);

// A PSN_SETACTIVE notice or a refresh of the page's controls.
bool IsPageRefresh(UINT message, LPARAM lParam);
