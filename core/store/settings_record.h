// Sizes, allocation and copies of the settings records, and the walk over every item by the
// groups of the item table. A 16-bit kind argument selects the form: 1 the short form of 1548
// bytes (the device mode as the spooler sees it), any other value the full 5364-byte record.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

inline constexpr WORD kShortSettingsKind = 1;

// The SettingsExtension's layout version in this release (item 1793).
inline constexpr WORD kSettingsExtensionVersion = 0x5040;
// The PrinterConfiguration's layout version in this release (item 8203).
inline constexpr WORD kPrinterConfigurationVersion = 0x2142;

DWORD GetSettingsRecordSize(WORD kind);
// Caller to come: the printer modules' device-mode handling.
// A new zero-filled global block of the kind's size (the caller frees it), NULL on failure.
void* AllocSettingsRecord(WORD kind);
// Copies the kind's size; the regions may overlap.
void CopySettingsRecord(void* destination, const void* source, WORD kind);
// Caller to come: the printer modules' device-mode handling.
void ClearSettingsRecord(void* record, WORD kind);

// 1 and the ItemArea of group 0-11 of the item table, else 0 with the output untouched.
int GetItemGroupArea(WORD group, WORD* area);
// The id of row `entry` (from 0) of the group in table order; 0 past the group's last row and
// for a group above 11 (callers walk entries until 0).
SettingItemId GetItemGroupEntryId(WORD group, WORD entry);
