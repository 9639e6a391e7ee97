// The page table, the row look-ups and the per-control and per-item run-time records.
#include "ui/framework/dialog/dialog_tables.h"

#include "core/choices/choice_list_build.h"
#include "core/common/typed_compare.h"
#include "core/constraints/change_values.h"
#include "core/constraints/setting_change.h"
#include "core/descriptors/builtin_lists.h"
#include "core/messages/sheet_services.h"
#include "core/store/item_access.h"
#include "core/store/policy_file.h"
#include "platform/kernel/memory.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"

namespace {

constexpr WORD kSharedRowFlags = kRowEnabledWithoutPermission;
const ButtonAction kOkAction{kButtonOk, nullptr};
const ButtonAction kCancelAction{kButtonCancel, nullptr};
const ButtonAction kRestoreAction{kButtonRestoreDefaults, nullptr};
const ButtonAction kHelpAction{kButtonHelp, nullptr};
const ControlRow kSharedPopupRows[] = {
    {1092, 0, nullptr, kKindPushButton, nullptr, &kOkAction, kNoControl, kNoString, &kSharedRowFlags},
    {1091, 0, nullptr, kKindPushButton, nullptr, &kCancelAction, kNoControl, kNoString, &kSharedRowFlags},
    {2, 0, nullptr, kKindPushButton, nullptr, &kCancelAction, kNoControl, kNoString, &kSharedRowFlags},
    {1090, 0, nullptr, kKindPushButton, nullptr, &kRestoreAction, kNoControl, kNoString, nullptr},
    {1341, 0, nullptr, kKindPushButton, nullptr, &kHelpAction, kNoControl, kNoString, &kSharedRowFlags},
};

PageTable* TableOf(HWND window) {
  SheetState* sheet = FindSheetState(window);
  return sheet != nullptr ? sheet->pageTable : nullptr;
}

// Control states are keyed by control id and dialog window; the window's low 32 bits serve as
// the sub key (never the match-any value).
DWORD WindowSubKey(HWND window) {
  const DWORD sub = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(window));
  return sub == kAnySubKey ? 0 : sub;
}

KeyedList* ControlStateList(HWND window) {
  PageData* data = GetPageData(window);
  return data != nullptr && data->states != nullptr ? data->states->controlStates : nullptr;
}

KeyedList* ItemStateList(HWND window) {
  PageData* data = GetPageData(window);
  return data != nullptr && data->states != nullptr ? data->states->itemStates : nullptr;
}

void FreeItemStateRecord(ItemStateRecord* record) {
  if (record == nullptr) return;
  FreeConstraintState(record->item);
  if (record->choices != nullptr) {
    for (LONG n = 0; n < record->choiceCount; ++n) FreeConstraintState(record->choices[n]);
    GlobalFree(record->choices);
  }
  GlobalFree(record);
}

}  // namespace

const ControlRow* GetSharedPopupRows(LONG* count) {
  *count = static_cast<LONG>(std::size(kSharedPopupRows));
  return kSharedPopupRows;
}

PageDescriptor* GetPageEntry(HWND window, LONG pageIndex) {
  PageTable* table = TableOf(window);
  if (table == nullptr || table->index == nullptr || pageIndex < 0 || pageIndex >= kPageIndexCount) return nullptr;
  return table->index[pageIndex];
}

int GetPageControls(HWND window, LONG pageIndex, const ControlRow** rows, LONG* count) {
  PageDescriptor* page = GetPageEntry(window, pageIndex);
  if (page == nullptr || rows == nullptr || count == nullptr) return 0;
  *rows = page->rows;
  *count = page->rowCount;
  return 1;
}

const ControlRow* GetPageRows(HWND window, LONG pageIndex) {
  PageDescriptor* page = GetPageEntry(window, pageIndex);
  return page != nullptr ? page->rows : nullptr;
}

