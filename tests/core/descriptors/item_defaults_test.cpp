#include <string>

#include "core/descriptors/item_rules.h"
#include "items/item_ids.h"
#include "tests/support/sample_fixture.h"

namespace {

using ItemDefaultsTest = SampleStoreTest;

TEST(ItemDescriptors, GroupsHoldTheirIdsInTableOrder) {
  const struct {
    DWORD group;
    WORD count;
    ItemArea area;
    SettingItemId first;
  } groups[] = {{0, 74, 2, 0x1001}, {1, 32, 2, 0x1201}, {2, 71, 2, 0x1401}, {3, 126, 2, 0x2009},
                {4, 23, 0, 0x0001}, {5, 45, 0, 0x0101}, {6, 46, 0, 0x0130}, {7, 47, 0, 0x0160},
                {8, 28, 0, 0x0190}, {9, 18, 0, 0x01C0}, {10, 95, 0, 0x0501}, {11, 70, 1, 0x0701}};
  for (const auto& g : groups) {
    std::span<const ItemDescriptor> d;
    ItemArea area = 9;
    ASSERT_TRUE(GetGroupDescriptors(g.group, &d, &area));
    EXPECT_EQ(d.size(), g.count) << g.group;
    EXPECT_EQ(area, g.area) << g.group;
    EXPECT_EQ(d[0].id, g.first) << g.group;
    // Every descriptor names an item the item tables place.
    for (const ItemDescriptor& x : d) {
      ItemLocation where{};
      SettingsRecord s{};
      PrinterConfiguration c{};
      EXPECT_EQ(LocateItem(x.id, &s, &c, &where), kItemDone) << x.id;
    }
  }
  EXPECT_FALSE(GetGroupDescriptors(12, nullptr, nullptr));
  for (SettingItemId absent : {0x1402, 0x141F, 0x0014, 0x0121, 0x050F, 0x1601, 0x182E, 0x3000})
    EXPECT_EQ(FindItemDescriptor(absent), nullptr) << absent;
  EXPECT_EQ(FindItemDescriptor(kItemPaperSize)->info, nullptr);
  EXPECT_EQ(FindItemDescriptor(kItemDeviceName)->info, &kRuleAll);
  EXPECT_TRUE(ItemSupportsOperation(FindItemDescriptor(kItemOrientation), kItemOpCheck));
  EXPECT_FALSE(ItemSupportsOperation(FindItemDescriptor(kItemOrientation), kItemOpDefault));
  EXPECT_FALSE(ItemSupportsOperation(FindItemDescriptor(kItemDefaultSource), kItemOpCheck));
  EXPECT_TRUE(ItemSupportsOperation(FindItemDescriptor(kItemDefaultSource), kItemOpCheckpublic));
  EXPECT_FALSE(ItemSupportsOperation(FindItemDescriptor(kItemPerUserExtension), kItemOpDefault));
}

TEST_F(ItemDefaultsTest, DefaultsFillBothRecordsAndEveryItemValidatesItsOwnDefault) {
  ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, u"QX-4500 on the third floor of the east wing"));
  const DEVMODEW* dm = reinterpret_cast<const DEVMODEW*>(settings_->bytes);
  EXPECT_EQ(std::u16string(dm->dmDeviceName), u"QX-4500 on the third floor of t");  // 31 characters
  EXPECT_EQ(Number(kItemSpecVersion), 0x0401u);
  EXPECT_EQ(Number(kItemDriverVersion), 0x5040u);
  EXPECT_EQ(Number(kItemDevmodeSize), 220u);
  EXPECT_EQ(Number(kItemDriverExtra), 1328u);
  EXPECT_EQ(Number(kItemLayoutVersion), 0x5040u);
  EXPECT_EQ(Number(kItemExtensionVersion), 0x5040u);
  EXPECT_EQ(Number(kItemDriverRelease), 0x2142u);
  EXPECT_EQ(Number(kItemConfigLayoutVersion), 0x2142u);
  EXPECT_EQ(Number(kItemConfigLength), 4492u);
  EXPECT_EQ(Number(kItemPaperSize), 9u);  // A4, the list's default
  EXPECT_EQ(Number(kItemPaperWidth), 2100u);
  EXPECT_EQ(Number(kItemPaperLength), 2970u);
  EXPECT_EQ(std::u16string(dm->dmFormName), u"A4");
  EXPECT_EQ(Number(kItemColor), 2u);  // item 345 has no default of 1
  EXPECT_EQ(Number(kItemCopies), 1u);
  EXPECT_EQ(Number(kItemOrientation), 1u);  // from the database
  EXPECT_EQ(Number(kItemDuplex), 1u);
  EXPECT_EQ(Number(kItemDeviceOptionFirst), 0u);  // option lists: "Not Installed"
  EXPECT_EQ(Number(kItemModelOptions), 1u);
  EXPECT_EQ(Number(kItemUserPaperWidth), 2100u);  // user papers start as A4
  EXPECT_EQ(Number(kItemUserPaperLength), 2970u);
  const DWORD fields = Number(kItemFields);
  EXPECT_NE(fields & 0x10000u, 0u);                 // DM_FORMNAME on the current generation
  EXPECT_NE(fields & 0x2000000u, 0u);               // DM_MEDIATYPE: the model's option byte is 1

  // One sweep: every item with a descriptor and a default passes its own check.
  int checked = 0;
  for (DWORD group = 0; group < kDescriptorGroupCount; ++group) {
    std::span<const ItemDescriptor> descriptors;
    GetGroupDescriptors(group, &descriptors, nullptr);
    for (const ItemDescriptor& d : descriptors) {
      ValueTypeCode type = 0;
      DWORD size = 0;
      ItemValueCell value{};
      const int found = GetItemDefault(store_, d.id, &type, &size, &value);
      ReleaseItemDefaultValue(d.id, &value, type);
      if (found != kDefaultFound) continue;
      // Items whose stored value the built-in rules always report invalid are skipped, and item
      // 8202, whose constant default the database does not list.
      const SettingItemId id = d.id;
      const bool alwaysInvalid = id == 1 || id == 6 || id == 9 || id == 10 || id == 19 || id == 298 || id == 305 ||
                                 id == 357 || id == 358 || (id >= 5889 && id <= 5948) || id == 13 || id == 16 || id == 8202;
      if (alwaysInvalid) continue;
      EXPECT_TRUE(ValidateItemValue(store_, id, settings_, config_, kItemOpCheck)) << "item " << id;
      ++checked;
    }
  }
  EXPECT_GT(checked, 25);
}

