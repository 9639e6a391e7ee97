// Labels of rows: the accelerator pattern inserted into a name.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// The label with "&" before the first letter that the pattern's marked character names (or
// with the pattern appended when none is found), the extra text and the suffix string after
// it; string ids of -3 stand for none. 1, or 0 for a NULL module or output.
int FormatAcceleratorLabel(HMODULE module, LPWSTR text, int size, LPCWSTR label, LONG patternId, LONG suffixId,
                           LPCWSTR extra);

// The same for the label string `labelId` of the module (at most 128 characters); 0 as well
// when the label id is -3.
int FormatLabelById(HMODULE module, LPWSTR text, int size, LONG labelId, LONG patternId, LONG suffixId,
                    LPCWSTR extra);

// The same for the name of a setting item as the sheet's description database gives it, with
// the resource module's pieces: 1, or 0 when the dialog has no sheet or the item no name.
int FormatItemLabel(HWND dialog, LPWSTR text, int size, SettingItemId id, LONG patternId, LONG suffixId,
                    LPCWSTR extra);
