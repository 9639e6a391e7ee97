// Constant-time id -> row index over the item tables, with what the tables say about how each
// row's value moves (internal to the item engine).
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// Every item id is below this bound; ids at or above it lie in no range.
inline constexpr size_t kItemIdLimit = 0x2014;
inline constexpr WORD kIndexNoRow = 0xFFFF;
inline constexpr BYTE kIndexNoGroup = 0xFF;

struct ItemIndexEntry {
  WORD row;    // position in ItemRows, or kIndexNoRow
  BYTE group;  // first group whose range holds the id, or kIndexNoGroup
  BYTE area;   // that group's ItemArea
};

// How a row's value is stored, from its type and the flag lists.
enum ItemValueKind : BYTE { kKindByte, kKindWord, kKindDword, kKindFlagBit, kKindString, kKindFont };

struct ItemRowInfo {
  ItemValueKind kind;
  BYTE size;                   // GetValueTypeSize of the own type
  BYTE reportedSize;           // the same for the exchange type, when there is one
  ValueTypeCode reportedType;  // the exchange type, when there is one, else the own type
  DWORD mask;                  // the bit of a flag
};

// All rows of all groups, in group order: ItemGroupTable's spans point into it.
extern const std::array<ItemLayoutRow, kItemRowCount> ItemRows;
extern const std::array<ItemRowInfo, kItemRowCount> ItemRowInfos;
extern const std::array<ItemIndexEntry, kItemIdLimit> ItemIndex;

inline const ItemRowInfo& GetItemRowInfo(const ItemLayoutRow* row) { return ItemRowInfos[row - ItemRows.data()]; }

// LocateItem through the index, for the engine's own calls.
inline ItemAccessResult LocateIndexedItem(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                                          ItemLocation* location) {
  if (id >= kItemIdLimit) return kItemNoRange;
  const ItemIndexEntry entry = ItemIndex[id];
  if (entry.group == kIndexNoGroup) return kItemNoRange;
  location->area = entry.area;
  if (entry.row == kIndexNoRow) return kItemFailed;
  const ItemLayoutRow& row = ItemRows[entry.row];
  location->row = &row;
  // A missing record gives no address (the original computed one from a null base).
  BYTE* base;
  if (entry.area == kAreaPrinterConfig)
    base = config != nullptr ? config->bytes : nullptr;
  else
    base = settings != nullptr ? settings->bytes + (entry.area == kAreaExtension ? kSettingsExtensionOffset : 0)
                               : nullptr;
  location->address = base != nullptr ? base + row.offset : nullptr;
  if (base == nullptr) return kItemFailed;
  // Every row's type has a size (checked when the tables are built).
  location->size = ItemRowInfos[entry.row].size;
  return kItemDone;
}
