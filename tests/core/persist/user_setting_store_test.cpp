#include "core/persist/user_setting_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "core/store/user_store.h"
#include "core/system/chunked_printer_data.h"
#include "items/item_ids.h"
#include "items/user_setting_info.h"
#include "tests/support/conversion_fixture.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

std::u16string TextAt(const BYTE* info, DWORD offset) { return std::u16string(reinterpret_cast<const char16_t*>(info + offset)); }
WORD WordAt(const BYTE* info, DWORD offset) { return WORD(info[offset] | info[offset + 1] << 8); }

class UserSettings : public SamplePrinterTest {
 protected:
  // A configuration whose per-user fields hold known values.
  std::unique_ptr<PrinterConfiguration> UserConfig(const std::u16string& user) {
    auto c = std::make_unique<PrinterConfiguration>();
    std::memset(c.get(), 0, sizeof *c);
    PutItem(nullptr, c.get(), kItemConfigLayoutVersion, 0x2142);
    PutItem(nullptr, c.get(), kItemConfigRelease, 0x5010);
    PutItem(nullptr, c.get(), kItemModelIdentity, 0x21);
    const char16_t* p = user.c_str();
    EXPECT_EQ(SetItemValue(kItemOtherOwnerName, nullptr, c.get(), kTypeString, DWORD(2 * user.size() + 2), &p),
              kItemDone);
    const char16_t* account = u"acct";
    EXPECT_EQ(SetItemValue(kItemAccountText, nullptr, c.get(), kTypeString, 10, &account), kItemDone);
    PutItem(nullptr, c.get(), kItemFontOptionSwitch, 0x1234);
    PutItem(nullptr, c.get(), kItemPromptAlt, 0xAB);
    PutItem(nullptr, c.get(), kItemPromptKeepValuesAlt, 1);
    return c;
  }
};

TEST_F(UserSettings, NeutralValuesTouchOnlyThePerUserFields) {
  std::vector<BYTE> info(kUserSettingInfoSize, 0x5A);
  ASSERT_EQ(FillDefaultUserSettingInfo(info.data()), 1);
  EXPECT_EQ(TextAt(info.data(), 432), u"Guest");
  EXPECT_EQ(TextAt(info.data(), 642), u"Guest");
  EXPECT_EQ(TextAt(info.data(), 74), u"");
  for (DWORD flag : {628u, 632u, 636u}) EXPECT_EQ(info[flag], 1);
  for (DWORD zero : {134u, 624u, 640u, 892u}) EXPECT_EQ(info[zero], 0);
  for (DWORD kept : {0u, 2u, 6u, 8u, 72u, 428u}) EXPECT_EQ(info[kept], 0x5A) << kept;
}

TEST_F(UserSettings, ExtractedBlockRoundTripsThroughEveryStore) {
  auto config = UserConfig(u"alice");
  std::vector<BYTE> info(kUserSettingInfoSize);
  ASSERT_EQ(ExtractUserSettingInfo(printer_, config.get(), info.data()), 1);
  EXPECT_EQ(WordAt(info.data(), 0), 3);
  EXPECT_EQ(WordAt(info.data(), 72), 354);
  EXPECT_EQ(WordAt(info.data(), 428), 548);
  EXPECT_EQ(WordAt(info.data(), 2), 0x2142);
  EXPECT_EQ(TextAt(info.data(), 8), u"Qorvex QX-4500");
  EXPECT_EQ(TextAt(info.data(), 432), u"alice");
  EXPECT_EQ(WordAt(info.data(), 134), 0x1234);
  EXPECT_EQ(info[624], 0xAB);
  EXPECT_EQ(info[625], 0) << "only the field's own byte";
  EXPECT_EQ(info[628], 1);

  for (WORD kind : {kUserInfoBoth, kUserInfoPrinterData}) {
    ASSERT_EQ(SaveUserSettingInfo(printer_, info.data(), kind), 1) << kind;
    std::vector<BYTE> loaded(kUserSettingInfoSize, 0);
    ASSERT_EQ(LoadUserSettingInfo(printer_, loaded.data(), kind), 1) << kind;
    EXPECT_EQ(loaded, info) << kind;
  }
  // Applying writes lists 2 and 3 back; list 1 never.
  auto target = UserConfig(u"bob");
  PutItem(nullptr, target.get(), kItemConfigRelease, 0x4000);
  PutItem(nullptr, target.get(), kItemFontOptionSwitch, 0);
  ASSERT_EQ(ApplyUserSettingInfo(target.get(), info.data(), kUserInfoKeepFirst), 1);
  EXPECT_EQ(ItemOf(nullptr, target.get(), kItemFontOptionSwitch), 0u) << "kind 1 applies only the second block";
  EXPECT_EQ(ItemOf(nullptr, target.get(), kItemConfigRelease), 0x4000u);
  ASSERT_EQ(ApplyUserSettingInfo(target.get(), info.data(), kUserInfoBoth), 1);
  EXPECT_EQ(ItemOf(nullptr, target.get(), kItemFontOptionSwitch), 0x1234u);
  EXPECT_EQ(ItemOf(nullptr, target.get(), kItemConfigRelease), 0x4000u);
}

