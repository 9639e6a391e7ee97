#include "core/constraints/change_values.h"

#include <algorithm>
#include <cstring>

#include "core/store/item_access.h"
#include "platform/base/types.h"

BOOL ReadChangeOrItemCell(const SettingsContext* context, const ItemChange* change, SettingItemId id,
                          ValueTypeCode* type, ItemValueCell* cell) {
  if (context == nullptr || type == nullptr || cell == nullptr) return FALSE;
  *cell = ItemValueCell{};
  if (change != nullptr && change->id == id && change->value != nullptr) {
    DWORD held = 0;
    if (!GetValueTypeSize(change->type, &held)) return FALSE;
    std::memcpy(cell, change->value, std::min<DWORD>(held, sizeof *cell));
    *type = change->type;
    return TRUE;
  }
  return ReadCurrentValue(context, id, type, cell) == kItemDone;
}

BOOL ReadChangeOrItemValue(const SettingsContext* context, const ItemChange* change, SettingItemId id,
                           DWORD byteCount, void* destination) {
  if (destination == nullptr) return FALSE;
  std::memset(destination, 0, byteCount);
  ValueTypeCode type = 0;
  ItemValueCell cell{};
  DWORD held = 0;
  if (!ReadChangeOrItemCell(context, change, id, &type, &cell) || !GetValueTypeSize(type, &held)) return FALSE;
  std::memcpy(destination, &cell, std::min({byteCount, held, static_cast<DWORD>(sizeof cell)}));
  return TRUE;
}

BOOL NumberOfTypedValue(ValueTypeCode type, const void* value, LONGLONG* number) {
  if (value == nullptr || number == nullptr) return FALSE;
  switch (type) {
    case kTypeInt16: {
      SHORT v;
      std::memcpy(&v, value, sizeof v);
      *number = v;
      return TRUE;
    }
    case kTypeUInt16: {
      WORD v;
      std::memcpy(&v, value, sizeof v);
      *number = v;
      return TRUE;
    }
    case kTypeUInt8: *number = *static_cast<const BYTE*>(value); return TRUE;
    case kTypeInt32:
    case kTypeFontField: {
      LONG v;
      std::memcpy(&v, value, sizeof v);
      *number = v;
      return TRUE;
    }
    case kTypeFlag:
    case kTypeUInt32: {
      DWORD v;
      std::memcpy(&v, value, sizeof v);
      *number = v;
      return TRUE;
    }
    default: return FALSE;
  }
}

BOOL ReadChangeOrItemNumber(const SettingsContext* context, const ItemChange* change, SettingItemId id,
                            LONGLONG* number) {
  ValueTypeCode type = 0;
  ItemValueCell cell{};
  return number != nullptr && ReadChangeOrItemCell(context, change, id, &type, &cell) &&
         NumberOfTypedValue(type, &cell, number);
}
