// STAND-INS for routines of parts that later issues build, in one place so each can be removed
// when its real code lands:
//  - built-in constraint rules and size checks: ApplyHardRules, CheckMediaFit,
//    CheckCustomSizeFit, EvaluateSizeOperator, CheckSizeRangeRecord (the built-in rules issue);
//  - the built-in choice lists of items 12, 298, 305 and 358 (the choice lists issue).
#pragma once

#include "core/constraint_engine.h"
#include "core/item_descriptors.h"
#include "core/os_generation.h"

// No hard rule exists yet for any item: always 6 (no rule), the state untouched.
WORD ApplyHardRules(HANDLE printer, const SettingsContext* context, const ItemChange* change,
                    const ConstraintState* entryState, ConstraintState* state, WORD** changedItems, WORD* count);
// The media and custom-size checks of a record's check kind cannot be made yet: 2 (error), so a
// record that asks for one does not fire.
WORD CheckMediaFit(const ConstraintRecord* record, WORD mode, const SettingsContext* context,
                   const ItemChange* change, ConstraintState* state);
WORD CheckCustomSizeFit(const ConstraintRecord* record, WORD mode, const SettingsContext* context,
                        const ItemChange* change);
// The size operators cannot be decided yet: 1 (error), so such a condition is an error.
WORD EvaluateSizeOperator(BYTE op, const SettingsContext* context, const ItemChange* change, WORD* flags);
WORD CheckSizeRangeRecord(const SettingsContext* context, const ItemChange* change,
                          const ItemValueElement* condition, WORD* flags);

// Built-in choice lists are not built yet: 0 for both list operations.
int BuildBuiltinListPart(ItemStore* store, WORD operation, SettingItemId id, ItemValueSlot* slot);
