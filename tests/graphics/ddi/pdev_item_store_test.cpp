// An item store over the database streams a device holds: it answers like the streams and is
// freed without freeing their shared bytes.
#include <gtest/gtest.h>

#include <string>

#include "core/database/database.h"
#include "graphics/device/pdev_item_store.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

class PdevItemStore : public GraphicsModuleTest {};

TEST_F(PdevItemStore, SharesTheStreamsOfItsOwner) {
  const std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
  DatabaseStream main{}, linked{};
  ASSERT_EQ(OpenDescriptionDatabase(path.c_str(), 0, &main, &linked), kDbOk);
  ItemStore* store = ItemStoreFromStreams(&main, &linked);
  ASSERT_NE(store, nullptr);
  EXPECT_NE(store->main, &main);
  EXPECT_EQ(store->policy, nullptr);
  // Section 4 of the sample model: the most copies.
  EXPECT_EQ(ReadSectionValue(store->main, 4, 2, 0), 999u);
  EXPECT_EQ(ReadSectionValue(store->main, 4, 2, 0), ReadSectionValue(&main, 4, 2, 0));
  FreeItemStore(store);
  // The owner's streams are whole after the store is gone.
  EXPECT_EQ(ReadSectionValue(&main, 4, 2, 0), 999u);
  CloseDatabaseStreams(&main, &linked);

  EXPECT_EQ(ItemStoreFromStreams(nullptr, &linked), nullptr);
  EXPECT_EQ(ItemStoreFromStreams(&main, nullptr), nullptr);
  SimFailNthAllocation(1);
  EXPECT_EQ(ItemStoreFromStreams(&main, &linked), nullptr);
}

}  // namespace
