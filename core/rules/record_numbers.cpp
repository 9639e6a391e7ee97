#include "core/rules/record_numbers.h"

#include <cstring>

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
  switch (type) {
    case kTypeInt16: {
      SHORT v;
      std::memcpy(&v, cell, sizeof v);
      *value = v;
      return TRUE;
    }
    case kTypeUInt16: {
      WORD v;
      std::memcpy(&v, cell, sizeof v);
      *value = v;
      return TRUE;
    }
    case kTypeUInt8: *value = cell[0]; return TRUE;
    default: {
      LONG v;
      std::memcpy(&v, cell, sizeof v);
      *value = v;
      return TRUE;
    }
  }
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
