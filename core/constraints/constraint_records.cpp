#include "core/constraints/constraint_records.h"

#include <cstring>

#include "core/constraints/change_values.h"
#include "core/constraints/constraint_engine.h"
#include "core/constraints/size_checks.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

static_assert(kSizeNoMemory == kRecordNoMemory, "a size check's answer stands in for a record's result");

constexpr WORD kRecordTypeOfList[] = {7, 8};

// Items a record's check kind looks at, collected with the record's condition items.
struct KindItems {
  WORD kind;
  WORD items[4];
};
constexpr KindItems kCheckKindItems[] = {
    {1, {262, 8, 265, 13}}, {2, {262, 8, 389, 0}}, {3, {262, 8, 266, 0}}, {5, {410, 0, 0, 0}},
    {6, {411, 0, 0, 0}},    {7, {411, 266, 0, 0}}, {8, {410, 266, 0, 0}}, {9, {262, 8, 333, 0}},
};

const KeyList* ConstraintListOf(const DatabaseRecord* record, WORD recordType, WORD listKind) {
  if (recordType == 3 || recordType == 4) {
    const auto* list = reinterpret_cast<const ChoiceListRecord*>(record);
    return listKind == kListRules ? &list->rules : &list->requirements;
  }
  if (recordType == 13 || recordType == 14) {
    const auto* entry = reinterpret_cast<const ChoiceEntryRecord*>(record);
    return listKind == kListRules ? &entry->rules : &entry->requirements;
  }
  return nullptr;
}

WORD AppendRelated(ConstraintState* state, WORD id) {
  return AppendUniqueItemId(id, kRelatedListInline, &state->related, &state->relatedCount);
}

// The related items of a record: the head's item (requirements) or every condition's item and
// the items of its check kind (rules).
WORD CollectConstraintItemIds(ConstraintState* state, WORD listKind, const ConstraintRecord* record) {
  if (listKind == kListRequirements) return AppendRelated(state, record->watch.item);
  for (WORD i = 0; i < record->conditions.count; ++i) {
    const WORD status = AppendRelated(state, record->conditions.items[i].test.item);
    if (status != kCheckDone) return status;
  }
  const WORD kind = CheckKind(record->messageWord);
  for (const KindItems& row : kCheckKindItems)
    if (row.kind == kind)
      for (WORD item : row.items) {
        if (item == 0) break;
        const WORD status = AppendRelated(state, item);
        if (status != kCheckDone) return status;
      }
  return kCheckDone;
}

// Element k of a stored value list.
const void* StoredElement(const StoredValue& value, WORD k) {
  if (value.type == DDD_VALUE_STRING) return value.value;
  return static_cast<const BYTE*>(value.value) + static_cast<DWORD>(k) * value.length;
}

// A group's holding conditions: their items (inline room of 5) and flags.
struct ConditionGroup {
  WORD room[kChangedListInline];
  WORD* items = room;
  WORD count = 0;
  WORD flags = 0;
  void Forget() {
    ReleaseIdList(&items, &count, room);
    flags = 0;
  }
  ~ConditionGroup() { ReleaseIdList(&items, &count, room); }
};

bool EndsGroup(BYTE connector) { return connector == kConnectEnd || connector == kConnectEndGroup; }

// A record result for a failed list append: out of memory ends the whole check.
WORD AppendFailure(WORD status) { return status == kCheckNoMemory ? kRecordNoMemory : kRecordError; }

// A record result for a size operator's answer.
WORD SizeOperatorResult(WORD answer) {
  switch (answer) {
    case kRuleHolds: return kRecordFires;
    case kRuleFails: return kRecordQuiet;
    case kCheckNoMemory: return kRecordNoMemory;
    default: return kRecordError;
  }
}

}  // namespace

