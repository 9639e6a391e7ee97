#include "core/constraints/constraint_standin.h"

int BuildBuiltinListPart(ItemStore*, WORD, SettingItemId, ItemValueSlot*) { return 0; }
