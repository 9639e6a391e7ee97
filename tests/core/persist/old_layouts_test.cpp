#include "core/persist/old_layouts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Use {
  size_t tables;
  size_t rows;
};

Use Walk(WORD version) {
  Use use{0, 0};
  use.tables = ForEachOldLayoutRow(version, [&](const OldLayoutRow&) { ++use.rows; });
  return use;
}

TEST(OldLayouts, TablesHoldTheirRowsAndUnionsFollowTheVersion) {
  const std::vector<std::pair<WORD, size_t>> rowsPerTable = {
      {0x0100, 100}, {0x2000, 16}, {0x3000, 17}, {0x3002, 16}, {0x4000, 3}, {0x4001, 1}, {0x4002, 2},
      {0x4003, 31},  {0x4004, 63}, {0x4005, 2},  {0x4006, 0},  {0x4007, 0}, {0x5000, 182}, {0x5001, 0},
      {0x5002, 7}};
  std::vector<std::pair<WORD, size_t>> seen;
  for (const OldLayoutFamily& family : OldLayoutFamilies)
    for (const OldLayoutTable& table : family.tables) seen.emplace_back(table.version, table.rows.size());
  EXPECT_EQ(seen, rowsPerTable);

  struct Case {
    WORD version;
    size_t tables;
    size_t rows;
  };
  for (const Case& c : {Case{0x0100, 1, 100}, Case{0x3001, 3, 133}, Case{0x3002, 4, 149}, Case{0x4007, 12, 251},
                        Case{0x4006, 11, 251}, Case{0x5001, 2, 182}, Case{0x5002, 3, 189}, Case{0x00FF, 0, 0},
                        Case{0x4008, 0, 0}, Case{0x5003, 0, 0}}) {
    const Use use = Walk(c.version);
    EXPECT_EQ(use.tables, c.tables) << std::hex << c.version;
    EXPECT_EQ(use.rows, c.rows) << std::hex << c.version;
  }
}

TEST(OldLayouts, RowsKeepTableOrderSoLaterRowsWin) {
  // Item 14 (a 32-bit pair at 90) comes before items 20 and 21, which then fix the pair's halves.
  std::vector<SettingItemId> ids;
  ForEachOldLayoutRow(0x0100, [&](const OldLayoutRow& row) {
    if (row.id == 14 || row.id == 20 || row.id == 21) ids.push_back(row.id);
  });
  EXPECT_EQ(ids, (std::vector<SettingItemId>{14, 20, 21}));
  const OldLayoutFamily* family = FindOldLayoutFamily(0x4004);
  ASSERT_NE(family, nullptr);
  const OldLayoutRow& user = family->tables[1].rows[4];  // 297 and 298 share one field
  EXPECT_EQ(user.id, 297);
  EXPECT_EQ(user.offset, 1020u);
  EXPECT_EQ(family->tables[1].rows[5].offset, 1020u);
  // The last row of 0x4005 ends at byte 4944, the last of 0x5002 at 2627.
  EXPECT_EQ(family->tables[9].rows[1].offset + GetOldLayoutValueSize(family->tables[9].rows[1]), 4944u);
  const OldLayoutFamily* second = FindOldLayoutFamily(0x5002);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->tables[2].rows[6].offset + GetOldLayoutValueSize(second->tables[2].rows[6]), 2627u);
}

TEST(OldLayouts, EveryRowNamesAnItemOfTheItemTables) {
  SettingsRecord settings{};
  PrinterConfiguration config{};
  for (const OldLayoutFamily& family : OldLayoutFamilies)
    for (const OldLayoutTable& table : family.tables)
      for (const OldLayoutRow& row : table.rows) {
        ItemLocation location;
        EXPECT_EQ(LocateItem(row.id, &settings, &config, &location), kItemDone) << row.id;
        EXPECT_EQ(row.reserved, 0);
        EXPECT_NE(GetOldLayoutValueSize(row), 0u);
      }
}

}  // namespace
