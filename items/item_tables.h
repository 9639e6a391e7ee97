// The item tables: where each of the 730 setting items lives, with which type, and the
// look-ups every item access starts with.
#pragma once

#include <array>
#include <span>

#include "items/setting_records.h"
#include "platform/base/types.h"

using SettingItemId = WORD;

// Where an item's offset counts from.
using ItemArea = WORD;
inline constexpr ItemArea kAreaSettings = 0;      // SettingsRecord from its first byte
inline constexpr ItemArea kAreaExtension = 1;     // SettingsRecord from byte 1548
inline constexpr ItemArea kAreaPrinterConfig = 2; // PrinterConfiguration

// The type of a value and, through GetValueTypeSize, how many bytes cross the interface.
using ValueTypeCode = WORD;
inline constexpr ValueTypeCode kTypeFlag = 1;       // one bit of a shared word, or a whole word
inline constexpr ValueTypeCode kTypeInt16 = 2;
inline constexpr ValueTypeCode kTypeUInt16 = 3;
inline constexpr ValueTypeCode kTypeInt32 = 4;
inline constexpr ValueTypeCode kTypeUInt32 = 5;
inline constexpr ValueTypeCode kTypeString = 6;     // wide string in a fixed field
inline constexpr ValueTypeCode kTypeUInt8 = 8;
inline constexpr ValueTypeCode kTypeFont = 9;       // LOGFONTW
inline constexpr ValueTypeCode kTypeFontField = 10; // signed 32-bit field of a stored LOGFONTW

// Result of every item access. Callers test the low 16 bits.
using ItemAccessResult = WORD;
inline constexpr ItemAccessResult kItemDone = 0;
inline constexpr ItemAccessResult kItemNoRange = 1;      // id in no range of the group table
inline constexpr ItemAccessResult kItemBadType = 2;      // neither own nor exchange type (set)
inline constexpr ItemAccessResult kItemTooLong = 4;      // string or font does not fit (set)
inline constexpr ItemAccessResult kItemBadLength = 8;    // length differs from the type's size
inline constexpr ItemAccessResult kItemFailed = 16;      // no row, no record, refused by a rule

struct ItemLayoutRow {
  SettingItemId id;
  ValueTypeCode type;
  ValueTypeCode exchangeType;  // 0: exchanged in its own type only
  ULONG_PTR offset;            // in the item's area
  DWORD byteLength;            // field size for strings and fonts, else 0
};

struct ItemGroupEntry {
  ItemArea area;
  SettingItemId first;  // range of ids, both inclusive
  SettingItemId last;
  std::span<const ItemLayoutRow> rows;  // in the binding iteration order
};

inline constexpr size_t kItemGroupCount = 12;
inline constexpr size_t kItemRowCount = 730;

// The 12 id ranges in order, each with its rows. The order of groups and rows is the order in
// which whole-record walks visit items.
extern const std::array<ItemGroupEntry, kItemGroupCount> ItemGroupTable;

// Byte length of a LOGFONTW as stored in the records.
inline constexpr DWORD kLogFontSize = 92;

// Where LocateItem found an item.
struct ItemLocation {
  const ItemLayoutRow* row;
  ItemArea area;
  DWORD size;     // bytes crossing the interface for the item's own type
  BYTE* address;  // the value inside the caller's record
};

// Size of a value of the given type crossing the interface; false for an invalid code
// (7 and every code not listed).
constexpr bool GetValueTypeSize(ValueTypeCode type, DWORD* size) {
  switch (type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFontField: *size = 4; return true;
    case kTypeInt16:
    case kTypeUInt16: *size = 2; return true;
    case kTypeUInt8: *size = 1; return true;
    case kTypeString:
    case kTypeFont: *size = sizeof(void*); return true;
    default: return false;
  }
}

// The ItemFlagMaskTable: three lists of flag items, each flag one bit of a shared 32-bit word;
// bit k of a word is id number k of its word.
struct ItemFlagMaskList {
  SettingItemId first;
  SettingItemId last;
};
inline constexpr ItemFlagMaskList ItemFlagMaskTable[] = {{0x501, 0x560}, {0x1001, 0x1040}, {0x1201, 0x1220}};

// The bit of an item of the three flag lists inside its shared 32-bit word.
constexpr bool GetItemFlagMask(SettingItemId id, DWORD* mask) {
  for (const ItemFlagMaskList& list : ItemFlagMaskTable)
    if (id >= list.first && id <= list.last) {
      *mask = DWORD(1) << ((id - list.first) % 32);
      return true;
    }
  return false;
}

// Caller to come: the graphics module's data-access binding.
// True for ids of the three flag lists (0x501-0x560, 0x1001-0x1040, 0x1201-0x1220).
constexpr bool IsFlagBitItem(SettingItemId id) {
  DWORD mask = 0;
  return GetItemFlagMask(id, &mask);
}

// Finds the item's row and its place inside the caller's records: 0, 1 (no range) or 16 (no
// row, record of its area missing, type without size). The area is filled in as soon as the
// range is known, even when the result is 16.
ItemAccessResult LocateItem(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                            ItemLocation* location);

// Bytes an item occupies in its record: the field size for strings and fonts, else the size
// of its own type.
constexpr DWORD GetStoredItemSize(ValueTypeCode type, DWORD byteLength) {
  switch (type) {
    case kTypeInt16:
    case kTypeUInt16: return 2;
    case kTypeUInt8: return 1;
    case kTypeString:
    case kTypeFont: return byteLength;
    default: return 4;
  }
}
