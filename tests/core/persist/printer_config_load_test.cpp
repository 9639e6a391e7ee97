#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/persist/printer_config.h"
#include "core/persist/user_setting_store.h"
#include "core/runtime/module_state.h"
#include "core/store/item_store.h"
#include "core/store/printer_id.h"
#include "core/store/user_store.h"
#include "core/system/chunked_printer_data.h"
#include "items/item_ids.h"
#include "items/user_setting_info.h"
#include "tests/support/conversion_fixture.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

void PutConfigText(PrinterConfiguration* c, SettingItemId id, const std::u16string& text) {
  const char16_t* p = text.c_str();
  ASSERT_EQ(SetItemValue(id, nullptr, c, kTypeString, DWORD(2 * text.size() + 2), &p), kItemDone);
}

class ConfigLoad : public SamplePrinterTest {
 protected:
  void SetUp() override {
    SamplePrinterTest::SetUp();
    OpenStore();
  }
};

TEST_F(ConfigLoad, NewPrinterIsInitialisedAndASecondOpenReadsItBack) {
  auto config = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(LoadPrinterConfiguration(printer_, config.get(), store_), 1) << "the model's defaults";
  ConfigurationHeader header;
  ASSERT_TRUE(ReadConfigurationHeader(config.get(), &header));
  EXPECT_EQ(header.layout, 0x2142);
  PutConfigText(config.get(), kItemOtherOwnerName, u"alice");
  PutItem(nullptr, config.get(), kItemDeviceOptionExtra, 42);
  ASSERT_EQ(InitPrinterConfiguration(printer_, config.get(), TRUE), 1);

  auto again = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(LoadPrinterConfiguration(printer_, again.get(), store_), 1);
  EXPECT_EQ(ItemOf(nullptr, again.get(), kItemDeviceOptionExtra), 42u);
  EXPECT_EQ(ConfigText(again.get(), kItemOtherOwnerName), u"alice") << "the user's value from the per-user key";
}

TEST_F(ConfigLoad, OlderReleaseMovesItsPerUserFieldsIntoTheCallersKey) {
  auto config = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(LoadPrinterConfiguration(printer_, config.get(), store_), 1);
  PutItem(nullptr, config.get(), kItemConfigRelease, 0x4004);
  PutConfigText(config.get(), kItemOtherOwnerName, u"bob");
  ASSERT_EQ(WritePrinterDataValue(printer_, config.get(), sizeof *config, kPrinterConfigData), 1);
  auto loaded = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(LoadPrinterConfiguration(printer_, loaded.get(), store_), 1);
  ASSERT_EQ(HasUserSettingInfoValue(printer_), 1);
  BYTE info[kUserSettingInfoSize];
  ASSERT_EQ(LoadUserSettingInfo(printer_, info, kUserInfoBoth), 1);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(info + 432)), u"bob");
}

TEST_F(ConfigLoad, UserWithoutWriteAccessLoadsAndMakesNoIdentity) {
  auto config = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(LoadPrinterConfiguration(printer_, config.get(), store_), 1);
  ASSERT_EQ(WritePrinterDataValue(printer_, config.get(), sizeof *config, kPrinterConfigData), 1);
  SimRegistrySetAdministrator(FALSE);
  HANDLE user = Open(u"P1", PRINTER_ACCESS_USE);
  auto loaded = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(LoadPrinterConfiguration(user, loaded.get(), store_), 1);
  BYTE id[kPrinterIdSize];
  EXPECT_EQ(ReadPrinterId(user, id), 0);
  EXPECT_EQ(SimRegistryDump(HKEY_CURRENT_USER, nullptr).find("QX-4500"), std::string::npos);
}

TEST_F(ConfigLoad, OversizedOrCorruptStoredConfigurationsGiveTheDefaults) {
  auto defaults = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(LoadPrinterConfiguration(printer_, defaults.get(), store_), 1);
  for (DWORD size : {kPrinterConfigurationSize + 10, 3u}) {
    std::vector<BYTE> bad(size, 0x11);
    ASSERT_EQ(WritePrinterDataValue(printer_, bad.data(), DWORD(bad.size()), kPrinterConfigData), 1);
    auto loaded = std::make_unique<PrinterConfiguration>();
    ASSERT_EQ(LoadPrinterConfiguration(printer_, loaded.get(), store_), 1);
    EXPECT_EQ(std::memcmp(loaded.get(), defaults.get(), sizeof *loaded), 0) << size;
  }
}

}  // namespace
