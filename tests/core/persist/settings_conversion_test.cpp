#include "core/persist/settings_conversion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "items/item_ids.h"
#include "tests/support/conversion_fixture.h"
#include "core/persist/old_layouts.h"

namespace {

using namespace printer_test;

class SettingsConversion : public ::testing::Test {
 protected:
  void SetUp() override { BuildTestDefaults(defaults_.get()); }

  // Converts and gives the output as a full record (extension zero) for item reads.
  int Convert(const std::vector<BYTE>& stored, const PrinterConfiguration* config = nullptr, BYTE* extension = nullptr) {
    std::memset(out_.get(), 0, sizeof(SettingsRecord));
    return ConvertSettingsOverDefaults(stored.data(), DWORD(stored.size()), out_->bytes, *defaults_, config, extension);
  }

  bool OutIsDefaults() const {
    return std::memcmp(out_->bytes, defaults_->settings.bytes, kSettingsRecordShortSize) == 0;
  }

  std::unique_ptr<ModelDefaults> defaults_ = std::make_unique<ModelDefaults>();
  std::unique_ptr<SettingsRecord> out_ = std::make_unique<SettingsRecord>();
};

TEST_F(SettingsConversion, HeadersDecideBetweenCopyDefaultsAndUpgrade) {
  SettingsHeader current{220, 0x401, 1328, 0x5040, 0x2142, {}};
  std::memcpy(current.model, u"AB-12 X/Y", 20);
  struct Case {
    WORD size, version, layout;
    const char16_t* model;
    int expected;
  };
  for (const Case& c : {Case{220, 0x401, 0x5040, u"ab-12 x/y", kHeaderSameLayout},
                        Case{220, 0x401, 0x5041, u"AB-12 X/Y", kHeaderOtherModel},
                        Case{220, 0x401, 0x5003, u"AB-12 X/Y", kHeaderOlderLayout},
                        Case{220, 0x401, 0x5002, u"AB-12 X/Y", kHeaderOldFamily},
                        Case{220, 0x401, 0x0100, u"AB-12 X/Y", kHeaderOldFamily},
                        Case{220, 0x401, 0x5040, u"CD-34", kHeaderOtherModel},
                        Case{156, 0x401, 0x5040, u"AB-12 X/Y", kHeaderOtherModel},
                        Case{220, 0x400, 0x5040, u"AB-12 X/Y", kHeaderOtherModel}}) {
    SettingsHeader stored{c.size, c.version, 1328, c.layout, 0x2142, {}};
    std::memcpy(stored.model, c.model, 2 * std::char_traits<char16_t>::length(c.model));
    EXPECT_EQ(CompareSettingsHeaders(current, stored), c.expected) << std::hex << c.layout;
  }
}

TEST_F(SettingsConversion, CurrentLayoutIsCopiedAndRestampedOtherModelsGetDefaults) {
  std::vector<BYTE> stored(defaults_->settings.bytes, defaults_->settings.bytes + kSettingsRecordShortSize);
  PutU16(stored, 76, 2);      // dmOrientation
  PutU16(stored, 222, 0x2100);  // an older item 258
  ASSERT_EQ(Convert(stored), kConvertCopied);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemOrientation), 2u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemDriverRelease), 0x2142u);

  std::vector<BYTE> other = stored;
  other[224] = 'Z';
  EXPECT_EQ(Convert(other), kConvertDefaults);
  EXPECT_TRUE(OutIsDefaults());
  // A private part too short to hold the header cannot be converted.
  std::vector<BYTE> noHeader = StoredRecord(*defaults_, 0x5040, 68);
  EXPECT_EQ(Convert(noHeader), kConvertDefaults);
  EXPECT_TRUE(OutIsDefaults());
  // The same layout but fewer bytes than a whole record present: defaults, nothing over-read.
  std::vector<BYTE> cut(stored.begin(), stored.begin() + 600);
  EXPECT_EQ(Convert(cut), kConvertDefaults);
}

