// The built-in rules of the constraint engine: a fixed table of rules for a few items (the
// stamp requests, the colour-management method, items that always pass or always warn) that
// CheckSettingChange runs before the model's constraint records, and the fixed lists of items
// whose state depends on a changed item.
#pragma once

#include "core/constraints/setting_change.h"
#include "platform/base/types.h"

// Judges the change by the item's built-in rule: sets the state's message type, appends the
// rule's ids to the changed-item list (when one is given) and the item's dependents to the
// state's related items. 0 a rule applied, 6 the item has no rule (the state untouched), 1 a
// missing argument or a failed read (the state untouched), or the failure of an append.
WORD ApplyHardRules(HANDLE printer, const SettingsContext* context, const ItemChange* change,
                    const ConstraintState* entryState, ConstraintState* state, WORD** changedItems, WORD* count);

// Appends the dependents of the item to the state's related items: 0 or the append's
// failure; 1 without a state.
WORD AddDependentItems(ConstraintState* state, SettingItemId id);
