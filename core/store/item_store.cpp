#include "core/store/item_store.h"

#include <cstring>
#include <vector>

#include "core/common/common_routines.h"
#include "core/runtime/module_state.h"
#include "core/system/chunked_printer_data.h"
#include "core/system/user_locale.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"

namespace {

WORD EntryTypeOfList(WORD listType) { return listType == 3 ? 13 : 14; }

bool IsChoiceList(const DatabaseRecord* record) { return record && (record->h.type == 3 || record->h.type == 4); }

bool IsChoiceEntry(const DatabaseRecord* record) { return record && (record->h.type == 13 || record->h.type == 14); }

// The name a record is known by: the display name for the header record.
LPCWSTR NameOfRecord(const DatabaseRecord* record) {
  if (record && record->h.type == DDD_RECORD_HEADER)
    return reinterpret_cast<const HeaderRecord*>(record)->displayName;
  return GetRecordName(record);
}

// Width in bytes a value of the type is compared on; 0 for types without a comparison (9 and
// unknown codes never match).
DWORD ComparedWidth(BYTE type) {
  switch (type) {
    case 2:
    case 3: return 2;
    case 1:
    case 4:
    case 5:
    case 7:
    case 10: return 4;
    case 8: return 1;
    default: return 0;
  }
}

// Whether an entry's stored value equals the caller's typed slot. Entries without a value, or
// with fewer bytes than the type compares, never match.
bool StoredValueEquals(const StoredValue& stored, const void* slot) {
  if (!stored.present || !stored.value || !slot) return false;
  if (stored.type == 6) {
    LPCWSTR given = *static_cast<const LPCWSTR*>(slot);
    return given && lstrcmpW(static_cast<LPCWSTR>(stored.value), given) == 0;
  }
  DWORD width = ComparedWidth(stored.type);
  if (width == 0 || stored.length < width) return false;
  if (stored.type == 7) {
    float a, b;
    std::memcpy(&a, stored.value, 4);
    std::memcpy(&b, slot, 4);
    return a == b;
  }
  return std::memcmp(stored.value, slot, width) == 0;
}

// A new block holding a stored value: the string for type 6, else its bytes.
void* CopyStoredValue(const StoredValue& stored) {
  if (!stored.present || !stored.value || stored.count > 1) return nullptr;
  if (stored.type == 6) return GlobalCopyText(static_cast<LPCWSTR>(stored.value));
  void* block = GlobalAlloc(GPTR, stored.length > 4 ? stored.length : 4);
  if (block) std::memcpy(block, stored.value, stored.length);
  return block;
}

// The model's feature words: section 26, and section 39 in files from level 0x1600.
bool ModelHasFeature(DatabaseStream* main, DWORD feature) {
  DWORD words[2] = {ReadSectionValue(main, 26, 4, 0), 0};
  if (main->formatLevel > 0x15FF) words[1] = ReadSectionValue(main, 39, 4, 0);
  return TestFeatureFlag(words, feature) != 0;
}

int Fail(WORD* status, WORD databaseStatus) {
  if (status) *status = MapDatabaseStatus(databaseStatus);
  return 0;
}

int Succeed(WORD* status) {
  if (status) *status = kQueryOk;
  return 1;
}

bool StoreIsOpen(const ItemStore* store) { return store && store->main && store->linked; }

}  // namespace

// Compares two size pairs within 10 units, rotated when the orientations differ.
bool SizesMatch(WORD w, WORD l, WORD W, WORD L) {
  auto near = [](int a, int b) { return (a > b ? a - b : b - a) <= 10; };
  bool alike = (l < w && L < W) || (w < l && W < L);
  return alike ? near(w, W) && near(l, L) : near(w, L) && near(l, W);
}

// ---- Life cycle ----------------------------------------------------------------------------

