// The per-user store of the scan mode: versions, round trip, switches, and refused records.
#include <gtest/gtest.h>

#include <vector>

#include "platform/platform.h"
#include "platform/base/byte_order.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "tests/support/scanner_fixture.h"

namespace {

constexpr char16_t kKey[] = u"SOFTWARE\\Varno Quelmar\\pelvo\\TwainDriver";

class StoreTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    SimRegistryReset();
    ResetScanSettings(settings_);
  }
  void TearDown() override {
    ScannerCodeTest::TearDown();
  }
  DWORD Dword(const char16_t* name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!SimRegistryReadValue(HKEY_CURRENT_USER, kKey, name, type, data) || type != REG_DWORD || data.size() != 4)
      return 0xDEAD;
    return GetLE32(data.data());
  }
  ScanSettings settings_{};
};

TEST_F(StoreTest, EmptyStoreIsCreatedAndTheDefaultsStay) {
  settings_.Threshold = 99;
  EXPECT_FALSE(LoadDefaultScanMode(settings_));
  EXPECT_EQ(settings_.Threshold, 99);
  EXPECT_EQ(Dword(u"RegVer"), 1u);
  EXPECT_TRUE(CheckRegistryVersion());
}

TEST_F(StoreTest, RoundTripAndSwitches) {
  settings_.ScanArea = {100, 200, 5000, 7000};
  settings_.ScanTypeCode = 3;
  settings_.XResolution = settings_.YResolution = 400;
  settings_.ScanFrom = 1;
  settings_.SavedScanArea[0] = {1, 1, 9, 9};
  settings_.OriginalType = 1;
  settings_.BackgroundRemoval = 0;
  ASSERT_TRUE(SaveDefaultScanMode(settings_));
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(SimRegistryReadValue(HKEY_CURRENT_USER, kKey, u"DefaultScanMode", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(data.size(), 72u);
  SimRegistrySeedDword(HKEY_CURRENT_USER, kKey, u"RegVer", 1);
  SimRegistrySeedDword(HKEY_CURRENT_USER, kKey, u"UseHardwareGrayScale", 1);
  SimRegistrySeedDword(HKEY_CURRENT_USER, kKey, u"MonoBitReverse", 1);
  SimRegistrySeedDword(HKEY_CURRENT_USER, kKey, u"Convert to sRGB", 1);
  SimRegistrySeedDword(HKEY_CURRENT_USER, kKey, u"RawDataSave", 1);

  ScanSettings back{};
  ResetScanSettings(back);
  ASSERT_TRUE(LoadDefaultScanMode(back));
  EXPECT_EQ(back.ScanArea.left, 100);
  EXPECT_EQ(back.ScanArea.bottom, 7000);
  EXPECT_EQ(back.SavedScanArea[0].right, 9);
  EXPECT_EQ(back.ScanTypeCode, 3);
  EXPECT_EQ(back.YResolution, 400);
  EXPECT_EQ(back.ScanFrom, 1u);
  EXPECT_EQ(back.OriginalType, 1);
  EXPECT_EQ(back.BackgroundRemoval, 0u);
  EXPECT_EQ(g_Switches.UseHardwareGrayScale, 1u);
  EXPECT_EQ(g_Switches.MonoBitReverse, 1u);
  EXPECT_EQ(g_Switches.ConvertToSrgb, 1u);
  EXPECT_EQ(g_Switches.RawDataSave, 1u);
  EXPECT_EQ(Dword(u"UseHardwareGrayScale"), 1u) << "switches are never written";
}

TEST_F(StoreTest, AnotherVersionDeletesTheStoreWithItsPresets) {
  SimRegistrySeedDword(HKEY_CURRENT_USER, kKey, u"RegVer", 2);
  SimRegistrySeedKey(HKEY_CURRENT_USER, u"SOFTWARE\\Varno Quelmar\\pelvo\\TwainDriver\\UserSettings");
  BYTE record[72] = {};
  SimRegistrySeedValue(HKEY_CURRENT_USER, kKey, u"DefaultScanMode", REG_BINARY, record, sizeof record);
  EXPECT_FALSE(LoadDefaultScanMode(settings_));
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_CURRENT_USER, u"SOFTWARE\\Varno Quelmar\\pelvo\\TwainDriver\\UserSettings"));
  EXPECT_EQ(Dword(u"RegVer"), 1u);
  DWORD type;
  std::vector<BYTE> data;
  EXPECT_FALSE(SimRegistryReadValue(HKEY_CURRENT_USER, kKey, u"DefaultScanMode", type, data));
}

TEST_F(StoreTest, RecordsOfAnotherSizeOrTypeAreRefused) {
  SimRegistrySeedDword(HKEY_CURRENT_USER, kKey, u"RegVer", 1);
  ScanSettings stored = settings_;
  stored.ScanTypeCode = 6;
  BYTE record[80];
  EncodeScanModeRecord(stored, record);
  struct Case {
    DWORD type, size;
  } cases[] = {{REG_BINARY, 40}, {REG_BINARY, 71}, {REG_BINARY, 80}, {REG_DWORD, 72}};
  for (const Case& c : cases) {
    SimRegistrySeedValue(HKEY_CURRENT_USER, kKey, u"DefaultScanMode", c.type, record, c.size);
    settings_.ScanTypeCode = 0;
    EXPECT_FALSE(LoadDefaultScanMode(settings_)) << c.size;
    EXPECT_EQ(settings_.ScanTypeCode, 0) << "nothing taken from a refused record";
  }
  SimRegistrySeedValue(HKEY_CURRENT_USER, kKey, u"DefaultScanMode", REG_BINARY, record, 72);
  EXPECT_TRUE(LoadDefaultScanMode(settings_));
  EXPECT_EQ(settings_.ScanTypeCode, 6);
}

}  // namespace