LONG GetPageRowCount(HWND window, LONG pageIndex) {
  PageDescriptor* page = GetPageEntry(window, pageIndex);
  return page != nullptr ? page->rowCount : -1;
}

PageDescriptor** MakePageIndexTable(const TabRecord* const* pages, LONG count) {
  auto** index = static_cast<PageDescriptor**>(GlobalAlloc(GPTR, sizeof(PageDescriptor*) * kPageIndexCount));
  if (index == nullptr) return nullptr;
  for (LONG n = 0; pages != nullptr && n < count; ++n) {
    const TabRecord* tab = pages[n];
    if (tab == nullptr || tab->pageIndex < 0 || tab->pageIndex >= kPageIndexCount) continue;
    if (index[tab->pageIndex] == nullptr) index[tab->pageIndex] = tab->page;
  }
  return index;
}

PageTable* BuildPageTable(const TabRecord* const* pages, LONG count) {
  auto* table = static_cast<PageTable*>(GlobalAlloc(GPTR, sizeof(PageTable)));
  if (table == nullptr) return nullptr;
  table->index = MakePageIndexTable(pages, count);
  table->choiceCache = CreateKeyedList();
  if (table->index == nullptr || table->choiceCache == nullptr) {
    FreePageTable(table);
    return nullptr;
  }
  return table;
}

void FreePageTable(PageTable* table) {
  if (table == nullptr) return;
  if (table->choiceCache != nullptr) {
    KeyedListNode* it = nullptr;
    for (void* data = KeyedListFirst(table->choiceCache, &it); data != nullptr; data = KeyedListNext(it, &it)) {
      auto* entry = static_cast<ChoiceCacheEntry*>(data);
      FreeChoiceList(entry->list);
      GlobalFree(entry);
    }
    FreeKeyedList(&table->choiceCache);
  }
  GlobalFree(table->index);
  GlobalFree(table);
}

LONG GetRowControlId(const ControlRow* row) { return row != nullptr ? row->controlId : kNoControl; }
LONG GetRowItemCount(const ControlRow* row) { return row != nullptr ? row->itemCount : -1; }
WORD GetRowKind(const ControlRow* row) { return row != nullptr ? row->kind : 0; }
const void* GetRowKindData(const ControlRow* row) { return row != nullptr ? row->kindData : nullptr; }

const DWORD* GetRowItem(const ControlRow* row, LONG n) {
  if (row == nullptr || row->items == nullptr || n < 0 || n >= row->itemCount) return nullptr;
  return &row->items[n];
}

const ControlRow* FindRowByControlId(HWND window, LONG pageIndex, LONG controlId) {
  const ControlRow* rows = nullptr;
  LONG count = 0;
  if (!GetPageControls(window, pageIndex, &rows, &count)) return nullptr;
  for (LONG n = 0; n < count; ++n) {
    if (rows[n].controlId == controlId) return &rows[n];
  }
  return nullptr;
}

int FindRowItemIndex(const ControlRow* row, SettingItemId id, LONG* index) {
  *index = 0;
  for (LONG n = 0; row != nullptr && row->items != nullptr && n < row->itemCount; ++n) {
    if (BoundItemId(row->items[n]) == id) {
      *index = n;
      return 1;
    }
  }
  return 0;
}

const ControlRow* FindRowSharingItems(const HandlerContext* context, const ControlRow* row, WORD kind) {
  const ControlRow* rows = nullptr;
  LONG count = 0;
  if (context == nullptr || row == nullptr || !GetPageControls(context->window, context->pageIndex, &rows, &count)) {
    return nullptr;
  }
  for (LONG n = 0; n < count; ++n) {
    if (rows[n].items == row->items && rows[n].kind == kind) return &rows[n];
  }
  return nullptr;
}