ItemStore* NewItemStore() {
  auto* store = static_cast<ItemStore*>(GlobalAlloc(GPTR, sizeof(ItemStore)));
  if (!store) return nullptr;
  store->main = static_cast<DatabaseStream*>(GlobalAlloc(GPTR, sizeof(DatabaseStream)));
  store->linked = static_cast<DatabaseStream*>(GlobalAlloc(GPTR, sizeof(DatabaseStream)));
  if (!store->main || !store->linked) {
    FreeItemStore(store);
    return nullptr;
  }
  return store;
}

void FreeItemStore(ItemStore* store) {
  if (!store) return;
  if (store->main) GlobalFree(store->main);
  if (store->linked) GlobalFree(store->linked);
  FreePolicyList(store->policy);
  GlobalFree(store);
}

ItemStore* OpenItemStoreAtPath(LPCWSTR path) {
  if (!path) return nullptr;
  ItemStore* store = NewItemStore();
  if (store && OpenDescriptionDatabase(path, 0, store->main, store->linked) != kDbOk) {
    FreeItemStore(store);
    return nullptr;
  }
  return store;
}

ItemStore* OpenItemStore(HANDLE printer) {
  if (!printer) return nullptr;
  LPWSTR path = GetDriverDataFile(printer);
  ItemStore* store = OpenItemStoreAtPath(path);
  if (path) GlobalFree(path);
  if (!store) return nullptr;
  LPWSTR policyPath = GetPolicyFilePath(store);
  WORD status;
  LPWSTR model = GetModelName(store, &status);
  if (policyPath && model) store->policy = LoadPolicyList(model, policyPath);
  if (policyPath) GlobalFree(policyPath);
  if (model) GlobalFree(model);
  return store;
}

BOOL CloseItemStore(ItemStore* store) {
  if (!store) return FALSE;
  WORD released = CloseDatabaseStreams(store->main, store->linked);
  FreeItemStore(store);
  return released != 1;
}

// ---- Record queries ------------------------------------------------------------------------

void MapItemToRecord(SettingItemId item, WORD optionalKey, WORD* type, WORD* key) {
  if (item >= kItemDeviceOptionFirst && item <= kItemDeviceOptionLast) {
    *type = 3, *key = item;
  } else if (item == kItemDeviceName || item == kItemModelName) {
    *type = DDD_RECORD_HEADER, *key = item;
  } else if (item >= kItemColorTripleFirst && item <= kItemColorTripleLast) {
    *type = 4, *key = static_cast<WORD>(kItemColorTripleFirst + (item - kItemColorTripleFirst) / 4 * 4);
  } else if (item == kItemPaperRecord) {
    *type = 10, *key = optionalKey;
  } else if (item == kItemPaperSourceRecord) {
    *type = 5, *key = optionalKey;
  } else if (item == kItemPaperSourceRecordSecond) {
    *type = 6, *key = optionalKey;
  } else if (item == kItemMediaTypeRecord) {
    *type = 19, *key = optionalKey;
  } else {
    *type = 4, *key = item;
  }
}

WORD MapDatabaseStatus(WORD status) {
  switch (status) {
    case kDbOk: return kQueryOk;
    case kDbAbsent: return kQueryAbsent;
    case kDbNoMemory: return kQueryNoMemory;
    default: return kQueryFailed;
  }
}

WORD ReadItemValueRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, SettingItemId item,
                         const void* value, WORD* type, DatabaseRecord** record) {
  if (!type || !record) return kDbFailed;
  *record = nullptr;
  WORD recordType, key;
  MapItemToRecord(item, 0, &recordType, &key);
  if (recordType == DDD_RECORD_HEADER) {
    // The header record stands for the model's display name.
    WORD status = ReadDatabaseHeader(main, record);
    if (status == kDbOk) *type = DDD_RECORD_HEADER;
    return status;
  }
  if ((recordType == 3 || recordType == 4) && value) {
    DatabaseRecord* list = nullptr;
    WORD status = ReadKeyedRecord(TRUE, main, linked, recordType, key, 0, &list);
    if (status != kDbOk) return status;
    status = FindEntryByValue(list, value, withData, main, linked, type, record);
    FreeRecord(&list, kDbAnyType);
    return status;
  }
  WORD status = ReadKeyedRecord(withData, main, linked, recordType, key, 0, record);
  if (status == kDbOk) *type = recordType;
  return status;
}

