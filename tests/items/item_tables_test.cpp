// Invariants of the item tables that a mistyped row would break, and the look-ups.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "items/item_tables.h"

namespace {

DWORD AreaSize(ItemArea area) {
  return area == kAreaSettings ? kSettingsRecordShortSize
         : area == kAreaExtension ? kSettingsExtensionSize
                                  : kPrinterConfigurationSize;
}

struct Extent {
  const ItemLayoutRow* row;
  ItemArea area;
  DWORD begin;  // first byte
  DWORD end;    // one past the last byte
};

// Bytes each item really occupies. Item 14 is the pair dmPrintQuality (90) + dmYResolution (96).
std::vector<Extent> CollectExtents() {
  std::vector<Extent> extents;
  for (const ItemGroupEntry& group : ItemGroupTable)
    for (const ItemLayoutRow& row : group.rows) {
      if (row.id == 14) {
        extents.push_back({&row, group.area, 90, 92});
        extents.push_back({&row, group.area, 96, 98});
        continue;
      }
      const DWORD begin = DWORD(row.offset);
      extents.push_back({&row, group.area, begin, begin + GetStoredItemSize(row.type, row.byteLength)});
    }
  return extents;
}

bool InRange(SettingItemId id, SettingItemId first, SettingItemId last) { return id >= first && id <= last; }

// The storage the tables share on purpose.
bool SharesStorage(const Extent& a, const Extent& b) {
  const SettingItemId x = std::min(a.row->id, b.row->id), y = std::max(a.row->id, b.row->id);
  const bool sameBytes = a.begin == b.begin && a.end == b.end;
  // Bits of one flag word; bytes of one packed word.
  if (sameBytes && IsFlagBitItem(x) && IsFlagBitItem(y)) return true;
  if (sameBytes && InRange(x, 392, 403) && InRange(y, 392, 403)) return true;
  // Two names of one field: the stamp name, the escapements, the resolution pair.
  const std::set<std::pair<SettingItemId, SettingItemId>> aliases = {{297, 298}, {309, 311}, {362, 364}, {14, 20}, {14, 21}};
  if (sameBytes && aliases.count({x, y})) return true;
  // Whole values whose parts are items: flag words and stored fonts.
  struct Container {
    SettingItemId id, firstPart, lastPart;
  };
  for (const Container& c : {Container{260, 0x501, 0x520}, Container{261, 0x521, 0x540}, Container{462, 0x541, 0x560},
                             Container{304, 305, 319}, Container{357, 358, 372}}) {
    const Extent& whole = a.row->id == c.id ? a : b;
    const Extent& part = a.row->id == c.id ? b : a;
    if (whole.row->id == c.id && InRange(part.row->id, c.firstPart, c.lastPart) && part.begin >= whole.begin &&
        part.end <= whole.end)
      return true;
  }
  return false;
}

TEST(ItemTables, GroupsHoldTheirRowsInRangeWithoutDuplicates) {
  const size_t expectedRows[kItemGroupCount] = {45, 46, 47, 28, 18, 96, 70, 74, 32, 71, 178, 25};
  size_t total = 0;
  std::set<SettingItemId> seen;
  for (size_t g = 0; g < kItemGroupCount; ++g) {
    const ItemGroupEntry& group = ItemGroupTable[g];
    EXPECT_EQ(group.rows.size(), expectedRows[g]) << "group " << g;
    total += group.rows.size();
    for (const ItemLayoutRow& row : group.rows) {
      EXPECT_TRUE(InRange(row.id, group.first, group.last)) << row.id;
      EXPECT_TRUE(seen.insert(row.id).second) << "two rows for " << row.id;
    }
  }
  EXPECT_EQ(total, 730u);
  // Only group 10 is stored out of id order.
  for (size_t g = 0; g < kItemGroupCount; ++g)
    EXPECT_EQ(std::is_sorted(ItemGroupTable[g].rows.begin(), ItemGroupTable[g].rows.end(),
                             [](const ItemLayoutRow& a, const ItemLayoutRow& b) { return a.id < b.id; }),
              g != 10)
        << "group " << g;
  EXPECT_EQ(ItemGroupTable[10].rows[22].id, 8201);
}

TEST(ItemTables, TypesAndExchangeTypes) {
  std::map<std::pair<ValueTypeCode, ValueTypeCode>, int> exchanges;
  for (const ItemGroupEntry& group : ItemGroupTable)
    for (const ItemLayoutRow& row : group.rows) {
      DWORD size;
      EXPECT_TRUE(GetValueTypeSize(row.type, &size)) << row.id;
      EXPECT_EQ(row.byteLength != 0, row.type == kTypeString || row.type == kTypeFont) << row.id;
      if (row.type == kTypeFont) {
        EXPECT_EQ(row.byteLength, kLogFontSize) << row.id;
      }
      if (row.exchangeType != 0) {
        ++exchanges[{row.type, row.exchangeType}];
        // A value given in the exchange type holds at least the item's own bytes.
        DWORD exchangeSize;
        ASSERT_TRUE(GetValueTypeSize(row.exchangeType, &exchangeSize)) << row.id;
        if (!IsFlagBitItem(row.id)) {
          EXPECT_GE(exchangeSize, size) << row.id;
        }
      }
      if (IsFlagBitItem(row.id)) {
        EXPECT_EQ(row.type, kTypeFlag) << row.id;
      }
    }
  const std::map<std::pair<ValueTypeCode, ValueTypeCode>, int> expected = {
      {{kTypeUInt8, kTypeUInt16}, 47}, {{kTypeFlag, kTypeUInt32}, 1}, {{kTypeFlag, kTypeUInt8}, 7},
      {{kTypeFlag, kTypeUInt16}, 2}};
  EXPECT_EQ(exchanges, expected);
}

TEST(ItemTables, ValuesAreAlignedExceptTheTwoOddFields) {
  for (const Extent& e : CollectExtents()) {
    // Area 1 starts at 1548, a multiple of 4, so area offsets show the record's alignment.
    const DWORD size = GetStoredItemSize(e.row->type, e.row->byteLength);
    const DWORD alignment = e.row->type == kTypeString ? 2 : e.row->type == kTypeFont ? 4 : std::min<DWORD>(size, 4);
    if (e.row->id == 14 || e.row->id == 329) continue;  // the resolution pair; a raw 49-byte field
    EXPECT_EQ(e.begin % alignment, 0u) << "item " << e.row->id;
  }
}

TEST(ItemTables, NoTwoItemsOverlapExceptSharedStorage) {
  std::vector<Extent> extents = CollectExtents();
  std::sort(extents.begin(), extents.end(),
            [](const Extent& a, const Extent& b) { return std::tie(a.area, a.begin) < std::tie(b.area, b.begin); });
  for (size_t i = 0; i < extents.size(); ++i)
    for (size_t j = i + 1; j < extents.size() && extents[j].area == extents[i].area &&
                           extents[j].begin < extents[i].end;
         ++j)
      EXPECT_TRUE(SharesStorage(extents[i], extents[j]))
          << "items " << extents[i].row->id << " and " << extents[j].row->id << " overlap";
}

TEST(ItemTables, LastByteOfEachArea) {
  std::map<ItemArea, std::pair<DWORD, SettingItemId>> last;
  for (const Extent& e : CollectExtents()) {
    EXPECT_LE(e.end, AreaSize(e.area)) << e.row->id;
    auto& [end, id] = last[e.area];
    if (e.end > end) end = e.end, id = e.row->id;
  }
  EXPECT_EQ(last[kAreaSettings], std::make_pair(DWORD(1541), SettingItemId(465)));
  EXPECT_EQ(last[kAreaExtension], std::make_pair(DWORD(3809), SettingItemId(1862)));
  EXPECT_EQ(last[kAreaPrinterConfig], std::make_pair(DWORD(4486), SettingItemId(5198)));
}

TEST(ItemTables, FlagWordsAndMasks) {
  const struct {
    SettingItemId id;
    DWORD mask;
  } cases[] = {{0x501, 1}, {0x540, 0x80000000}, {0x541, 1}, {0x560, 0x80000000},
               {0x1001, 1}, {0x1021, 1}, {0x1040, 0x80000000}, {0x1201, 1}, {0x1220, 0x80000000}};
  for (const auto& c : cases) {
    DWORD mask = 0;
    EXPECT_TRUE(GetItemFlagMask(c.id, &mask)) << c.id;
    EXPECT_EQ(mask, c.mask) << c.id;
  }
  DWORD mask = 0xDEAD;
  for (SettingItemId id : {0x500, 0x561, 0x1041, 0x1221, 0x1427}) EXPECT_FALSE(GetItemFlagMask(id, &mask)) << id;
  EXPECT_EQ(mask, 0xDEADu);
  // Each flag word holds its 32 flags at the offset of its whole-word item, where there is one.
  std::map<std::pair<ItemArea, ULONG_PTR>, int> bitsPerWord;
  for (const ItemGroupEntry& group : ItemGroupTable)
    for (const ItemLayoutRow& row : group.rows)
      if (IsFlagBitItem(row.id)) ++bitsPerWord[{group.area, row.offset}];
  const std::map<std::pair<ItemArea, ULONG_PTR>, int> expected = {
      {{kAreaSettings, 288}, 32}, {{kAreaSettings, 292}, 32}, {{kAreaSettings, 1516}, 32},
      {{kAreaPrinterConfig, 8}, 32}, {{kAreaPrinterConfig, 4444}, 32}, {{kAreaPrinterConfig, 2988}, 32}};
  EXPECT_EQ(bitsPerWord, expected);
}

TEST(ItemTables, ValueTypeSizes) {
  const struct {
    ValueTypeCode type;
    DWORD size;
  } valid[] = {{1, 4}, {2, 2}, {3, 2}, {4, 4}, {5, 4}, {6, sizeof(void*)}, {8, 1}, {9, sizeof(void*)}, {10, 4}};
  for (const auto& c : valid) {
    DWORD size = 0;
    EXPECT_TRUE(GetValueTypeSize(c.type, &size));
    EXPECT_EQ(size, c.size) << c.type;
  }
  for (ValueTypeCode type : {0, 7, 11, 0xFFFF}) {
    DWORD size = 123;
    EXPECT_FALSE(GetValueTypeSize(type, &size));
    EXPECT_EQ(size, 123u);
  }
}

TEST(ItemTables, LocateItem) {
  SettingsRecord settings{};
  PrinterConfiguration config{};
  const struct {
    SettingItemId id;
    bool withSettings, withConfig;
    ItemAccessResult result;
    ItemArea area;
    BYTE* address;
  } cases[] = {
      {0x1D2, true, true, kItemNoRange, 0xEE, nullptr},
      {0x2014, true, true, kItemNoRange, 0xEE, nullptr},
      {0xFFFF, false, false, kItemNoRange, 0xEE, nullptr},
      {0x121, true, true, kItemFailed, kAreaSettings, nullptr},
      {0x1001, false, true, kItemDone, kAreaPrinterConfig, config.bytes + 8},
      {0x101, false, true, kItemFailed, kAreaSettings, nullptr},
      {0x701, true, false, kItemDone, kAreaExtension, settings.bytes + 1548},
      {0x746, true, true, kItemDone, kAreaExtension, settings.bytes + 1548 + 3808},
      {0x701, false, true, kItemFailed, kAreaExtension, nullptr},
      {0x2013, true, false, kItemFailed, kAreaPrinterConfig, nullptr},
      {0x19, true, false, kItemDone, kAreaSettings, settings.bytes + 200},
  };
  for (const auto& c : cases) {
    ItemLocation location{nullptr, 0xEE, 0, nullptr};
    EXPECT_EQ(LocateItem(c.id, c.withSettings ? &settings : nullptr, c.withConfig ? &config : nullptr, &location),
              c.result)
        << c.id;
    EXPECT_EQ(location.area, c.area) << c.id;
    EXPECT_EQ(location.address, c.address) << c.id;
    if (c.result == kItemDone) {
      EXPECT_EQ(location.row->id, c.id);
    }
  }
}

}  // namespace
