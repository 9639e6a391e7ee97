// Look-ups the pages make through the framework's tables: rows and dialog records by position,
// the fields of a bound value, a row's current item following another row's, the current
// choice of an item and its name, the items an item's state names, the resource module.
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "platform/kernel/memory.h"
#include "ui/framework/dialog/dialog_tables.h"

const ControlRow* GetRowAt(const ControlRow* rows, LONG n) { return rows != nullptr && n >= 0 ? &rows[n] : nullptr; }

const DialogRecord* GetDialogRecordAt(const DialogRecord* records, LONG n) {
  return records != nullptr && n >= 0 ? &records[n] : nullptr;
}

DialogRecord* CollectDialogRecords(const TabRecord* const* pages, LONG count, LONG* collected) {
  if (collected != nullptr) *collected = 0;
  LONG found = 0;
  for (LONG n = 0; pages != nullptr && n < count; ++n)
    if (pages[n] != nullptr && pages[n]->dialog != nullptr) ++found;
  if (found == 0 || collected == nullptr) return nullptr;
  auto* records = static_cast<DialogRecord*>(GlobalAlloc(GPTR, sizeof(DialogRecord) * static_cast<SIZE_T>(found)));
  if (records == nullptr) return nullptr;
  LONG i = 0;
  for (LONG n = 0; n < count; ++n)
    if (pages[n] != nullptr && pages[n]->dialog != nullptr) records[i++] = *pages[n]->dialog;
  *collected = found;
  return records;
}

int ReadBoundValue(const BoundValue* bound, SettingItemId* id, ValueTypeCode* type, ItemValueCell* value,
                   const void** address) {
  if (bound == nullptr) return 0;
  if (id != nullptr) *id = bound->id;
  if (type != nullptr) *type = bound->type;
  if (value != nullptr) *value = bound->value;
  if (address != nullptr) *address = &bound->value;
  return 1;
}

int SyncBoundIndex(HWND window, LONG pageIndex, LONG otherControlId, const ControlRow* row, SettingItemId* item) {
  const ControlRow* other = FindRowByControlId(window, pageIndex, otherControlId);
  const SettingItemId followed = other != nullptr ? GetCurrentBoundItemId(window, other) : 0;
  if (item != nullptr) *item = followed;
  LONG n = 0;
  if (followed == 0 || !FindRowItemIndex(row, followed, &n)) return 0;
  return SetCurrentBoundIndex(window, row, n);
}

LPCWSTR GetBoundChoiceListName(HWND window, const ControlRow* row, LONG n) {
  return GetChoiceListName(GetBoundChoiceList(window, row, n));
}

int FindCurrentChoice(const HandlerContext* context, SettingItemId id, const Choice** choice) {
  if (context == nullptr || choice == nullptr || context->settings == nullptr) return 0;
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(id, context->settings, context->config, &type, &length, &cell) != kItemDone) return 0;
  ChoiceList* list = FindChoiceList(context->window, id);
  if (list == nullptr &&
      (GetOrLoadChoiceList(context->window, GetResourceModule(), context->store, id, &list) != 0 || list == nullptr))
    return 0;
  // A text compares only with texts: a list of numbers never holds a text item's value.
  if ((type == kTypeString) != (list->type == kTypeString)) return 0;
  const Choice* found = GetChoice(list, FindChoiceByValue(list, &cell, type));
  if (found == nullptr) return 0;
  *choice = found;
  return 1;
}

int GetCurrentValueName(const HandlerContext* context, SettingItemId id, LPCWSTR* name) {
  const Choice* choice = nullptr;
  if (name == nullptr || !FindCurrentChoice(context, id, &choice) || choice->name == nullptr) return 0;
  *name = choice->name;
  return 1;
}

int GetItemConflictInfo(HWND window, const ControlRow* row, const WORD** items, WORD* count) {
  const ItemStateRecord* record = FindItemStateRecord(window, GetCurrentBoundItemId(window, row));
  if (record == nullptr || record->item == nullptr || items == nullptr || count == nullptr) return 0;
  *items = record->item->related;
  *count = record->item->relatedCount;
  return 1;
}

HMODULE GetDialogResourceModule(HWND) { return GetResourceModule(); }