WORD FindEntryByValue(const DatabaseRecord* list, const void* value, BOOL withData, DatabaseStream* main,
                      DatabaseStream* linked, WORD* type, DatabaseRecord** entry) {
  if (!IsChoiceList(list) || !type || !entry) return kDbFailed;
  *entry = nullptr;
  const auto* choices = reinterpret_cast<const ChoiceListRecord*>(list);
  WORD entryType = EntryTypeOfList(list->h.type);
  for (WORD i = 0; i < choices->choices.count; ++i) {
    // Entry records are numbered by their position, so the choice's key is its position.
    DatabaseRecord* candidate = nullptr;
    WORD status = ReadRecord(withData, main, linked, entryType, choices->choices.items[i].key, &candidate);
    if (status != kDbOk) return status;
    if (StoredValueEquals(reinterpret_cast<ChoiceEntryRecord*>(candidate)->value, value)) {
      *type = entryType;
      *entry = candidate;
      return kDbOk;
    }
    FreeRecord(&candidate, kDbAnyType);
  }
  return kDbAbsent;
}

WORD ReadChoiceEntryByPosition(BOOL withData, BOOL useDefault, DatabaseStream* main, DatabaseStream* linked,
                               const DatabaseRecord* list, WORD n, WORD* type, DatabaseRecord** entry) {
  if (!IsChoiceList(list) || !type || !entry) return kDbFailed;
  const auto* choices = reinterpret_cast<const ChoiceListRecord*>(list);
  if (useDefault) n = choices->defaultPosition;
  if (n == 0 || n > choices->choices.count) return kDbAbsent;
  WORD entryType = EntryTypeOfList(list->h.type);
  WORD status = ReadKeyedRecord(withData, main, linked, entryType, choices->choices.items[n - 1].key, 0, entry);
  if (status == kDbOk) *type = entryType;
  return status;
}

WORD ReadChoiceRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, SettingItemId item, WORD n,
                      WORD* type, DatabaseRecord** record) {
  if (n == 0 || !type || !record) return kDbFailed;
  *record = nullptr;
  WORD recordType, key;
  MapItemToRecord(item, 0, &recordType, &key);
  if (recordType == 3 || recordType == 4) {
    DatabaseRecord* list = nullptr;
    WORD status = ReadKeyedRecord(TRUE, main, linked, recordType, key, 0, &list);
    if (status != kDbOk) return status;
    status = ReadChoiceEntryByPosition(withData, FALSE, main, linked, list, n, type, record);
    FreeRecord(&list, kDbAnyType);
    return status;
  }
  if (recordType == 5 || recordType == 6 || recordType == 10) {
    WORD status = ReadRecord(withData, main, linked, recordType, n, record);
    if (status == kDbOk) *type = recordType;
    return status;
  }
  return kDbAbsent;
}

WORD ReadReferencedRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, const DatabaseRecord* entry,
                          WORD* type, DatabaseRecord** record) {
  if (!IsChoiceEntry(entry) || !type || !record) return kDbFailed;
  const auto* choice = reinterpret_cast<const ChoiceEntryRecord*>(entry);
  WORD status = ReadKeyedRecord(withData, main, linked, choice->refType, choice->refKey.key, 0, record);
  if (status == kDbOk) *type = choice->refType;
  return status;
}

