#include "core/persist/stored_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/persist/blob_format.h"
#include "core/persist/model_defaults.h"
#include "core/persist/printer_config.h"
#include "core/persist/settings_blobs.h"
#include "core/runtime/module_state.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "tests/support/conversion_fixture.h"
#include "tests/support/model_files.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

class StoredSettings : public SamplePrinterTest {
 protected:
  void SetUp() override {
    SamplePrinterTest::SetUp();
    OpenStore();
    ASSERT_TRUE(BuildModelDefaults(store_, u"P1", defaults_.get()));
  }

  std::unique_ptr<ModelDefaults> defaults_ = std::make_unique<ModelDefaults>();
};

TEST_F(StoredSettings, OlderExtensionInPrinterDataMergesOverTheModelDefaults) {
  std::vector<BYTE> blob(kExtensionBlobHeaderSize + 3000, 0x33);
  WriteExtensionBlobHeader(blob.data());
  PutU32(blob, 16, 20000);
  PutU32(blob, 20, 3000);
  ASSERT_TRUE(SimSeedPrinterData(u"P1", nullptr, u"N_DevSize", REG_DWORD,
                                 std::vector<BYTE>{BYTE(blob.size()), BYTE(blob.size() >> 8), 0, 0}));
  for (size_t piece = 0; piece * 768 < blob.size(); ++piece) {
    const size_t n = std::min<size_t>(768, blob.size() - piece * 768);
    const std::u16string name = u"N_Dev" + std::u16string(1, char16_t(u'1' + piece));
    ASSERT_TRUE(SimSeedPrinterData(u"P1", nullptr, name.c_str(), REG_BINARY,
                                   std::vector<BYTE>(blob.begin() + piece * 768, blob.begin() + piece * 768 + n)));
  }
  BYTE ext[kSettingsExtensionSize];
  ASSERT_EQ(LoadDeviceBlobs(printer_, nullptr, kBlobStorePrinterData, nullptr, ext, nullptr, nullptr), 1);
  EXPECT_EQ(ext[0] | ext[1] << 8, 20544);
  EXPECT_EQ(ext[2999], 0x33);
  EXPECT_EQ(std::memcmp(ext + 3000, defaults_->settings.bytes + kSettingsExtensionOffset + 3000, 816), 0);
}

TEST_F(StoredSettings, OldDocumentIsRebuiltAndItsExtensionKeptAsThePrintersBlob) {
  std::vector<BYTE> stored = StoredRecord(*defaults_, 0x4004, 4924 - 220, u"Qorvex QX-4500");
  PutU16(stored, 76, 2);
  const char16_t text[] = u"Dept 7";
  std::memcpy(stored.data() + 2062, text, sizeof text);  // item 1795, kept in the extension
  BYTE out[kSettingsRecordShortSize];
  ASSERT_EQ(ConvertOldSettings(stored.data(), DWORD(stored.size()), out, u"P1", store_), 0);
  SettingsRecord record{};
  std::memcpy(record.bytes, out, sizeof out);
  EXPECT_EQ(ItemOf(&record, nullptr, kItemOrientation), 2u);
  EXPECT_EQ(ItemOf(&record, nullptr, kItemLayoutVersion), 0x5040u);
  BYTE ext[kSettingsExtensionSize];
  ASSERT_EQ(LoadDeviceBlobs(printer_, nullptr, kBlobStorePrinterData, nullptr, ext, nullptr, nullptr), 1);
  std::memcpy(record.bytes + kSettingsExtensionOffset, ext, sizeof ext);
  EXPECT_EQ(TextOf(&record, kItemDepartment), u"Dept 7");

  // Another model's record gives the defaults; a record of this release is copied.
  std::vector<BYTE> other = StoredRecord(*defaults_, 0x5040, 1328, u"Other Model");
  EXPECT_EQ(ConvertOldSettings(other.data(), DWORD(other.size()), out, u"P1", store_), 2);
  EXPECT_EQ(std::memcmp(out, defaults_->settings.bytes, sizeof out), 0);
  auto full = std::make_unique<SettingsRecord>(defaults_->settings);
  PutItem(full.get(), nullptr, kItemOrientation, 2);
  ASSERT_EQ(ConvertStoredSettingsRecord(printer_, full.get()), 1);
  EXPECT_EQ(ItemOf(full.get(), nullptr, kItemOrientation), 2u);
}

