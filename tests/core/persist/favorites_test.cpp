#include "core/persist/favorites.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "items/item_ids.h"
#include "platform/user/format.h"
#include "tests/support/conversion_fixture.h"
#include "core/persist/favorite_margins.h"
#include "core/store/item_store.h"
#include "core/store/printer_id.h"
#include "platform/registry/registry_sim.h"
#include "core/store/user_store.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

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
  PutItem(record.get(), nullptr, kItemMonochromeDefault, 1);  // saved for monochrome printing
  PutItem(record.get(), nullptr, kItemColor, 2);
  const DWORD flag = 0;
  ASSERT_EQ(SaveFavorite(printer_, 3, record.get(), u"Draft", u"two-sided", &flag), 1);
  EXPECT_EQ(ItemOf(record.get(), nullptr, kItemColor), 2u) << "the caller's record is not changed";
  auto stored = std::make_unique<SettingsRecord>();
  DWORD size = sizeof *stored;
  ASSERT_EQ(ReadUserValue(printer_, stored.get(), &size, REG_BINARY, u"Favorite\\UserSel03", u"DEVMODE"), kUserValueRead);
  EXPECT_EQ(size, sizeof(SettingsRecord));
  EXPECT_EQ(ItemOf(stored.get(), nullptr, kItemColor), 1u) << "colour kept on";
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

// The favourite's margin key as stored, its path cut to the part below the per-user key.
std::string DumpMargins(HANDLE printer, WORD number) {
  BYTE id[16];
  EXPECT_EQ(ReadPrinterId(printer, id), 1);
  WCHAR sub[48], path[kUserKeyPathChars];
  wsprintfW(sub, u"Favorite\\UserSel%02d\\PaperMargin", int(number));
  EXPECT_TRUE(BuildUserKeyPath(kSampleUserBase.c_str(), id, sub, path, kUserKeyPathChars));
  std::string dump = SimRegistryDump(HKEY_CURRENT_USER, path);
  const size_t cut = dump.find("\\Favorite");
  return cut == std::string::npos ? dump : "[" + dump.substr(cut + 1);
}

// Margins are kept in stored order: a landscape caller's {top, bottom, right, left} is turned
// back before it is written as four little-endian u32 without a paper id.
TEST_F(Favorites, MarginsOfAFavoriteAreStoredPerPaperWithTheirCount) {
  const PaperMargins landscape{{10, 20, 30, 300}};
  ASSERT_EQ(SaveFavoritePaperMargin(printer_, 5, kLandscape, u"9", &landscape), 1);
  ASSERT_EQ(SaveFavoritePaperMarginCount(printer_, 5, 1), 1);
  EXPECT_EQ(SaveFavoritePaperMargin(printer_, 5, 3, u"8", &landscape), 0) << "no such orientation";
  EXPECT_EQ(DumpMargins(printer_, 5),
            "[Favorite\\UserSel05\\PaperMargin]\n"
            "\"9\" = REG_BINARY 1e 00 00 00 2c 01 00 00 0a 00 00 00 14 00 00 00\n"
            "\"Num\" = REG_DWORD 0x00000001\n");
  EXPECT_EQ(LoadFavoritePaperMarginCount(printer_, 5), 1u);
  // A count beyond the values present, and counts of the wrong type or size.
  ASSERT_EQ(SaveFavoritePaperMarginCount(printer_, 5, 40), 1);
  EXPECT_EQ(LoadFavoritePaperMarginCount(printer_, 5), 1u);
  const BYTE shortCount[2] = {1, 0};
  ASSERT_EQ(WriteUserValue(printer_, shortCount, 2, REG_DWORD, u"Favorite\\UserSel05\\PaperMargin", u"Num"), 1);
  EXPECT_EQ(LoadFavoritePaperMarginCount(printer_, 5), 0u);
  const DWORD one = 1;
  ASSERT_EQ(WriteUserValue(printer_, &one, 4, REG_BINARY, u"Favorite\\UserSel05\\PaperMargin", u"Num"), 1);
  EXPECT_EQ(LoadFavoritePaperMarginCount(printer_, 5), 0u);
  EXPECT_EQ(LoadFavoritePaperMarginCount(printer_, 6), 0u);

  EXPECT_EQ(DeleteFavoritePaperMargin(printer_, 5), 1);
  EXPECT_EQ(DumpMargins(printer_, 5), "");
  EXPECT_EQ(DeleteFavoritePaperMargin(printer_, 5), 1) << "a favourite without margins is no error";

  // Read back by position and by name, in either orientation; "Num" and values of another
  // size or type are not margins, and a failed read leaves the outputs alone.
  ASSERT_EQ(SaveFavoritePaperMargin(printer_, 7, kLandscape, u"9", &landscape), 1);
  const BYTE longer[20] = {}, text[16] = {};
  ASSERT_EQ(WriteUserValue(printer_, longer, 20, REG_BINARY, u"Favorite\\UserSel07\\PaperMargin", u"8"), 1);
  ASSERT_EQ(WriteUserValue(printer_, text, 16, REG_SZ, u"Favorite\\UserSel07\\PaperMargin", u"7"), 1);
  HKEY key = nullptr;
  ASSERT_EQ(OpenFavoritePaperMarginKey(printer_, &key, 7), 1);
  WCHAR name[kFavoriteMarginNameChars] = u"-";
  PaperMargins read{};
  ASSERT_EQ(ReadPaperMarginValueByIndex(key, 0, kLandscape, name, &read), 1);
  EXPECT_EQ(std::u16string(name), u"9");
  EXPECT_EQ(std::memcmp(&read, &landscape, sizeof read), 0);
  ASSERT_EQ(ReadPaperMarginValueByName(key, u"9", kPortrait, &read), 1);
  EXPECT_EQ(read.margin[0], 30u);
  EXPECT_EQ(read.margin[1], 300u);
  const PaperMargins before = read;
  for (DWORD index : {1u, 2u, 3u, 4u}) EXPECT_EQ(ReadPaperMarginValueByIndex(key, index, kPortrait, name, &read), 0);
  for (LPCWSTR other : {u"Num", u"8", u"7", u"6"}) EXPECT_EQ(ReadPaperMarginValueByName(key, other, kPortrait, &read), 0);
  EXPECT_EQ(ReadPaperMarginValueByName(key, u"9", 3, &read), 0) << "no such orientation";
  EXPECT_EQ(std::u16string(name), u"9");
  EXPECT_EQ(std::memcmp(&read, &before, sizeof read), 0);
  RegCloseKey(key);
}

