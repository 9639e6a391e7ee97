#include "core/item_store_standin.h"

#include <cstring>

#include "platform/base/text.h"
#include "platform/kernel/memory.h"

namespace {

// Which record describes an item, and under which key.
void MapItemToRecord(SettingItemId item, WORD key, WORD* type, WORD* recordKey) {
  if (item >= 4097 && item <= 4362) {
    *type = 3, *recordKey = item;
  } else if (item >= 274 && item <= 285) {
    *type = 4, *recordKey = static_cast<WORD>(274 + (item - 274) / 4 * 4);
  } else if (item == 0x8001) {
    *type = 10, *recordKey = key;
  } else if (item == 0x8002) {
    *type = 5, *recordKey = key;
  } else if (item == 0x8003) {
    *type = 6, *recordKey = key;
  } else if (item == 0x800B) {
    *type = 19, *recordKey = key;
  } else {
    *type = 4, *recordKey = item;
  }
}

bool ValuesEqual(const StoredValue& stored, const void* value) {
  if (!stored.present || stored.value == nullptr) return false;
  switch (stored.type) {
    case DDD_VALUE_INT16:
    case DDD_VALUE_UINT16: return stored.length >= 2 && std::memcmp(stored.value, value, 2) == 0;
    case DDD_VALUE_FLAG:
    case DDD_VALUE_INT32:
    case DDD_VALUE_UINT32:
    case DDD_VALUE_LONG:
    case DDD_VALUE_FLOAT: return stored.length >= 4 && std::memcmp(stored.value, value, 4) == 0;
    case DDD_VALUE_BYTE: return stored.length >= 1 && std::memcmp(stored.value, value, 1) == 0;
    case DDD_VALUE_STRING: {
      LPCWSTR text;
      std::memcpy(&text, value, sizeof text);
      return text != nullptr && wcscmp(static_cast<LPCWSTR>(stored.value), text) == 0;
    }
    default: return false;  // no comparison is defined for fonts and unknown types
  }
}

WORD FindEntryByValue(const ChoiceListRecord* list, WORD listType, const void* value, BOOL withData,
                      DatabaseStream* main, DatabaseStream* linked, WORD* type, DatabaseRecord** entry) {
  const WORD entryType = listType == 3 ? 13 : 14;
  for (WORD i = 0; i < list->choices.count; ++i) {
    DatabaseRecord* candidate = nullptr;
    if (ReadRecord(withData, main, linked, entryType, list->choices.items[i].key, &candidate) != DBS_OK) continue;
    if (ValuesEqual(reinterpret_cast<ChoiceEntryRecord*>(candidate)->value, value)) {
      *type = entryType;
      *entry = candidate;
      return DBS_OK;
    }
    FreeRecord(&candidate, DB_ANY_TYPE);
  }
  return DBS_ABSENT;
}

// The entry at the list's default position, with data.
WORD ReadDefaultEntry(DatabaseStream* main, DatabaseStream* linked, SettingItemId item, DatabaseRecord** entry) {
  WORD type = 0, key = 0;
  MapItemToRecord(item, 0, &type, &key);
  if (type != 3 && type != 4) return DBS_FAILED;
  if (key == 0) return DBS_ABSENT;
  DatabaseRecord* list = nullptr;
  WORD status = ReadKeyedRecord(TRUE, main, linked, type, key, 0, &list);
  if (status != DBS_OK) return status;
  const auto* l = reinterpret_cast<const ChoiceListRecord*>(list);
  // A list that names no default position (the ranges) has no default; a position beyond
  // its choices is a broken record.
  const WORD p = l->defaultPosition;
  if (p == 0 || p > l->choices.count) {
    FreeRecord(&list, DB_ANY_TYPE);
    return p == 0 ? DBS_ABSENT : DBS_FAILED;
  }
  status = ReadKeyedRecord(TRUE, main, linked, type == 3 ? 13 : 14, l->choices.items[p - 1].key, 0, entry);
  FreeRecord(&list, DB_ANY_TYPE);
  return status;
}

WORD QueryStatus(WORD internal) {
  return internal == DBS_OK ? QS_OK : internal == DBS_ABSENT ? QS_ABSENT : internal == DBS_NO_MEMORY ? QS_NO_MEMORY : QS_FAILED;
}

LPWSTR CopyText(LPCWSTR text) {
  if (text == nullptr) return nullptr;
  const int n = lstrlenW(text);
  auto* copy = static_cast<LPWSTR>(GlobalAlloc(GPTR, (n + 1) * sizeof(WCHAR)));
  if (copy != nullptr) std::memcpy(copy, text, n * sizeof(WCHAR));
  return copy;
}

// The paper record a paper item's choice stands for (the default when `value` is NULL).
WORD ReadPaperOfChoice(ItemStore* store, SettingItemId item, const WORD* value, DatabaseRecord** paper) {
  DatabaseRecord* entry = nullptr;
  WORD type = 0;
  WORD status = value == nullptr ? ReadDefaultEntry(store->main, store->linked, item, &entry)
                                 : ReadItemValueRecord(TRUE, store->main, store->linked, item, value, &type, &entry);
  if (status != DBS_OK) return status;
  const auto* e = reinterpret_cast<const ChoiceEntryRecord*>(entry);
  if (e->h.type != 13 && e->h.type != 14) status = DBS_FAILED;
  else if (e->refType != 10) status = DBS_ABSENT;
  else status = ReadKeyedRecord(FALSE, store->main, store->linked, 10, e->refKey.key, 0, paper);
  FreeRecord(&entry, DB_ANY_TYPE);
  return status;
}

}  // namespace

