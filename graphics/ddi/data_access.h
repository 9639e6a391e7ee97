// The graphics module's binding of the data-access module qorvexdata: the module has no item
// engine of its own and reads and writes every setting item through the two entry points it
// binds by name. The binding is module-wide and use-counted (one use per enabled device);
// GetItemValue and SetItemValue (core/store/item_access.h) of this module's build run on it.
#pragma once

#include "items/item_tables.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

// String of the module's own table that names the data-access module file, which lies in the
// module's directory.
constexpr UINT kDataAccessNameString = 32766;

// Adds one use; the first loads the module (named by the instance's string table) and binds
// "dma_GetValue" and "dma_SetValue". 1 when bound, 0 when not. A failed load keeps its use
// counted: the caller undoes it with UnloadDataAccessModule, which frees what was loaded.
int LoadDataAccessModule(HINSTANCE instance);
// Drops one use (never below none); the last frees the module and unbinds both entry points.
void UnloadDataAccessModule();

// SetItemNumberV with the size taken from the type (1 to 3: two bytes, 4 and 5: four, 8: one)
// and the engine's result returned; kItemBadType for types without a number form.
ItemAccessResult SetItemNumberResult(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id,
                                     ValueTypeCode type, DWORD number);