TEST_F(ItemDefaultsTest, PartialRecordsAndSingleDefaults) {
  // Only a configuration: groups 0 to 3; no settings record is touched.
  ASSERT_TRUE(ApplyDataFileDefaults(store_, nullptr, config_, nullptr));
  EXPECT_EQ(Number(kItemConfigLayoutVersion), 0x2142u);
  // Without a device name the name stays empty and everything else is filled.
  ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, nullptr, nullptr));
  EXPECT_EQ(reinterpret_cast<const DEVMODEW*>(settings_->bytes)->dmDeviceName[0], 0);
  EXPECT_EQ(Number(kItemDevmodeSize), 220u);

  ValueTypeCode type = 0;
  DWORD size = 0;
  ItemValueCell value{};
  EXPECT_EQ(GetItemDefault(store_, 0x3000, &type, &size, &value), kDefaultFailed);
  EXPECT_EQ(GetItemDefault(store_, 0x1C0, &type, &size, &value), kDefaultNone);  // no list in the model
  ASSERT_EQ(GetItemDefault(store_, kItemModelName, &type, &size, &value), kDefaultFound);
  EXPECT_EQ(std::u16string(static_cast<LPCWSTR>(value.data)), u"Qorvex QX-4500");
  ReleaseItemDefaultValue(kItemModelName, &value, type);
  ASSERT_EQ(GetItemDefault(store_, kItemJobInfoFont, &type, &size, &value), kDefaultFound);
  EXPECT_EQ(type, kTypeFont);
  EXPECT_EQ(size, 92u);
  ReleaseItemDefaultValue(kItemJobInfoFont, &value, type);
  ASSERT_EQ(GetItemDefault(store_, kItemUserPaperName + 1, &type, &size, &value), kDefaultFound);
  EXPECT_EQ(size, 30u);
  ReleaseItemDefaultValue(kItemUserPaperName + 1, &value, type);
}

TEST_F(ItemDefaultsTest, ChecksByRuleAndByDatabase) {
  ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, u"P"));
  const struct {
    SettingItemId id;
    ValueTypeCode type;
    DWORD value;
    WORD operation;
    BOOL valid;
  } cases[] = {
      {4, kTypeUInt16, 212, kItemOpCheck, TRUE},  {4, kTypeUInt16, 1548, kItemOpCheck, TRUE},
      {4, kTypeUInt16, 1328, kItemOpCheck, FALSE}, {12, kTypeInt16, 999, kItemOpCheck, TRUE},
      {12, kTypeInt16, 1000, kItemOpCheck, FALSE}, {12, kTypeInt16, 1000, kItemOpCheckpublic, TRUE},
      {12, kTypeInt16, 0, kItemOpCheckpublic, FALSE}, {22, kTypeUInt32, 4, kItemOpCheck, TRUE},
      {22, kTypeUInt32, 5, kItemOpCheck, FALSE},  {16, kTypeInt16, 3, kItemOpCheckpublic, TRUE},
      {16, kTypeInt16, 3, kItemOpCheck, TRUE},     // not the rule's: the database lists 3
      {16, kTypeInt16, 4, kItemOpCheck, FALSE},   {8, kTypeInt16, 256, kItemOpCheck, TRUE},
      {8, kTypeInt16, 2, kItemOpCheck, FALSE},    {4097, kTypeFlag, 1, kItemOpCheck, TRUE},
      {1, kTypeUInt16, 0, kItemOpCheck, FALSE},
  };
  for (const auto& c : cases) {
    if (c.id != 1) Set(c.id, c.type, c.value);
    EXPECT_EQ(ValidateItemValue(store_, c.id, settings_, config_, c.operation), c.valid)
        << "item " << c.id << " value " << c.value;
  }
  EXPECT_FALSE(ValidateItemValue(store_, kItemResolution, settings_, config_, kItemOpCheck));  // no descriptor
}

}  // namespace
