// Evaluation of the model's constraint records (type 7 rules, type 8 requirements) for one
// proposed change: which records fire, collected into a ConstraintState or applied at once.
#pragma once

#include "core/constraints/constraint_engine.h"
#include "core/constraints/rule_compare.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

// Bits of a constraint record's message word.
inline constexpr WORD MSGWORD_TYPE_MASK = 0x00FF;
inline constexpr WORD MSGWORD_SKIP_APPLY = 0x0100;     // skipped in mode 2
inline constexpr WORD MSGWORD_SKIP_DEFAULTS = 0x0200;  // skipped in mode 1
inline constexpr WORD MSGWORD_KIND_SHIFT = 10;         // bits 10-13: the check kind
inline constexpr WORD MSGWORD_KIND_MASK = 0x3C00;
inline constexpr WORD MSGWORD_MARKED = 0x4000;         // skipped in modes 1, 2; alone in mode 3

// Condition connectors.
inline constexpr BYTE CONNECT_OR = 2;
inline constexpr BYTE CONNECT_END = 3;
inline constexpr BYTE CONNECT_END_GROUP = 4;

// The check kind of a message word, and whether it asks for a media check.
inline WORD CheckKind(WORD messageWord) { return (messageWord & MSGWORD_KIND_MASK) >> MSGWORD_KIND_SHIFT; }
inline bool IsMediaCheckKind(WORD kind) { return (kind >= 1 && kind <= 3) || (kind >= 5 && kind <= 9); }

// Whether the mode skips a record with this message word.
inline bool SkippedInMode(WORD mode, WORD messageWord) {
  const bool marked = (messageWord & MSGWORD_MARKED) != 0;
  switch (mode) {
    case CHECK_MODE_DEFAULTS: return marked || (messageWord & MSGWORD_SKIP_DEFAULTS) != 0;
    case CHECK_MODE_APPLY: return marked || (messageWord & MSGWORD_SKIP_APPLY) != 0;
    case CHECK_MODE_MARKED: return !marked;
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
    return LoadReferencedValue(&value, stream) == DBS_OK;
  }
  ~ConditionValues() {
    if (value.owned && value.value != nullptr && value.value != original) GlobalFree(value.value);
  }
};

// Results of the record tests.
inline constexpr WORD RECORD_QUIET = 0;
inline constexpr WORD RECORD_FIRES = 1;
inline constexpr WORD RECORD_ERROR = 2;
inline constexpr WORD RECORD_CANDIDATE = 3;  // no conditions: fires as it is

// List kinds of EvaluateConstraintList.
inline constexpr WORD LIST_RULES = 0;
inline constexpr WORD LIST_REQUIREMENTS = 1;

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