ItemStore* OpenItemStoreAtPath(LPCWSTR path) {
  auto* store = static_cast<ItemStore*>(GlobalAlloc(GPTR, sizeof(ItemStore)));
  if (store == nullptr) return nullptr;
  store->main = static_cast<DatabaseStream*>(GlobalAlloc(GPTR, sizeof(DatabaseStream)));
  store->linked = static_cast<DatabaseStream*>(GlobalAlloc(GPTR, sizeof(DatabaseStream)));
  if (store->main == nullptr || store->linked == nullptr ||
      OpenDescriptionDatabase(path, 0, store->main, store->linked) != DBS_OK) {
    CloseItemStore(store);
    return nullptr;
  }
  return store;
}

BOOL CloseItemStore(ItemStore* store) {
  if (store == nullptr) return FALSE;
  WORD released = 1;
  if (store->main != nullptr && store->linked != nullptr) released = CloseDatabaseStreams(store->main, store->linked);
  GlobalFree(store->main);
  GlobalFree(store->linked);
  GlobalFree(store);
  return released != 1;
}

WORD ReadItemValueRecord(BOOL withData, DatabaseStream* main, DatabaseStream* linked, SettingItemId item,
                         const void* value, WORD* recordType, DatabaseRecord** record) {
  if (recordType == nullptr || record == nullptr) return DBS_FAILED;
  *record = nullptr;
  WORD type = 0, key = 0;
  MapItemToRecord(item, 0, &type, &key);
  if ((type == 3 || type == 4) && value != nullptr) {
    DatabaseRecord* list = nullptr;
    WORD status = ReadKeyedRecord(TRUE, main, linked, type, key, 0, &list);
    if (status != DBS_OK) return status;
    status = FindEntryByValue(reinterpret_cast<ChoiceListRecord*>(list), type, value, withData, main, linked,
                              recordType, record);
    FreeRecord(&list, DB_ANY_TYPE);
    return status;
  }
  const WORD status = ReadKeyedRecord(withData, main, linked, type, key, 0, record);
  if (status == DBS_OK) *recordType = type;
  return status;
}

WORD ReadItemDefault(DatabaseStream* main, DatabaseStream* linked, SettingItemId item, void** value,
                     ValueTypeCode* type) {
  if (value == nullptr || type == nullptr) return DBS_FAILED;
  DatabaseRecord* entry = nullptr;
  WORD status = ReadDefaultEntry(main, linked, item, &entry);
  if (status != DBS_OK) return status;
  const StoredValue& stored = reinterpret_cast<ChoiceEntryRecord*>(entry)->value;
  if (!stored.present || stored.value == nullptr) {
    FreeRecord(&entry, DB_ANY_TYPE);
    return DBS_ABSENT;
  }
  const DWORD bytes = stored.type == DDD_VALUE_STRING ? (lstrlenW(static_cast<LPCWSTR>(stored.value)) + 1) * 2
                                                      : stored.length;
  void* block = GlobalAlloc(GPTR, bytes < 4 ? 4 : bytes);
  if (block == nullptr) {
    FreeRecord(&entry, DB_ANY_TYPE);
    return DBS_NO_MEMORY;
  }
  std::memcpy(block, stored.value, bytes);
  *value = block;
  *type = stored.type;
  FreeRecord(&entry, DB_ANY_TYPE);
  return DBS_OK;
}

