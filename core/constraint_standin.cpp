#include "core/constraint_standin.h"

WORD ApplyHardRules(HANDLE, const SettingsContext* context, const ItemChange* change, const ConstraintState* entryState,
                    ConstraintState* state, WORD**, WORD*) {
  if (context == nullptr || change == nullptr || entryState == nullptr || state == nullptr) return CS_FAILED;
  return CS_NO_RULE;
}

int BuildBuiltinListPart(ItemStore*, WORD, SettingItemId, ItemValueSlot*) { return 0; }
