#include "core/constraints/constraint_records.h"

#include <cstring>

#include "core/constraints/change_values.h"
#include "core/constraints/constraint_standin.h"
#include "core/constraints/size_checks.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

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
    return listKind == LIST_RULES ? &list->rules : &list->requirements;
  }
  if (recordType == 13 || recordType == 14) {
    const auto* entry = reinterpret_cast<const ChoiceEntryRecord*>(record);
    return listKind == LIST_RULES ? &entry->rules : &entry->requirements;
  }
  return nullptr;
}

WORD AppendRelated(ConstraintState* state, WORD id) {
  return AppendUniqueItemId(id, kRelatedListInline, &state->related, &state->relatedCount);
}

// The related items of a record: the head's item (requirements) or every condition's item and
// the items of its check kind (rules).
WORD CollectConstraintItemIds(ConstraintState* state, WORD listKind, const ConstraintRecord* record) {
  if (listKind == LIST_REQUIREMENTS) return AppendRelated(state, record->watch.item);
  for (WORD i = 0; i < record->conditions.count; ++i) {
    const WORD status = AppendRelated(state, record->conditions.items[i].test.item);
    if (status != CS_DONE) return status;
  }
  const WORD kind = CheckKind(record->messageWord);
  for (const KindItems& row : kCheckKindItems)
    if (row.kind == kind)
      for (WORD item : row.items) {
        if (item == 0) break;
        const WORD status = AppendRelated(state, item);
        if (status != CS_DONE) return status;
      }
  return CS_DONE;
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

bool EndsGroup(BYTE connector) { return connector == CONNECT_END || connector == CONNECT_END_GROUP; }

}  // namespace

const void* ValueOfCell(ValueTypeCode type, const ItemValueCell* cell) {
  return type == kTypeString ? cell->data : cell;
}

WORD EvaluateCondition(const SettingsContext* context, const ItemChange* change, const ItemValueElement* condition,
                       DatabaseStream* stream, WORD* flags) {
  WORD ownFlags = 0;
  if (flags == nullptr) flags = &ownFlags;
  *flags = 0;
  if (condition->op == OP_SIZE_RANGE) {
    const WORD answer = CheckSizeRangeRecord(context, change, condition, stream, flags);
    return answer == RULE_HOLDS ? RECORD_FIRES : answer == RULE_FAILS ? RECORD_QUIET : RECORD_ERROR;
  }
  ValueTypeCode type = 0;
  ItemValueCell current{};
  const ItemAccessResult read = ReadCurrentValue(context, condition->item, &type, &current);
  if (read == kItemNoRange) return RECORD_QUIET;  // an item this build does not know
  if (read != kItemDone) return RECORD_ERROR;
  ConditionValues values;
  if (!values.Load(condition, stream)) return RECORD_ERROR;
  const StoredValue& value = values.value;
  WORD result = RECORD_ERROR;
  if (value.present && value.value != nullptr && value.count != 0) {
    const bool allDiffer = condition->op == OP_NOT_EQUAL;
    bool holds = allDiffer;
    result = RECORD_QUIET;
    for (WORD k = 0; k < value.count; ++k) {
      const WORD answer =
          CompareRuleValue(condition->op, value.type, StoredElement(value, k), type, ValueOfCell(type, &current));
      if (answer != RULE_HOLDS && answer != RULE_FAILS) {
        result = RECORD_ERROR;
        break;
      }
      if (allDiffer && answer == RULE_FAILS) {
        holds = false;
        break;
      }
      if (!allDiffer && answer == RULE_HOLDS) {
        holds = true;
        break;
      }
    }
    if (result != RECORD_ERROR) result = holds ? RECORD_FIRES : RECORD_QUIET;
  }
  if (result != RECORD_FIRES) return result;
  switch (condition->op) {
    case OP_CUSTOM_SIZE:
    case OP_CUSTOM_SIZE_SOURCE:
    case OP_CUSTOM_SIZE_OWN:
    case OP_CUSTOM_SIZE_TURNED:
    case OP_CUSTOM_SIZE_EITHER: {
      const WORD answer = EvaluateSizeOperator(condition->op, context, change, flags);
      return answer == RULE_HOLDS ? RECORD_FIRES : answer == RULE_FAILS ? RECORD_QUIET : RECORD_ERROR;
    }
    default: return RECORD_FIRES;
  }
}

