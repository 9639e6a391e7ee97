// The constraint engine: what a proposed setting change implies under the model's built-in
// rules and constraint records, reported in the caller's ConstraintState; and the writing of
// the values that fired records force.
#pragma once

#include "core/constraints/constraint_state.h"
#include "core/constraints/setting_change.h"
#include "core/descriptors/item_descriptors.h"
#include "core/store/item_store.h"
#include "platform/base/types.h"

// Checks one proposed change in the given mode (kCheckMode*). The item filter (0-ended) limits
// the database rules to changes of its items or of items the state on entry relates to. With a
// list output, the items the change touches come back as a new 0-ended block that ends with
// the changed item (the caller frees it with GlobalFree), or NULL when none were collected.
// Lookup flag 1 looks up the item's list record instead of its value's entry.
// 0 the state is filled, 1 bad argument or failure, 2 out of memory, or a hard rule's failure.
// Every argument is checked before the caller's state is touched.
WORD CheckSettingChange(WORD mode, HANDLE printer, ItemStore* store, SettingsRecord* settings,
                        PrinterConfiguration* config, const WORD* itemFilter, SettingItemId id, ValueTypeCode type,
                        const void* value, ConstraintState* state, WORD** changedItems, WORD lookupFlag);

// Reads each constraint record (type 7 when kindFlag is non-zero, else 8) and writes its forced
// values: 4 something was written, 3 nothing, 1 the first failure.
WORD ApplyConstraintRecords(WORD kindFlag, const SettingsContext* context, WORD** changedItems, WORD* count,
                            WORD recordCount, const WORD* recordNumbers);
