// Constant-time id -> row index over the item tables (internal to the item engine).
#pragma once

#include "dataaccess/item_tables.h"

// Every item id is below this bound; ids at or above it lie in no range.
inline constexpr size_t kItemIdLimit = 0x2014;
inline constexpr WORD kIndexNoRow = 0xFFFF;
inline constexpr BYTE kIndexNoGroup = 0xFF;

struct ItemIndexEntry {
  WORD row;    // position in ItemRows, or kIndexNoRow
  BYTE group;  // first group whose range holds the id, or kIndexNoGroup
};

// All rows of all groups, in group order: ItemGroupTable's spans point into it.
extern const std::array<ItemLayoutRow, kItemRowCount> ItemRows;
extern const std::array<ItemIndexEntry, kItemIdLimit> ItemIndex;