int CreateControlState(HWND window, const ControlRow* row, KeyedList* states) {
  if (row == nullptr || states == nullptr) return -1;
  const DWORD key = static_cast<DWORD>(row->controlId);
  const DWORD sub = WindowSubKey(window);
  if (KeyedListFindData(states, key, sub) != nullptr) return 2;
  auto* state = static_cast<ControlState*>(GlobalAlloc(GPTR, sizeof(ControlState)));
  if (state == nullptr) return -1;
  state->controlId = key;
  state->current = kNoBoundIndex;
  state->count = row->itemCount > 0 ? row->itemCount : 0;
  if (state->count > 0) {
    state->entries = static_cast<BoundEntry*>(GlobalAlloc(GPTR, sizeof(BoundEntry) * state->count));
    if (state->entries == nullptr) {
      GlobalFree(state);
      return -1;
    }
    for (LONG n = 0; n < state->count; ++n) {
      state->entries[n].choice = -1;
      state->entries[n].value.id = BoundItemId(row->items[n]);
    }
  }
  if (!KeyedListPushFront(states, key, sub, state)) {
    GlobalFree(state->entries);
    GlobalFree(state);
    return -1;
  }
  return 0;
}

ControlState* FindControlState(HWND window, const ControlRow* row) {
  KeyedList* states = ControlStateList(window);
  if (states == nullptr || row == nullptr) return nullptr;
  const DWORD sub = WindowSubKey(window);
  return static_cast<ControlState*>(KeyedListFindData(states, static_cast<DWORD>(row->controlId), sub));
}

int RemoveControlState(HWND window, LONG controlId, KeyedList* states) {
  const DWORD sub = WindowSubKey(window);
  auto* state = static_cast<ControlState*>(KeyedListFindData(states, static_cast<DWORD>(controlId), sub));
  if (state == nullptr) return 0;
  KeyedListRemove(states, static_cast<DWORD>(controlId), sub);
  GlobalFree(state->entries);
  GlobalFree(state);
  return 1;
}

LONG GetCurrentBoundIndex(HWND window, const ControlRow* row) {
  if (row == nullptr) return -1;
  if (row->itemCount == 1) return 0;
  ControlState* state = FindControlState(window, row);
  return state != nullptr ? state->current : -1;
}

int SetCurrentBoundIndex(HWND window, const ControlRow* row, LONG n) {
  ControlState* state = FindControlState(window, row);
  if (state == nullptr || n < 0 || n >= state->count) return 0;
  state->current = n;
  return 1;
}

LONG GetBoundChoiceIndex(HWND window, const ControlRow* row, LONG n) {
  ControlState* state = FindControlState(window, row);
  if (state == nullptr || n < 0 || n >= state->count) return -1;
  return state->entries[n].choice;
}

LONG GetCurrentChoiceIndex(HWND window, const ControlRow* row) {
  return GetBoundChoiceIndex(window, row, GetCurrentBoundIndex(window, row));
}

SettingItemId GetCurrentBoundItemId(HWND window, const ControlRow* row) {
  const LONG n = GetCurrentBoundIndex(window, row);
  const DWORD* item = GetRowItem(row, n);
  return item != nullptr ? BoundItemId(*item) : 0;
}

BoundValue* GetBoundValueAt(HWND window, const ControlRow* row, LONG n) {
  ControlState* state = FindControlState(window, row);
  if (state == nullptr || n < 0 || n >= state->count) return nullptr;
  return &state->entries[n].value;
}

BoundValue* GetCurrentBoundValue(HWND window, const ControlRow* row) {
  return GetBoundValueAt(window, row, GetCurrentBoundIndex(window, row));
}

const void* BoundValueReference(const BoundValue* value) {
  if (value == nullptr) return nullptr;
  // A text is compared and written through the address of its address, as the cell holds it.
  if (value->type == kTypeString) return &value->value;
  return ValueOfCell(value->type, &value->value);
}