WORD ReadDatabaseDefault(SettingItemId item, DatabaseStream* main, DatabaseStream* linked, void** block, WORD* type) {
  if (!block || !type) return kDbFailed;
  *block = nullptr;
  WORD recordType, key;
  MapItemToRecord(item, 0, &recordType, &key);
  if (recordType != 3 && recordType != 4) return kDbFailed;
  if (key == 0) return kDbAbsent;
  // The parsed records give the same answer as a walk over the raw bytes, with every length
  // checked by the record reader.
  DatabaseRecord* list = nullptr;
  WORD status = ReadKeyedRecord(FALSE, main, linked, recordType, key, 0, &list);
  if (status != kDbOk) return status;
  const auto* choices = reinterpret_cast<const ChoiceListRecord*>(list);
  // A list without a default position (a range) has no default: absent, so whole-record
  // defaults leave its item alone; a position beyond the choices is a broken record.
  WORD position = choices->defaultPosition;
  if (position == 0 || position > choices->choices.count) {
    FreeRecord(&list, kDbAnyType);
    return position == 0 ? kDbAbsent : kDbFailed;
  }
  DatabaseRecord* entry = nullptr;
  status = ReadKeyedRecord(FALSE, main, linked, EntryTypeOfList(recordType), choices->choices.items[position - 1].key,
                           0, &entry);
  FreeRecord(&list, kDbAnyType);
  if (status != kDbOk) return status;
  const StoredValue& stored = reinterpret_cast<ChoiceEntryRecord*>(entry)->value;
  if (!stored.present) {
    status = kDbFailed;
  } else if (!(*block = CopyStoredValue(stored))) {
    status = stored.count > 1 ? kDbFailed : kDbNoMemory;
  } else {
    *type = stored.type;
  }
  FreeRecord(&entry, kDbAnyType);
  return status;
}

WORD ReadItemDefault(DatabaseStream* main, DatabaseStream* linked, SettingItemId item, void** block, WORD* type) {
  WORD status = ReadDatabaseDefault(item, main, linked, block, type);
  if (status != kDbOk) return status;
  if (item == kItemPaperSize || item == kItemPaperListSelection) {
    // Letter paper in regions that measure in inches, for models that ask for it.
    DWORD letterInInches = ReadSectionValue(main, 26, 4, 0) & 0x400000;
    if (letterInInches && GetLocaleMeasureSystem(1) == kMeasureInch) {
      WORD letter = 1;
      std::memcpy(*block, &letter, sizeof letter);
    }
  } else if (item == kItemCountryDefault || item == kItemCountryDefaultSecond) {
    bool first = item == kItemCountryDefault;
    if (ModelHasFeature(main, first ? 0xFFFF0020 : 0xFFFF0021)) {
      BYTE country = first ? LookUpCountryDefault() : LookUpCountryDefault2();
      if (country != 254) *static_cast<BYTE*>(*block) = country;
    }
  }
  return kDbOk;
}

WORD CopyChoiceValue(const DatabaseRecord* record, LPWSTR* name, void** value, WORD* type) {
  if (!record || !name || !value || !type) return kDbFailed;
  *name = nullptr;
  *value = nullptr;
  *type = 0;
  LPCWSTR recordName = NameOfRecord(record);
  if (recordName && !(*name = GlobalCopyText(recordName))) return kDbNoMemory;
  WORD recordType = record->h.type;
  if (IsChoiceEntry(record)) {
    const StoredValue& stored = reinterpret_cast<const ChoiceEntryRecord*>(record)->value;
    if (stored.present) {
      if (!(*value = CopyStoredValue(stored))) goto failed;
      *type = stored.type;
    }
  } else if (recordType == 5 || recordType == 6 || recordType == 10) {
    auto* key = static_cast<WORD*>(GlobalAlloc(GPTR, sizeof(DWORD)));
    if (!key) goto failed;
    *key = record->h.key;
    *value = key;
    *type = 3;
  }
  return kDbOk;
failed:
  if (*name) GlobalFree(*name);
  *name = nullptr;
  return kDbNoMemory;
}

