// Option item sets: look-up by code and the custom-size items of a set.
#include <gtest/gtest.h>

#include "core/descriptors/option_item_sets.h"
#include "items/item_ids.h"

namespace {

TEST(OptionItemSets, FindByCodeAndCustomSizeItems) {
  struct Row {
    WORD code;
    SettingItemId first;
  };
  // Every row: the set's items step by 15 from its first item.
  for (Row row : {Row{1, 0x1801}, Row{269, 0x1802}, Row{272, 0x1803}, Row{3, 0x1804}, Row{270, 0x1805},
                  Row{271, 0x1806}}) {
    SettingItemId items[kOptionSetItemCount] = {};
    ASSERT_EQ(FindOptionItemSet(row.code, items), 1) << row.code;
    for (int i = 0; i < kOptionSetItemCount; ++i) EXPECT_EQ(items[i], row.first + 15 * i) << row.code;
    SettingItemId width = 0, length = 0;
    ASSERT_EQ(GetCustomSizeItems(row.first, &width, &length), 1);
    EXPECT_EQ(width, items[3]);
    EXPECT_EQ(length, items[4]);
  }
  SettingItemId items[kOptionSetItemCount] = {7, 7, 7, 7, 7};
  EXPECT_EQ(FindOptionItemSet(2, items), 0);
  EXPECT_EQ(items[0], 7);
  EXPECT_EQ(FindOptionItemSet(272, nullptr), 0);
  SettingItemId width = 0, length = 0;
  EXPECT_EQ(GetCustomSizeItems(0x1805, &width, &length), 1);
  EXPECT_EQ(width, 0x1832);
  EXPECT_EQ(length, 0x1841);
  EXPECT_EQ(GetCustomSizeItems(kItemOptionColumn3, &width, &length), 0);  // a second-column item
  EXPECT_EQ(GetCustomSizeItems(kItemTrayPaperListFirst, nullptr, &length), 0);
}

}  // namespace
