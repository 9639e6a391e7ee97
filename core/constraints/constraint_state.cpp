#include "core/constraints/constraint_state.h"

#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kMessagePriority[] = {6, 1, 7, 8, 15, 14, 12, 10, 13, 11, 2, 5, 3, 9, 4, 0};

void PointAtInlineRooms(ConstraintState* state) {
  state->firedRules = state->firedRuleRoom;
  state->firedRequirements = state->firedRequirementRoom;
  state->related = state->relatedRoom;
}

void FreeGrownLists(ConstraintState* state) {
  if (state->firedRules != state->firedRuleRoom) GlobalFree(state->firedRules);
  if (state->firedRequirements != state->firedRequirementRoom) GlobalFree(state->firedRequirements);
  if (state->related != state->relatedRoom) GlobalFree(state->related);
  PointAtInlineRooms(state);
}

// Gives a copied list storage of its own: the inline room while it fits, else a new block of
// the capacity its count calls for.
bool CopyIdList(const WORD* source, WORD count, WORD inlineCapacity, WORD* inlineRoom, WORD** list) {
  if (count <= inlineCapacity) {
    std::memcpy(inlineRoom, source, count * sizeof(WORD));
    *list = inlineRoom;
    return true;
  }
  auto* block = static_cast<WORD*>(GlobalAlloc(GPTR, IdListCapacity(inlineCapacity, count) * sizeof(WORD)));
  if (block == nullptr) return false;
  std::memcpy(block, source, count * sizeof(WORD));
  *list = block;
  return true;
}

}  // namespace

ConstraintState* CreateConstraintState() {
  auto* state = static_cast<ConstraintState*>(GlobalAlloc(GPTR, sizeof(ConstraintState)));
  if (state != nullptr) PointAtInlineRooms(state);
  return state;
}

BOOL FreeConstraintState(ConstraintState* state) {
  if (state == nullptr) return FALSE;
  FreeGrownLists(state);
  GlobalFree(state);
  return TRUE;
}

void ResetConstraintState(ConstraintState* state) {
  if (state == nullptr) return;
  FreeGrownLists(state);
  std::memset(state, 0, sizeof *state);
  PointAtInlineRooms(state);
}

WORD CopyConstraintState(ConstraintState* destination, const ConstraintState* source) {
  if (destination == nullptr || source == nullptr) return kCheckFailed;
  if (destination == source) return kCheckDone;
  ResetConstraintState(destination);
  destination->messageType = source->messageType;
  destination->checkFlags = source->checkFlags;
  if (!CopyIdList(source->firedRules, source->firedRuleCount, kFiredListInline, destination->firedRuleRoom,
                  &destination->firedRules) ||
      !CopyIdList(source->firedRequirements, source->firedRequirementCount, kFiredListInline,
                  destination->firedRequirementRoom, &destination->firedRequirements) ||
      !CopyIdList(source->related, source->relatedCount, kRelatedListInline, destination->relatedRoom,
                  &destination->related)) {
    ResetConstraintState(destination);
    return kCheckNoMemory;
  }
  destination->firedRuleCount = source->firedRuleCount;
  destination->firedRequirementCount = source->firedRequirementCount;
  destination->relatedCount = source->relatedCount;
  return kCheckDone;
}

DWORD IdListCapacity(WORD inlineCapacity, WORD count) {
  if (count <= inlineCapacity) return inlineCapacity;
  const DWORD excess = count - inlineCapacity;
  return inlineCapacity + (excess + kListGrowthStep - 1) / kListGrowthStep * kListGrowthStep;
}

WORD AppendUniqueItemId(WORD id, WORD inlineCapacity, WORD** list, WORD* count) {
  if (list == nullptr || *list == nullptr || count == nullptr) return kCheckFailed;
  for (WORD i = 0; i < *count; ++i)
    if ((*list)[i] == id) return kCheckDone;
  if (*count == 0xFFFF) return kCheckFailed;  // the count cannot go higher
  const DWORD capacity = IdListCapacity(inlineCapacity, *count);
  if (*count >= capacity) {
    auto* block = static_cast<WORD*>(GlobalAlloc(GPTR, (capacity + kListGrowthStep) * sizeof(WORD)));
    if (block == nullptr) return kCheckNoMemory;
    std::memcpy(block, *list, *count * sizeof(WORD));
    // At exactly the inline capacity the list still lives in its inline room.
    if (*count != inlineCapacity) GlobalFree(*list);
    *list = block;
  }
  (*list)[(*count)++] = id;
  return kCheckDone;
}

void ReleaseIdList(WORD** list, WORD* count, WORD* inlineRoom) {
  if (*list != inlineRoom) GlobalFree(*list);
  *list = inlineRoom;
  *count = 0;
}

int MessageTypeRank(WORD type) {
  constexpr int n = static_cast<int>(sizeof kMessagePriority / sizeof kMessagePriority[0]);
  for (int i = 0; i < n; ++i)
    if (kMessagePriority[i] == type) return n - i;
  return -1;
}

void MergeMessageType(ConstraintState* state, WORD type) {
  if (state == nullptr) return;
  const int rank = MessageTypeRank(type);
  if (rank < 0) return;
  if (rank > MessageTypeRank(state->messageType)) state->messageType = type;
}
