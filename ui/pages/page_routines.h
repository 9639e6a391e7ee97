// Routines and tables the property-sheet pages share.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/dialog/message_dispatch.h"

// The items the main tabs and the layout popup keep bound without a control of their own, so
// that their states follow every change made on the page.
inline constexpr LONG kSharedPageItemCount = 40;
extern const DWORD kSharedPageItems[kSharedPageItemCount];

// A PSN_SETACTIVE notice or a refresh of the page's controls.
bool IsPageRefresh(UINT message, LPARAM lParam);