WORD EvaluateCondition(const SettingsContext* context, const ItemChange* change, const ItemValueElement* condition,
                       DatabaseStream* stream, WORD* flags) {
  WORD ownFlags = 0;
  if (flags == nullptr) flags = &ownFlags;
  *flags = 0;
  if (condition->op == kOpSizeRange) {
    return SizeOperatorResult(CheckSizeRangeRecord(context, change, condition, stream, flags));
  }
  ValueTypeCode type = 0;
  ItemValueCell current{};
  const ItemAccessResult read = ReadCurrentValue(context, condition->item, &type, &current);
  if (read == kItemNoRange) return kRecordQuiet;  // an item this build does not know
  if (read != kItemDone) return kRecordError;
  ConditionValues values;
  const WORD loaded = values.Load(condition, stream);
  if (loaded != kDbOk) return loaded == kDbNoMemory ? kRecordNoMemory : kRecordError;
  const StoredValue& value = values.value;
  WORD result = kRecordError;
  if (value.present && value.value != nullptr && value.count != 0) {
    const bool allDiffer = condition->op == kOpNotEqual;
    bool holds = allDiffer;
    result = kRecordQuiet;
    for (WORD k = 0; k < value.count; ++k) {
      const WORD answer =
          CompareRuleValue(condition->op, value.type, StoredElement(value, k), type, ValueOfCell(type, &current));
      if (answer != kRuleHolds && answer != kRuleFails) {
        result = kRecordError;
        break;
      }
      if (allDiffer && answer == kRuleFails) {
        holds = false;
        break;
      }
      if (!allDiffer && answer == kRuleHolds) {
        holds = true;
        break;
      }
    }
    if (result != kRecordError) result = holds ? kRecordFires : kRecordQuiet;
  }
  if (result != kRecordFires) return result;
  switch (condition->op) {
    case kOpCustomSize:
    case kOpCustomSizeSource:
    case kOpCustomSizeOwn:
    case kOpCustomSizeTurned:
    case kOpCustomSizeEither: return SizeOperatorResult(EvaluateSizeOperator(condition->op, context, change, flags));
    default: return kRecordFires;
  }
}

WORD EvaluateConditions(WORD mode, WORD listKind, HANDLE printer, const SettingsContext* context,
                        const ItemChange* change, const ConstraintRecord* record, WORD* flags, WORD** changedItems,
                        WORD* changedCount) {
  if (SkippedInMode(mode, record->messageWord)) return kRecordQuiet;
  DatabaseStream* stream = record->h.stream;
  if (listKind == kListRequirements) {
    WORD headFlags = 0;
    const WORD head = EvaluateCondition(context, change, &record->watch, stream, &headFlags);
    if (head == kRecordError || head == kRecordNoMemory) return head;
    if (changedItems != nullptr) {
      const WORD appended = AppendUniqueItemId(record->watch.item, kChangedListInline, changedItems, changedCount);
      if (appended != kCheckDone) return AppendFailure(appended);
    }
    return head == kRecordFires ? kRecordQuiet : kRecordFires;
  }

  const WORD n = record->conditions.count;
  const ConditionElement* conditions = record->conditions.items;
  ConditionGroup group;
  bool fired = false;
  WORD i = 0;
  while (i < n) {
    WORD conditionFlags = 0;
    const WORD result = EvaluateCondition(context, change, &conditions[i].test, stream, &conditionFlags);
    if (result == kRecordError || result == kRecordNoMemory) return result;
    if (result == kRecordQuiet) {
      if (conditions[i].connector == kConnectOr) {
        ++i;  // the next alternative
        continue;
      }
      while (i < n && !EndsGroup(conditions[i].connector)) ++i;
      group.Forget();
      ++i;
      continue;
    }
    group.flags |= conditionFlags;
    const WORD appended = AppendUniqueItemId(conditions[i].test.item, kChangedListInline, &group.items, &group.count);
    if (appended != kCheckDone) return AppendFailure(appended);
    // The rest of an OR chain need not be looked at: go to its last member.
    while (i < n && conditions[i].connector == kConnectOr) ++i;
    if (i >= n) break;  // a chain that no group end closes
    if (!EndsGroup(conditions[i].connector)) {
      ++i;
      continue;
    }
    // The group holds.
    ++i;
    if (mode == kCheckModeDefaults || mode == kCheckModeMarked) {
      const WORD recheck = RecheckConditionItems(printer, context, group.items, group.count);
      if (recheck == 1) {
        group.Forget();
        continue;
      }
      if (recheck == kRecheckNoMemory) return kRecordNoMemory;
      if (recheck != 0) return kRecordError;
    }
    *flags |= group.flags;
    fired = true;
    if (changedItems == nullptr) return kRecordFires;
    for (WORD k = 0; k < group.count; ++k) {
      const WORD status = AppendUniqueItemId(group.items[k], kChangedListInline, changedItems, changedCount);
      if (status != kCheckDone) return AppendFailure(status);
    }
    group.Forget();
  }
  return fired ? kRecordFires : kRecordQuiet;
}

