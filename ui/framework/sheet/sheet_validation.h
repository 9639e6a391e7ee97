// The checks of the whole settings when a sheet opens or a page re-validates: what they
// changed is worded in at most two warnings that wait in the SheetState for the first page to
// show them.
#pragma once

#include "core/messages/value_texts.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

struct ItemStore;

// Two warning texts, either NULL.
struct PendingWarnings {
  LPWSTR text[2];
};

// Checks of ValidateSheetOnApply.
inline constexpr DWORD kValidateAllSettings = 0x1;
inline constexpr DWORD kValidateTiles = 0x2;

// Runs the asked checks: the whole settings (warning 0 with what changed), the sweep over the
// paper margins when asked (oversized margins reset to the defaults in the user's store, or the
// printer's table for a printer-defaults sheet, and told in warning 0), the tile count (warning
// 0 when free, else 1). Without a window the margins are swept only when they are the user's
// own (item 463). 1 with the warnings in a new pair (*pending, NULL when none), or 0 on a
// failure (no pair).
int ValidateSheetOnApply(HMODULE module, HANDLE printer, ItemStore* store, SettingsRecord* settings,
                         PrinterConfiguration* config, BOOL checkForms, DWORD checks, BOOL checkMargins,
                         UINT messageId, const MeasurementFlags* flags, HWND window, PendingWarnings** pending);
// Warning n (0 or 1) and *missing 0; NULL with *missing 1 for n above 1 while a pair exists,
// and NULL with *missing 0 without a pair.
LPCWSTR GetPendingWarning(const PendingWarnings* pair, int n, int* missing);
// Frees both texts and the pair and clears the pointer: 1, or 0 without a pointer.
int FreePendingWarnings(PendingWarnings** pair);
