// Item access wrappers, settings record helpers and effective item values over the item engine
// compiled into the user-interface build of the core library.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "core/descriptors/item_defaults.h"
#include "core/store/effective_values.h"
#include "core/store/item_access.h"
#include "core/store/settings_record.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"
#include "tests/support/sandbox_test.h"

namespace {

class ItemAccessTest : public SandboxTest {
 protected:
  std::unique_ptr<SettingsRecord> settings = std::make_unique<SettingsRecord>();
  std::unique_ptr<PrinterConfiguration> config = std::make_unique<PrinterConfiguration>();
  SettingsRecord* s = settings.get();
  PrinterConfiguration* c = config.get();

  void SetUp() override {
    SandboxTest::SetUp();
    std::memset(s, 0, sizeof *s);
    std::memset(c, 0, sizeof *c);
  }
  void Set(SettingItemId id, ValueTypeCode type, DWORD value) {
    DWORD length = type == kTypeInt16 || type == kTypeUInt16 ? 2 : type == kTypeUInt8 ? 1 : 4;
    ASSERT_EQ(SetItemValue(id, s, c, type, length, &value), kItemDone) << id;
  }
};

TEST_F(ItemAccessTest, TextsAndFontsReadAsAddressesInTheCallersRecords) {
  struct Case {
    SettingItemId id;
    BYTE* expected;
  } cases[] = {{297, s->bytes + 382}, {1795, s->bytes + 1552}, {5121, c->bytes + 18}, {19, s->bytes + 102}};
  for (const Case& k : cases) {
    ULONG_PTR value = 0;
    ValueTypeCode type = 0;
    DWORD length = 0;
    ASSERT_EQ(GetItemValue(k.id, s, c, &type, &length, &value), kItemDone) << k.id;
    EXPECT_EQ(reinterpret_cast<BYTE*>(value), k.expected) << k.id;
  }
}

TEST_F(ItemAccessTest, NumberAccessorsCheckTypeAndSize) {
  reinterpret_cast<DEVMODEW*>(s->bytes)->dmOrientation = 2;
  EXPECT_EQ(GetItemNumber(s, c, kItemOrientation, kTypeInt16), 2u);
  EXPECT_EQ(GetItemNumber(s, c, kItemOrientation, kTypeUInt32), 0u) << "length 2 differs from 4";
  s->bytes[300] = 0xB7;  // item 264, a byte exchanged as u16
  EXPECT_EQ(GetItemNumber(s, c, kItemPageOrder, kTypeUInt16), 0xB7u);
  EXPECT_EQ(GetItemNumber(s, c, kItemStampName, kTypeString), 0u) << "an address does not fit 32 bits";
  EXPECT_EQ(GetItemNumber(nullptr, c, kItemOrientation, kTypeInt16), 0u);

  SettingsRecord before = *s;
  EXPECT_EQ(SetItemNumberV(s, c, kItemOrientation, kTypeFont, 1), 0);
  EXPECT_EQ(SetItemNumberV(s, c, kItemStampName, kTypeString, 1), 0);
  EXPECT_EQ(std::memcmp(&before, s, sizeof before), 0) << "types without a number form write nothing";
  EXPECT_EQ(SetItemNumberV(nullptr, c, kItemOrientation, kTypeInt16, 1), -1);
  EXPECT_EQ(SetItemNumberV(s, c, kItemOrientation, kTypeInt16, 1), 0);
  EXPECT_EQ(reinterpret_cast<DEVMODEW*>(s->bytes)->dmOrientation, 1);
  // A flag with an exchange type and a whole-word flag both take a 32-bit flag value.
  EXPECT_EQ(SetItemNumberV(s, c, kItemMonitorJob, kTypeFlag, 1), 0);
  EXPECT_EQ(GetItemNumber(s, c, kItemMonitorJob, kTypeFlag), 1u);
}

TEST_F(ItemAccessTest, UserPaperIdsAndRanges) {
  EXPECT_EQ(UserPaperIdToIndex(262), 0);
  EXPECT_EQ(UserPaperIdToIndex(287), 5);
  EXPECT_EQ(UserPaperIdToIndex(301), 19);
  EXPECT_EQ(UserPaperIdToIndex(267), 0xFFFF);
  EXPECT_EQ(UserPaperIndexToId(5), 287);
  EXPECT_EQ(UserPaperIndexToId(4), 266);
  EXPECT_EQ(UserPaperIndexToId(20), 0xFFFF);
  EXPECT_TRUE(IsUserPaperId(266) && !IsUserPaperId(286));
  EXPECT_TRUE(IsItemRange297To320(1288) && !IsItemRange297To320(321) && !IsItemRange297To320(1285));
  EXPECT_TRUE(IsCustomItemId(5889) && IsCustomItemId(5928) && !IsCustomItemId(5929));
}

TEST_F(ItemAccessTest, SettingsRecordSizesAndGroups) {
  EXPECT_EQ(GetSettingsRecordSize(0), 5364u);
  EXPECT_EQ(GetSettingsRecordSize(2), 5364u);
  EXPECT_EQ(GetSettingsRecordSize(1), 1548u);
  EXPECT_EQ(GetItemGroupEntryId(11, 0), 1);
  EXPECT_EQ(GetItemGroupEntryId(11, 24), 25);
  EXPECT_EQ(GetItemGroupEntryId(11, 25), 0);
  EXPECT_EQ(GetItemGroupEntryId(12, 0), 0);
  EXPECT_EQ(GetItemGroupEntryId(10, 22), 8201) << "group 10 is not ordered by id";
  WORD area = 77;
  EXPECT_EQ(GetItemGroupArea(6, &area), 1);
  EXPECT_EQ(area, 1);
  EXPECT_EQ(GetItemGroupArea(12, &area), 0);
  EXPECT_EQ(area, 1);

  // A short copy moves 1548 bytes even when source and destination overlap.
  auto* record = static_cast<BYTE*>(AllocSettingsRecord(0));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(GlobalSize(record), 5364u);
  for (DWORD i = 0; i < 1549; ++i) record[i] = static_cast<BYTE>(i);
  CopySettingsRecord(record + 1, record, 1);
  EXPECT_EQ(record[1], 0);
  EXPECT_EQ(record[1548], static_cast<BYTE>(1547));
  ClearSettingsRecord(record, 1);
  EXPECT_EQ(record[1547], 0);
  EXPECT_EQ(record[1548], static_cast<BYTE>(1547));
  GlobalFree(record);
}

TEST_F(ItemAccessTest, ItemsThatDoNotApplyReportNeutralValues) {
  struct Case {
    const char* name;
    DWORD colorMode;  // item 270
    DWORD item293;
    DWORD item271;
    SettingItemId id;
    int applicability;
  } cases[] = {
      {"278 follows 293 when colour mode is 2", 2, 4, 0, 278, kItemApplies},
      {"278 follows 293 when colour mode is 2 (1)", 2, 1, 0, 278, kItemDoesNotApply},
      {"278 never applies in mode 1", 1, 4, 0, 278, kItemDoesNotApply},
      {"274 needs 293 of 2 or 4", 0, 2, 0, 274, kItemApplies},
      {"1833 needs 293 of 2 or 4", 0, 3, 0, 1833, kItemDoesNotApply},
      {"392 not in mode 1", 1, 0, 0, 392, kItemDoesNotApply},
      {"1317 outside mode 1", 2, 0, 0, 1317, kItemApplies},
      {"454 only in mode 1", 1, 0, 0, 454, kItemApplies},
      {"1318 only in mode 1", 0, 0, 0, 1318, kItemDoesNotApply},
      {"1307 needs 271 of 8", 0, 0, 8, 1307, kItemApplies},
      {"1307 needs 271 of 8 (7)", 0, 0, 7, 1307, kItemDoesNotApply},
      {"unlisted items apply", 1, 1, 1, 12, kItemApplies},
  };
  for (const Case& k : cases) {
    Set(kItemColorMode, kTypeUInt16, k.colorMode);
    Set(kItemIcmChoice, kTypeUInt16, k.item293);
    Set(kItemPrintMode, kTypeUInt16, k.item271);
    EXPECT_EQ(GetItemApplicability(k.id, c, s), k.applicability) << k.name;
  }
  EXPECT_EQ(GetItemApplicability(kItemColorTripleFirst + 4, c, nullptr), kItemControlUnreadable);

  Set(kItemColorTripleFirst, kTypeInt16, 55);
  Set(kItemIcmChoice, kTypeUInt16, 1);
  EXPECT_EQ(GetEffectiveItemNumber(s, c, kItemColorTripleFirst), 0u);
  Set(kItemIcmChoice, kTypeUInt16, 2);
  EXPECT_EQ(GetEffectiveItemNumber(s, c, kItemColorTripleFirst), 55u);

  Set(kItemDitherResolution, kTypeUInt8, 3);
  Set(kItemResolution, kTypeInt16, 300);
  EXPECT_EQ(GetEffectiveItemNumber(s, c, kItemDitherResolution), 0u);
  Set(kItemResolution, kTypeInt16, 600);
  EXPECT_EQ(GetEffectiveItemNumber(s, c, kItemDitherResolution), 3u);

  Set(kItemSaveToFile, kTypeUInt16, 1);
  EXPECT_EQ(GetEffectiveItemNumber(s, c, kItemStreamVersion), 0x1010802u);
  EXPECT_EQ(GetEffectiveItemNumber(s, c, 0x1D2), 0xFFFFFFFFu) << "an id in no range";
  EXPECT_EQ(GetEffectiveItemNumber(s, c, kItemStampName), 0xFFFFFFFFu) << "a text has no number";
  ValueTypeCode type;
  DWORD length;
  EXPECT_EQ(GetEffectiveItemValue(kItemColorTripleFirst, s, c, &type, &length, nullptr), 3);
}

}  // namespace

