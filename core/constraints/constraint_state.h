// The caller-owned result of a constraint check: the strongest message type of everything that
// fired, the size-check flags, the numbers of the fired rule and requirement records and the
// items whose state depends on the change; and the growable id lists it is made of.
#pragma once

#include "core/constraints/check_status.h"
#include "platform/base/types.h"

inline constexpr WORD kFiredListInline = 8;
inline constexpr WORD kRelatedListInline = 20;
inline constexpr WORD kChangedListInline = 5;
// How many entries a grown list gains at a time.
inline constexpr WORD kListGrowthStep = 5;

struct ConstraintState {
  WORD messageType;
  WORD checkFlags;
  WORD firedRuleCount;
  WORD firedRuleRoom[kFiredListInline];
  WORD* firedRules;  // numbers of the fired type-7 records
  WORD firedRequirementCount;
  WORD firedRequirementRoom[kFiredListInline];
  WORD* firedRequirements;  // numbers of the fired type-8 records
  WORD relatedCount;
  WORD relatedRoom[kRelatedListInline];
  WORD* related;  // items whose state depends on the change
};

// A zeroed state whose lists use their inline rooms; NULL without memory.
ConstraintState* CreateConstraintState();
// Frees grown storage and the state; FALSE for NULL.
BOOL FreeConstraintState(ConstraintState* state);
// Frees grown storage, zeroes the state and points the lists at their inline rooms.
void ResetConstraintState(ConstraintState* state);
// Makes the destination an independent copy of the source (grown lists get storage of their
// own); the destination's former grown storage is freed. 0, 1 for a missing state, 2 without
// memory (the destination is then empty).
WORD CopyConstraintState(ConstraintState* destination, const ConstraintState* source);

// Appends an id that the list does not hold yet: 0 (also when already present), 1 for a missing
// list or count and for a list whose 16-bit count is full, 2 when a grown block cannot be
// allocated (the list is left as it was). A list holds `inlineCapacity` ids in its inline room,
// then grows in steps of 5 into global blocks.
WORD AppendUniqueItemId(WORD id, WORD inlineCapacity, WORD** list, WORD* count);
// Places a list of `count` ids has: the inline capacity, or more by the growth rule (computed
// wide: near the 16-bit limit it passes 65,535).
DWORD IdListCapacity(WORD inlineCapacity, WORD count);
// Frees a list's grown block (when it has one) and points it back at its inline room.
void ReleaseIdList(WORD** list, WORD* count, WORD* inlineRoom);

// Replaces the state's message type by `type` when it ranks higher. Ranking, highest first:
// 6, 1, 7, 8, 15, 14, 12, 10, 13, 11, 2, 5, 3, 9, 4, 0; a type outside the ranking never
// replaces, and a current type outside it counts as lowest.
void MergeMessageType(ConstraintState* state, WORD type);
// Rank of a message type (higher wins); -1 for a type outside the ranking.
int MessageTypeRank(WORD type);
