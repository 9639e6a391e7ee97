// A proposed setting change and the settings it is checked against: the check modes, the
// settings context, reading an item's current value, writing forced values, and matching an
// item with a rule's value. The constraint engine and the checks it runs build on these.
#pragma once

#include "core/constraints/constraint_state.h"
#include "core/descriptors/item_descriptors.h"
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

struct ItemValuePair {
  SettingItemId id;
  ValueTypeCode type;
  DWORD unused;
  const void* value;
};
// Writes each pair and notes its item in the list (required): kCheckApplied, kCheckRefused for
// none, kCheckFailed or the list's failure.
WORD ApplyItemValuePairs(const SettingsContext* context, WORD** changedItems, WORD* count, WORD pairCount,
                         const ItemValuePair* pairs);
// Writes one value (size from its type; 7, 9 and unknown types refused): kCheckDone written,
// kCheckFailed refused.
WORD ApplyConflictItem(const SettingsContext* context, const ItemChange* change);
// kRuleHolds when the item's current value equals the rule value, kRuleFails when not,
// kCheckFailed when unreadable; other comparison answers pass through.
WORD MatchItemWithRuleValue(const SettingsContext* context, const ItemChange* rule);

// Reads an item's current value into a cell: numbers widened as the engine gives them, strings
// as their address. The item engine's result.
ItemAccessResult ReadCurrentValue(const SettingsContext* context, SettingItemId id, ValueTypeCode* type,
                                  ItemValueCell* cell);
// Where a comparison finds a value held in a cell: strings are their own address.
const void* ValueOfCell(ValueTypeCode type, const ItemValueCell* cell);