namespace {

// The colour-profile paths apply only while the colour matching choice is 2 or 4; one that does
// not apply reads as no text at all: a null address in the whole cell.
TEST_F(ItemAccessTest, TextThatDoesNotApplyReadsAsANullAddress) {
  const WCHAR* path = u"C:\\Profiles\\sheet.icm";
  for (SettingItemId id : {kItemFirstProfilePath, kItemSecondProfilePath})
    ASSERT_EQ(SetItemValue(id, s, c, kTypeString, 44, &path), kItemDone) << id;
  const struct Case {
    SettingItemId id;
    DWORD matching;
    bool applies;
  } cases[] = {{kItemFirstProfilePath, 2, true}, {kItemSecondProfilePath, 4, true}, {kItemFirstProfilePath, 3, false},
               {kItemSecondProfilePath, 1, false}};
  for (const Case& k : cases) {
    Set(kItemIcmChoice, kTypeUInt16, k.matching);
    ValueTypeCode type = 0;
    DWORD length = 0;
    ItemValueCell cell;
    std::memset(&cell, 0xA5, sizeof cell);
    ASSERT_EQ(GetEffectiveItemValue(k.id, s, c, &type, &length, &cell), 0) << k.id;
    EXPECT_EQ(type, kTypeString) << k.id;
    if (k.applies) {
      ASSERT_NE(cell.data, nullptr) << k.id;
      EXPECT_EQ(std::u16string(static_cast<const WCHAR*>(cell.data)), path) << k.id;
    } else {
      EXPECT_EQ(cell.data, nullptr) << k.id << " with matching " << k.matching;
    }
  }
}

}  // namespace

TEST_F(ItemAccessTest, DevmodeHeaderPassesOnlyWithThisReleasesHeaderValues) {
  struct Case {
    const char* what;
    SettingItemId item;  // 0: leave the good header as it is
    DWORD value;
    int expected;
  };
  const Case cases[] = {
      {"good header", 0, 0, 1},
      {"short form size", 4, 1548, 1},
      {"older device-mode size", 4, 212, 1},
      {"extra bytes as the size", 4, 1328, 0},
      {"another device-mode version", 2, 0x0400, 0},
      {"other private size", 5, 1000, 0},
      {"other private layout", 257, 0x5030, 0},
  };
  for (const Case& c : cases) {
    std::memset(s, 0, sizeof *s);
    Set(kItemSpecVersion, kTypeUInt16, 0x0401);
    Set(kItemDevmodeSize, kTypeUInt16, 220);
    Set(kItemDriverExtra, kTypeUInt16, 1328);
    Set(kItemLayoutVersion, kTypeUInt16, 0x5040);
    if (c.item != 0) Set(c.item, kTypeUInt16, c.value);
    EXPECT_EQ(ValidateDevmodeHeader(s), c.expected) << c.what;
  }
  EXPECT_EQ(ValidateDevmodeHeader(nullptr), 0);
}
