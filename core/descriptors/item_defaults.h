// Defaults and checks of single items and of whole records, by the item descriptors: the
// built-in rule when the item has one, else the description database; policy presets last.
#pragma once

#include "core/descriptors/item_descriptors.h"
#include "core/store/item_store.h"
#include "platform/base/types.h"

inline constexpr int kDefaultFound = 1;
inline constexpr int kDefaultNone = 2;
inline constexpr int kDefaultFailed = -1;

// The item's default: 1 found, 2 none, -1 failure (also for an item without descriptor). A
// string or font arrives as new data in the cell (ReleaseItemDefaultValue).
int GetItemDefault(ItemStore* store, SettingItemId id, ValueTypeCode* type, DWORD* size, ItemValueCell* value);
void ReleaseItemDefaultValue(SettingItemId id, ItemValueCell* value, ValueTypeCode type);
// TRUE when the item's current value passes kItemOpCheck or kItemOpCheckpublic.
BOOL ValidateItemValue(ItemStore* store, SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                       WORD operation);
// Writes a value (size -1: from the type); for strings and fonts the reference points at the
// data's address. TRUE when stored.
BOOL StoreItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, LONG size,
                    ValueTypeCode type, const void* value);
// Clears the given records and fills every item of every group that has one with its default.
// TRUE when every item was stored or has no default. An item whose default cannot be resolved
// or stored ends its group (the group's later items stay cleared); the next group still runs.
BOOL ApplyDataFileDefaults(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config,
                           LPCWSTR deviceName);

// 1 when the device-mode header items (dmSpecVersion, dmSize, dmDriverExtra) and item 257 of
// the record pass their built-in checks, tested in that order; 0 at the first that fails and
// for a missing record.
int ValidateDevmodeHeader(SettingsRecord* record);

// Writes the item's default: TRUE when stored, and when the item has no default (nothing is
// done); FALSE when the default cannot be read or stored.
BOOL ResetItemToDefault(ItemStore* store, SettingsRecord* settings, SettingItemId id, PrinterConfiguration* config);
