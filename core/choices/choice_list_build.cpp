#include "core/choices/choice_list_build.h"

#include <cstring>

#include "core/database/dbrecords.h"
#include "core/descriptors/builtin_lists.h"
#include "core/descriptors/option_item_sets.h"
#include "core/descriptors/value_routines.h"
#include "core/pictures/choice_icons.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/memory.h"

namespace {

// The paper lists besides the trays' paper lists.
constexpr SettingItemId kPaperLists[] = {kItemPaperSize, kItemOutputPaper, kItemPaperListSelection};
// The choice that stands for a tray's custom size.
constexpr WORD kCustomSizeValue = 275;
// The type of a picture record, and the choice that keeps no value in a list of that kind.
constexpr WORD kPictureRecordType = 12;
constexpr LONG kNoValueChoice = 2;

bool IsPaperList(SettingItemId id) {
  for (SettingItemId list : kPaperLists)
    if (list == id) return true;
  return id >= kItemTrayPaperListFirst && id <= kItemTrayPaperListLast;
}

LPWSTR CopyText(LPCWSTR text) {
  if (text == nullptr) return nullptr;
  const SIZE_T bytes = sizeof(WCHAR) * (lstrlenW(text) + 1);
  auto* copy = static_cast<LPWSTR>(GlobalAlloc(GPTR, bytes));
  if (copy != nullptr) std::memcpy(copy, text, bytes);
  return copy;
}

// A 16-bit item read as a number; false when it cannot be read.
bool ReadWordItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, WORD* value) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone || type == kTypeString ||
      type == kTypeFont)
    return false;
  *value = ReadTypedValue16(type, &cell);
  return true;
}

// One choice as its source hands it out, before the builder copies it.
struct ChoiceSource {
  LPCWSTR name = nullptr;
  ValueTypeCode type = 0;
  const void* value = nullptr;  // the value's bytes; for a string the text
  const DataBlock* block = nullptr;
};

// The icon of a choice whose data block names one of the model's pictures: none when the
// block names no picture record, false when the picture cannot be read or made into an icon.
bool MakeChoiceIcon(ItemStore* store, HMODULE module, const DataBlock* block, Choice* choice) {
  if (block == nullptr || block->length < sizeof(WORD) || block->data == nullptr) return true;
  WORD key;
  std::memcpy(&key, block->data, sizeof key);
  DatabaseRecord* record = nullptr;
  const WORD status = ReadKeyedRecord(TRUE, store->main, store->linked, kPictureRecordType, key, 0, &record);
  if (status == kDbAbsent) return true;
  if (status != kDbOk) return false;
  const auto* picture = reinterpret_cast<const PictureRecord*>(record);
  const BOOL made = CreateIconFromDib(module, picture->data, picture->dataSize, &choice->icon, &choice->palette);
  FreeRecord(&record, kDbAnyType);
  return made != FALSE;
}

// Copies a choice into the list: its name, its value (a string as a copy of its own), the
// list's value type and its icon. A value of another kind than the list's refuses the list.
bool StoreChoice(ChoiceList* list, LONG index, const ChoiceSource& source, ItemStore* store, HMODULE module) {
  Choice& choice = list->choices[index];
  if (source.name != nullptr && (choice.name = CopyText(source.name)) == nullptr) return false;
  const bool keepsValue = !(list->kind == kChoiceKindNoThirdValue && index == kNoValueChoice);
  if (keepsValue && source.value != nullptr && source.type != 0) {
    const bool isString = source.type == kTypeString;
    if (list->type != 0 && list->type != source.type && (isString || list->type == kTypeString)) return false;
    list->type = source.type;
    if (isString) {
      if ((choice.value.data = CopyText(static_cast<LPCWSTR>(source.value))) == nullptr) return false;
    } else {
      choice.value.number = static_cast<DWORD>(ReadTypedValue(source.type, source.value));
    }
  }
  return MakeChoiceIcon(store, module, source.block, &choice);
}