TEST_F(SettingsConversion, LayoutFrom5003KeepsItsBytesAndDerivesNewItems) {
  std::vector<BYTE> stored(defaults_->settings.bytes, defaults_->settings.bytes + kSettingsRecordShortSize);
  PutU16(stored, 220, 0x5003);
  PutU16(stored, 76, 2);
  SettingsRecord flags{};
  std::memcpy(flags.bytes, stored.data(), stored.size());
  PutItem(&flags, nullptr, kItemBlackTextFlag, 1);
  PutItem(&flags, nullptr, kItemBlackGraphicsFlag, 1);
  PutItem(&flags, nullptr, kItemFirstKindMatching, 1);
  PutItem(&flags, nullptr, kItemPrintModeDetail, 0);
  std::memcpy(stored.data(), flags.bytes, stored.size());
  PrinterConfiguration config{};
  PutItem(nullptr, &config, 0x1613, 5);
  PutItem(nullptr, &config, 0x1611, 1);
  ASSERT_EQ(Convert(stored, &config), kConvertUpgraded);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemOrientation), 2u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemLayoutVersion), 0x5040u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemBlackObjects), 3u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemKindMatching), 2u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemPrintModeDetail), 9u) << "0 is reset to the default";
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemPrintMode), 4u) << "identity 0x21 resets item 271";
  EXPECT_EQ(ItemOf(out_.get(), nullptr, 0x1C8), 5u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemStreamVersionSet), 1u);
  // Without the printer's configuration the last fix-up cannot run: defaults.
  EXPECT_EQ(Convert(stored, nullptr), kConvertDefaults);
  EXPECT_TRUE(OutIsDefaults());
}

TEST_F(SettingsConversion, Layout4004IsRebuiltFromTheUnionOfItsTables) {
  std::vector<BYTE> stored = StoredRecord(*defaults_, 0x4004, 4924 - 220);
  PutU16(stored, 76, 2);       // item 7 of table 0x0100
  PutU16(stored, 1882, 3);     // item 351 of table 0x4004
  stored[1800] = 1;            // item 346 of table 0x4000
  PutU32(stored, 304, 1);      // old collate word -> item 18
  PutU32(stored, 1348, 1);     // old flag -> item 446 = 2
  PutU16(stored, 1352, 30);    // item 323 of 30 -> 20
  PutU16(stored, 312, 11);     // old paper position 11 -> item 444 = 12
  const char16_t text[] = u"Dept 7";
  std::memcpy(stored.data() + 2062, text, sizeof text);  // item 1795 (extension)
  PrinterConfiguration config{};
  std::vector<BYTE> extension(kSettingsExtensionSize, 0);
  ASSERT_EQ(Convert(stored, &config, extension.data()), kConvertUpgraded);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemOrientation), 2u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemJobInfoUserPosition), 3u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemDitherResolution), 1u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemCollate), 1u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemBookletOutput), 2u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemBookletSubset), 20u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemPaperPosition), 12u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemDriverVersion), 0x5003u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemLayoutVersion), 0x5040u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemScaleFieldFlag), 1u) << "reset to its default below 0x4007";
  // The rebuilt extension: the stored text over the model's defaults.
  SettingsRecord ext{};
  std::memcpy(ext.bytes + kSettingsExtensionOffset, extension.data(), kSettingsExtensionSize);
  EXPECT_EQ(TextOf(&ext, kItemDepartment), u"Dept 7");
  EXPECT_EQ(extension[3000], 0xEE);
}

TEST_F(SettingsConversion, OldFamilyFixUpsFollowTheStoredValues) {
  PrinterConfiguration config{};
  std::vector<BYTE> stored = StoredRecord(*defaults_, 0x0100, 1008 - 220);
  PutU16(stored, 308, 4);   // pages per sheet code -> item 295 = 4
  PutU16(stored, 344, 8);   // resolution code 8 -> item 348 = 200
  PutU16(stored, 346, 5);   // item 390 -> 0
  PutU16(stored, 324, 44);  // item 268 -> 40
  PutU16(stored, 326, 45);  // item 269 -> 50
  ASSERT_EQ(Convert(stored, &config), kConvertUpgraded);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemPagesPerSheet), 4u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemPatternResolution), 200u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemColorMatchingChoice), 0u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemBindingShift), 40u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemBindingShiftBack), 50u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemDefaultSource), 7u) << "reset to the default below 0x4000";
  // Any other resolution code cannot be converted.
  PutU16(stored, 344, 3);
  EXPECT_EQ(Convert(stored, &config), kConvertDefaults);
  EXPECT_TRUE(OutIsDefaults());
}

