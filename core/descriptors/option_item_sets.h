// Option item sets: the five PrinterConfiguration items that describe one tray or option,
// looked up by the option's code or by the set's first item.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

inline constexpr int kOptionSetItemCount = 5;

// Copies the five items of the set with this code: 1, or 0 for an unknown code or no output.
int FindOptionItemSet(WORD code, SettingItemId items[kOptionSetItemCount]);
// The width and length items of the custom paper size of the set whose first item is given:
// 1, or 0 when no set starts with it or an output is missing.
int GetCustomSizeItems(SettingItemId firstItem, SettingItemId* widthItem, SettingItemId* lengthItem);
