// Fixture of the built-in rule and range check tests: the printer of the per-user store tests,
// the sample model opened as an item store with its defaults, and helpers to set items and to
// fill the user's stamp store.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/constraints/constraint_engine.h"
#include "core/descriptors/item_defaults.h"
#include "core/stamps/stamp_store.h"
#include "core/store/item_access.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/printer_fixture.h"

class RuleCheckTest : public printer_test::UserStoreTest {
 protected:
  void SetUp() override {
    UserStoreTest::SetUp();
    if (HasFatalFailure()) return;
    const std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
    store_ = OpenItemStoreAtPath(path.c_str());
    ASSERT_NE(store_, nullptr);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_.get(), config_.get(), u"QX"));
    context_ = SettingsContext{store_, settings_.get(), config_.get()};
    state_ = CreateConstraintState();
    ASSERT_NE(state_, nullptr);
  }
  void TearDown() override {
    FreeConstraintState(state_);
    CloseItemStore(store_);
    UserStoreTest::TearDown();
  }

  void SetNumber(SettingItemId id, ValueTypeCode type, DWORD value) {
    const DWORD size = type == kTypeInt16 || type == kTypeUInt16 ? 2 : type == kTypeUInt8 ? 1 : 4;
    ASSERT_EQ(SetItemValue(id, settings_.get(), config_.get(), type, size, &value), kItemDone) << id;
  }
  void SetText(SettingItemId id, const std::u16string& text) {
    const WCHAR* p = text.c_str();
    ASSERT_EQ(SetItemValue(id, settings_.get(), config_.get(), kTypeString, DWORD(2 * text.size() + 2), &p),
              kItemDone)
        << id;
  }
  // Stores user stamps until the key holds `count` values (its built-in copies count).
  void FillStamps(DWORD count) {
    DWORD held = 0;
    ASSERT_EQ(CountUserStamps(printer_, &held), kStampDone);
    ASSERT_LE(held, count);
    for (; held < count; ++held) {
      StampRecord r{};
      lstrcpyW(r.name, (u"Filler " + std::u16string(1, char16_t(u'A' + held))).c_str());
      lstrcpyW(r.text, u"F");
      ASSERT_EQ(StoreUserStamp(printer_, &r), kStampDone);
    }
  }
  static std::vector<WORD> List(const WORD* items, WORD count) { return std::vector<WORD>(items, items + count); }

  std::unique_ptr<SettingsRecord> settings_ = std::make_unique<SettingsRecord>();
  std::unique_ptr<PrinterConfiguration> config_ = std::make_unique<PrinterConfiguration>();
  ItemStore* store_ = nullptr;
  SettingsContext context_{};
  ConstraintState* state_ = nullptr;
};