WORD ReadChoiceValue(DatabaseStream* main, DatabaseStream* linked, SettingItemId item, WORD n, ChoiceValue** choice) {
  if (!choice) return kDbFailed;
  *choice = nullptr;
  WORD recordType;
  DatabaseRecord* record = nullptr;
  WORD status = n > 0 ? ReadChoiceRecord(TRUE, main, linked, item, n, &recordType, &record)
                      : ReadItemValueRecord(TRUE, main, linked, item, nullptr, &recordType, &record);
  if (status != kDbOk) return status;
  auto* made = static_cast<ChoiceValue*>(GlobalAlloc(GPTR, sizeof(ChoiceValue)));
  if (!made) {
    FreeRecord(&record, kDbAnyType);
    return kDbNoMemory;
  }
  made->h = {record->h.key, DDD_KIND_CHOICE_VALUE, record->h.database, record->h.stream};
  status = CopyChoiceValue(record, &made->name, &made->value, &made->valueType);
  if (status == kDbOk && (IsChoiceList(record) || IsChoiceEntry(record))) {
    // A record without a data block has none (status 2); the choice is still complete.
    if (ReadDataBlockOfRecord(main, linked, record, &made->block) != kDbOk) made->block = nullptr;
  }
  FreeRecord(&record, kDbAnyType);
  if (status != kDbOk) {
    ReleaseChoiceEntry(made);
    return status;
  }
  *choice = made;
  return kDbOk;
}

WORD TestFlagItemBit(DatabaseStream* main, DatabaseStream* linked, SettingItemId item) {
  if (!main || !linked || item < kItemDeviceOptionFirst || item > kItemDeviceOptionFirst + 31) return 1;
  DWORD mask = 0;
  if (ReadSectionElement(main, 12, 4, 0, &mask) != kDbOk) return 1;
  return (mask >> (item - kItemDeviceOptionFirst)) & 1 ? 0 : 1;
}

WORD LookUpPaperSourceEntry(WORD sourceKey, ItemStore* store, WORD paperKey) {
  if (sourceKey == 0 || !StoreIsOpen(store)) return 0;
  DatabaseRecord* source = nullptr;
  if (ReadKeyedRecord(TRUE, store->main, store->linked, 5, sourceKey, 0, &source) != kDbOk) return 0;
  WORD answer = paperKey;
  KeyElement paper;
  for (WORD n = 1; GetSourcePaperEntry(source, n, &paper) == kDbOk; ++n) {
    if (paper.key != paperKey) continue;
    WORD attribute = 0;
    answer = GetSourceEntryAttribute(source, n, &attribute) == kDbOk ? attribute : 0;
    break;
  }
  FreeRecord(&source, kDbAnyType);
  return answer;
}

// ---- Caller-facing queries -----------------------------------------------------------------

int QueryItemDefault(ItemStore* store, SettingItemId item, void* value, WORD* type, WORD* status) {
  // A failed query leaves no value and no type behind.
  if (value) std::memset(value, 0, sizeof(ULONG_PTR));
  if (type) *type = 0;
  if (!StoreIsOpen(store) || !value || !type) return Fail(status, kDbFailed);
  void* block = nullptr;
  WORD valueType = 0;
  WORD result = ReadItemDefault(store->main, store->linked, item, &block, &valueType);
  if (result != kDbOk) return Fail(status, result);
  if (valueType == 6) {
    std::memcpy(value, &block, sizeof block);  // the caller releases it with ReleaseItemDefault
  } else {
    // The block holds at least 4 bytes; a shorter stored value is zero-extended there.
    std::memcpy(value, block, sizeof(DWORD));
    GlobalFree(block);
  }
  *type = valueType;
  return Succeed(status);
}

void ReleaseItemDefault(void* value, WORD type) {
  if (type == 6 && value) GlobalFree(value);
}

int QueryChoiceListHeader(ItemStore* store, SettingItemId item, BYTE* kind, WORD* count, LPCWSTR* name,
                          DatabaseRecord** record, WORD* status) {
  // A failed query leaves no record, kind, count or name behind.
  if (record) *record = nullptr;
  if (kind) *kind = 0;
  if (count) *count = 0;
  if (name) *name = nullptr;
  if (!StoreIsOpen(store) || !record) return Fail(status, kDbFailed);
  WORD type;
  WORD result = ReadItemValueRecord(TRUE, store->main, store->linked, item, nullptr, &type, record);
  if (result != kDbOk) return Fail(status, result);
  if (!IsChoiceList(*record)) {
    FreeRecord(record, kDbAnyType);
    *record = nullptr;
    return Fail(status, kDbFailed);
  }
  const auto* list = reinterpret_cast<const ChoiceListRecord*>(*record);
  if (kind) *kind = list->kind;
  if (count) *count = list->choices.count;
  if (name) *name = list->name;
  return Succeed(status);
}

