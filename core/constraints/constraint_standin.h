// STAND-INS for routines of parts that later issues build, in one place so each can be removed
// when its real code lands:
//  - the built-in choice lists of items 12, 298, 305 and 358 (the choice lists issue).
#pragma once

#include "core/constraints/setting_change.h"
#include "core/constraints/item_descriptors.h"
#include "core/services/os_generation.h"
#include "platform/base/types.h"

// Built-in choice lists are not built yet: 0 for both list operations.
int BuildBuiltinListPart(ItemStore* store, WORD operation, SettingItemId id, ItemValueSlot* slot);