TEST_F(StoredSettings, StoredConfigurationOfThisReleaseIsCopiedAndStamped) {
  auto stored = std::make_unique<PrinterConfiguration>(defaults_->config);
  PutItem(nullptr, stored.get(), kItemConfigLayoutVersion, 0x2100);
  PutItem(nullptr, stored.get(), kItemDeviceOptionExtra, 42);
  auto out = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(ConvertPrinterConfiguration(stored.get(), out.get(), store_), 1);
  EXPECT_EQ(ItemOf(nullptr, out.get(), kItemConfigLayoutVersion), 0x2142u);
  EXPECT_EQ(ItemOf(nullptr, out.get(), kItemDeviceOptionExtra), 42u);
}

// The sample model with the default of item 262 ("Output Paper") set beyond its four choices,
// so that one item of the settings has no default.
class ModelWithoutOneDefault : public SamplePrinterTest {
 protected:
  std::unique_ptr<ModelDefaults> defaults_ = std::make_unique<ModelDefaults>();
  void SetUp() override {
    SamplePrinterTest::SetUp();
    OpenStore();  // the intact model's defaults, to compare with
    ASSERT_TRUE(BuildModelDefaults(store_, u"P1", defaults_.get()));
    CloseItemStore(store_);
    std::ifstream in(QV_DRIVER_DIR "/QX4500.DDD", std::ios::binary);
    DddImage image;
    image.main.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::ifstream linked(QV_DRIVER_DIR "/QX4500.DAT", std::ios::binary);
    image.linked.assign(std::istreambuf_iterator<char>(linked), std::istreambuf_iterator<char>());
    // List 262: its key, the length of its name and the name stored protected (each byte
    // inverted), the kind byte, then the u16 default position, made 5.
    std::vector<std::uint8_t> head{0x06, 0x01, 12, 0};
    for (char c : std::string("Output Paper")) head.push_back(static_cast<std::uint8_t>(~c));
    auto at = std::search(image.main.begin(), image.main.end(), head.begin(), head.end());
    ASSERT_NE(at, image.main.end());
    ASSERT_EQ(std::search(at + 1, image.main.end(), head.begin(), head.end()), image.main.end());
    at[4 + 12 + 1] = 5;
    store_ = OpenItemStoreAtPath(InstallModelImage(image, u"NODEF.DDD", u"QX4500.DAT").c_str());
    ASSERT_NE(store_, nullptr);
  }
};

TEST_F(ModelWithoutOneDefault, ConversionsAndLoadsUseTheDefaultsThatCouldBeBuilt) {
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  EXPECT_FALSE(ApplyDataFileDefaults(store_, settings.get(), config.get(), u"P1")) << "one default is missing";
  // The group of the failing item ends there (item 265 after it keeps 0); the groups after it
  // are still filled.
  EXPECT_EQ(ItemOf(settings.get(), nullptr, kItemOutputPaper), 0u);
  EXPECT_EQ(ItemOf(settings.get(), nullptr, kItemDriverRelease), 0x2142u);
  EXPECT_EQ(ItemOf(settings.get(), nullptr, kItemPaperSource), 0u);
  EXPECT_EQ(ItemOf(nullptr, config.get(), kItemConfigLayoutVersion), 0x2142u);
  EXPECT_EQ(ItemOf(&defaults_->settings, nullptr, kItemPaperSource), 7u) << "the default of the intact model";

  BYTE out[kSettingsRecordShortSize] = {};
  EXPECT_EQ(ConvertOldSettings(settings->bytes, kSettingsRecordShortSize, out, u"P1", store_), kConvertCopied);
  auto converted = std::make_unique<PrinterConfiguration>();
  EXPECT_EQ(ConvertPrinterConfiguration(config.get(), converted.get(), store_), kConvertCopied);
  EXPECT_EQ(std::memcmp(converted.get(), config.get(), sizeof *config), 0);
  // A printer without stored data gets the defaults that could be built.
  auto loaded = std::make_unique<PrinterConfiguration>();
  ASSERT_EQ(LoadPrinterConfiguration(printer_, loaded.get(), store_), 1);
  EXPECT_EQ(ItemOf(nullptr, loaded.get(), kItemConfigRelease), ItemOf(nullptr, config.get(), kItemConfigRelease));
}

}  // namespace