int QueryChoiceEntry(ItemStore* store, SettingItemId item, WORD n, ChoiceValue** choice, WORD* status) {
  if (!StoreIsOpen(store) || !choice) return Fail(status, kDbFailed);
  WORD result = ReadChoiceValue(store->main, store->linked, item, n, choice);
  return result == kDbOk ? Succeed(status) : Fail(status, result);
}

void ReleaseChoiceEntry(ChoiceValue* choice) {
  if (!choice) return;
  if (choice->name) GlobalFree(choice->name);
  if (choice->value) GlobalFree(choice->value);
  if (choice->block) FreeRecord(reinterpret_cast<DatabaseRecord**>(&choice->block), kDbAnyType);
  GlobalFree(choice);
}

int GetChoiceEntryFields(const ChoiceValue* choice, void** value, LPCWSTR* name, WORD* type, DataBlock** block) {
  if (!choice) return 0;
  if (value) *value = choice->value;
  if (name) *name = choice->name;
  if (type) *type = choice->valueType;
  if (block) *block = choice->block;
  return 1;
}

BOOL ReleaseRecord(DatabaseRecord* record) { return record && FreeRecord(&record, kDbAnyType) == kDbOk; }

BOOL IsItemValueListed(ItemStore* store, SettingItemId item, const void* value) {
  if (!StoreIsOpen(store) || !value) return FALSE;
  WORD type;
  DatabaseRecord* entry = nullptr;
  if (ReadItemValueRecord(FALSE, store->main, store->linked, item, value, &type, &entry) != kDbOk) return FALSE;
  BOOL listed = IsChoiceEntry(entry);
  FreeRecord(&entry, kDbAnyType);
  return listed;
}

DatabaseRecord* ReadChoiceTarget(ItemStore* store, SettingItemId item, const void* value, WORD* type, WORD* status) {
  if (!StoreIsOpen(store) || !value || !type) {
    Fail(status, kDbFailed);
    return nullptr;
  }
  WORD entryType;
  DatabaseRecord* entry = nullptr;
  WORD result = ReadItemValueRecord(FALSE, store->main, store->linked, item, value, &entryType, &entry);
  if (result == kDbOk && !IsChoiceEntry(entry)) result = kDbFailed;
  DatabaseRecord* target = nullptr;
  if (result == kDbOk) result = ReadReferencedRecord(FALSE, store->main, store->linked, entry, type, &target);
  FreeRecord(&entry, kDbAnyType);
  if (result != kDbOk) {
    Fail(status, result);
    return nullptr;
  }
  Succeed(status);
  return target;
}

int GetPaperSizeOfValue(ItemStore* store, SettingItemId item, WORD value, WORD* width, WORD* length,
                        WORD* width2, WORD* length2, WORD* status) {
  // A failed query leaves every size at 0.
  for (WORD* out : {width, length, width2, length2})
    if (out) *out = 0;
  WORD type;
  DatabaseRecord* paper = ReadChoiceTarget(store, item, &value, &type, status);
  if (!paper) return 0;
  SizePairElement size{}, alt{};
  WORD result = GetPaperRecordSize(paper, &size);
  if (result == kDbOk) GetPaperRecordAltSize(paper, &alt);
  FreeRecord(&paper, kDbAnyType);
  if (result != kDbOk) return Fail(status, result);
  if (width) *width = size.width;
  if (length) *length = size.length;
  if (width2) *width2 = alt.width;
  if (length2) *length2 = alt.length;
  return Succeed(status);
}

