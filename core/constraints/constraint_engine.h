// The constraint engine: what a proposed setting change implies under the model's built-in
// rules and constraint records, reported in the caller's ConstraintState; and the writing of
// the values that fired records force.
#pragma once

#include "core/constraints/constraint_state.h"
#include "core/constraints/item_descriptors.h"
#include "core/store/item_store.h"
#include "platform/base/types.h"

// Check modes.
inline constexpr WORD kCheckModePlain = 0;     // every record
inline constexpr WORD kCheckModeDefaults = 1;  // default resolution: skip bits 9 and 14, recheck
inline constexpr WORD kCheckModeApply = 2;     // apply time: skip bits 8 and 14
inline constexpr WORD kCheckModeMarked = 3;    // only bit-14 records, recheck

struct SettingsContext {
  ItemStore* store;
  SettingsRecord* settings;
  PrinterConfiguration* config;
};

// A proposed change. The value reference points at the value (for a string: at the string's
// address); without one the change stands for the item with its current value.
struct ItemChange {
  SettingItemId id;
  ValueTypeCode type;
  const void* value;
};

// Checks one proposed change in the given mode (CHECK_MODE_*). The item filter (0-ended) limits
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

struct ItemValuePair {
  SettingItemId id;
  ValueTypeCode type;
  DWORD unused;
  const void* value;
};
// Writes each pair and notes its item in the list (required): 4, 3 for none, 1 or the failure.
WORD ApplyItemValuePairs(const SettingsContext* context, WORD** changedItems, WORD* count, WORD pairCount,
                         const ItemValuePair* pairs);
// Writes one value (size from its type; 7, 9 and unknown types refused): 0 written, 1 refused.
WORD ApplyConflictItem(const SettingsContext* context, const ItemChange* change);
// 9 the item's current value equals the rule value, 10 not, 1 unreadable; other comparison
// answers pass through.
WORD MatchItemWithRuleValue(const SettingsContext* context, const ItemChange* rule);

// Reads an item's current value into a cell: numbers widened as the engine gives them, strings
// as their address. The item engine's result.
ItemAccessResult ReadCurrentValue(const SettingsContext* context, SettingItemId id, ValueTypeCode* type,
                                  ItemValueCell* cell);
