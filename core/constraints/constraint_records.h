// Evaluation of the model's constraint records (type 7 rules, type 8 requirements) for one
// proposed change: which records fire, collected into a ConstraintState or applied at once.
#pragma once

#include "core/constraints/record_conditions.h"
#include "core/constraints/setting_change.h"
#include "core/constraints/record_result.h"
#include "core/constraints/rule_compare.h"
#include "platform/base/types.h"

// List kinds of EvaluateConstraintList.
inline constexpr WORD kListRules = 0;
inline constexpr WORD kListRequirements = 1;

// The database step of CheckSettingChange: 0, 1, 2 without memory, or 6 when no database rule
// applies.
WORD EvaluateValueConstraints(WORD mode, HANDLE printer, const SettingsContext* context, const ItemChange* change,
                              const WORD* itemFilter, const ConstraintState* entryState, ConstraintState* state,
                              WORD** changedItems, WORD* count, WORD lookupFlag);
// Walks one list of record numbers of a value record. With the collect flag fired records go
// into the state; without it their forced values are written and their items listed. 0, 1,
// or 2 without memory.
WORD EvaluateConstraintList(WORD mode, BOOL collect, WORD listKind, HANDLE printer, const SettingsContext* context,
                            const ItemChange* change, ConstraintState* state, const DatabaseRecord* valueRecord,
                            WORD** forcedItems, WORD* forcedCount, WORD** changedItems, WORD* changedCount);
// One head value of a record: 3 candidate without conditions, 1 fires, 0 quiet, 2 error,
// 4 out of memory (kRecord*).
WORD TestConstraintRecord(WORD mode, WORD listKind, HANDLE printer, const SettingsContext* context,
                          const ItemChange* change, ConstraintState* state, const ConstraintRecord* record,
                          const void* headValue, WORD** changedItems, WORD* changedCount);
// The record's conditions under the mode filter: 1 fires, 0 quiet, 2 error, 4 out of memory.
WORD EvaluateConditions(WORD mode, WORD listKind, HANDLE printer, const SettingsContext* context,
                        const ItemChange* change, const ConstraintRecord* record, WORD* flags, WORD** changedItems,
                        WORD* changedCount);
// One condition against the settings: 1 holds, 0 does not, 2 error, 4 out of memory; size
// tests report flags.
WORD EvaluateCondition(const SettingsContext* context, const ItemChange* change, const ItemValueElement* condition,
                       DatabaseStream* stream, WORD* flags);
// Writes a record's forced values: 4, 3 for a record without any, 1 or 2 on failure.
WORD ApplyForcedEntries(const SettingsContext* context, const ConstraintRecord* record, WORD** changedItems,
                        WORD* count);
// Plain checks of the given items with their current values: 0, 1 when one is refused
// (message type 1), 2 on error, kRecheckNoMemory without memory.
inline constexpr WORD kRecheckNoMemory = 3;
WORD RecheckConditionItems(HANDLE printer, const SettingsContext* context, const WORD* ids, WORD count);