WORD EvaluateConditions(WORD mode, WORD listKind, HANDLE printer, const SettingsContext* context,
                        const ItemChange* change, const ConstraintRecord* record, WORD* flags, WORD** changedItems,
                        WORD* changedCount) {
  if (SkippedInMode(mode, record->messageWord)) return RECORD_QUIET;
  DatabaseStream* stream = record->h.stream;
  if (listKind == LIST_REQUIREMENTS) {
    WORD headFlags = 0;
    const WORD head = EvaluateCondition(context, change, &record->watch, stream, &headFlags);
    if (head == RECORD_ERROR) return RECORD_ERROR;
    if (changedItems != nullptr &&
        AppendUniqueItemId(record->watch.item, kChangedListInline, changedItems, changedCount) != CS_DONE)
      return RECORD_ERROR;
    return head == RECORD_FIRES ? RECORD_QUIET : RECORD_FIRES;
  }

  const WORD n = record->conditions.count;
  const ConditionElement* conditions = record->conditions.items;
  ConditionGroup group;
  bool fired = false;
  WORD i = 0;
  while (i < n) {
    WORD conditionFlags = 0;
    const WORD result = EvaluateCondition(context, change, &conditions[i].test, stream, &conditionFlags);
    if (result == RECORD_ERROR) return RECORD_ERROR;
    if (result == RECORD_QUIET) {
      if (conditions[i].connector == CONNECT_OR) {
        ++i;  // the next alternative
        continue;
      }
      while (i < n && !EndsGroup(conditions[i].connector)) ++i;
      group.Forget();
      ++i;
      continue;
    }
    group.flags |= conditionFlags;
    if (AppendUniqueItemId(conditions[i].test.item, kChangedListInline, &group.items, &group.count) != CS_DONE)
      return RECORD_ERROR;
    // The rest of an OR chain need not be looked at: go to its last member.
    while (i < n && conditions[i].connector == CONNECT_OR) ++i;
    if (i >= n) break;  // a chain that no group end closes
    if (!EndsGroup(conditions[i].connector)) {
      ++i;
      continue;
    }
    // The group holds.
    ++i;
    if (mode == CHECK_MODE_DEFAULTS || mode == CHECK_MODE_MARKED) {
      const WORD recheck = RecheckConditionItems(printer, context, group.items, group.count);
      if (recheck == 1) {
        group.Forget();
        continue;
      }
      if (recheck != 0) return RECORD_ERROR;
    }
    *flags |= group.flags;
    fired = true;
    if (changedItems == nullptr) return RECORD_FIRES;
    for (WORD k = 0; k < group.count; ++k)
      if (AppendUniqueItemId(group.items[k], kChangedListInline, changedItems, changedCount) != CS_DONE)
        return RECORD_ERROR;
    group.Forget();
  }
  return fired ? RECORD_FIRES : RECORD_QUIET;
}