TEST_F(SettingsConversion, SecondFamilyReadsItsOwnOffsets) {
  PrinterConfiguration config{};
  std::vector<BYTE> stored = StoredRecord(*defaults_, 0x5001, 2620 - 220);
  stored[316] = 1;           // item 270 at 316
  PutU32(stored, 288, 1u << 9);  // old flag -> item 446 = 2
  stored[304] = 2;           // old paper position 2 -> item 444 = 3
  PutU16(stored, 1203, 0x0110);  // item 323 is 16-bit here too: 272 -> 20
  ASSERT_EQ(Convert(stored, &config), kConvertUpgraded);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemBookletSubset), 20u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemColorMode), 1u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemBookletOutput), 2u);
  EXPECT_EQ(ItemOf(out_.get(), nullptr, kItemPaperPosition), 3u);
}

TEST_F(SettingsConversion, ShortAndCorruptOldRecordsAreNeverReadPastTheirBytes) {
  PrinterConfiguration config{};
  // Header claims the full 0x4005 size; only 300 bytes are present (an exact-size block).
  const std::vector<BYTE> full = StoredRecord(*defaults_, 0x4005, 4944 - 220);
  for (DWORD present : {72u, 287u, 288u, 300u, 1000u, 1352u, 4000u}) {
    std::vector<BYTE> cut(full.begin(), full.begin() + present);
    const int r = Convert(cut, &config);
    EXPECT_TRUE(r == kConvertUpgraded || r == kConvertDefaults) << present;
  }
  // dmDriverExtra says more than present, dmSize points the header beyond the bytes.
  std::vector<BYTE> wild = StoredRecord(*defaults_, 0x4004, 600);
  PutU16(wild, 68, 0xFFF0);
  EXPECT_EQ(Convert(wild, &config), kConvertDefaults);
}

TEST_F(SettingsConversion, CopyingRowsSkipsBytesBeyondTheRecordAndRefusedValues) {
  SettingsRecord record{};
  std::memcpy(record.bytes, defaults_->settings.bytes, sizeof record);
  std::vector<BYTE> stored = StoredRecord(*defaults_, 0x3000, 1340 - 220);
  PutU16(stored, 76, 2);
  // The row of item 4129 (printer configuration) and an unterminated text are skipped.
  for (int i = 102; i < 166; ++i) stored[i] = 'x';
  ASSERT_TRUE(CopyOldLayoutItems(stored.data(), DWORD(stored.size()), 0x3000, &record));
  EXPECT_EQ(ItemOf(&record, nullptr, kItemOrientation), 2u);
  EXPECT_EQ(TextOf(&record, kItemFormName), TextOf(&defaults_->settings, kItemFormName));
  EXPECT_FALSE(CopyOldLayoutItems(stored.data(), DWORD(stored.size()), 0x4FFF, &record));
}

// ---- Printer configurations -----------------------------------------------------------------

class ConfigurationConversion : public SettingsConversion {
 protected:
  std::unique_ptr<PrinterConfiguration> Stored(WORD release, WORD layout = 0x2142, DWORD length = 4492) {
    auto c = std::make_unique<PrinterConfiguration>(defaults_->config);
    PutItem(nullptr, c.get(), kItemConfigRelease, release);
    PutItem(nullptr, c.get(), kItemConfigLayoutVersion, layout);
    PutItem(nullptr, c.get(), kItemConfigLength, length);
    PutItem(nullptr, c.get(), kItemDeviceOptionExtra, 42);  // a stored value to follow
    return c;
  }
  PrinterConfiguration out_{};
};

TEST_F(ConfigurationConversion, SameReleaseIsCopiedAndStamped) {
  auto stored = Stored(kCurrentRelease, 0x2100);
  ASSERT_EQ(ConvertConfigurationOverDefaults(*stored, &out_, *defaults_, FALSE), kConvertCopied);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemConfigLayoutVersion), 0x2142u);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemDeviceOptionExtra), 42u);
}

