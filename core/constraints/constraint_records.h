// Evaluation of the model's constraint records (type 7 rules, type 8 requirements) for one
// proposed change: which records fire, collected into a ConstraintState or applied at once.
#pragma once

#include "core/constraints/constraint_engine.h"
#include "core/constraints/record_result.h"
#include "core/constraints/rule_compare.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

// Bits of a constraint record's message word.
inline constexpr WORD kMessageWordTypeMask = 0x00FF;
inline constexpr WORD kMessageWordSkipApply = 0x0100;     // skipped in mode 2
inline constexpr WORD kMessageWordSkipDefaults = 0x0200;  // skipped in mode 1
inline constexpr WORD kMessageWordKindShift = 10;         // bits 10-13: the check kind
inline constexpr WORD kMessageWordKindMask = 0x3C00;
inline constexpr WORD kMessageWordMarked = 0x4000;         // skipped in modes 1, 2; alone in mode 3

// Condition connectors.
inline constexpr BYTE kConnectOr = 2;
inline constexpr BYTE kConnectEnd = 3;
inline constexpr BYTE kConnectEndGroup = 4;

// The check kind of a message word, and whether it asks for a media check.
inline WORD CheckKind(WORD messageWord) { return (messageWord & kMessageWordKindMask) >> kMessageWordKindShift; }
inline bool IsMediaCheckKind(WORD kind) { return (kind >= 1 && kind <= 3) || (kind >= 5 && kind <= 9); }

// Whether the mode skips a record with this message word.
inline bool SkippedInMode(WORD mode, WORD messageWord) {
  const bool marked = (messageWord & kMessageWordMarked) != 0;
  switch (mode) {
    case kCheckModeDefaults: return marked || (messageWord & kMessageWordSkipDefaults) != 0;
    case kCheckModeApply: return marked || (messageWord & kMessageWordSkipApply) != 0;
    case kCheckModeMarked: return !marked;
    default: return false;
  }
}

// A condition's values, a referenced list loaded into a copy of its own so that the record
// stays as it was read; the copy is freed when this goes.
struct ConditionValues {
  StoredValue value{};
  const void* original = nullptr;
  ConditionValues() = default;
  ConditionValues(const ConditionValues&) = delete;
  ConditionValues& operator=(const ConditionValues&) = delete;
  // FALSE when a referenced list cannot be loaded.
  bool Load(const ItemValueElement* condition, DatabaseStream* stream) {
    value = condition->value;
    original = condition->value.value;
    if (value.type != DDD_VALUE_REFERENCE) return true;
    value.owned = FALSE;
    return LoadReferencedValue(&value, stream) == kDbOk;
  }
  ~ConditionValues() {
    if (value.owned && value.value != nullptr && value.value != original) GlobalFree(value.value);
  }
};

// List kinds of EvaluateConstraintList.
inline constexpr WORD kListRules = 0;
inline constexpr WORD kListRequirements = 1;

// The database step of CheckSettingChange: 0, 1, or 6 when no database rule applies.
WORD EvaluateValueConstraints(WORD mode, HANDLE printer, const SettingsContext* context, const ItemChange* change,
                              const WORD* itemFilter, const ConstraintState* entryState, ConstraintState* state,
                              WORD** changedItems, WORD* count, WORD lookupFlag);
// Walks one list of record numbers of a value record. With the collect flag fired records go
// into the state; without it their forced values are written and their items listed. 0 or 1.
WORD EvaluateConstraintList(WORD mode, BOOL collect, WORD listKind, HANDLE printer, const SettingsContext* context,
                            const ItemChange* change, ConstraintState* state, const DatabaseRecord* valueRecord,
                            WORD** forcedItems, WORD* forcedCount, WORD** changedItems, WORD* changedCount);
// One head value of a record: 3 candidate without conditions, 1 fires, 0 quiet, 2 error.
WORD TestConstraintRecord(WORD mode, WORD listKind, HANDLE printer, const SettingsContext* context,
                          const ItemChange* change, ConstraintState* state, const ConstraintRecord* record,
                          const void* headValue, WORD** changedItems, WORD* changedCount);
// The record's conditions under the mode filter: 1 fires, 0 quiet, 2 error.
WORD EvaluateConditions(WORD mode, WORD listKind, HANDLE printer, const SettingsContext* context,
                        const ItemChange* change, const ConstraintRecord* record, WORD* flags, WORD** changedItems,
                        WORD* changedCount);
// One condition against the settings: 1 holds, 0 does not, 2 error; size tests report flags.
WORD EvaluateCondition(const SettingsContext* context, const ItemChange* change, const ItemValueElement* condition,
                       DatabaseStream* stream, WORD* flags);
// Writes a record's forced values: 4, 3 for a record without any, 1 or 2 on failure.
WORD ApplyForcedEntries(const SettingsContext* context, const ConstraintRecord* record, WORD** changedItems,
                        WORD* count);
// Plain checks of the given items with their current values: 0, 1 when one is refused
// (message type 1), 2 on error.
WORD RecheckConditionItems(HANDLE printer, const SettingsContext* context, const WORD* ids, WORD count);
// Where a comparison finds a value held in a cell: strings are their own address.
const void* ValueOfCell(ValueTypeCode type, const ItemValueCell* cell);