int GetNumericRange(const HandlerContext* context, const ControlRow* row, LONG* minimum, LONG* maximum) {
  if (context == nullptr || row == nullptr) return 0;
  const SettingItemId id = GetCurrentBoundItemId(context->window, row);
  if (row->kind == 1) {
    // Combo rows with a typed value: the fixed font ranges. Other combo items have none (the
    // outputs stay untouched and the answer says so).
    static constexpr struct {
      SettingItemId id;
      LONG minimum, maximum;
    } kFixed[] = {{306, 7, 600}, {359, 5, 24}, {385, 50, 240}};
    for (const auto& f : kFixed) {
      if (f.id == id) {
        *minimum = f.minimum;
        *maximum = f.maximum;
        return 1;
      }
    }
    return 0;
  }
  ChoiceList* list = FindChoiceList(context->window, id);
  if (list == nullptr) return 0;
  if (list->kind == 2) {
    *minimum = 1;
    *maximum = list->count;
    return 1;
  }
  if ((list->kind == 4 || list->kind == 6) && list->count >= 2) {
    LONGLONG low = 0, high = 0;
    if (list->kind == 6) {
      low = static_cast<SHORT>(list->choices[0].value.word);
      high = static_cast<SHORT>(list->choices[1].value.word);
    } else if (!NumberOfTypedValue(list->type, ChoiceValueReference(list, 0), &low) ||
               !NumberOfTypedValue(list->type, ChoiceValueReference(list, 1), &high)) {
      return 0;
    }
    *minimum = static_cast<LONG>(low);
    *maximum = static_cast<LONG>(high);
    return 1;
  }
  return 0;
}

ChoiceCacheEntry* FindChoiceListEntry(HWND window, SettingItemId id) {
  PageTable* table = TableOf(window);
  if (table == nullptr) return nullptr;
  return static_cast<ChoiceCacheEntry*>(KeyedListFindData(table->choiceCache, id, kAnySubKey));
}

ChoiceList* FindChoiceList(HWND window, SettingItemId id) {
  ChoiceCacheEntry* entry = FindChoiceListEntry(window, id);
  return entry != nullptr ? entry->list : nullptr;
}

int GetOrLoadChoiceList(HWND window, HMODULE resources, ItemStore* store, SettingItemId id, ChoiceList** list) {
  PageTable* table = TableOf(window);
  SheetState* sheet = FindSheetState(window);
  SettingsRecord* settings = nullptr;
  PrinterConfiguration* config = nullptr;
  if (table == nullptr || list == nullptr || !GetCurrentSettings(window, &settings, &config)) return -1;
  if (ChoiceCacheEntry* entry = FindChoiceListEntry(window, id)) {
    ++entry->references;
    *list = entry->list;
    return 0;
  }
  void* extra = nullptr;
  const ItemDescriptor* descriptor = nullptr;
  bool failed = false;
  ChoiceList* header = BuildChoiceListHeader(&extra, &descriptor, sheet->printer, store, id, resources, 0, &failed);
  if (header == nullptr) return failed ? -1 : -2;
  FreeChoiceList(header);
  FreeItemExtraList(extra);
  MeasurementFlags flags{};
  GetMeasurementFlags(sheet, &flags);
  ChoiceList* built = BuildChoiceListForItem(sheet->printer, store, id, resources, 0, nullptr, settings, config, &flags);
  if (built == nullptr) return -1;
  auto* entry = static_cast<ChoiceCacheEntry*>(GlobalAlloc(GPTR, sizeof(ChoiceCacheEntry)));
  if (entry == nullptr || !KeyedListPushFront(table->choiceCache, id, 0xFFFF, entry)) {
    GlobalFree(entry);
    FreeChoiceList(built);
    return -1;
  }
  entry->id = id;
  entry->list = built;
  entry->references = 1;
  *list = built;
  return 0;
}

int ReleaseChoiceList(HWND window, SettingItemId id) {
  PageTable* table = TableOf(window);
  ChoiceCacheEntry* entry = FindChoiceListEntry(window, id);
  if (entry == nullptr) return 0;
  if (--entry->references <= 0) {
    KeyedListRemove(table->choiceCache, id, kAnySubKey);
    FreeChoiceList(entry->list);
    GlobalFree(entry);
  }
  return 1;
}