TEST_F(ConfigurationConversion, NewerOrForeignRecordsGetDefaults) {
  auto newer = Stored(kCurrentRelease + 1);
  EXPECT_EQ(ConvertConfigurationOverDefaults(*newer, &out_, *defaults_, FALSE), kConvertDefaults);
  EXPECT_EQ(std::memcmp(&out_, &defaults_->config, sizeof out_), 0);
  auto foreign = Stored(0x5002);
  PutItem(nullptr, foreign.get(), kItemModelIdentity, 0x33);
  EXPECT_EQ(ConvertConfigurationOverDefaults(*foreign, &out_, *defaults_, FALSE), kConvertDefaults);
  // Below 0x4003 the stored identity does not count.
  auto old = Stored(0x4002);
  PutItem(nullptr, old.get(), kItemModelIdentity, 0x33);
  EXPECT_EQ(ConvertConfigurationOverDefaults(*old, &out_, *defaults_, FALSE), kConvertUpgraded);
}

TEST_F(ConfigurationConversion, UpgradesCopyByLengthAndFixItem5158) {
  auto stored = Stored(0x5002);
  PutItem(nullptr, stored.get(), kItemBookletSubsetDevice, 0);
  ASSERT_EQ(ConvertConfigurationOverDefaults(*stored, &out_, *defaults_, FALSE), kConvertUpgraded);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemBookletSubsetDevice), 77u);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemDeviceOptionExtra), 42u);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemConfigRelease), kCurrentRelease);
  // A shorter stored record cannot give a whole current one.
  auto shorter = Stored(0x5001, 0x2142, 4000);
  EXPECT_EQ(ConvertConfigurationOverDefaults(*shorter, &out_, *defaults_, FALSE), kConvertDefaults);
}

TEST_F(ConfigurationConversion, OldReleasesMoveTheirUserPapers) {
  // Release 0x4005: five papers at fixed places.
  auto five = Stored(0x4005, 0x2000, 0xFFFF);  // a stored length beyond the record is clamped
  std::vector<BYTE> bytes(five->bytes, five->bytes + kPrinterConfigurationSize);
  PutU16(bytes, 896 + 4, 2100);
  PutU16(bytes, 906 + 4, 2970);
  const char16_t name[] = u"Card";
  std::memcpy(bytes.data() + 976, name, sizeof name);
  std::memcpy(five->bytes, bytes.data(), bytes.size());
  ASSERT_EQ(ConvertConfigurationOverDefaults(*five, &out_, *defaults_, FALSE), kConvertUpgraded);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemUserPaperWidth + 2), 2100u);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemUserPaperLength + 2), 2970u);
  ValueTypeCode type;
  DWORD length;
  const char16_t* text = nullptr;
  ASSERT_EQ(GetItemValue(kItemUserPaperName + 2, nullptr, &out_, &type, &length, &text), kItemDone);
  EXPECT_EQ(std::u16string(text), u"Card");

  // Release 0x4006: ten 34-byte slots after byte 1608.
  auto ten = Stored(0x4006, 0x2000);
  std::vector<BYTE> b(ten->bytes, ten->bytes + kPrinterConfigurationSize);
  PutU16(b, 1608 + 34 * 9, 1000);
  PutU16(b, 1608 + 34 * 9 + 2, 1500);
  std::memcpy(ten->bytes, b.data(), b.size());
  ASSERT_EQ(ConvertConfigurationOverDefaults(*ten, &out_, *defaults_, FALSE), kConvertUpgraded);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemUserPaperWidth + 9), 1000u);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemUserPaperLength + 9), 1500u);
}

TEST_F(ConfigurationConversion, FirstReleasesTakeFeatureFlagAndDuplexCapability) {
  BuildTestDefaults(defaults_.get(), 0x12);  // a model of family 0x10
  auto stored = Stored(0x0100, 0x2000, 1200);
  PutItem(nullptr, stored.get(), kItemStreamFamily, 1);
  ASSERT_EQ(ConvertConfigurationOverDefaults(*stored, &out_, *defaults_, TRUE), kConvertUpgraded);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemModelOptions), 1u);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemStreamVersion), 16844546u);
  EXPECT_EQ(ItemOf(nullptr, &out_, kItemConfigLength), 4492u);
}

}  // namespace
