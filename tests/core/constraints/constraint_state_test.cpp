#include <gtest/gtest.h>

#include "core/constraints/constraint_state.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class ConstraintStateTest : public SandboxTest {};

TEST_F(ConstraintStateTest, ListsGrowInStepsOfFiveAndCopyDeeply) {
  ConstraintState* state = CreateConstraintState();
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->firedRules, state->firedRuleRoom);
  for (WORD id = 1; id <= 9; ++id) ASSERT_EQ(AppendUniqueItemId(id, kFiredListInline, &state->firedRules, &state->firedRuleCount), 0);
  EXPECT_EQ(AppendUniqueItemId(4, kFiredListInline, &state->firedRules, &state->firedRuleCount), 0);
  EXPECT_EQ(state->firedRuleCount, 9);
  EXPECT_NE(state->firedRules, state->firedRuleRoom);
  EXPECT_EQ(IdListCapacity(kFiredListInline, 9), 13);
  EXPECT_EQ(IdListCapacity(kFiredListInline, 8), 8);
  EXPECT_EQ(IdListCapacity(kRelatedListInline, 26), 30);
  // Up to 13 the grown block holds them; the 14th moves to a block of 18.
  for (WORD id = 10; id <= 14; ++id) AppendUniqueItemId(id, kFiredListInline, &state->firedRules, &state->firedRuleCount);
  for (WORD i = 0; i < 14; ++i) EXPECT_EQ(state->firedRules[i], i + 1);
  state->messageType = 6;
  state->checkFlags = 0x13;

  ConstraintState* copy = CreateConstraintState();
  ASSERT_EQ(CopyConstraintState(copy, state), 0);
  EXPECT_NE(copy->firedRules, state->firedRules);
  EXPECT_EQ(copy->firedRequirements, copy->firedRequirementRoom);
  EXPECT_EQ(copy->related, copy->relatedRoom);
  ASSERT_EQ(copy->firedRuleCount, 14);
  for (WORD i = 0; i < 14; ++i) EXPECT_EQ(copy->firedRules[i], i + 1);
  EXPECT_EQ(copy->messageType, 6);
  EXPECT_EQ(copy->checkFlags, 0x13);
  // The copy grows on its own.
  EXPECT_EQ(AppendUniqueItemId(99, kFiredListInline, &copy->firedRules, &copy->firedRuleCount), 0);
  EXPECT_EQ(state->firedRuleCount, 14);

  ResetConstraintState(state);
  EXPECT_EQ(state->firedRuleCount, 0);
  EXPECT_EQ(state->messageType, 0);
  EXPECT_EQ(state->firedRules, state->firedRuleRoom);
  // Copying over a grown destination frees its old storage.
  ASSERT_EQ(CopyConstraintState(copy, state), 0);
  EXPECT_TRUE(FreeConstraintState(state));
  EXPECT_TRUE(FreeConstraintState(copy));
  EXPECT_FALSE(FreeConstraintState(nullptr));
}

TEST_F(ConstraintStateTest, AppendFailuresLeaveTheListAsItWas) {
  WORD room[5];
  WORD* list = room;
  WORD count = 0;
  for (WORD id = 1; id <= 5; ++id) AppendUniqueItemId(id, kChangedListInline, &list, &count);
  SimFailNthAllocation(1);
  EXPECT_EQ(AppendUniqueItemId(6, kChangedListInline, &list, &count), 2);
  EXPECT_EQ(list, room);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(AppendUniqueItemId(6, kChangedListInline, nullptr, &count), 1);
  EXPECT_EQ(AppendUniqueItemId(6, kChangedListInline, &list, nullptr), 1);
  ASSERT_EQ(AppendUniqueItemId(6, kChangedListInline, &list, &count), 0);
  ReleaseIdList(&list, &count, room);
  EXPECT_EQ(list, room);
  EXPECT_EQ(count, 0);
}

TEST_F(ConstraintStateTest, ListsStopAtTheSixteenBitLimit) {
  // Near 65,535 entries the growth must not wrap: a list of inline room 8 with 65,534 ids takes
  // its last id in a block big enough, and a list at the limit refuses the next id unchanged.
  for (WORD inlineRoom : {kChangedListInline, kFiredListInline, kRelatedListInline}) {
    SCOPED_TRACE(inlineRoom);
    const WORD full = 0xFFFE;
    auto* block = static_cast<WORD*>(GlobalAlloc(GPTR, IdListCapacity(inlineRoom, full) * sizeof(WORD)));
    ASSERT_NE(block, nullptr);
    for (WORD i = 0; i < full; ++i) block[i] = static_cast<WORD>(i + 2);
    WORD* list = block;
    WORD count = full;
    ASSERT_EQ(AppendUniqueItemId(1, inlineRoom, &list, &count), kCheckDone);
    ASSERT_EQ(count, 0xFFFF);
    EXPECT_EQ(list[0xFFFE], 1);
    EXPECT_EQ(list[0xFFFD], 0xFFFF);
    WORD* before = list;
    EXPECT_EQ(AppendUniqueItemId(0, inlineRoom, &list, &count), kCheckFailed);
    EXPECT_EQ(list, before);
    EXPECT_EQ(count, 0xFFFF);
    EXPECT_EQ(AppendUniqueItemId(7, inlineRoom, &list, &count), kCheckDone);  // already there
    // A copy of a state at the limit keeps every entry.
    if (inlineRoom == kRelatedListInline) {
      ConstraintState* state = CreateConstraintState();
      ConstraintState* copy = CreateConstraintState();
      state->related = list;
      state->relatedCount = count;
      ASSERT_EQ(CopyConstraintState(copy, state), kCheckDone);
      EXPECT_EQ(copy->related[0xFFFE], 1);
      FreeConstraintState(copy);
      FreeConstraintState(state);
    } else {
      GlobalFree(list);
    }
  }
}

TEST_F(ConstraintStateTest, CopyWithoutMemoryEmptiesTheDestination) {
  ConstraintState* state = CreateConstraintState();
  ConstraintState* copy = CreateConstraintState();
  for (WORD id = 1; id <= 21; ++id) AppendUniqueItemId(id, kRelatedListInline, &state->related, &state->relatedCount);
  copy->messageType = 3;
  SimFailNthAllocation(1);
  EXPECT_EQ(CopyConstraintState(copy, state), 2);
  EXPECT_EQ(copy->relatedCount, 0);
  EXPECT_EQ(copy->messageType, 0);
  EXPECT_EQ(CopyConstraintState(nullptr, state), 1);
  FreeConstraintState(state);
  FreeConstraintState(copy);
}

TEST_F(ConstraintStateTest, MessageTypePriority) {
  struct Case {
    WORD current, incoming, expected;
  } cases[] = {
      {3, 6, 6}, {6, 3, 6}, {9, 4, 9}, {4, 9, 9}, {0, 4, 4}, {1, 6, 6}, {6, 1, 6}, {7, 1, 1},
      {11, 13, 13}, {13, 11, 13}, {2, 5, 2}, {5, 3, 5}, {15, 8, 8}, {14, 15, 15}, {12, 10, 12},
      {3, 0x20, 3},   // outside the ranking: never replaces
      {0x20, 0, 0},   // a current type outside the ranking counts as lowest
      {0, 16, 0},
  };
  ConstraintState state{};
  for (const Case& c : cases) {
    state.messageType = c.current;
    MergeMessageType(&state, c.incoming);
    EXPECT_EQ(state.messageType, c.expected) << c.current << " + " << c.incoming;
  }
}

}  // namespace