ChoiceList* GetBoundChoiceList(HWND window, const ControlRow* row, LONG n) {
  const DWORD* item = GetRowItem(row, n);
  return item != nullptr ? FindChoiceList(window, BoundItemId(*item)) : nullptr;
}

ChoiceList* GetCurrentChoiceList(HWND window, const ControlRow* row) {
  return GetBoundChoiceList(window, row, GetCurrentBoundIndex(window, row));
}

const void* ChoiceValueReference(const ChoiceList* list, LONG n) {
  const Choice* choice = GetChoice(list, n);
  return choice != nullptr ? ValueOfCell(static_cast<ValueTypeCode>(list->type), &choice->value) : nullptr;
}

LONG FindChoiceByValue(const ChoiceList* list, const void* value, ValueTypeCode type) {
  for (LONG n = 0; list != nullptr && n < list->count; ++n) {
    if (CompareTypedValues(type, ChoiceValueReference(list, n), value) == kCompareEqual) return n;
  }
  return -1;
}

int CreateItemStateRecord(HWND window, SettingItemId id, LONG choiceCount) {
  KeyedList* list = ItemStateList(window);
  if (list == nullptr || choiceCount < 0) return -1;
  if (KeyedListFindData(list, id, kAnySubKey) != nullptr) return 2;
  auto* record = static_cast<ItemStateRecord*>(GlobalAlloc(GPTR, sizeof(ItemStateRecord)));
  if (record == nullptr) return -1;
  record->id = id;
  record->choiceCount = choiceCount;
  record->item = CreateConstraintState();
  bool ok = record->item != nullptr;
  if (ok && choiceCount > 0) {
    record->choices = static_cast<ConstraintState**>(GlobalAlloc(GPTR, sizeof(ConstraintState*) * choiceCount));
    ok = record->choices != nullptr;
    for (LONG n = 0; ok && n < choiceCount; ++n) ok = (record->choices[n] = CreateConstraintState()) != nullptr;
  }
  if (!ok || !KeyedListPushFront(list, id, 0xFFFF, record)) {
    FreeItemStateRecord(record);
    return -1;
  }
  return 0;
}

ItemStateRecord* FindItemStateRecord(HWND window, SettingItemId id) {
  return static_cast<ItemStateRecord*>(KeyedListFindData(ItemStateList(window), id, kAnySubKey));
}

int RemoveItemStateRecord(SettingItemId id, KeyedList* list) {
  auto* record = static_cast<ItemStateRecord*>(KeyedListFindData(list, id, kAnySubKey));
  if (record == nullptr) return 1;
  KeyedListRemove(list, id, kAnySubKey);
  FreeItemStateRecord(record);
  return 1;
}

int GetItemStateCode(HWND window, SettingItemId id, StateCode* code, WORD* extra) {
  SheetState* sheet = FindSheetState(window);
  WORD flags = 0;
  if (sheet != nullptr && sheet->store != nullptr && IsItemLockedByPolicy(id, sheet->store->policy, &flags)) {
    const StateCode policy = (flags & kPolicyHide) ? kStateHidden
                             : (flags & kPolicyDimOut) ? kStateDisabled
                             : (flags & kPolicyShow) ? kStateUsable
                                                     : 0xFFFF;
    if (policy != 0xFFFF) {
      *code = policy;
      if (extra != nullptr) *extra = 0;
      return 1;
    }
  }
  ItemStateRecord* record = FindItemStateRecord(window, id);
  if (record == nullptr || record->item == nullptr) return 0;
  *code = record->item->messageType;
  if (extra != nullptr) *extra = record->item->checkFlags;
  return 1;
}

