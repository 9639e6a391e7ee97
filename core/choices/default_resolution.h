// Default resolution: the defaults of single items can contradict the model's constraint
// records. ResolveDefaults checks the current value of every item that has a choice list and
// stops at the first that provokes a message, so the caller can reset the items involved to
// their defaults (ResetItemToDefault, core/descriptors/item_defaults.h) and call again; an item
// that keeps conflicting is noted in the caller's table and, once the walk is through,
// reported in a diagnostic box.
#pragma once

#include "core/store/item_store.h"
#include "platform/base/types.h"

inline constexpr int kResolvedItemRows = 100;

// A row is added when the same item conflicts in two calls in a row; its flag marks that the
// item conflicts in the current call. The caller keeps the table from call to call.
struct ResolvedItemRow {
  SettingItemId id;  // 0: an empty row
  DWORD flag;
};
struct ResolvedItemTable {
  ResolvedItemRow rows[kResolvedItemRows];
};

// Answers of ResolveDefaults.
inline constexpr int kDefaultsResolved = 1;     // every item passes
inline constexpr int kDefaultsNeedReset = 2;    // reset the returned items and call again
inline constexpr int kDefaultsUnresolved = -1;  // a failure, or an item that cannot be resolved

// The resource string that follows the item id in the diagnostic box.
inline constexpr UINT kStringDefaultConflict = 389;
inline constexpr int kDefaultConflictChars = 108;

// Checks the current value of every item of the twelve descriptor groups that has a choice
// list (ranges aside) in the default-resolution mode. On kDefaultsNeedReset *changedItems is
// the 0-ended list of the items to reset, at least the item itself (the caller frees it with
// GlobalFree), and *lastConflict the item that conflicted; otherwise *changedItems is NULL. An
// item that conflicts again after its reset gets a row of the table; when the walk ends with a
// row flagged, the box "DDMID = 0x<id><string 389>" captioned "Default Set Err" is shown on
// the owner window (right-to-left reading for models with that feature) and the answer is
// kDefaultsUnresolved.
int ResolveDefaults(HMODULE resourceModule, HANDLE printer, ItemStore* store, SettingsRecord* settings,
                    PrinterConfiguration* config, WORD** changedItems, HWND owner, ResolvedItemTable* table,
                    SettingItemId* lastConflict);
