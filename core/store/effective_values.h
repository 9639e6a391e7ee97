// Effective item values: some items only mean something while another item has a certain
// value; when they do not apply, whoever reports the settings sees a neutral value instead.
// Also the checks of the running platform's generation.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

inline constexpr int kItemApplies = 1;
inline constexpr int kItemDoesNotApply = 2;
inline constexpr int kItemControlUnreadable = 3;

// 1 the item applies, 2 it does not (report the neutral value), 3 a controlling item could not
// be read.
int GetItemApplicability(SettingItemId id, PrinterConfiguration* config, SettingsRecord* settings);
// 0 with the effective value (outputs as GetItemValue's), 3 on error or when an item that does
// not apply has no neutral value.
int GetEffectiveItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                          ValueTypeCode* type, DWORD* length, void* value);
// The effective value as a 32-bit number, 0xFFFFFFFF on error (texts and fonts included).
DWORD GetEffectiveItemNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id);
