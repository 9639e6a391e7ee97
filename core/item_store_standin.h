// STAND-IN for the item store and its record queries, until the item store issue lands its
// own: the store of one model's two database streams and the few queries the item
// descriptors and the constraint engine ask. Remove this file when the real store lands and
// include its header instead; the names and signatures here are the ones it declares.
#pragma once

#include "core/dbrecords.h"
#include "dataaccess/item_tables.h"

struct PolicyList;

struct ItemStore {
  DatabaseStream* main;
  DatabaseStream* linked;
  PolicyList* policy;  // always NULL here: no policy file is read yet
};

// Statuses of the caller-facing queries (their out parameter).
inline constexpr WORD QS_OK = 0;
inline constexpr WORD QS_FAILED = 1;
inline constexpr WORD QS_ABSENT = 2;
inline constexpr WORD QS_NO_MEMORY = 3;

// Opens the model's database at a platform path into a new store; NULL on any failure.
ItemStore* OpenItemStoreAtPath(LPCWSTR path);
BOOL CloseItemStore(ItemStore* store);

// The record that describes an item (with a value: the entry of its list with that value).
// `value` points at the value; for a string at the string's address.
WORD ReadItemValueRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, SettingItemId item,
                         const void* value, WORD* recordType, DatabaseRecord** record);
// The database default of an item as a new block (a wide string for type 6) and its type.
WORD ReadItemDefault(DatabaseStream* main, DatabaseStream* linked, SettingItemId item, void** value,
                     ValueTypeCode* type);
// The database default: a new wide string for type 6 (ReleaseItemDefault), else a number
// zero-extended from its stored length. 1 or 0 with the status.
int QueryItemDefault(ItemStore* store, SettingItemId item, void** value, ValueTypeCode* type, WORD* status);
void ReleaseItemDefault(void* value, ValueTypeCode type);
int GetDefaultPaperSize(ItemStore* store, SettingItemId item, WORD* width, WORD* length, WORD* status);
LPWSTR GetDefaultPaperName(ItemStore* store, SettingItemId item, WORD* status);
int GetPaperSizeOfValue(ItemStore* store, SettingItemId item, WORD value, WORD* width, WORD* length,
                        WORD* secondWidth, WORD* secondLength, WORD* status);
LPWSTR GetModelName(ItemStore* store, WORD* status);
WORD GetMaxCopies(ItemStore* store);
int ReadModelOptionByte(ItemStore* store);
