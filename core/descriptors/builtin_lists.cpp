#include "core/descriptors/builtin_lists.h"

#include "core/descriptors/choice_list.h"
#include "core/stamps/stamp_store.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"

namespace {

constexpr SettingItemId kCallerListItems[] = {kItemStampFace, kItemJobInfoFace};

constexpr WORD kKindNamedValues = 2;
constexpr WORD kKindRange = 4;
constexpr LONG kRangeChoices = 3;  // minimum, maximum, step

bool IsCallerListItem(SettingItemId id) {
  for (SettingItemId item : kCallerListItems)
    if (item == id) return true;
  return false;
}

int SetListHeader(ChoiceListHeaderSlot& slot, WORD kind, LONG count) {
  if (slot.list == nullptr) return 0;
  slot.list->kind = kind;
  slot.list->count = count;
  return 1;
}

int SetHeader(ItemStore*, SettingItemId id, ChoiceListHeaderSlot& slot) {
  if (id == kItemCopies) return SetListHeader(slot, kKindRange, kRangeChoices);
  if (id == kItemStampChoice) {
    const auto* stamps = static_cast<const StampNameList*>(slot.extra);
    return stamps == nullptr ? 0 : SetListHeader(slot, kKindNamedValues, stamps->count + 1);
  }
  if (IsCallerListItem(id)) return SetListHeader(slot, kKindNamedValues, slot.callerCount);
  return 0;
}

int SetEntry(ChoiceEntrySlot& slot, LPCWSTR name, ValueTypeCode type, ItemValueCell value) {
  *slot.name = name;
  *slot.type = type;
  *slot.value = value;
  return 1;
}

// The n-th of the NUL-ended names that follow one another, or NULL.
LPCWSTR NthStampName(const StampNameList& stamps, WORD n) {
  if (stamps.names == nullptr || n >= stamps.count) return nullptr;
  LPCWSTR name = stamps.names;
  for (WORD i = 0; i < n; ++i) name += lstrlenW(name) + 1;
  return name;
}

int SetEntryOf(ItemStore* store, SettingItemId id, ChoiceEntrySlot& slot) {
  if (slot.name == nullptr || slot.value == nullptr || slot.type == nullptr) return 0;
  ItemValueCell value{};
  if (id == kItemCopies) {
    if (slot.index >= kRangeChoices) return 0;
    value.number = slot.index == 1 ? GetMaxCopies(store) : 1;
    return SetEntry(slot, nullptr, kTypeInt16, value);
  }
  if (id == kItemStampChoice) {
    const auto* stamps = static_cast<const StampNameList*>(slot.extra);
    if (stamps == nullptr) return 0;
    if (slot.index == 0) {
      if (slot.nameRoom == nullptr ||
          LoadStringW(slot.resourceModule, kStringNoStamp, slot.nameRoom, kChoiceNameRoomChars) <= 0)
        return 0;
      value.data = const_cast<WCHAR*>(u"");
      return SetEntry(slot, slot.nameRoom, kTypeString, value);
    }
    LPCWSTR name = NthStampName(*stamps, static_cast<WORD>(slot.index - 1));
    if (name == nullptr) return 0;
    value.data = const_cast<WCHAR*>(name);
    return SetEntry(slot, name, kTypeString, value);
  }
  if (IsCallerListItem(id)) {
    if (slot.callerList == nullptr || slot.callerList[slot.index] == nullptr) return 0;
    value.data = const_cast<WCHAR*>(slot.callerList[slot.index]);
    return SetEntry(slot, slot.callerList[slot.index], kTypeString, value);
  }
  return 0;
}

}  // namespace

BOOL GetItemExtraList(HANDLE printer, SettingItemId id, void** extra) {
  if (extra == nullptr) return FALSE;
  *extra = nullptr;
  if (id != kItemStampChoice) return TRUE;
  DWORD count = 0, size = 0;
  GetStampNames(printer, nullptr, &count, &size);
  if (size == 0) return FALSE;
  auto* stamps = static_cast<StampNameList*>(GlobalAlloc(GPTR, sizeof(StampNameList)));
  auto* names = static_cast<LPWSTR>(GlobalAlloc(GPTR, size));
  if (stamps == nullptr || names == nullptr || GetStampNames(printer, names, &count, &size) != kStampDone) {
    GlobalFree(names);
    GlobalFree(stamps);
    return FALSE;
  }
  stamps->count = static_cast<WORD>(count);
  stamps->names = names;
  *extra = stamps;
  return TRUE;
}

void FreeItemExtraList(void* extra) {
  auto* stamps = static_cast<StampNameList*>(extra);
  if (stamps == nullptr) return;
  GlobalFree(stamps->names);
  GlobalFree(stamps);
}

int BuildBuiltinListPart(ItemStore* store, WORD operation, SettingItemId id, ItemValueSlot* slot) {
  if (slot == nullptr) return 0;
  if (operation == kItemOpListheader) return SetHeader(store, id, slot->header);
  if (operation == kItemOpListentry) return SetEntryOf(store, id, slot->entry);
  return 0;
}
