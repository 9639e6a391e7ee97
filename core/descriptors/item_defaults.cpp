#include "core/descriptors/item_defaults.h"

#include <cstring>

#include "core/descriptors/value_routines.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

bool HoldsData(ValueTypeCode type) { return type == kTypeString || type == kTypeFont; }

// The default of one descriptor: status kQueryOk found, kQueryFailed failure, kQueryAbsent none.
void ResolveItemDefault(ItemStore* store, const ItemDescriptor* descriptor, PrinterConfiguration* config,
                        LPCWSTR deviceName, ValueTypeCode* type, DWORD* size, ItemValueCell* value, WORD* status) {
  *status = kQueryFailed;
  *value = ItemValueCell{};
  if (descriptor == nullptr) return;
  if (ItemSupportsOperation(descriptor, kItemOpDefault)) {
    const ItemInfoRecord* info = descriptor->info;
    if (info->constantDefault != nullptr && (info->constantDefault->flags & kConstDefaultValue) != 0) {
      *type = info->constantDefault->type;
      value->number = info->constantDefault->value;
      *size = ValueSizeOfType(*type, nullptr, info->constantDefault->length);
      *status = kQueryOk;
    } else if (info->handler != nullptr) {
      ItemValueSlot slot{};
      slot.defaults.config = config;
      slot.defaults.deviceName = deviceName;
      if (info->handler(store, kItemOpDefault, descriptor->id, &slot) != 0) {
        *type = slot.defaults.type;
        *value = slot.defaults.value;
        *size = slot.defaults.size;
        *status = kQueryOk;
      } else if (slot.defaults.absent) {
        *status = kQueryAbsent;
      }
    }
  } else {
    void* number = nullptr;
    if (QueryItemDefault(store, descriptor->id, &number, type, status) == 1) {
      if (*type == kTypeString) value->data = number;
      else value->number = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(number));
      *size = ValueSizeOfType(*type, value->data, -1);
    }
  }
  // A policy preset replaces whatever was found.
  if (store != nullptr && !HoldsData(*type) && GetPolicyDefault(descriptor->id, store->policy, value, *type) == 1)
    *status = kQueryOk;
}

}  // namespace

int GetItemDefault(ItemStore* store, SettingItemId id, ValueTypeCode* type, DWORD* size, ItemValueCell* value) {
  if (type == nullptr || size == nullptr || value == nullptr) return kDefaultFailed;
  WORD status = kQueryFailed;
  ResolveItemDefault(store, FindItemDescriptor(id), nullptr, nullptr, type, size, value, &status);
  return status == kQueryOk ? kDefaultFound : status == kQueryAbsent ? kDefaultNone : kDefaultFailed;
}

void ReleaseItemDefaultValue(SettingItemId, ItemValueCell* value, ValueTypeCode type) {
  if (value == nullptr || !HoldsData(type)) return;
  GlobalFree(value->data);
  value->data = nullptr;
}

BOOL StoreItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, LONG size,
                    ValueTypeCode type, const void* value) {
  if (value == nullptr) return FALSE;
  DWORD bytes = static_cast<DWORD>(size);
  if (size == -1) {
    const void* data = nullptr;
    if (HoldsData(type)) std::memcpy(&data, value, sizeof data);
    bytes = ValueSizeOfType(type, data, -1);
  }
  return SetItemValue(id, settings, config, type, bytes, value) == kItemDone;
}

BOOL ValidateItemValue(ItemStore* store, SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                       WORD operation) {
  ItemValueCell value{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, settings, config, &type, &length, &value) != kItemDone) return FALSE;
  const ItemDescriptor* descriptor = FindItemDescriptor(id);
  if (descriptor == nullptr) return FALSE;
  const ItemInfoRecord* info = descriptor->info;
  if (info == nullptr || info->handler == nullptr ||
      (operation == kItemOpCheck && !ItemSupportsOperation(descriptor, kItemOpCheck))) {
    // Valid when the database describes the value.
    if (store == nullptr) return FALSE;
    WORD recordType = 0;
    DatabaseRecord* record = nullptr;
    if (ReadItemValueRecord(FALSE, store->main, store->linked, id, &value, &recordType, &record) != kDbOk)
      return FALSE;
    FreeRecord(&record, kDbAnyType);
    return TRUE;
  }
  ItemValueSlot slot{};
  slot.check = {&value, settings, config};
  return info->handler(store, operation, id, &slot) != 0;
}

BOOL ApplyDataFileDefaults(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config,
                           LPCWSTR deviceName) {
  if (settings != nullptr) std::memset(settings, 0, sizeof *settings);
  if (config != nullptr) std::memset(config, 0, sizeof *config);
  BOOL complete = TRUE;
  for (DWORD group = 0; group < kDescriptorGroupCount; ++group) {
    std::span<const ItemDescriptor> descriptors;
    ItemArea area = 0;
    if (!GetGroupDescriptors(group, &descriptors, &area)) return FALSE;
    if (area == kAreaPrinterConfig ? config == nullptr : settings == nullptr) continue;
    // A default that cannot be resolved or stored ends its group; the next group still runs.
    for (const ItemDescriptor& descriptor : descriptors) {
      ValueTypeCode type = 0;
      DWORD size = 0;
      ItemValueCell value{};
      WORD status = kQueryFailed;
      ResolveItemDefault(store, &descriptor, config, deviceName, &type, &size, &value, &status);
      if (status == kQueryAbsent) continue;
      if (status != kQueryOk) {
        complete = FALSE;
        break;
      }
      const BOOL stored = StoreItemValue(descriptor.id, settings, config, static_cast<LONG>(size), type,
                                         HoldsData(type) ? static_cast<const void*>(&value.data) : &value);
      ReleaseItemDefaultValue(descriptor.id, &value, type);
      if (!stored) {
        complete = FALSE;
        break;
      }
    }
  }
  return complete;
}

int ValidateDevmodeHeader(SettingsRecord* record) {
  if (record == nullptr) return 0;
  constexpr SettingItemId kHeaderItems[] = {kItemSpecVersion, kItemDevmodeSize, kItemDriverExtra, kItemLayoutVersion};
  for (SettingItemId id : kHeaderItems)
    if (!ValidateItemValue(nullptr, id, record, nullptr, kItemOpCheck)) return 0;
  return 1;
}

BOOL ResetItemToDefault(ItemStore* store, SettingsRecord* settings, SettingItemId id, PrinterConfiguration* config) {
  ValueTypeCode type = 0;
  DWORD size = 0;
  ItemValueCell value{};
  const int found = GetItemDefault(store, id, &type, &size, &value);
  if (found == kDefaultNone) return TRUE;
  if (found != kDefaultFound) return FALSE;
  const BOOL stored =
      StoreItemValue(id, settings, config, -1, type, HoldsData(type) ? static_cast<const void*>(&value.data) : &value);
  ReleaseItemDefaultValue(id, &value, type);
  return stored;
}
