// The choice lists that built-in item rules supply instead of the description database: the
// copy count as a range (item 12), the stamps to choose from (298: none, then the stored
// stamps' names) and the lists whose strings the calling page passes in (305 and 358); with
// the extra data an item's list is built from.
#pragma once

#include "core/descriptors/item_descriptors.h"
#include "platform/base/types.h"

// Resource string that names the "no stamp" choice of item 298.
inline constexpr UINT kStringNoStamp = 426;

// The extra data of item 298: the stored stamps' names, one after another, each NUL-ended.
struct StampNameList {
  WORD count;
  LPWSTR names;
};

// The extra data of an item's list in a new block (FreeItemExtraList): for item 298 the stamp
// names of the printer's stamp store. TRUE with NULL for an item without extra data; FALSE
// when the names cannot be read or no memory is left.
BOOL GetItemExtraList(HANDLE printer, SettingItemId id, void** extra);
void FreeItemExtraList(void* extra);

// The list operations of the built-in rule: kItemOpListheader sets kind and count of the list
// in the slot, kItemOpListentry names choice `index` with its value and type. 1 done, 0 for an
// item without a built-in list, an index beyond it or missing data.
int BuildBuiltinListPart(ItemStore* store, WORD operation, SettingItemId id, ItemValueSlot* slot);