int GetDefaultPaperSize(ItemStore* store, SettingItemId item, WORD* width, WORD* length, WORD* status) {
  ULONG_PTR value = 0;
  WORD type;
  if (!QueryItemDefault(store, item, &value, &type, status)) return 0;
  if (type == 6) {
    ReleaseItemDefault(reinterpret_cast<void*>(value), type);
    return Fail(status, kDbFailed);  // a paper item's values are numbers
  }
  return GetPaperSizeOfValue(store, item, static_cast<WORD>(value), width, length, nullptr, nullptr, status);
}

LPWSTR GetDefaultPaperName(ItemStore* store, SettingItemId item, WORD* status) {
  ULONG_PTR value = 0;
  WORD type, targetType;
  if (!QueryItemDefault(store, item, &value, &type, status)) return nullptr;
  DatabaseRecord* paper = ReadChoiceTarget(store, item, &value, &targetType, status);
  ReleaseItemDefault(reinterpret_cast<void*>(value), type);
  if (!paper) return nullptr;
  LPCWSTR name = GetRecordName(paper);
  LPWSTR copy = GlobalCopyText(name);
  FreeRecord(&paper, kDbAnyType);
  if (!copy) Fail(status, name ? kDbNoMemory : kDbAbsent);
  return copy;
}

int FindPaper(ItemStore* store, SettingItemId item, WORD mode, const PaperSpec* query, PaperSpec* answer,
              WORD* status) {
  if (status) *status = kQueryFailed;
  if (answer) *answer = PaperSpec{};  // a failed search leaves no paper and no name behind
  if (!query || !answer) return 0;
  if (mode == kFindPaperByName && !query->name) return 0;
  DatabaseRecord* list = nullptr;
  WORD count = 0;
  if (!QueryChoiceListHeader(store, item, nullptr, &count, nullptr, &list, status)) return 0;
  if (count == 0) {
    ReleaseRecord(list);
    return Fail(status, kDbAbsent);
  }
  // Each choice stands for the paper of the first choice with its value (the search by value
  // of ReadChoiceTarget). The entries read so far are kept, so that search runs over values in
  // memory and every paper record is compared once: one pass over the list instead of a
  // search through the database per choice, with the same answers.
  std::vector<DatabaseRecord*> seen;
  std::vector<bool> compared(count + 1, false);  // by index into seen: its paper was compared
  int found = 0;
  WORD result = kDbAbsent;
  for (WORD i = 1; i <= count && !found; ++i) {
    WORD entryType;
    DatabaseRecord* entry = nullptr;
    if (ReadChoiceEntryByPosition(FALSE, FALSE, store->main, store->linked, list, i, &entryType, &entry) != kDbOk)
      continue;
    seen.push_back(entry);
    const StoredValue& value = reinterpret_cast<ChoiceEntryRecord*>(entry)->value;
    void* copy = CopyStoredValue(value);
    if (!copy) continue;
    const void* slot = value.type == 6 ? static_cast<const void*>(&copy) : copy;
    // The choice the query by value would find: the first with an equal value.
    size_t first = seen.size() - 1;
    for (size_t j = 0; j + 1 < seen.size(); ++j)
      if (StoredValueEquals(reinterpret_cast<ChoiceEntryRecord*>(seen[j])->value, slot)) {
        first = j;
        break;
      }
    DatabaseRecord* paper = nullptr;
    WORD paperType;
    if (first + 1 < seen.size() || StoredValueEquals(value, slot)) {
      if (!compared[first]) {
        compared[first] = true;
        ReadReferencedRecord(FALSE, store->main, store->linked, seen[first], &paperType, &paper);
      }
    } else {
      // A value that does not compare equal to itself: search by value as the query does.
      paper = ReadChoiceTarget(store, item, slot, &paperType, nullptr);
    }
    GlobalFree(copy);
    if (!paper) continue;
    SizePairElement size{};
    bool matched = false;
    if (GetPaperRecordSize(paper, &size) == kDbOk) {
      switch (mode) {
        case kFindPaperById: matched = paper->h.key == query->id; break;
        case kFindPaperBySize: matched = SizesMatch(size.width, size.length, query->width, query->length); break;
        case kFindPaperByName: {
          LPCWSTR name = GetRecordName(paper);
          matched = name && lstrcmpW(name, query->name) == 0;
          break;
        }
        default: break;
      }
    }
    LPWSTR name = matched ? GlobalCopyText(GetRecordName(paper)) : nullptr;
    if (matched) *answer = {paper->h.key, size.width, size.length, name};
    FreeRecord(&paper, kDbAnyType);
    if (!matched) continue;
    // A paper without a name, or no memory for its copy, ends the search too.
    if (!name) {
      result = kDbNoMemory;
      break;
    }
    found = 1;
  }
  for (DatabaseRecord* entry : seen) FreeRecord(&entry, kDbAnyType);
  ReleaseRecord(list);
  if (!found) *answer = PaperSpec{};
  return found ? Succeed(status) : Fail(status, result);
}