int SetItemStateCode(HWND window, SettingItemId id, StateCode code) {
  ItemStateRecord* record = FindItemStateRecord(window, id);
  if (record == nullptr || record->item == nullptr) return 0;
  record->item->messageType = code;
  return 1;
}

int GetChoiceStateCode(HWND window, SettingItemId id, LONG n, StateCode* code) {
  ItemStateRecord* record = FindItemStateRecord(window, id);
  if (record == nullptr || n < 0 || n >= record->choiceCount) return 0;
  *code = record->choices[n]->messageType;
  return 1;
}

int SetChoiceStateCode(HWND window, SettingItemId id, LONG n, StateCode code) {
  ItemStateRecord* record = FindItemStateRecord(window, id);
  if (record == nullptr || n < 0 || n >= record->choiceCount) return 0;
  record->choices[n]->messageType = code;
  return 1;
}

int GetRowStateCode(HWND window, const ControlRow* row, StateCode* code, WORD* extra) {
  const SettingItemId id = GetCurrentBoundItemId(window, row);
  return id != 0 ? GetItemStateCode(window, id, code, extra) : 0;
}

void* GetControlData(int list, HWND window, LONG controlId, DWORD subKey) {
  PageData* data = GetPageData(window);
  if (data == nullptr || list < 0 || list > 2) return nullptr;
  return KeyedListFindData(data->controlData[list], static_cast<DWORD>(controlId), subKey);
}

int SetControlData(int list, HWND window, LONG controlId, DWORD subKey, void* value) {
  PageData* data = GetPageData(window);
  if (data == nullptr || list < 0 || list > 2) return -1;
  if (data->controlData[list] == nullptr && (data->controlData[list] = CreateKeyedList()) == nullptr) return -1;
  if (KeyedListFindData(data->controlData[list], static_cast<DWORD>(controlId), subKey) != nullptr) return 2;
  return KeyedListPushFront(data->controlData[list], static_cast<DWORD>(controlId), subKey, value) ? 0 : -1;
}

int RemoveControlData(int list, HWND window, LONG controlId, DWORD subKey) {
  void* value = GetControlData(list, window, controlId, subKey);
  if (value == nullptr) return 0;
  KeyedListRemove(GetPageData(window)->controlData[list], static_cast<DWORD>(controlId), subKey);
  GlobalFree(value);
  return 1;
}

void InitHandlerContext(HandlerContext* context, HWND window, HWND owner, LONG pageIndex, UINT message,
                        DialogKind kind) {
  *context = HandlerContext{};
  context->window = window;
  context->owner = owner;
  context->pageIndex = pageIndex;
  context->message = message;
  context->kind = kind;
  context->actionType = 0;
  SheetState* sheet = FindSheetState(window);
  if (sheet == nullptr) return;
  context->permission = static_cast<LONG>(sheet->permission);
  context->store = sheet->store;
  GetCurrentSettings(window, &context->settings, &context->config);
}

int GetContextSettingsSet(const HandlerContext* context, SettingsSet** set) {
  PageData* data = context != nullptr ? GetPageData(context->window) : nullptr;
  if (data == nullptr || set == nullptr) return 0;
  *set = &data->current;
  return 1;
}

void SetContextChanges(HandlerContext* context, LONG changed, WORD* list, const ControlRow* row) {
  context->changed = changed;
  if (context->changedItems != list) GlobalFree(context->changedItems);
  context->changedItems = list;
  context->row = row;
}

int IsItemChanged(const HandlerContext* context, SettingItemId id) {
  for (const WORD* p = context != nullptr ? context->changedItems : nullptr; p != nullptr && *p != 0; ++p) {
    if (*p == id) return 1;
  }
  return 0;
}

int ReadContextItem(const HandlerContext* context, SettingItemId id, ItemValueCell* value) {
  if (context == nullptr || context->settings == nullptr || value == nullptr) return 0;
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(id, context->settings, context->config, &type, &length, &cell) != kItemDone) return 0;
  *value = cell;
  return 1;
}