WORD TestConstraintRecord(WORD mode, WORD listKind, HANDLE printer, const SettingsContext* context,
                          const ItemChange* change, ConstraintState* state, const ConstraintRecord* record,
                          const void* headValue, WORD** changedItems, WORD* changedCount) {
  // A record the mode skips is never evaluated, with or without conditions.
  if (SkippedInMode(mode, record->messageWord)) return RECORD_QUIET;
  if (record->conditions.count == 0) return RECORD_CANDIDATE;
  if (state != nullptr && CollectConstraintItemIds(state, listKind, record) != CS_DONE) return RECORD_ERROR;
  if (headValue != nullptr) {
    if (change->id != record->watch.item) return RECORD_ERROR;
    ValueTypeCode type = 0;
    ItemValueCell value{};
    if (!ReadChangeOrItemCell(context, change, change->id, &type, &value)) return RECORD_ERROR;
    const WORD answer = CompareRuleValue(record->watch.op, record->watch.value.type, headValue, type,
                                         ValueOfCell(type, &value));
    if (answer == RULE_FAILS) return RECORD_QUIET;
    if (answer != RULE_HOLDS) return RECORD_ERROR;
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
  if (context == nullptr || change == nullptr || valueRecord == nullptr || listKind > LIST_REQUIREMENTS ||
      (collect && state == nullptr))
    return CS_FAILED;
  const KeyList* numbers = ConstraintListOf(valueRecord, valueRecord->h.type, listKind);
  if (numbers == nullptr) return CS_DONE;
  ItemStore* store = context->store;
  for (WORD r = 0; r < numbers->count; ++r) {
    const WORD number = numbers->items[r].key;
    DatabaseRecord* read = nullptr;
    if (ReadRecord(TRUE, store->main, store->linked, kRecordTypeOfList[listKind], number, &read) != DBS_OK)
      return CS_FAILED;
    auto* record = reinterpret_cast<ConstraintRecord*>(read);
    StoredValue& head = record->watch.value;
    if (head.type == DDD_VALUE_REFERENCE && LoadReferencedValue(&head, record->h.stream) != DBS_OK) {
      FreeRecord(&read, DB_ANY_TYPE);
      continue;
    }
    // The head's values, tried one by one (a head without values once).
    const bool hasValues = head.present && head.value != nullptr && head.count != 0;
    WORD first = 0, last = hasValues ? head.count : 1;
    if (hasValues && head.count > 1 && head.length == 2 && record->watch.op == OP_EQUAL) {
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
    for (WORD k = first; k < last && !fires; ++k) {
      WORD result = TestConstraintRecord(mode, listKind, printer, context, change, collect ? state : nullptr, record,
                                         hasValues ? StoredElement(head, k) : nullptr, changedItems, changedCount);
      if (result == RECORD_CANDIDATE || result == RECORD_FIRES) {
        const WORD kind = CheckKind(record->messageWord);
        if (kind == 4) result = CheckCustomSizeFit(record, mode, context, change);
        else if (IsMediaCheckKind(kind)) result = CheckMediaFit(record, mode, context, change, state);
      }
      fires = result == RECORD_CANDIDATE || result == RECORD_FIRES;
    }
    WORD status = CS_DONE;
    if (fires) {
      if (collect) {
        WORD** list = listKind == LIST_RULES ? &state->firedRules : &state->firedRequirements;
        WORD* count = listKind == LIST_RULES ? &state->firedRuleCount : &state->firedRequirementCount;
        status = AppendUniqueItemId(number, kFiredListInline, list, count);
        MergeMessageType(state, record->messageWord & MSGWORD_TYPE_MASK);
      } else {
        const WORD applied = ApplyForcedEntries(context, record, forcedItems, forcedCount);
        if (applied != CS_APPLIED && applied != CS_REFUSED) status = CS_FAILED;
      }
    }
    FreeRecord(&read, DB_ANY_TYPE);
    if (status != CS_DONE) return CS_FAILED;
  }
  return CS_DONE;
}

WORD EvaluateValueConstraints(WORD mode, HANDLE printer, const SettingsContext* context, const ItemChange* change,
                              const WORD* itemFilter, const ConstraintState* entryState, ConstraintState* state,
                              WORD** changedItems, WORD* count, WORD lookupFlag) {
  if (context == nullptr || change == nullptr || state == nullptr || context->store == nullptr) return CS_FAILED;
  if (itemFilter != nullptr && itemFilter[0] != 0) {
    bool accepted = false;
    for (const WORD* f = itemFilter; *f != 0 && !accepted; ++f) {
      if (*f == change->id) accepted = true;
      for (WORD i = 0; entryState != nullptr && i < entryState->relatedCount && !accepted; ++i)
        if (entryState->related[i] == *f) accepted = true;
    }
    if (!accepted) return CS_NO_RULE;
  }
  const void* value = lookupFlag == 1 ? nullptr : change->value;
  WORD type = 0;
  DatabaseRecord* record = nullptr;
  if (ReadItemValueRecord(TRUE, context->store->main, context->store->linked, change->id, value, &type, &record) !=
      DBS_OK)
    return CS_NO_RULE;
  WORD status = CS_DONE;
  if (type == 3 || type == 4 || type == 13 || type == 14) {
    status = EvaluateConstraintList(mode, TRUE, LIST_RULES, printer, context, change, state, record, nullptr, nullptr,
                                    changedItems, count);
    if (status == CS_DONE)
      status = EvaluateConstraintList(mode, TRUE, LIST_REQUIREMENTS, printer, context, change, state, record, nullptr,
                                      nullptr, changedItems, count);
  }
  FreeRecord(&record, DB_ANY_TYPE);
  return status;
}

WORD ApplyForcedEntries(const SettingsContext* context, const ConstraintRecord* record, WORD** changedItems,
                        WORD* count) {
  if (context == nullptr || record == nullptr) return CS_FAILED;
  if (record->forced.count == 0) return CS_REFUSED;
  for (WORD i = 0; i < record->forced.count; ++i) {
    const ItemValueElement& entry = record->forced.items[i];
    const StoredValue& stored = entry.value;
    if (!stored.present || stored.value == nullptr || stored.type == DDD_VALUE_REFERENCE) return CS_FAILED;
    // A copy of the value's own bytes, with room for a terminator.
    void* block = GlobalAlloc(GPTR, static_cast<SIZE_T>(stored.length) + sizeof(WCHAR) + 4);
    if (block == nullptr) return CS_NO_MEMORY;
    std::memcpy(block, stored.value, stored.length);
    WORD status = CS_DONE;
    if (stored.type == DDD_VALUE_INT16 || stored.type == DDD_VALUE_UINT16) {
      WORD special = 0;
      std::memcpy(&special, block, 2);
      if (special == 0x8000 || special == 0x8001) {
        // The item's own database default, or the default paper.
        void* value = nullptr;
        ValueTypeCode type = 0;
        const WORD read = ReadItemDefault(context->store->main, context->store->linked,
                                          special == 0x8000 ? entry.item : 8, &value, &type);
        if (read == DBS_OK && (type == DDD_VALUE_INT16 || type == DDD_VALUE_UINT16)) std::memcpy(block, value, 2);
        else status = read == DBS_NO_MEMORY ? CS_NO_MEMORY : CS_FAILED;
        GlobalFree(value);
      }
    }
    if (status == CS_DONE) {
      void* text = block;
      const ItemChange change{entry.item, stored.type, stored.type == DDD_VALUE_STRING ? &text : block};
      status = ApplyConflictItem(context, &change);
    }
    GlobalFree(block);
    if (status == CS_DONE && changedItems != nullptr)
      status = AppendUniqueItemId(entry.item, kChangedListInline, changedItems, count);
    if (status != CS_DONE) return status;
  }
  return CS_APPLIED;
}

WORD RecheckConditionItems(HANDLE printer, const SettingsContext* context, const WORD* ids, WORD count) {
  if (context == nullptr || (count != 0 && ids == nullptr)) return 2;
  ConstraintState* state = CreateConstraintState();
  if (state == nullptr) return 2;
  WORD result = 0;
  for (WORD i = 0; i < count && result == 0; ++i) {
    if (CheckSettingChange(CHECK_MODE_PLAIN, printer, context->store, context->settings, context->config, nullptr,
                           ids[i], 0, nullptr, state, nullptr, 0) != CS_DONE)
      result = 2;
    else if (state->messageType == 1)
      result = 1;
    ResetConstraintState(state);
  }
  FreeConstraintState(state);
  return result;
}
