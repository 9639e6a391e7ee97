// ItemStore: the open description database of a printer's model (main and linked streams)
// with the model's PolicyList, and the queries that map setting items to database records:
// an item's choices and their values, its database default, paper searches and model facts.
#pragma once

#include "core/database/dbrecords.h"
#include "core/store/policy_file.h"
#include "core/store/query_status.h"
#include "platform/base/types.h"

struct ItemStore {
  DatabaseStream* main;
  DatabaseStream* linked;
  PolicyList* policy;  // NULL when the model has no policy file
};

// A choice of an item as the queries hand it out (record kind 523). The value of a choice-list
// entry is a copy of its stored value; of a paper or paper source record its key (type 3); a
// choice list itself has none (type 0).
struct ChoiceValue {
  RecordHeader h;
  LPWSTR name;
  void* value;
  WORD valueType;
  DataBlock* block;
};

// Query and answer of FindPaper; sizes in tenths of a millimetre.
struct PaperSpec {
  WORD id;
  WORD width;
  WORD length;
  LPWSTR name;
};

// FindPaper modes.
inline constexpr WORD kFindPaperById = 1;
inline constexpr WORD kFindPaperBySize = 2;
inline constexpr WORD kFindPaperByName = 3;

// Values handed to the queries are typed slots (core/typed_value.h): a number in its type's
// width, or for a text (type 6) the string pointer itself.

// ---- Life cycle ----------------------------------------------------------------------------
ItemStore* NewItemStore();
// The printer's ItemStore from its driver's data file, with the model's PolicyList; NULL on
// any failure.
ItemStore* OpenItemStore(HANDLE printer);
// A store of the database at a platform path, without a PolicyList (tools and benchmarks).
ItemStore* OpenItemStoreAtPath(LPCWSTR path);
// TRUE only when both streams held data (a model without a linked database answers FALSE);
// everything is freed either way.
BOOL CloseItemStore(ItemStore* store);
// Frees the two stream records, the PolicyList and the store (not the streams' data).
void FreeItemStore(ItemStore* store);

// ---- Record queries (statuses of the database layer) ---------------------------------------
// The record type and key an item is described by.
void MapItemToRecord(SettingItemId item, WORD optionalKey, WORD* type, WORD* key);
WORD MapDatabaseStatus(WORD status);

// Items 1 and 259 answer the header record (type 1); items of a choice list with a value the
// entry that holds the value; any other item its own record.
WORD ReadItemValueRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, SettingItemId item,
                         const void* value, WORD* type, DatabaseRecord** record);
WORD ReadChoiceRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, SettingItemId item, WORD n,
                      WORD* type, DatabaseRecord** record);
WORD ReadChoiceEntryByPosition(BOOL withData, BOOL useDefault, DatabaseStream* main, DatabaseStream* linked,
                               const DatabaseRecord* list, WORD n, WORD* type, DatabaseRecord** entry);
WORD FindEntryByValue(const DatabaseRecord* list, const void* value, BOOL withData, DatabaseStream* main,
                      DatabaseStream* linked, WORD* type, DatabaseRecord** entry);
WORD ReadReferencedRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, const DatabaseRecord* entry,
                          WORD* type, DatabaseRecord** record);
// The stored default of a choice-list item as a new block (a wide string for type 6).
WORD ReadDatabaseDefault(SettingItemId item, DatabaseStream* main, DatabaseStream* linked, void** block, WORD* type);
// The database default with the locale rules of items 8, 1824, 4356 and 4358.
WORD ReadItemDefault(DatabaseStream* main, DatabaseStream* linked, SettingItemId item, void** block, WORD* type);
WORD ReadChoiceValue(DatabaseStream* main, DatabaseStream* linked, SettingItemId item, WORD n, ChoiceValue** choice);
WORD CopyChoiceValue(const DatabaseRecord* record, LPWSTR* name, void** value, WORD* type);
// 0 when the item is a flag item whose bit is set in section 12 of the main database, else 1.
WORD TestFlagItemBit(DatabaseStream* main, DatabaseStream* linked, SettingItemId item);
// The attribute of a paper in a paper source's list; the paper key itself when the source
// does not list it; 0 for source 0, a NULL store or a failed read.
WORD LookUpPaperSourceEntry(WORD sourceKey, ItemStore* store, WORD paperKey);

// ---- Caller-facing queries: 1/0 with a status (kQuery...) ----------------------------------
// `value` is a pointer-sized slot: a new wide string for type 6 (ReleaseItemDefault), else a
// number zero-extended from its stored length.
int QueryItemDefault(ItemStore* store, SettingItemId item, void* value, WORD* type, WORD* status);
// Frees the text of a type-6 default (the pointer the slot holds).
void ReleaseItemDefault(void* value, WORD type);
int QueryChoiceListHeader(ItemStore* store, SettingItemId item, BYTE* kind, WORD* count, LPCWSTR* name,
                          DatabaseRecord** record, WORD* status);
int QueryChoiceEntry(ItemStore* store, SettingItemId item, WORD n, ChoiceValue** choice, WORD* status);
void ReleaseChoiceEntry(ChoiceValue* choice);
int GetChoiceEntryFields(const ChoiceValue* choice, void** value, LPCWSTR* name, WORD* type, DataBlock** block);
BOOL ReleaseRecord(DatabaseRecord* record);
BOOL IsItemValueListed(ItemStore* store, SettingItemId item, const void* value);
DatabaseRecord* ReadChoiceTarget(ItemStore* store, SettingItemId item, const void* value, WORD* type, WORD* status);
// The sizes of the paper that choice `value` of a paper item stands for.
int GetPaperSizeOfValue(ItemStore* store, SettingItemId item, WORD value, WORD* width, WORD* length,
                        WORD* width2, WORD* length2, WORD* status);
int GetDefaultPaperSize(ItemStore* store, SettingItemId item, WORD* width, WORD* length, WORD* status);
LPWSTR GetDefaultPaperName(ItemStore* store, SettingItemId item, WORD* status);
// True when w x l matches W x L within 10 units per side, turned by 90 degrees when the two
// are not oriented alike (or one is square).
bool SizesMatch(WORD w, WORD l, WORD W, WORD L);
int FindPaper(ItemStore* store, SettingItemId item, WORD mode, const PaperSpec* query, PaperSpec* answer,
              WORD* status);
void FreePaperSpecName(PaperSpec* paper);
LPWSTR GetModelName(ItemStore* store, WORD* status);
WORD GetMaxCopies(ItemStore* store);
// 0xFFFF for a NULL store, -1 when section 5 is 0, 2 when it is 2, else 1.
LONG GetColorCapabilityByte(ItemStore* store);
// The byte of section 7, or -1 when it cannot be read.
LONG ReadModelOptionByte(ItemStore* store);
// The model kind from section 23: 0 gives 1, 1 gives 2, any other value 0.
int GetModelKind(ItemStore* store);

// The policy file of the store's model: the module directory and the linked database's file
// name with its extension made "cfg"; NULL when the model has no linked database.
LPWSTR GetPolicyFilePath(ItemStore* store);