WORD TestConstraintRecord(WORD mode, WORD listKind, HANDLE printer, const SettingsContext* context,
                          const ItemChange* change, ConstraintState* state, const ConstraintRecord* record,
                          const void* headValue, WORD** changedItems, WORD* changedCount) {
  // A record the mode skips is never evaluated, with or without conditions.
  if (SkippedInMode(mode, record->messageWord)) return kRecordQuiet;
  if (record->conditions.count == 0) return kRecordCandidate;
  if (state != nullptr) {
    const WORD collected = CollectConstraintItemIds(state, listKind, record);
    if (collected != kCheckDone) return AppendFailure(collected);
  }
  if (headValue != nullptr) {
    if (change->id != record->watch.item) return kRecordError;
    ValueTypeCode type = 0;
    ItemValueCell value{};
    if (!ReadChangeOrItemCell(context, change, change->id, &type, &value)) return kRecordError;
    const WORD answer = CompareRuleValue(record->watch.op, record->watch.value.type, headValue, type,
                                         ValueOfCell(type, &value));
    if (answer == kRuleFails) return kRecordQuiet;
    if (answer != kRuleHolds) return kRecordError;
  }
  WORD flags = 0;
  const WORD result =
      EvaluateConditions(mode, listKind, printer, context, change, record, &flags, changedItems, changedCount);
  if (state != nullptr) state->checkFlags |= flags;
  return result;
}

WORD EvaluateConstraintList(WORD mode, BOOL collect, WORD listKind, HANDLE printer, const SettingsContext* context,
                            const ItemChange* change, ConstraintState* state, const DatabaseRecord* valueRecord,
                            WORD** forcedItems, WORD* forcedCount, WORD** changedItems, WORD* changedCount) {
  if (context == nullptr || change == nullptr || valueRecord == nullptr || listKind > kListRequirements ||
      (collect && state == nullptr))
    return kCheckFailed;
  const KeyList* numbers = ConstraintListOf(valueRecord, valueRecord->h.type, listKind);
  if (numbers == nullptr) return kCheckDone;
  ItemStore* store = context->store;
  for (WORD r = 0; r < numbers->count; ++r) {
    const WORD number = numbers->items[r].key;
    DatabaseRecord* read = nullptr;
    const WORD found = ReadRecord(TRUE, store->main, store->linked, kRecordTypeOfList[listKind], number, &read);
    if (found != kDbOk) return found == kDbNoMemory ? kCheckNoMemory : kCheckFailed;
    auto* record = reinterpret_cast<ConstraintRecord*>(read);
    StoredValue& head = record->watch.value;
    if (head.type == DDD_VALUE_REFERENCE) {
      // A head whose list cannot be loaded skips the record; without memory the walk ends.
      const WORD loaded = LoadReferencedValue(&head, record->h.stream);
      if (loaded != kDbOk) {
        FreeRecord(&read, kDbAnyType);
        if (loaded == kDbNoMemory) return kCheckNoMemory;
        continue;
      }
    }
    // The head's values, tried one by one (a head without values once).
    const bool hasValues = head.present && head.value != nullptr && head.count != 0;
    WORD first = 0, last = hasValues ? head.count : 1;
    if (hasValues && head.count > 1 && head.length == 2 && record->watch.op == kOpEqual) {
      // Only the value equal to the change's value is worth trying.
      ValueTypeCode type = 0;
      ItemValueCell value{};
      first = last = 0;
      if (change->id == record->watch.item && ReadChangeOrItemCell(context, change, change->id, &type, &value))
        for (WORD k = 0; k < head.count; ++k)
          if (std::memcmp(StoredElement(head, k), &value, 2) == 0) {
            first = k, last = k + 1;
            break;
          }
    }
    bool fires = false;
    bool noMemory = false;
    for (WORD k = first; k < last && !fires && !noMemory; ++k) {
      WORD result = TestConstraintRecord(mode, listKind, printer, context, change, collect ? state : nullptr, record,
                                         hasValues ? StoredElement(head, k) : nullptr, changedItems, changedCount);
      if (result == kRecordCandidate || result == kRecordFires) {
        const WORD kind = CheckKind(record->messageWord);
        if (kind == 4) result = CheckCustomSizeFit(record, mode, context, change);
        else if (IsMediaCheckKind(kind)) result = CheckMediaFit(record, mode, context, change, state);
      }
      fires = result == kRecordCandidate || result == kRecordFires;
      noMemory = result == kRecordNoMemory;
    }
    WORD status = noMemory ? kCheckNoMemory : kCheckDone;
    if (fires) {
      if (collect) {
        WORD** list = listKind == kListRules ? &state->firedRules : &state->firedRequirements;
        WORD* count = listKind == kListRules ? &state->firedRuleCount : &state->firedRequirementCount;
        status = AppendUniqueItemId(number, kFiredListInline, list, count);
        MergeMessageType(state, record->messageWord & kMessageWordTypeMask);
      } else {
        const WORD applied = ApplyForcedEntries(context, record, forcedItems, forcedCount);
        if (applied == kCheckNoMemory) status = kCheckNoMemory;
        else if (applied != kCheckApplied && applied != kCheckRefused) status = kCheckFailed;
      }
    }
    FreeRecord(&read, kDbAnyType);
    if (status != kCheckDone) return status == kCheckNoMemory ? kCheckNoMemory : kCheckFailed;
  }
  return kCheckDone;
}

