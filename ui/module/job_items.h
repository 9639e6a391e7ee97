// Reading the job's setting items whatever their stored type: numbers, texts and fonts.
#pragma once

#include "items/item_tables.h"
#include "items/setting_records.h"
#include "platform/base/types.h"
#include "platform/gdi/fonts.h"

// The item as a number; false when it cannot be read or is not a number.
bool ReadJobNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG* value);
// The item as a number, or `fallback`.
LONG JobNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG fallback = 0);
// The text item copied into buffer (chars characters with the terminator); false (buffer
// empty) when it cannot be read.
bool ReadJobText(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LPWSTR buffer, DWORD chars);
// The font item; false when it cannot be read.
bool ReadJobFont(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LOGFONTW* font);
