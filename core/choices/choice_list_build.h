// Building the choice list of a setting item: its header (kind, count, name) from the item's
// built-in rule or from the description database, then its choices with names, values and
// icons. Paper lists show user-defined papers under their own names with their sizes, and the
// custom-size choice of a tray's paper list with the tray's current custom size.
#pragma once

#include "core/descriptors/choice_list.h"
#include "core/messages/value_texts.h"
#include "core/store/item_store.h"
#include "platform/base/types.h"

// The header of the item's list: a new ChoiceList with id, kind, count and name but no
// choices, with the item's descriptor and its extra data (GetItemExtraList; the caller frees
// it with FreeItemExtraList). NULL when the item has no descriptor, its extra data cannot be
// read, its rule gives no list or its database list cannot be read; the extra data is then
// freed already and *extra is NULL. *failed (when given) tells a failure (no memory, stamp
// names that cannot be read) from an item that simply has no list.
ChoiceList* BuildChoiceListHeader(void** extra, const ItemDescriptor** descriptor, HANDLE printer, ItemStore* store,
                                  SettingItemId id, HMODULE resourceModule, WORD callerCount,
                                  bool* failed = nullptr);

// The item's whole list. callerCount strings of callerList are the choices of the lists that
// the calling page fills (items 305 and 358). Sizes in paper lists follow the measurement
// flags (NULL: millimetres). NULL on any failure, with nothing left allocated.
ChoiceList* BuildChoiceListForItem(HANDLE printer, ItemStore* store, SettingItemId id, HMODULE resourceModule,
                                   WORD callerCount, const LPCWSTR* callerList, SettingsRecord* settings,
                                   PrinterConfiguration* config, const MeasurementFlags* flags);

// The user-paper slot (0-19) whose paper id is the given one (ids 262-266 and 287-301), or -1.
int GetUserPaperSlot(WORD paperId);
// The width, length (tenths of a millimetre) and name of a user-paper slot from its items; the
// name is the address of the text in the caller's records. FALSE when one cannot be read.
BOOL GetUserPaperItems(SettingsRecord* settings, PrinterConfiguration* config, int slot, WORD* width, WORD* length,
                       LPCWSTR* name);
