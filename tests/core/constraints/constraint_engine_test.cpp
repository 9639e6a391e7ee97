#include <vector>

#include "core/constraints/constraint_engine.h"
#include "core/constraints/constraint_records.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/id_lists.h"
#include "tests/support/sample_fixture.h"

namespace {

class ConstraintEngineTest : public SampleStoreTest {
 protected:
  void SetUp() override {
    SampleStoreTest::SetUp();
    ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, u"QX"));
    state_ = CreateConstraintState();
  }
  void TearDown() override {
    FreeConstraintState(state_);
    SampleStoreTest::TearDown();
  }
  HANDLE printer_ = reinterpret_cast<HANDLE>(1);
  ConstraintState* state_ = nullptr;
};

const std::vector<WORD> kAllRelated{270, 16, 18, 15, 262, 8, 265, 13, 271};

TEST_F(ConstraintEngineTest, ProposedChangesAgainstTheSampleRules) {
  const struct Case {
    const char* name;
    WORD mode;
    WORD tonerSave;   // proposed value of item 271
    WORD colorMode;   // item 270 in the settings
    WORD messageType;
    std::vector<WORD> rules;
    std::vector<WORD> requirements;
    std::vector<WORD> changed;
    std::vector<WORD> related;
    WORD checkFlags;  // items 262, 8 and 265 from rule 14's conflict
  } cases[] = {
      // Rule 13 has no conditions: it fires whatever the head says. Rule 14's paper-source check
      // fires too: the default source (auto select) takes no custom paper, so no paper fits it.
      {"plain", 0, 1, 1, 6, {6, 7, 9, 10, 11, 12, 13, 14}, {}, {270, 18, 271, 0}, kAllRelated, 0x000B},
      {"defaults skip bits 9 and 14", 1, 1, 1, 6, {6, 7, 10, 12, 13, 14}, {}, {270, 18, 271, 0}, kAllRelated, 0x000B},
      {"apply skips bits 8 and 14", 2, 1, 1, 6, {6, 7, 9, 12, 13, 14}, {}, {270, 18, 271, 0}, kAllRelated, 0x000B},
      {"marked records only", 3, 1, 1, 4, {11}, {}, {270, 271, 0}, {270}, 0},
      {"groups, forced defaults and a requirement", 0, 2, 0, 6, {7, 8, 13}, {7}, {18, 15, 270, 271, 0}, kAllRelated, 0},
      {"first group of rule 8", 0, 1, 0, 6, {7, 8, 13}, {}, {18, 15, 270, 271, 0}, kAllRelated, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Set(kItemColorMode, kTypeUInt16, c.colorMode);
    ResetConstraintState(state_);
    WORD* changed = nullptr;
    const WORD value = c.tonerSave;
    ASSERT_EQ(CheckSettingChange(c.mode, printer_, store_, settings_, config_, nullptr, kItemPrintMode, kTypeUInt16,
                                 &value, state_, &changed, 0),
              0);
    EXPECT_EQ(state_->messageType, c.messageType);
    EXPECT_EQ(IdList(state_->firedRules, state_->firedRuleCount), c.rules);
    EXPECT_EQ(IdList(state_->firedRequirements, state_->firedRequirementCount), c.requirements);
    EXPECT_EQ(ZeroEndedIds(changed), c.changed);
    GlobalFree(changed);
    // Every record the mode evaluates names its items, fired or not; kind 1 adds the paper items.
    EXPECT_EQ(IdList(state_->related, state_->relatedCount), c.related);
    EXPECT_EQ(state_->checkFlags, c.checkFlags);
  }
  // The settings are never written by a check.
  EXPECT_EQ(Number(kItemPrintMode), 0u);
}

TEST_F(ConstraintEngineTest, CommitOrRefuseAndForcedValues) {
  // The fired records of a change are committed by writing their forced values.
  Set(kItemColorMode, kTypeUInt16, 2);
  Set(kItemPaperSize, kTypeInt16, 1);
  WORD room[kChangedListInline];
  WORD* list = room;
  WORD count = 0;
  const SettingsContext context{store_, settings_, config_};
  const WORD rule13 = 13;
  EXPECT_EQ(ApplyConstraintRecords(1, &context, &list, &count, 1, &rule13), kCheckApplied);
  EXPECT_EQ(Number(kItemColorMode), 0u);  // its own database default
  EXPECT_EQ(Number(kItemPaperSize), 9u);  // the default paper
  EXPECT_EQ(IdList(list, count), (std::vector<WORD>{270, 8}));
  const WORD rule6 = 6;        // a rule without forced values
  EXPECT_EQ(ApplyConstraintRecords(1, &context, &list, &count, 1, &rule6), kCheckRefused);
  const WORD missing = 99;
  EXPECT_EQ(ApplyConstraintRecords(1, &context, &list, &count, 1, &missing), kCheckFailed);
  const WORD requirement7 = 7;
  Set(kItemPrintMode, kTypeUInt16, 2);
  EXPECT_EQ(ApplyConstraintRecords(0, &context, &list, &count, 1, &requirement7), kCheckApplied);
  EXPECT_EQ(Number(kItemPrintMode), 0u);
  ReleaseIdList(&list, &count, room);

  // Pairs and single items: a font value is refused.
  WORD two = 2;
  const ItemValuePair pairs[] = {{270, kTypeUInt16, 0, &two}, {271, kTypeUInt16, 0, &two}};
  EXPECT_EQ(ApplyItemValuePairs(&context, &list, &count, 2, pairs), kCheckApplied);
  EXPECT_EQ(Number(kItemPrintMode), 2u);
  ReleaseIdList(&list, &count, room);
  const ItemChange font{357, kTypeFont, &two};
  EXPECT_EQ(ApplyConflictItem(&context, &font), kCheckFailed);
  const ItemChange rule{270, kTypeUInt16, &two};
  EXPECT_EQ(MatchItemWithRuleValue(&context, &rule), kRuleHolds);
  const ItemChange other{270, kTypeUInt16, &rule13};
  EXPECT_EQ(MatchItemWithRuleValue(&context, &other), kRuleFails);
}

TEST_F(ConstraintEngineTest, NothingAppliesAndFilters) {
  // An item without a value record leaves the caller's state exactly as it was.
  state_->messageType = 3;
  AppendUniqueItemId(77, kRelatedListInline, &state_->related, &state_->relatedCount);
  WORD* changed = reinterpret_cast<WORD*>(1);
  WORD value = 5;
  ASSERT_EQ(CheckSettingChange(0, printer_, store_, settings_, config_, nullptr, kItemZoomPercent, kTypeUInt16, &value,
                               state_, &changed, 0),
            0);
  EXPECT_EQ(changed, nullptr);
  EXPECT_EQ(state_->messageType, 3);
  EXPECT_EQ(IdList(state_->related, state_->relatedCount), std::vector<WORD>{77});
  // A filter naming neither the item nor a related item: only the built-in rules run.
  const WORD filter[] = {300, 0};
  value = 1;
  Set(kItemColorMode, kTypeUInt16, 1);
  ASSERT_EQ(CheckSettingChange(0, printer_, store_, settings_, config_, filter, kItemPrintMode, kTypeUInt16, &value,
                               state_, nullptr, 0),
            0);
  EXPECT_EQ(state_->messageType, 3);
  // A filter naming an item the state relates to lets the records run.
  const WORD related[] = {77, 0};
  ASSERT_EQ(CheckSettingChange(0, printer_, store_, settings_, config_, related, kItemPrintMode, kTypeUInt16, &value,
                               state_, nullptr, 0),
            0);
  EXPECT_EQ(state_->messageType, 6);
  // A value record with empty constraint lists empties the state.
  value = 2;
  ASSERT_EQ(CheckSettingChange(0, printer_, store_, settings_, config_, nullptr, kItemMediaType, kTypeUInt16, &value,
                               state_, nullptr, 0),
            0);
  EXPECT_EQ(state_->messageType, 0);
  EXPECT_EQ(state_->firedRuleCount, 0);
  // Lookup flag 1 uses the list record; without a value the current value is judged.
  ASSERT_EQ(CheckSettingChange(0, printer_, store_, settings_, config_, nullptr, kItemPrintMode, kTypeUInt16, nullptr,
                               state_, nullptr, 1),
            0);
  EXPECT_EQ(state_->messageType, 2);  // 271 is 0: only the record without conditions fires
  EXPECT_EQ(IdList(state_->firedRules, state_->firedRuleCount), std::vector<WORD>{13});
}

TEST_F(ConstraintEngineTest, BadInputKeepsTheCallersState) {
  state_->messageType = 9;
  AppendUniqueItemId(5, kFiredListInline, &state_->firedRules, &state_->firedRuleCount);
  WORD value = 1;
  WORD* changed = reinterpret_cast<WORD*>(1);
  EXPECT_EQ(CheckSettingChange(0, nullptr, store_, settings_, config_, nullptr, kItemPrintMode, kTypeUInt16, &value,
                               state_, &changed, 0),
            kCheckFailed);
  EXPECT_EQ(changed, nullptr);
  EXPECT_EQ(CheckSettingChange(0, printer_, nullptr, settings_, config_, nullptr, kItemPrintMode, kTypeUInt16, &value,
                               state_, nullptr, 0),
            kCheckFailed);
  EXPECT_EQ(CheckSettingChange(0, printer_, store_, nullptr, config_, nullptr, kItemPrintMode, kTypeUInt16, &value,
                               state_, nullptr, 0),
            kCheckFailed);
  EXPECT_EQ(CheckSettingChange(0, printer_, store_, settings_, config_, nullptr, kItemPrintMode, kTypeUInt16, &value,
                               nullptr, nullptr, 0),
            kCheckFailed);
  EXPECT_EQ(state_->messageType, 9);
  EXPECT_EQ(state_->firedRuleCount, 1);
  // A value of the wrong type finds the choice but no head compares: only the record without
  // conditions fires.
  Set(kItemColorMode, kTypeUInt16, 1);
  const SHORT wrong = 1;
  ASSERT_EQ(CheckSettingChange(0, printer_, store_, settings_, config_, nullptr, kItemPrintMode, kTypeInt16, &wrong,
                               state_, nullptr, 0),
            0);
  EXPECT_EQ(state_->messageType, 2);
  EXPECT_EQ(IdList(state_->firedRules, state_->firedRuleCount), std::vector<WORD>{13});
  // An unknown item has no rule at all.
  state_->messageType = 9;
  ASSERT_EQ(CheckSettingChange(0, printer_, store_, settings_, config_, nullptr, 0x3000, kTypeUInt16, &value, state_,
                               nullptr, 0),
            0);
  EXPECT_EQ(state_->messageType, 9);
}

TEST_F(ConstraintEngineTest, OutOfMemoryAnywhereGivesTwo) {
  // Every allocation of a check is failed in turn: each answers 2 with no list, never a pass
  // with records missing, and leaks nothing (checked at tear-down).
  Set(kItemColorMode, kTypeUInt16, 1);
  const WORD value = 1;
  for (WORD mode : {kCheckModePlain, kCheckModeDefaults, kCheckModeMarked}) {
    SCOPED_TRACE(mode);
    int n = 1;
    for (;; ++n) {
      ResetConstraintState(state_);
      WORD* changed = nullptr;
      SimFailNthAllocation(n);
      const WORD status = CheckSettingChange(mode, printer_, store_, settings_, config_, nullptr, kItemPrintMode,
                                             kTypeUInt16, &value, state_, &changed, 0);
      const bool failed = !SimAllocationFailurePending();
      SimFailNthAllocation(0);
      GlobalFree(changed);
      if (!failed) {
        EXPECT_EQ(status, kCheckDone);
        break;
      }
      EXPECT_EQ(status, kCheckNoMemory) << "allocation " << n;
      EXPECT_EQ(changed, nullptr) << "allocation " << n;
    }
    EXPECT_GT(n, 5);
  }
}

}  // namespace
