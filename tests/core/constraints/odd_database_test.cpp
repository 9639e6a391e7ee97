// The constraint engine and the item defaults on small databases built in-process whose records
// have missing, empty or short lists.
#include <algorithm>
#include <string>
#include <vector>

#include "core/constraints/constraint_engine.h"
#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/model_files.h"
#include "tests/support/sandbox_test.h"

namespace {

// Item 271 names rules 1-3 and requirement 1; item 272 has no choices at all; item 270 is
// given a default beyond its one choice by changing the built bytes (the tool refuses it).
const char kOddModel[] = R"(model "Odd"
version "T:1.0.0"
level 0x1600
list 270 name="Mode" kind=1 default=1 choices=[1]
list 271 name="Toner" kind=1 default=1 choices=[2 3]
list 272 name="Empty" kind=1 default=0 choices=[]
choice 1 name="Auto" value=u16:0
choice 2 name="Off" value=u16:0
choice 3 name="On" rules=[1 2 3 4] requires=[1] value=u16:1
rule 1 watch=(271 = u16:1) msgword=3 message="Fires: one closed group."
    when=[(270 = u16:0 end)]
rule 2 watch=(271 = u16:1) msgword=6 message="Never fires: no group end closes its chain."
    when=[(270 = u16:0 and)]
rule 3 watch=(271 = u16:1) msgword=1 message="Never fires: a text compared with a number."
    when=[(270 = str:"auto" end)]
rule 4 watch=(271 = u16:1) msgword=6 message="Never fires: its second group compares a text with a number."
    when=[(270 = u16:0 end) (270 = str:"auto" end)]
requirement 1 watch=(272 = u16:5) msgword=8 message="Forces nothing."
)";

// Changes byte `offset` of the only place the pattern occurs.
void Patch(std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& pattern, size_t offset,
           std::uint8_t value) {
  auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
  ASSERT_NE(at, bytes.end());
  ASSERT_EQ(std::search(at + 1, bytes.end(), pattern.begin(), pattern.end()), bytes.end());
  at[offset] = value;
}

// List 270: its key, its 4-byte name (stored protected), the kind byte, then the u16 default
// position, made 3.
void PutModeDefaultBeyondChoices(std::vector<std::uint8_t>& bytes) { Patch(bytes, {0x0E, 0x01, 4, 0}, 9, 3); }

class OddDatabaseTest : public SandboxTest {
 protected:
  void TearDown() override {
    FreeConstraintState(state_);
    CloseItemStore(store_);
    SandboxTest::TearDown();
  }
  // Builds the model, lets `change` alter the bytes, and opens them as the item store.
  template <typename Change = void (*)(std::vector<std::uint8_t>&)>
  void Open(const std::string& text, Change change = [](std::vector<std::uint8_t>&) {}) {
    DddImage image = BuildModelImage(text);
    change(image.main);
    store_ = OpenItemStoreAtPath(InstallModelImage(image, u"ODD.DDD").c_str());
    ASSERT_NE(store_, nullptr);
    state_ = CreateConstraintState();
  }
  WORD Check(SettingItemId id, ValueTypeCode type, const void* value, WORD** changed = nullptr) {
    return CheckSettingChange(kCheckModePlain, printer_, store_, &settings_, &config_, nullptr, id, type, value,
                              state_, changed, 0);
  }
  static std::vector<WORD> List(const WORD* items, WORD count) { return std::vector<WORD>(items, items + count); }

  HANDLE printer_ = reinterpret_cast<HANDLE>(1);
  ItemStore* store_ = nullptr;
  ConstraintState* state_ = nullptr;
  SettingsRecord settings_{};
  PrinterConfiguration config_{};
};

TEST_F(OddDatabaseTest, ShortConditionChainsAndWrongTypedValuesNeverFire) {
  Open(kOddModel);
  const WORD on = 1;
  ASSERT_EQ(Check(kItemPrintMode, kTypeUInt16, &on), kCheckDone);
  EXPECT_EQ(List(state_->firedRules, state_->firedRuleCount), std::vector<WORD>{1});
  // The requirement's head (272 = 5) does not hold: it fires, with nothing to force.
  EXPECT_EQ(List(state_->firedRequirements, state_->firedRequirementCount), std::vector<WORD>{1});
  SettingsContext context{store_, &settings_, &config_};
  WORD room[kChangedListInline];
  WORD* list = room;
  WORD count = 0;
  const WORD requirement = 1;
  EXPECT_EQ(ApplyConstraintRecords(0, &context, &list, &count, 1, &requirement), kCheckRefused);
  EXPECT_EQ(count, 0);
  ReleaseIdList(&list, &count, room);
}

