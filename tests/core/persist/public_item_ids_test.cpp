// Public item numbers of the favourites files: the identity pairs of layout 0x5002, the first
// enclosing range deciding, and the secret-string range left out.
#include "core/persist/public_item_ids.h"

#include <gtest/gtest.h>

namespace {

TEST(PublicItemIds, PublicToItem) {
  struct Case {
    PublicItemId id;
    DWORD layout;
    int found;
    SettingItemId item;
  };
  const Case cases[] = {
      {0x1C0, 0x5002, 1, 0x1C0},  // identity pair; in no range of the map
      {0x1C0, 0x5003, 0, 0},
      {0x1C1, 0x5002, 1, 0x1C1},  // identity pair before the map's 0x501
      {0x1C1, 0x5000, 1, 0x501},
      {0x1C3, 0x5002, 1, 0x503},  // not an identity pair: the map
      {0x501, 0x5002, 1, 0x501},
      {0x501, 0x4005, 1, 0x2009},
      {0x532, 0x5002, 1, 0x532},
      {0x533, 0x5002, 1, 0x1729},
      {0x502, 0x4005, 0, 0},   // inside range 0x501-0x613 but absent from its pairs
      {0x121, 0x5000, 1, 0x728},
      {0x1001, 0x5000, 1, 0x1C0},
      {0x020, 0x5000, 0, 0},   // in no range
      {0x9001, 0x5000, 0, 0},  // secret-string items are never in a file
  };
  for (const Case& c : cases) {
    SettingItemId item = 0xBEEF;
    EXPECT_EQ(PublicIdToItemId(c.id, &item, c.layout), c.found) << std::hex << c.id << " " << c.layout;
    EXPECT_EQ(item, c.found ? c.item : 0xBEEF) << std::hex << c.id << " " << c.layout;
  }
  EXPECT_NE(MapPublicItemId(0x9001), 0);  // the data-access module's map does hold them
  EXPECT_EQ(PublicIdToItemId(0x121, nullptr, 0x5000), 0);
}

TEST(PublicItemIds, ItemToPublic) {
  struct Case {
    SettingItemId item;
    int found;
    PublicItemId id;
  };
  const Case cases[] = {
      {0x728, 1, 0x121},
      {0x501, 1, 0x1C1},  // never the identity pair
      {0x1C0, 1, 0x1001},
      {0x742, 1, 0x228},  // also the secret-string public id 0x9005
      {0x9999, 0, 0},
  };
  for (const Case& c : cases) {
    PublicItemId id = 0xBEEF;
    EXPECT_EQ(ItemIdToPublicId(c.item, &id), c.found) << std::hex << c.item;
    EXPECT_EQ(id, c.found ? c.id : 0xBEEF) << std::hex << c.item;
  }
  EXPECT_EQ(ItemIdToPublicId(0x728, nullptr), 0);
}

}  // namespace
