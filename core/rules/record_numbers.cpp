#include "core/rules/record_numbers.h"

#include <cstring>

#include "core/constraints/change_values.h"
#include "core/store/item_access.h"
#include "platform/base/types.h"

namespace {

bool IsNumberType(ValueTypeCode type) { return type != kTypeString && type != kTypeFont; }

}  // namespace

BOOL ReadItemLong(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG* value) {
  if (value == nullptr) return FALSE;
  BYTE cell[sizeof(void*)] = {};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, settings, config, &type, &length, cell) != kItemDone || !IsNumberType(type)) return FALSE;
  LONGLONG number = 0;
  if (!NumberOfTypedValue(type, cell, &number)) return FALSE;
  *value = static_cast<LONG>(number);
  return TRUE;
}

BOOL WriteItemLong(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG value) {
  ItemLocation location{};
  DWORD size = 0;
  if (LocateItem(id, settings, config, &location) != kItemDone || !IsNumberType(location.row->type) ||
      !GetValueTypeSize(location.row->type, &size))
    return FALSE;
  BYTE bytes[4];
  std::memcpy(bytes, &value, sizeof bytes);  // little-endian: the low bytes come first
  return SetItemValue(id, settings, config, location.row->type, size, bytes) == kItemDone;
}

BOOL CopyItemValue(SettingItemId id, SettingsRecord* from, SettingsRecord* to, PrinterConfiguration* config) {
  BYTE cell[sizeof(void*)] = {};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, from, config, &type, &length, cell) != kItemDone) return FALSE;
  return SetItemValue(id, to, config, type, length, cell) == kItemDone;
}
