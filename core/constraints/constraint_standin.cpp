#include "core/constraints/constraint_standin.h"
#include "platform/base/types.h"

int BuildBuiltinListPart(ItemStore*, WORD, SettingItemId, ItemValueSlot*) { return 0; }
