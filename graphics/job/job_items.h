// The setting items the job and page code reads from a device's settings in force.
#pragma once

#include "graphics/device/pdev.h"
#include "items/item_tables.h"
#include "platform/base/types.h"

// The item as a number in its own width (16-bit signed items sign-extended); 0 when unreadable.
LONG ReadJobItem(Pdev* pdev, SettingItemId id);
// The item's effective value (its neutral value when it does not apply).
DWORD ReadEffectiveJobItem(Pdev* pdev, SettingItemId id);
// Writes a number into the item in its own type; FALSE when refused.
BOOL WriteJobItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG value);
// The item's text inside the device's settings; NULL when it is no text.
LPCWSTR ReadJobItemText(Pdev* pdev, SettingItemId id);
// Copies a text item from one settings record into another; 0 or -1.
int CopyItemText(SettingsRecord* destination, SettingsRecord* source, PrinterConfiguration* config, SettingItemId id);
