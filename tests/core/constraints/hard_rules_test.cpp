// The built-in rules of the constraint engine on the sample model with the user's stamp store,
// judged directly and through CheckSettingChange.
#include <gtest/gtest.h>

#include <optional>

#include "core/constraints/hard_rules.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/rule_check_fixture.h"

namespace {

class HardRules : public RuleCheckTest {
 protected:
  // The state a caller holds before the check: a message type and one related item.
  void Prefill() {
    ResetConstraintState(state_);
    state_->messageType = 4;
    ASSERT_EQ(AppendUniqueItemId(18, kRelatedListInline, &state_->related, &state_->relatedCount), kCheckDone);
  }
};

TEST_F(HardRules, TableOfRules) {
  struct Case {
    const char* name;
    SettingItemId id;
    ValueTypeCode type;
    std::optional<DWORD> value;
    DWORD tiled;             // item 321
    const char16_t* stamp;   // item 297
    DWORD stamps;            // values in the user's stamps key (0: as created)
    DWORD major;             // platform version
    WORD status;
    WORD messageType;
    std::vector<WORD> changed;  // ids the rule collects
    std::vector<WORD> dependents;
  };
  const std::vector<WORD> kStampItems{296, 297};
  const Case cases[] = {
      {"1284 always warns", 1284, kTypeFlag, 1, 0, u"", 0, 6, 0, 6, {}, {}},
      {"tiles without a stamp", 321, kTypeUInt16, 1, 0, u"", 0, 6, 0, 0, {}, {}},
      {"tiles drop the stamp", 321, kTypeUInt16, 1, 0, u"Mine", 0, 6, 0, 3, {297}, {}},
      {"no tiles keep the stamp", 321, kTypeUInt16, 0, 0, u"Mine", 0, 6, 0, 0, {}, {}},
      {"tiles carried as no value", 321, kTypeUInt16, std::nullopt, 0, u"Mine", 0, 6, 0, 0, {}, {}},
      {"add with room", 0x9001, 0, std::nullopt, 0, u"", 31, 6, 0, 0, {}, kStampItems},
      {"add to a full store", 0x9001, 0, std::nullopt, 0, u"", 32, 6, 0, 8, {297}, kStampItems},
      {"add on a tiled page", 0x9001, 0, std::nullopt, 1, u"", 32, 6, 0, 1, {296}, kStampItems},
      {"edit without a name", 0x9002, 0, std::nullopt, 0, u"", 0, 6, 0, 1, {296, 297}, kStampItems},
      {"edit on a tiled page", 1286, 0, std::nullopt, 1, u"Mine", 0, 6, 0, 1, {296, 297}, kStampItems},
      {"edit a named stamp", 1286, 0, std::nullopt, 0, u"Mine", 0, 6, 0, 0, {}, kStampItems},
      {"edit without a name", 1286, 0, std::nullopt, 0, u"", 0, 6, 0, 1, {296, 297}, kStampItems},
      {"stored stamp unknown", 0x9003, 0, std::nullopt, 0, u"Nobody", 0, 6, 0, 1, {296, 297}, kStampItems},
      {"stored stamp built in", 0x9003, 0, std::nullopt, 0, u"Copy", 0, 6, 0, 1, {296, 297}, kStampItems},
      {"stored stamp known", 0x9003, 0, std::nullopt, 0, u"Mine", 0, 6, 0, 0, {}, kStampItems},
      {"system colour on 4.0", 293, kTypeUInt16, 3, 0, u"", 0, 4, 0, 1, {}, {}},
      {"system colour on 5.0", 293, kTypeUInt16, 3, 0, u"", 0, 5, 0, 0, {}, {}},
      {"other colour on 4.0", 293, kTypeUInt16, 2, 0, u"", 0, 4, 0, 0, {}, {}},
      {"colour as another type", 293, kTypeInt16, 3, 0, u"", 0, 4, 1, 0, {}, {}},
      {"1333 passes", 1333, kTypeFlag, 1, 0, u"", 0, 6, 0, 0, {}, {}},
      {"5138 passes", 5138, kTypeUInt8, 1, 0, u"", 0, 6, 0, 0, {}, {}},
      {"companions only", 301, kTypeUInt32, 1, 0, u"", 0, 6, 6, 0, {}, {}},
      {"no rule", 306, kTypeFontField, 20, 0, u"", 0, 6, 6, 0, {}, {}},
  };
  StampRecord mine{};
  lstrcpyW(mine.name, u"Mine");
  lstrcpyW(mine.text, u"MINE");
  ASSERT_EQ(StoreUserStamp(printer_, &mine), kStampDone);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetNumber(kItemPageLayout, kTypeUInt16, c.tiled);
    SetText(kItemStampName, c.stamp);
    if (c.stamps != 0) FillStamps(c.stamps);
    SimSetVersion(c.major, 0, 1000);
    const DWORD value = c.value.value_or(0);
    const ItemChange change{c.id, c.type, c.value ? &value : nullptr};

    // Directly: the rule's ids follow the list's entries, its dependents the related items.
    Prefill();
    ConstraintState* entry = CreateConstraintState();
    ASSERT_EQ(CopyConstraintState(entry, state_), kCheckDone);
    WORD room[kChangedListInline] = {999};
    WORD* list = room;
    WORD count = 1;
    EXPECT_EQ(ApplyHardRules(printer_, &context_, &change, entry, state_, &list, &count), c.status);
    FreeConstraintState(entry);
    const bool applied = c.status == kCheckDone;
    std::vector<WORD> changed{999};
    changed.insert(changed.end(), c.changed.begin(), c.changed.end());
    std::vector<WORD> related{18};
    if (applied) related.insert(related.end(), c.dependents.begin(), c.dependents.end());
    EXPECT_EQ(List(list, count), changed);
    EXPECT_EQ(state_->messageType, applied ? c.messageType : 4);
    EXPECT_EQ(List(state_->related, state_->relatedCount), related);

    // Through the engine: the sample has no records for these items, so the state holds the
    // rule's verdict alone, or stays as it came in when no rule applied.
    Prefill();
    WORD* block = nullptr;
    EXPECT_EQ(CheckSettingChange(kCheckModePlain, printer_, store_, settings_.get(), config_.get(), nullptr, c.id,
                                 c.type, change.value, state_, &block, 0),
              c.status == kCheckNoRule ? kCheckDone : c.status);
    EXPECT_EQ(state_->messageType, applied ? c.messageType : 4);
    EXPECT_EQ(List(state_->related, state_->relatedCount), applied ? c.dependents : std::vector<WORD>{18});
    std::vector<WORD> returned;
    for (const WORD* p = block; p != nullptr; ++p) {
      returned.push_back(*p);
      if (*p == 0) break;
    }
    std::vector<WORD> expected = c.changed;
    if (!expected.empty()) expected.insert(expected.end(), {c.id, 0});
    EXPECT_EQ(returned, expected);
    GlobalFree(block);
  }
}

