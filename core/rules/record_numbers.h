// Numbers of single items read and written with their failures told apart from a value of 0,
// in the item's own type, and items copied from one record to another.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// The item widened by its type (16-bit signed items sign-extended, flags 0 or 1). FALSE when
// the item cannot be read or is a string or font.
BOOL ReadItemLong(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG* value);
// Writes the value in the item's own type (cut to its size). FALSE when the engine refuses it
// or the item is a string or font.
BOOL WriteItemLong(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG value);
// Copies one item of any type from one SettingsRecord into another (the configuration serves
// both). FALSE when it cannot be read or the destination refuses it.
BOOL CopyItemValue(SettingItemId id, SettingsRecord* from, SettingsRecord* to, PrinterConfiguration* config);