int QueryItemDefault(ItemStore* store, SettingItemId item, void** value, ValueTypeCode* type, WORD* status) {
  if (status == nullptr) return 0;
  if (store == nullptr || value == nullptr || type == nullptr) return *status = QS_FAILED, 0;
  void* block = nullptr;
  ValueTypeCode t = 0;
  const WORD internal = ReadItemDefault(store->main, store->linked, item, &block, &t);
  *status = QueryStatus(internal);
  if (internal != DBS_OK) return 0;
  if (t == kTypeString) {
    *value = block;
  } else {
    DWORD number = 0;
    const DWORD size = t == kTypeInt16 || t == kTypeUInt16 ? 2 : t == kTypeUInt8 ? 1 : 4;
    std::memcpy(&number, block, size);
    GlobalFree(block);
    std::memcpy(value, &number, sizeof number);
  }
  *type = t;
  return 1;
}

void ReleaseItemDefault(void* value, ValueTypeCode type) {
  if (type == kTypeString && value != nullptr) GlobalFree(value);
}

int GetDefaultPaperSize(ItemStore* store, SettingItemId item, WORD* width, WORD* length, WORD* status) {
  if (status == nullptr) return 0;
  DatabaseRecord* paper = nullptr;
  *status = store == nullptr ? QS_FAILED : QueryStatus(ReadPaperOfChoice(store, item, nullptr, &paper));
  if (*status != QS_OK) return 0;
  SizePairElement size{};
  GetPaperRecordSize(paper, &size);
  *width = size.width;
  *length = size.length;
  FreeRecord(&paper, DB_ANY_TYPE);
  return 1;
}

LPWSTR GetDefaultPaperName(ItemStore* store, SettingItemId item, WORD* status) {
  if (status == nullptr) return nullptr;
  DatabaseRecord* paper = nullptr;
  *status = store == nullptr ? QS_FAILED : QueryStatus(ReadPaperOfChoice(store, item, nullptr, &paper));
  if (*status != QS_OK) return nullptr;
  LPWSTR name = CopyText(GetRecordName(paper));
  FreeRecord(&paper, DB_ANY_TYPE);
  if (name == nullptr) *status = QS_NO_MEMORY;
  return name;
}

int GetPaperSizeOfValue(ItemStore* store, SettingItemId item, WORD value, WORD* width, WORD* length,
                        WORD* secondWidth, WORD* secondLength, WORD* status) {
  if (status == nullptr) return 0;
  DatabaseRecord* paper = nullptr;
  *status = store == nullptr ? QS_FAILED : QueryStatus(ReadPaperOfChoice(store, item, &value, &paper));
  if (*status != QS_OK) return 0;
  SizePairElement size{}, second{};
  GetPaperRecordSize(paper, &size);
  GetPaperRecordAltSize(paper, &second);
  *width = size.width, *length = size.length;
  if (secondWidth != nullptr) *secondWidth = second.width;
  if (secondLength != nullptr) *secondLength = second.length;
  FreeRecord(&paper, DB_ANY_TYPE);
  return 1;
}

LPWSTR GetModelName(ItemStore* store, WORD* status) {
  if (status == nullptr) return nullptr;
  DatabaseRecord* header = nullptr;
  const WORD internal = store == nullptr ? DBS_FAILED : ReadDatabaseHeader(store->main, &header);
  *status = QueryStatus(internal);
  if (internal != DBS_OK) return nullptr;
  LPWSTR name = CopyText(reinterpret_cast<HeaderRecord*>(header)->modelName);
  FreeRecord(&header, DB_ANY_TYPE);
  if (name == nullptr) *status = QS_NO_MEMORY;
  return name;
}

WORD GetMaxCopies(ItemStore* store) {
  return store == nullptr ? 0 : static_cast<WORD>(ReadSectionValue(store->main, 4, 2, 0));
}

int ReadModelOptionByte(ItemStore* store) {
  BYTE value = 0;
  if (store == nullptr || ReadSectionElement(store->main, 7, 1, 0, &value) != DBS_OK) return -1;
  return value;
}