TEST_F(UserSettings, NothingStoredGivesNeutralValues) {
  std::vector<BYTE> info(kUserSettingInfoSize, 0);
  ASSERT_EQ(LoadUserSettingInfo(printer_, info.data(), kUserInfoBoth), 1);
  EXPECT_EQ(TextAt(info.data(), 432), u"Guest");
  EXPECT_EQ(SimRegistryDump(HKEY_CURRENT_USER, nullptr).find("QX-4500"), std::string::npos) << "a read creates nothing";
}

TEST_F(UserSettings, KeepingABlockTakesItFromTheStoredCopy) {
  auto config = UserConfig(u"alice");
  std::vector<BYTE> stored(kUserSettingInfoSize), mine(kUserSettingInfoSize);
  ASSERT_EQ(ExtractUserSettingInfo(printer_, config.get(), stored.data()), 1);
  // Nothing stored yet: kind 1 writes the caller's block unchanged.
  std::vector<BYTE> first = stored;
  ASSERT_EQ(SaveUserSettingInfo(printer_, first.data(), kUserInfoKeepFirst), 1);
  EXPECT_EQ(first, stored);
  auto other = UserConfig(u"bob");
  PutItem(nullptr, other.get(), kItemFontOptionSwitch, 0x4321);
  ASSERT_EQ(ExtractUserSettingInfo(printer_, other.get(), mine.data()), 1);
  mine[72] = 0xFF;  // a length word beyond the block is held to the block
  mine[73] = 0xFF;
  ASSERT_EQ(SaveUserSettingInfo(printer_, mine.data(), kUserInfoKeepFirst), 1);
  EXPECT_EQ(WordAt(mine.data(), 134), 0x1234) << "stored first block";
  EXPECT_EQ(TextAt(mine.data(), 432), u"bob") << "own second block";
  EXPECT_EQ(WordAt(mine.data(), 428), 548);
}

TEST_F(UserSettings, ShortOrForeignStoredBlocksAreReadSafely) {
  // A 100-byte block of version 3 in printer data: what it holds, zeros after it.
  std::vector<BYTE> shortBlock(100, 0);
  shortBlock[0] = 3;
  const char16_t acct[] = u"x";
  std::memcpy(shortBlock.data() + 74, acct, sizeof acct);
  ASSERT_EQ(WritePrinterDataValue(printer_, shortBlock.data(), DWORD(shortBlock.size()), kUserSettingInfoData), 1);
  std::vector<BYTE> info(kUserSettingInfoSize, 0);
  ASSERT_EQ(LoadUserSettingInfo(printer_, info.data(), kUserInfoPrinterData), 1);
  EXPECT_EQ(TextAt(info.data(), 74), u"x");
  EXPECT_EQ(TextAt(info.data(), 432), u"");
  // Version 4 leaves the neutral values.
  shortBlock[0] = 4;
  ASSERT_EQ(WritePrinterDataValue(printer_, shortBlock.data(), DWORD(shortBlock.size()), kUserSettingInfoData), 1);
  ASSERT_EQ(LoadUserSettingInfo(printer_, info.data(), kUserInfoPrinterData), 1);
  EXPECT_EQ(TextAt(info.data(), 432), u"Guest");
  // A per-user value larger than a block is not taken: the printer-data copy is.
  std::vector<BYTE> huge(kUserSettingInfoSize + 1, 0);
  huge[0] = 3;
  ASSERT_EQ(WriteUserValue(printer_, huge.data(), DWORD(huge.size()), REG_BINARY, nullptr, u"UserSettingInfo"), 1);
  ASSERT_EQ(LoadUserSettingInfo(printer_, info.data(), kUserInfoBoth), 1);
  EXPECT_EQ(TextAt(info.data(), 432), u"Guest");
}

}  // namespace
