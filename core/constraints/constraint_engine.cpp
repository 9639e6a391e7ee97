#include "core/constraints/constraint_engine.h"

#include <cstring>

#include "core/constraints/constraint_records.h"
#include "core/constraints/hard_rules.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kTrialRefusals[] = {1, 6, 7, 8};

bool IsTrialRefusal(WORD type) {
  for (WORD t : kTrialRefusals)
    if (t == type) return true;
  return false;
}

// Turns the collected ids into the caller's block: the ids, the changed item, then 0.
WORD FinishChangedItems(SettingItemId id, WORD** list, WORD* count, WORD* room, WORD** output) {
  *output = nullptr;
  if (*count == 0) return kCheckDone;
  WORD status = AppendUniqueItemId(id, kChangedListInline, list, count);
  if (status == kCheckDone) status = AppendUniqueItemId(0, kChangedListInline, list, count);
  if (status == kCheckDone) {
    auto* block = static_cast<WORD*>(GlobalAlloc(GPTR, *count * sizeof(WORD)));
    if (block == nullptr) {
      status = kCheckNoMemory;
    } else {
      std::memcpy(block, *list, *count * sizeof(WORD));
      *output = block;
    }
  }
  ReleaseIdList(list, count, room);
  return status;
}

}  // namespace

WORD CheckSettingChange(WORD mode, HANDLE printer, ItemStore* store, SettingsRecord* settings,
                        PrinterConfiguration* config, const WORD* itemFilter, SettingItemId id, ValueTypeCode type,
                        const void* value, ConstraintState* state, WORD** changedItems, WORD lookupFlag) {
  if (changedItems != nullptr) *changedItems = nullptr;
  // Every argument is checked before the caller's state is touched.
  if (settings == nullptr || store == nullptr || config == nullptr || state == nullptr || printer == nullptr)
    return kCheckFailed;

  if (mode == kCheckModeDefaults && value != nullptr) {
    // Trial: when the item is refused already with its current value, report that state with
    // message type 0 instead of judging the new value.
    ConstraintState* trial = CreateConstraintState();
    if (trial == nullptr || CopyConstraintState(trial, state) != kCheckDone) {
      FreeConstraintState(trial);
      return kCheckNoMemory;
    }
    WORD* trialItems = nullptr;
    const WORD status = CheckSettingChange(mode, printer, store, settings, config, itemFilter, id, type, nullptr, trial,
                                           &trialItems, lookupFlag);
    GlobalFree(trialItems);
    if (status == kCheckNoMemory) {
      FreeConstraintState(trial);
      return kCheckNoMemory;
    }
    if (status == kCheckDone && IsTrialRefusal(trial->messageType)) {
      const WORD copied = CopyConstraintState(state, trial);
      FreeConstraintState(trial);
      if (copied != kCheckDone) return copied;
      state->messageType = 0;
      return kCheckDone;
    }
    FreeConstraintState(trial);
  }

  WORD room[kChangedListInline];
  WORD* list = room;
  WORD count = 0;
  ConstraintState* entry = CreateConstraintState();
  if (entry == nullptr || CopyConstraintState(entry, state) != kCheckDone) {
    FreeConstraintState(entry);
    return kCheckNoMemory;
  }
  ResetConstraintState(state);

  const SettingsContext context{store, settings, config};
  const ItemChange change{id, type, value};
  // The rules always run with a list of their own, whether or not the caller keeps it: what
  // fires must not depend on the output (without a list a record fires at its first holding
  // group and its later groups, their check flags and the rechecks are never looked at).
  const WORD hard = ApplyHardRules(printer, &context, &change, entry, state, &list, &count);
  WORD status = hard;
  if (hard == kCheckDone || hard == kCheckNoRule) {
    const WORD database =
        EvaluateValueConstraints(mode, printer, &context, &change, itemFilter, entry, state, &list, &count, lookupFlag);
    status = database;
    if (database == kCheckNoRule) {
      status = kCheckDone;
      if (hard == kCheckNoRule) status = CopyConstraintState(state, entry);
    }
  }
  // A check that fails leaves the caller's state as it came in, not half filled.
  if (status != kCheckDone && CopyConstraintState(state, entry) != kCheckDone) status = kCheckNoMemory;
  FreeConstraintState(entry);
  if (status == kCheckDone && changedItems != nullptr) return FinishChangedItems(id, &list, &count, room, changedItems);
  ReleaseIdList(&list, &count, room);
  return status;
}

WORD ApplyConstraintRecords(WORD kindFlag, const SettingsContext* context, WORD** changedItems, WORD* count,
                            WORD recordCount, const WORD* recordNumbers) {
  if (context == nullptr || context->store == nullptr || (recordCount != 0 && recordNumbers == nullptr))
    return kCheckFailed;
  bool applied = false;
  for (WORD i = 0; i < recordCount; ++i) {
    DatabaseRecord* record = nullptr;
    if (FindRecord(TRUE, context->store->main, context->store->linked, kindFlag != 0 ? 7 : 8, recordNumbers[i], 0,
                   &record) != kDbOk)
      return kCheckFailed;
    const WORD status =
        ApplyForcedEntries(context, reinterpret_cast<const ConstraintRecord*>(record), changedItems, count);
    FreeRecord(&record, kDbAnyType);
    if (status == kCheckApplied) applied = true;
    else if (status != kCheckRefused) return kCheckFailed;
  }
  return applied ? kCheckApplied : kCheckRefused;
}
