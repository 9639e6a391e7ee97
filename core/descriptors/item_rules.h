// The built-in item rules: the records the descriptor tables point at and the handler that
// gives the built-in defaults and checks.
#pragma once

#include "core/descriptors/item_descriptors.h"
#include "platform/base/types.h"

extern const ItemInfoRecord kRuleAll;       // default, checks and lists
extern const ItemInfoRecord kRuleCheck;     // checks; default from the database
extern const ItemInfoRecord kRulePublic;    // public check only
extern const ItemInfoRecord kRuleNone;      // a public check that accepts every value, if asked
extern const ItemInfoRecord kRuleDatabase;  // no handler: everything from the database
extern const ItemInfoRecord kRuleConstant;  // the constant default 4492 (item 8202)

// The handler of every built-in rule.
int HandleBuiltinItem(ItemStore* store, WORD operation, SettingItemId id, ItemValueSlot* slot);

// Size of the zeroed buffers that hold the default of a device or form name.
inline constexpr DWORD kDeviceNameBytes = 64;
inline constexpr int kDeviceNameChars = 31;