TEST_F(HardRules, FailedReadsAndMissingArguments) {
  const DWORD one = 1;
  const ItemChange edit{0x9002, 0, nullptr};
  const ItemChange warn{1284, kTypeFlag, &one};
  WORD room[kChangedListInline];
  WORD* list = room;
  WORD count = 0;
  // Without a printer's stamp store the count of an add request cannot be read.
  const ItemChange add{0x9001, 0, nullptr};
  EXPECT_EQ(ApplyHardRules(bare_, &context_, &add, state_, state_, &list, &count), kCheckFailed);
  EXPECT_EQ(ApplyHardRules(nullptr, &context_, &add, state_, state_, &list, &count), kCheckFailed);
  // Without settings every read fails: rules that read end with 1, the others still decide.
  const SettingsContext unread{store_, nullptr, nullptr};
  for (SettingItemId id : {0x9002, 0x9003, 1286, 298, 301, 303, 5121}) {
    const ItemChange change{id, 0, nullptr};
    EXPECT_EQ(ApplyHardRules(printer_, &unread, &change, state_, state_, &list, &count), kCheckFailed) << id;
  }
  const ItemChange tiles{321, kTypeUInt16, &one};
  EXPECT_EQ(ApplyHardRules(printer_, &unread, &tiles, state_, state_, &list, &count), kCheckFailed);
  EXPECT_EQ(state_->messageType, 0);
  EXPECT_EQ(ApplyHardRules(printer_, &unread, &warn, state_, state_, &list, &count), kCheckDone);
  EXPECT_EQ(state_->messageType, 6);
  EXPECT_EQ(count, 0);

  EXPECT_EQ(ApplyHardRules(printer_, nullptr, &edit, state_, state_, &list, &count), kCheckFailed);
  EXPECT_EQ(ApplyHardRules(printer_, &context_, nullptr, state_, state_, &list, &count), kCheckFailed);
  EXPECT_EQ(ApplyHardRules(printer_, &context_, &edit, nullptr, state_, &list, &count), kCheckFailed);
  EXPECT_EQ(ApplyHardRules(printer_, &context_, &edit, state_, nullptr, &list, &count), kCheckFailed);
  EXPECT_EQ(ApplyHardRules(printer_, &context_, &edit, state_, state_, &list, nullptr), kCheckFailed);
  // Without a list the rule still decides and names its dependents.
  ResetConstraintState(state_);
  EXPECT_EQ(ApplyHardRules(printer_, &context_, &edit, state_, state_, nullptr, nullptr), kCheckDone);
  EXPECT_EQ(state_->messageType, 1);
  EXPECT_EQ(List(state_->related, state_->relatedCount), (std::vector<WORD>{296, 297}));
  EXPECT_EQ(AddDependentItems(nullptr, kItemStampFirstPageOnly), kCheckFailed);
}

}  // namespace