WORD EvaluateValueConstraints(WORD mode, HANDLE printer, const SettingsContext* context, const ItemChange* change,
                              const WORD* itemFilter, const ConstraintState* entryState, ConstraintState* state,
                              WORD** changedItems, WORD* count, WORD lookupFlag) {
  if (context == nullptr || change == nullptr || state == nullptr || context->store == nullptr) return kCheckFailed;
  if (itemFilter != nullptr && itemFilter[0] != 0) {
    bool accepted = false;
    for (const WORD* f = itemFilter; *f != 0 && !accepted; ++f) {
      if (*f == change->id) accepted = true;
      for (WORD i = 0; entryState != nullptr && i < entryState->relatedCount && !accepted; ++i)
        if (entryState->related[i] == *f) accepted = true;
    }
    if (!accepted) return kCheckNoRule;
  }
  const void* value = lookupFlag == 1 ? nullptr : change->value;
  WORD type = 0;
  DatabaseRecord* record = nullptr;
  const WORD read =
      ReadItemValueRecord(TRUE, context->store->main, context->store->linked, change->id, value, &type, &record);
  if (read == kDbNoMemory) return kCheckNoMemory;
  if (read != kDbOk) return kCheckNoRule;
  WORD status = kCheckDone;
  if (type == 3 || type == 4 || type == 13 || type == 14) {
    status = EvaluateConstraintList(mode, TRUE, kListRules, printer, context, change, state, record, nullptr, nullptr,
                                    changedItems, count);
    if (status == kCheckDone)
      status = EvaluateConstraintList(mode, TRUE, kListRequirements, printer, context, change, state, record, nullptr,
                                      nullptr, changedItems, count);
  }
  FreeRecord(&record, kDbAnyType);
  return status;
}

WORD ApplyForcedEntries(const SettingsContext* context, const ConstraintRecord* record, WORD** changedItems,
                        WORD* count) {
  if (context == nullptr || record == nullptr) return kCheckFailed;
  if (record->forced.count == 0) return kCheckRefused;
  for (WORD i = 0; i < record->forced.count; ++i) {
    const ItemValueElement& entry = record->forced.items[i];
    const StoredValue& stored = entry.value;
    if (!stored.present || stored.value == nullptr || stored.type == DDD_VALUE_REFERENCE) return kCheckFailed;
    // A copy of the value's own bytes, with room for a terminator.
    void* block = GlobalAlloc(GPTR, static_cast<SIZE_T>(stored.length) + sizeof(WCHAR) + 4);
    if (block == nullptr) return kCheckNoMemory;
    std::memcpy(block, stored.value, stored.length);
    WORD status = kCheckDone;
    if (stored.type == DDD_VALUE_INT16 || stored.type == DDD_VALUE_UINT16) {
      WORD special = 0;
      std::memcpy(&special, block, 2);
      if (special == 0x8000 || special == 0x8001) {
        // The item's own database default, or the default paper.
        void* value = nullptr;
        ValueTypeCode type = 0;
        const WORD read = ReadItemDefault(context->store->main, context->store->linked,
                                          special == 0x8000 ? entry.item : 8, &value, &type);
        if (read == kDbOk && (type == DDD_VALUE_INT16 || type == DDD_VALUE_UINT16)) std::memcpy(block, value, 2);
        else status = read == kDbNoMemory ? kCheckNoMemory : kCheckFailed;
        GlobalFree(value);
      }
    }
    if (status == kCheckDone) {
      void* text = block;
      const ItemChange change{entry.item, stored.type, stored.type == DDD_VALUE_STRING ? &text : block};
      status = ApplyConflictItem(context, &change);
    }
    GlobalFree(block);
    if (status == kCheckDone && changedItems != nullptr)
      status = AppendUniqueItemId(entry.item, kChangedListInline, changedItems, count);
    if (status != kCheckDone) return status;
  }
  return kCheckApplied;
}

WORD RecheckConditionItems(HANDLE printer, const SettingsContext* context, const WORD* ids, WORD count) {
  if (context == nullptr || (count != 0 && ids == nullptr)) return 2;
  ConstraintState* state = CreateConstraintState();
  if (state == nullptr) return kRecheckNoMemory;
  WORD result = 0;
  for (WORD i = 0; i < count && result == 0; ++i) {
    const WORD status = CheckSettingChange(kCheckModePlain, printer, context->store, context->settings,
                                           context->config, nullptr, ids[i], 0, nullptr, state, nullptr, 0);
    if (status != kCheckDone)
      result = status == kCheckNoMemory ? kRecheckNoMemory : 2;
    else if (state->messageType == 1)
      result = 1;
    ResetConstraintState(state);
  }
  FreeConstraintState(state);
  return result;
}
