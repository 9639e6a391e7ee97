// The item-by-item comparison of two document settings records that a property sheet makes to
// tell whether its settings still are those of a favourite.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

// 1 when the two records agree on every compared item: the document items of the item table
// except the header, paper-size, form, resolution and bookkeeping items that a favourite does
// not fix, fonts, and the stamp items when neither record names a stamp (item 297). 0 when one
// differs, a read fails or the window carries no property sheet.
int CompareSettingsRecords(HWND window, SettingsRecord* first, SettingsRecord* second, PrinterConfiguration* config);
