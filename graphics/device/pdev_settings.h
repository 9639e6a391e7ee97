// A device's setting items as the drawing and job code reads them: from the device's
// SettingsRecord and PrinterConfiguration, through the data-access binding.
#pragma once

#include "graphics/device/pdev.h"
#include "items/item_tables.h"
#include "platform/base/types.h"

// The item's value as 16 or 32 bits; 0 when the item cannot be read.
WORD GetPdevSettingWord(Pdev* pdev, SettingItemId id);
DWORD GetPdevSettingDword(Pdev* pdev, SettingItemId id);
// The address of the item's text inside the device's records; NULL when the read fails or the
// item is no text.
LPCWSTR GetPdevSettingString(Pdev* pdev, SettingItemId id);

// The device's resolution (item 20, dmPrintQuality) and scale in percent (item 11, dmScale) as
// every size of the device uses them: a resolution that is not a positive number of dots per
// inch (the device mode's negative quality levels) counts as 600, a scale that is not positive
// as 100, so no size is divided by zero or turned negative.
constexpr LONG kFallbackResolution = 600;
constexpr LONG kFallbackScale = 100;
LONG GetDeviceResolution(Pdev* pdev);
LONG GetDeviceScale(Pdev* pdev);

// Copies the SettingsExtension (bytes 1548 to 5363) from one record to another.
void CopySettingsExtension(SettingsRecord* destination, const SettingsRecord* source);
