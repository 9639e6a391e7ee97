// Stored layouts of device modes written by older releases of the driver: per layout version
// the items that version added, at their offsets in the stored record and in the type they
// were stored in. The layout of a stored record of version V is the union, in table order, of
// every table of its family whose version is at most V.
#pragma once

#include <span>

#include "items/item_tables.h"
#include "platform/base/types.h"

struct OldLayoutRow {
  SettingItemId id;
  ValueTypeCode type;
  DWORD offset;    // from the first byte of the stored record
  WORD byteSize;   // strings and fonts; 0 otherwise
  WORD reserved;   // 0
};

struct OldLayoutTable {
  WORD version;
  std::span<const OldLayoutRow> rows;
};

struct OldLayoutFamily {
  WORD firstVersion;
  WORD lastVersion;
  std::span<const OldLayoutTable> tables;  // in ascending version order
};

// Family 1 (0x0100 to 0x4007) and family 2 (0x5000 to 0x5002).
extern const std::span<const OldLayoutFamily> OldLayoutFamilies;

// The family whose version range holds the version (the last such family), or NULL.
const OldLayoutFamily* FindOldLayoutFamily(WORD version);

// Calls visit(row) for every row of the stored layout of the version, in table order (never
// sorted by id: later rows overwrite earlier ones on purpose). Answers the number of tables
// used; 0 when no family holds the version.
template <typename Visit>
size_t ForEachOldLayoutRow(WORD version, Visit&& visit) {
  const OldLayoutFamily* family = FindOldLayoutFamily(version);
  if (family == nullptr) return 0;
  size_t tables = 0;
  for (const OldLayoutTable& table : family->tables) {
    if (table.version > version) break;
    ++tables;
    for (const OldLayoutRow& row : table.rows) visit(row);
  }
  return tables;
}

// Bytes a row's value occupies in the stored record; 0 for a type without a size (7 and
// unknown codes).
constexpr DWORD GetOldLayoutValueSize(const OldLayoutRow& row) {
  switch (row.type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFontField: return 4;
    case kTypeInt16:
    case kTypeUInt16: return 2;
    case kTypeUInt8: return 1;
    case kTypeString:
    case kTypeFont: return row.byteSize;
    default: return 0;
  }
}
