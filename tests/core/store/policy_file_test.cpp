// The policy file: sections per model, enforced and default values, display states, switches
// and their presets, applied to real settings records through the item engine.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>

#include "core/common/typed_value.h"
#include "core/store/item_access.h"
#include "core/store/policy_file.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/sandbox_test.h"

namespace {

class PolicyFileTest : public SandboxTest {
 protected:
  std::unique_ptr<SettingsRecord> settings = std::make_unique<SettingsRecord>();
  std::unique_ptr<PrinterConfiguration> config = std::make_unique<PrinterConfiguration>();
  PolicyList* list = nullptr;

  void SetUp() override {
    SandboxTest::SetUp();
    std::memset(settings.get(), 0, sizeof(SettingsRecord));
    std::memset(config.get(), 0, sizeof(PrinterConfiguration));
  }
  void TearDown() override {
    FreePolicyList(list);
    SandboxTest::TearDown();
  }

  // Writes the file and parses it for the model.
  PolicyList* Parse(const std::string& text, LPCWSTR model = u"Qorvex QX-4500") {
    std::ofstream(SimHostPath(u"C:\\policy.cfg")) << text;
    FreePolicyList(list);
    list = LoadPolicyList(model, u"C:\\policy.cfg");
    return list;
  }
  DWORD Item(SettingItemId id) {
    union {
      DWORD number;
      ULONG_PTR address;
    } value{};
    ValueTypeCode type;
    DWORD length;
    EXPECT_EQ(GetItemValue(id, settings.get(), config.get(), &type, &length, &value), kItemDone) << id;
    return value.number;
  }
  WORD Flags(SettingItemId id) {
    WORD flags = 0xEEEE;
    IsItemLockedByPolicy(id, list, &flags);
    return flags;
  }
};

TEST_F(PolicyFileTest, ValueWordsAndNumbers) {
  struct Case {
    const char16_t* text;
    DWORD value;
  } cases[] = {{u"on", 1},         {u"OFF", 0},       {u"Gray", 1},          {u"color", 2},
               {u"dimout", 1},     {u"box_print", 3}, {u"delay_print", 4},   {u"12abc", 12},
               {u"abc", 0},        {u"", 0},          {u"-3", 0},            {u"99999999999", 0xFFFFFFFFu},
               {u"007", 7}};
  for (const Case& k : cases) EXPECT_EQ(ParsePolicyValue(k.text), k.value) << std::string(k.text, k.text + 3);
}

TEST_F(PolicyFileTest, SectionOfTheModelOrDefault) {
  ASSERT_NE(Parse("[AB_12_X_Y]\nduplex.enforced=1\n[default]\nduplex.enforced=2\n", u"AB-12 X/Y"), nullptr);
  ASSERT_EQ(list->entryCount, 1);
  EXPECT_EQ(list->entries[0].value, 1u);
  ASSERT_NE(Parse("[Other]\nduplex.enforced=1\n[default]\nduplex.enforced=2\n", u"AB-12 X/Y"), nullptr);
  EXPECT_EQ(list->entries[0].value, 2u);
  EXPECT_EQ(LoadPolicyList(u"Model", u"C:\\missing.cfg"), nullptr);
}

TEST_F(PolicyFileTest, EnforcedValuesAreForcedAndDefaultsOnlyPreset) {
  ASSERT_NE(Parse("[default]\nduplex.enforced=1\nstaple.enforced=9\nJobType.enforced=7\npunch.default=3\n"), nullptr);
  ASSERT_EQ(list->entryCount, 4);
  EXPECT_EQ(list->entries[0].item, 341) << "the last key found comes first";
  EXPECT_EQ(list->entries[3].item, 334);
  EXPECT_EQ(ApplyPolicyList(list, settings.get(), config.get(), kPolicyModeEnforced), 1);
  EXPECT_EQ(reinterpret_cast<DEVMODEW*>(settings->bytes)->dmDuplex, 2);
  EXPECT_EQ(Item(kItemStaplePosition), 10u) << "staple 9 maps to 10";
  EXPECT_EQ(Item(kItemJobType), 0u) << "a job type of 7 has no pair and is never applied";
  EXPECT_EQ(Item(kItemPunchPosition), 0u) << "a default is not forced";

  BYTE slot[kTypedValueSlotSize];
  ASSERT_EQ(GetPolicyDefault(kItemPunchPosition, list, slot, kTypeUInt16), 1);
  EXPECT_EQ(*reinterpret_cast<WORD*>(slot), 3);
  EXPECT_EQ(GetPolicyDefault(kItemJobType, list, slot, kTypeUInt16), 0);
  EXPECT_EQ(GetPolicyDefault(kItemColorMode, list, slot, kTypeUInt16), 0);
  EXPECT_EQ(Flags(kItemDuplex), kPolicyEnforced);
  EXPECT_EQ(Flags(kItemColorMode), 0) << "no entry";
  EXPECT_EQ(ApplyPolicyList(nullptr, settings.get(), config.get(), kPolicyModeEnforced), 0);
}

TEST_F(PolicyFileTest, DisplayStatesAndEnforcedOverDefault) {
  ASSERT_NE(Parse("[default]\nColorMode.display=HIDE\n"), nullptr);
  ASSERT_EQ(list->entryCount, 1);
  EXPECT_EQ(list->entries[0].item, 270);
  EXPECT_EQ(list->entries[0].value, 0u);
  EXPECT_EQ(list->entries[0].flags, kPolicyHide);
  settings->bytes[316] = 2;
  ApplyPolicyList(list, settings.get(), config.get(), kPolicyModeDefaults);
  EXPECT_EQ(Item(kItemColorMode), 2u) << "a display state alone forces nothing";

  ASSERT_NE(Parse("[default]\nColorMode.enforced=color\nColorMode.default=gray\nbanner.display=odd\n"), nullptr);
  ASSERT_EQ(list->entryCount, 1) << "an unknown display word sets no flag";
  EXPECT_EQ(list->entries[0].value, 2u);
  EXPECT_EQ(list->entries[0].flags, kPolicyEnforced);
}

TEST_F(PolicyFileTest, SwitchPresetsWinOverEntries) {
  ASSERT_NE(Parse("[default]\nColorMode.enforced=color\nMONOCOLOR_PRINT=on\nLOG=1\n"), nullptr);
  ASSERT_EQ(list->switchCount, 2);
  EXPECT_EQ(list->switches[0].code, 999u);
  ApplyPolicyList(list, settings.get(), config.get(), kPolicyModeEnforced);
  EXPECT_EQ(Item(kItemColorMode), 1u);
  EXPECT_EQ(Flags(kItemColorMode), kPolicyEnforced | kPolicyDimOut);
  config->bytes[4444] = 0xFF;  // the word of flag items 4129..4160
  ApplyPolicyList(list, settings.get(), config.get(), kPolicyModeEnforced);
  EXPECT_EQ(Item(kItemSpecialColorAllowed), 0u);
  EXPECT_EQ(Flags(kItemSpecialColorAllowed), kPolicyEnforced);

  ASSERT_NE(Parse("[default]\nMONOCOLOR_PRINT=2\nSECURE_PRINT=true\n"), nullptr);
  settings->bytes[316] = 2;
  ApplyPolicyList(list, settings.get(), config.get(), kPolicyModeEnforced);
  EXPECT_EQ(Item(kItemColorMode), 2u) << "a switch of 2 has no effect";
  EXPECT_EQ(Item(kItemJobType), 1u);
  EXPECT_EQ(Flags(kItemJobType), kPolicyEnforced | kPolicyDimOut);
}

}  // namespace