// Choice `index` from the item's built-in rule.
bool FillChoiceFromRule(ChoiceList* list, LONG index, const ItemDescriptor* descriptor, void* extra,
                        const LPCWSTR* callerList, ItemStore* store, HMODULE module) {
  WCHAR nameRoom[kChoiceNameRoomChars] = {};
  LPCWSTR name = nullptr;
  ItemValueCell value{};
  ValueTypeCode type = 0;
  ItemValueSlot slot{};
  slot.entry = ChoiceEntrySlot{module, &name, &value, &type, static_cast<WORD>(index), callerList, extra, nameRoom};
  if (descriptor->info->handler == nullptr ||
      descriptor->info->handler(store, kItemOpListentry, list->id, &slot) == 0)
    return false;
  ChoiceSource source{name, type, type == kTypeString ? value.data : &value, nullptr};
  return StoreChoice(list, index, source, store, module);
}

// Choice `index` from entry index + 1 of the item's database list.
bool FillChoiceFromDatabase(ChoiceList* list, LONG index, ItemStore* store, HMODULE module) {
  ChoiceValue* entry = nullptr;
  WORD status = 0;
  if (!QueryChoiceEntry(store, list->id, static_cast<WORD>(index + 1), &entry, &status)) return false;
  ChoiceSource source;
  void* value = nullptr;
  WORD type = 0;
  DataBlock* block = nullptr;
  GetChoiceEntryFields(entry, &value, &source.name, &type, &block);
  source.type = static_cast<ValueTypeCode>(type);
  source.value = value;
  source.block = block;
  const bool stored = StoreChoice(list, index, source, store, module);
  ReleaseChoiceEntry(entry);
  return stored;
}

// Gives the choices of user-defined papers the name of their slot followed by their size.
bool UpdateUserPaperChoiceNames(HMODULE module, ChoiceList* list, SettingsRecord* settings,
                                PrinterConfiguration* config, const MeasurementFlags* flags) {
  int treated = 0;
  for (LONG i = 0; i < list->count && treated < kUserPaperSlots; ++i) {
    Choice& choice = list->choices[i];
    const int slot = GetUserPaperSlot(choice.value.word);
    if (slot < 0) continue;
    PaperNameSize paper{};
    if (!GetUserPaperItems(settings, config, slot, &paper.width, &paper.length, &paper.name)) return false;
    LPWSTR name = FormatPaperNameWithSize(module, &paper, flags);
    if (name == nullptr) return false;
    GlobalFree(choice.name);
    choice.name = name;
    ++treated;
  }
  return true;
}

// Shows the current custom size of a tray's paper list after its custom-size choice.
bool AppendCustomSizeToChoice(HMODULE module, ChoiceList* list, SettingsRecord* settings,
                              PrinterConfiguration* config, const MeasurementFlags* flags) {
  Choice* custom = nullptr;
  for (LONG i = 0; i < list->count && custom == nullptr; ++i)
    if (list->choices[i].value.word == kCustomSizeValue) custom = &list->choices[i];
  if (custom == nullptr || list->id < kItemTrayPaperListFirst || list->id > kItemCustomSizeListLast) return true;
  SettingItemId widthItem = 0, lengthItem = 0;
  PaperNameSize paper{0, 0, u""};
  if (!GetCustomSizeItems(list->id, &widthItem, &lengthItem) ||
      !ReadWordItem(settings, config, widthItem, &paper.width) ||
      !ReadWordItem(settings, config, lengthItem, &paper.length))
    return false;
  LPWSTR name = FormatPaperNameWithSize(module, &paper, flags);
  if (name == nullptr) return false;
  GlobalFree(custom->name);
  custom->name = name;
  return true;
}

bool FillChoices(ChoiceList* list, const ItemDescriptor* descriptor, void* extra, const LPCWSTR* callerList,
                 ItemStore* store, HMODULE module, SettingsRecord* settings, PrinterConfiguration* config,
                 const MeasurementFlags* flags) {
  if (list->count <= 0) return false;
  list->choices = static_cast<Choice*>(GlobalAlloc(GPTR, sizeof(Choice) * list->count));
  if (list->choices == nullptr) return false;
  const bool fromRule = ItemSupportsOperation(descriptor, kItemOpListentry);
  for (LONG i = 0; i < list->count; ++i) {
    const bool filled = fromRule ? FillChoiceFromRule(list, i, descriptor, extra, callerList, store, module)
                                 : FillChoiceFromDatabase(list, i, store, module);
    if (!filled) return false;
  }
  if (!IsPaperList(list->id)) return true;
  const MeasurementFlags millimetres{0, 0};
  if (flags == nullptr) flags = &millimetres;
  return UpdateUserPaperChoiceNames(module, list, settings, config, flags) &&
         AppendCustomSizeToChoice(module, list, settings, config, flags);
}

}  // namespace

