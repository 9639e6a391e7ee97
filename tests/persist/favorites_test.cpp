#include "core/favorites.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "conversion_fixture.h"
#include "core/printer_id.h"
#include "core/user_store.h"
#include "printer_fixture.h"

namespace {

using namespace persist_test;

class Favorites : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    AddPrinter(u"P1");
    printer_ = Open(u"P1");
  }
  HANDLE printer_ = nullptr;
};

TEST_F(Favorites, SavedFavoriteHoldsItsValuesUnderItsNumber) {
  auto record = std::make_unique<SettingsRecord>();
  std::memset(record.get(), 0, sizeof *record);
  PutItem(record.get(), nullptr, 345, 1);  // saved for monochrome printing
  PutItem(record.get(), nullptr, 15, 2);
  const DWORD flag = 0;
  ASSERT_EQ(SaveFavorite(printer_, 3, record.get(), u"Draft", u"two-sided", &flag), 1);
  EXPECT_EQ(ItemOf(record.get(), nullptr, 15), 2u) << "the caller's record is not changed";
  auto stored = std::make_unique<SettingsRecord>();
  DWORD size = sizeof *stored;
  ASSERT_EQ(ReadUserValue(printer_, stored.get(), &size, REG_BINARY, u"Favorite\\UserSel03", u"DEVMODE"), kUserValueRead);
  EXPECT_EQ(size, sizeof(SettingsRecord));
  EXPECT_EQ(ItemOf(stored.get(), nullptr, 15), 1u) << "colour kept on";
  WCHAR text[64];
  size = sizeof text;
  ASSERT_EQ(ReadUserValue(printer_, text, &size, REG_SZ, u"Favorite\\UserSel03", u"Comment"), kUserValueRead);
  EXPECT_EQ(size, 20u) << "2 x length + 2";
  EXPECT_EQ(std::u16string(text), u"two-sided");
}

TEST_F(Favorites, IndexListAlwaysEndsInsideTheCallersList) {
  const WORD numbers[] = {1, 4, 9};
  ASSERT_EQ(SaveFavoriteIndex(printer_, numbers, 3), 1);
  WORD list[8];
  EXPECT_EQ(LoadFavoriteIndex(printer_, list, 8), 3);
  EXPECT_EQ(list[2], 9);
  EXPECT_EQ(list[3], 0);
  EXPECT_EQ(LoadFavoriteIndex(printer_, list, 3), 2) << "cut to the room with its 0";
  EXPECT_EQ(list[2], 0);
  // A stored list without its closing 0 and of an odd size.
  const BYTE odd[5] = {2, 0, 3, 0, 7};
  ASSERT_EQ(WriteUserValue(printer_, odd, sizeof odd, REG_BINARY, u"Favorite", u"UserIndex"), 1);
  EXPECT_EQ(LoadFavoriteIndex(printer_, list, 8), 2);
  EXPECT_EQ(list[2], 0);
}

}  // namespace
