// STAND-INS for routines of parts that later issues build, in one place so each can be removed
// when its real code lands:
//  - built-in constraint rules: ApplyHardRules (the built-in rules issue);
//  - the built-in choice lists of items 12, 298, 305 and 358 (the choice lists issue).
#pragma once

#include "core/constraint_engine.h"
#include "core/item_descriptors.h"
#include "core/os_generation.h"

// No hard rule exists yet for any item: always 6 (no rule), the state untouched.
WORD ApplyHardRules(HANDLE printer, const SettingsContext* context, const ItemChange* change,
                    const ConstraintState* entryState, ConstraintState* state, WORD** changedItems, WORD* count);
// Built-in choice lists are not built yet: 0 for both list operations.
int BuildBuiltinListPart(ItemStore* store, WORD operation, SettingItemId id, ItemValueSlot* slot);
