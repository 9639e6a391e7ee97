// Fixture: the sample model opened as an item store in a fresh sandbox, default records built
// from it (the sandbox checks that every block handed out was given back).
#pragma once

#include <gtest/gtest.h>

#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/sandbox_test.h"

class SampleStoreTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    // A metric region: the sample model defaults to letter paper only where inches are used.
    SimSetLocaleInfo(LOCALE_ICOUNTRY, u"49");
    std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
    store_ = OpenItemStoreAtPath(path.c_str());
    ASSERT_NE(store_, nullptr);
    settings_ = new SettingsRecord{};
    config_ = new PrinterConfiguration{};
  }
  void TearDown() override {
    CloseItemStore(store_);
    delete settings_;
    delete config_;
    SandboxTest::TearDown();
  }
  DWORD Number(SettingItemId id) {
    ItemValueCell cell{};
    ValueTypeCode type = 0;
    DWORD length = 0;
    EXPECT_EQ(GetItemValue(id, settings_, config_, &type, &length, &cell), kItemDone) << id;
    return type == kTypeInt16 ? static_cast<DWORD>(static_cast<SHORT>(cell.word))
           : length == 2      ? cell.word
           : length == 1      ? cell.byte
                              : cell.number;
  }
  void Set(SettingItemId id, ValueTypeCode type, DWORD value) {
    DWORD size = type == kTypeInt16 || type == kTypeUInt16 ? 2 : type == kTypeUInt8 ? 1 : 4;
    ASSERT_EQ(SetItemValue(id, settings_, config_, type, size, &value), kItemDone) << id;
  }
  ItemStore* store_ = nullptr;
  SettingsRecord* settings_ = nullptr;
  PrinterConfiguration* config_ = nullptr;
};