TEST_F(OddDatabaseTest, WhatFiresDoesNotDependOnTheChangedItemOutput) {
  // Rule 4's first group holds and its second cannot be compared: the record does not fire,
  // whether or not the caller keeps the changed items, in every mode.
  Open(kOddModel);
  const WORD on = 1;
  for (WORD mode : {kCheckModePlain, kCheckModeDefaults, kCheckModeApply}) {
    SCOPED_TRACE(mode);
    std::vector<std::vector<WORD>> fired;
    std::vector<WORD> types;
    for (bool keepList : {false, true}) {
      ResetConstraintState(state_);
      WORD* changed = nullptr;
      ASSERT_EQ(CheckSettingChange(mode, printer_, store_, &settings_, &config_, nullptr, kItemPrintMode, kTypeUInt16,
                                   &on, state_, keepList ? &changed : nullptr, 0),
                kCheckDone);
      GlobalFree(changed);
      fired.push_back(List(state_->firedRules, state_->firedRuleCount));
      types.push_back(state_->messageType);
    }
    EXPECT_EQ(fired[0], fired[1]);
    EXPECT_EQ(types[0], types[1]);
    EXPECT_EQ(std::count(fired[0].begin(), fired[0].end(), 4), 0);
  }
}

TEST_F(OddDatabaseTest, ListsWithoutChoicesOrWithADefaultBeyondThemGiveNoDefault) {
  Open(kOddModel, PutModeDefaultBeyondChoices);
  ValueTypeCode type = 0;
  DWORD size = 0;
  ItemValueCell value{};
  EXPECT_EQ(GetItemDefault(store_, kItemColorMode, &type, &size, &value), kDefaultFailed);  // position 3 of 1 choice
  EXPECT_EQ(GetItemDefault(store_, kItemStampListNames, &type, &size, &value), kDefaultNone);
  ASSERT_EQ(GetItemDefault(store_, kItemPrintMode, &type, &size, &value), kDefaultFound);
  EXPECT_EQ(value.word, 0);
  // A value the empty list does not hold has no record: the caller's state stays as it was.
  state_->messageType = 4;
  const WORD five = 5;
  WORD* changed = reinterpret_cast<WORD*>(1);
  ASSERT_EQ(Check(kItemStampListNames, kTypeUInt16, &five, &changed), kCheckDone);
  EXPECT_EQ(changed, nullptr);
  EXPECT_EQ(state_->messageType, 4);
}

TEST_F(OddDatabaseTest, AMissingConstraintRecordFailsAndKeepsTheCallersState) {
  // The tool refuses a list naming a rule it does not hold, so the built bytes are changed:
  // choice "On" then names rules 1, 2, 9 and 4 of four.
  Open(kOddModel, [](std::vector<std::uint8_t>& bytes) { Patch(bytes, {4, 0, 1, 0, 2, 0, 3, 0, 4, 0}, 6, 9); });
  state_->messageType = 7;
  ASSERT_EQ(AppendUniqueItemId(12, kRelatedListInline, &state_->related, &state_->relatedCount), kCheckDone);
  const WORD on = 1;
  WORD* changed = reinterpret_cast<WORD*>(1);
  EXPECT_EQ(Check(kItemPrintMode, kTypeUInt16, &on, &changed), kCheckFailed);
  EXPECT_EQ(changed, nullptr);
  EXPECT_EQ(state_->messageType, 7);
  EXPECT_EQ(state_->firedRuleCount, 0);
  EXPECT_EQ(List(state_->related, state_->relatedCount), std::vector<WORD>{12});
  // Committing the missing record fails as well.
  SettingsContext context{store_, &settings_, &config_};
  WORD room[kChangedListInline];
  WORD* list = room;
  WORD count = 0;
  const WORD missing = 9;
  EXPECT_EQ(ApplyConstraintRecords(1, &context, &list, &count, 1, &missing), kCheckFailed);
  ReleaseIdList(&list, &count, room);
}

}  // namespace