void FreePaperSpecName(PaperSpec* paper) {
  if (paper && paper->name) {
    GlobalFree(paper->name);
    paper->name = nullptr;
  }
}

LPWSTR GetModelName(ItemStore* store, WORD* status) {
  if (!StoreIsOpen(store)) {
    Fail(status, kDbFailed);
    return nullptr;
  }
  DatabaseRecord* header = nullptr;
  WORD result = ReadDatabaseHeader(store->main, &header);
  if (result != kDbOk) {
    Fail(status, result);
    return nullptr;
  }
  LPWSTR copy = GlobalCopyText(reinterpret_cast<HeaderRecord*>(header)->modelName);
  FreeRecord(&header, kDbAnyType);
  if (!copy) {
    Fail(status, kDbNoMemory);
    return nullptr;
  }
  Succeed(status);
  return copy;
}

WORD GetMaxCopies(ItemStore* store) {
  return StoreIsOpen(store) ? static_cast<WORD>(ReadSectionValue(store->main, 4, 2, 0)) : 0;
}

LONG GetColorCapabilityByte(ItemStore* store) {
  if (!store) return 0xFFFF;
  BYTE capability = static_cast<BYTE>(ReadSectionValue(store->main, 5, 1, 0));
  return capability == 0 ? -1 : capability == 2 ? 2 : 1;
}

LONG ReadModelOptionByte(ItemStore* store) {
  BYTE option = 0;
  if (!StoreIsOpen(store) || ReadSectionElement(store->main, 7, 1, 0, &option) != kDbOk) return -1;
  return option;
}

int GetModelKind(ItemStore* store) {
  if (!StoreIsOpen(store)) return 0;
  switch (ReadSectionValue(store->main, 23, 1, 0)) {
    case 0: return 1;
    case 1: return 2;
    default: return 0;
  }
}

LPWSTR GetPolicyFilePath(ItemStore* store) {
  if (!StoreIsOpen(store)) return nullptr;
  DatabaseRecord* header = nullptr;
  if (ReadDatabaseHeader(store->main, &header) != kDbOk) return nullptr;
  LPCWSTR linked = reinterpret_cast<HeaderRecord*>(header)->linkedName;
  LPWSTR path = nullptr;
  WCHAR directory[kModuleDirectoryBufferBytes / sizeof(WCHAR)];
  // A model without a linked database has no name to derive the file from: no policy.
  if (linked && *linked && GetModuleDirectory(directory, sizeof directory)) {
    int stem = lstrlenW(linked);
    if (LPCWSTR dot = wcsrchr(linked, u'.')) stem = static_cast<int>(dot - linked);
    int length = lstrlenW(directory) + stem + 5;  // ".cfg" and the terminator
    path = static_cast<LPWSTR>(GlobalAlloc(GPTR, length * sizeof(WCHAR)));
    if (path) {
      lstrcpyW(path, directory);
      std::memcpy(path + lstrlenW(path), linked, stem * sizeof(WCHAR));
      lstrcatW(path, u".cfg");
    }
  }
  FreeRecord(&header, kDbAnyType);
  return path;
}