int GetUserPaperSlot(WORD paperId) {
  const WORD slot = UserPaperIdToIndex(paperId);
  return slot == 0xFFFF ? -1 : slot;
}

BOOL GetUserPaperItems(SettingsRecord* settings, PrinterConfiguration* config, int slot, WORD* width, WORD* length,
                       LPCWSTR* name) {
  if (slot < 0 || slot >= kUserPaperSlots || width == nullptr || length == nullptr || name == nullptr) return FALSE;
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD bytes = 0;
  if (!ReadWordItem(settings, config, static_cast<SettingItemId>(kItemUserPaperWidth + slot), width) ||
      !ReadWordItem(settings, config, static_cast<SettingItemId>(kItemUserPaperLength + slot), length) ||
      GetItemValue(static_cast<SettingItemId>(kItemUserPaperName + slot), settings, config, &type, &bytes, &cell) !=
          kItemDone ||
      type != kTypeString)
    return FALSE;
  *name = static_cast<LPCWSTR>(cell.data);
  return TRUE;
}

ChoiceList* BuildChoiceListHeader(void** extra, const ItemDescriptor** descriptor, HANDLE printer, ItemStore* store,
                                  SettingItemId id, HMODULE resourceModule, WORD callerCount, bool* failed) {
  bool failure = true;
  if (failed == nullptr) failed = &failure;
  *failed = true;
  if (extra == nullptr || descriptor == nullptr) return nullptr;
  *extra = nullptr;
  *descriptor = FindItemDescriptor(id);
  auto* list = static_cast<ChoiceList*>(GlobalAlloc(GPTR, sizeof(ChoiceList)));
  if (list == nullptr) return nullptr;
  list->id = id;
  *failed = false;
  bool made = *descriptor != nullptr;
  if (made && !GetItemExtraList(printer, id, extra)) {
    made = false;
    *failed = true;
  }
  if (made && ItemSupportsOperation(*descriptor, kItemOpListheader)) {
    // The rule's handler sets kind and count; a rule without a handler offers no list.
    ItemValueSlot slot{};
    slot.header = ChoiceListHeaderSlot{resourceModule, list, callerCount, *extra};
    made = (*descriptor)->info->handler != nullptr &&
           (*descriptor)->info->handler(store, kItemOpListheader, id, &slot) == 1;
  } else if (made) {
    BYTE kind = 0;
    WORD count = 0, status = 0;
    LPCWSTR name = nullptr;
    DatabaseRecord* record = nullptr;
    made = QueryChoiceListHeader(store, id, &kind, &count, &name, &record, &status) == 1;
    *failed = !made && status == kQueryNoMemory;
    if (made) {
      list->kind = kind;
      list->count = count;
      made = name == nullptr || (list->name = CopyText(name)) != nullptr;
      *failed = !made;
      ReleaseRecord(record);
    }
  }
  if (!made) {
    FreeItemExtraList(*extra);
    *extra = nullptr;
    FreeChoiceList(list);
    return nullptr;
  }
  return list;
}

ChoiceList* BuildChoiceListForItem(HANDLE printer, ItemStore* store, SettingItemId id, HMODULE resourceModule,
                                   WORD callerCount, const LPCWSTR* callerList, SettingsRecord* settings,
                                   PrinterConfiguration* config, const MeasurementFlags* flags) {
  void* extra = nullptr;
  const ItemDescriptor* descriptor = nullptr;
  ChoiceList* list = BuildChoiceListHeader(&extra, &descriptor, printer, store, id, resourceModule, callerCount);
  if (list == nullptr) return nullptr;
  const bool filled =
      FillChoices(list, descriptor, extra, callerList, store, resourceModule, settings, config, flags);
  FreeItemExtraList(extra);
  if (!filled) {
    FreeChoiceList(list);
    return nullptr;
  }
  return list;
}