// Storing takes every paper of the model whose margin is not the default: the user's value
// first, else the printer's table; anything stored before is dropped.
TEST_F(Favorites, StoredMarginsAreThoseThatDifferFromTheDefault) {
  PaperMarginTable* table = LoadPaperMarginTable(printer_);
  ASSERT_NE(table, nullptr);
  const PaperMargins tableA3{{50, 60, 70, 80}}, tableA4{{1, 1, 1, 1}}, userA4{{100, 46, 46, 46}};
  ASSERT_EQ(SetPaperMargin(table, 8, &tableA3), kMarginDone);
  ASSERT_EQ(SetPaperMargin(table, 9, &tableA4), kMarginDone);
  ASSERT_EQ(StorePaperMarginTable(printer_, table), kMarginDone);
  FreePaperMarginTable(table);
  ASSERT_EQ(WriteUserPaperMarginOriented(printer_, nullptr, 9, &userA4, kPortrait), kMarginDone);
  const PaperMargins stale{{1, 2, 3, 4}};
  ASSERT_EQ(SaveFavoritePaperMargin(printer_, 2, kPortrait, u"5", &stale), 1);

  ItemStore* store = OpenItemStore(printer_);
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(StoreFavoritePaperMargins(printer_, store, TRUE, 2, kPortrait), 1);
  EXPECT_EQ(DumpMargins(printer_, 2),
            "[Favorite\\UserSel02\\PaperMargin]\n"
            "\"8\" = REG_BINARY 32 00 00 00 3c 00 00 00 46 00 00 00 50 00 00 00\n"
            "\"9\" = REG_BINARY 64 00 00 00 2e 00 00 00 2e 00 00 00 2e 00 00 00\n"
            "\"Num\" = REG_DWORD 0x00000002\n");
  // Without the per-user flag the printer's table holds for A4 as well.
  EXPECT_EQ(StoreFavoritePaperMargins(printer_, store, FALSE, 2, kLandscape), 1);
  EXPECT_EQ(DumpMargins(printer_, 2),
            "[Favorite\\UserSel02\\PaperMargin]\n"
            "\"8\" = REG_BINARY 32 00 00 00 3c 00 00 00 46 00 00 00 50 00 00 00\n"
            "\"9\" = REG_BINARY 01 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00\n"
            "\"Num\" = REG_DWORD 0x00000002\n");
  EXPECT_EQ(StoreFavoritePaperMargins(printer_, store, TRUE, 2, 0), 0);
  CloseItemStore(store);
}

}  // namespace
