#include "core/constraint_standin.h"

WORD ApplyHardRules(HANDLE, const SettingsContext* context, const ItemChange* change, const ConstraintState* entryState,
                    ConstraintState* state, WORD**, WORD*) {
  if (context == nullptr || change == nullptr || entryState == nullptr || state == nullptr) return CS_FAILED;
  return CS_NO_RULE;
}

WORD CheckMediaFit(const ConstraintRecord*, WORD, const SettingsContext*, const ItemChange*, ConstraintState*) {
  return 2;
}

WORD CheckCustomSizeFit(const ConstraintRecord*, WORD, const SettingsContext*, const ItemChange*) { return 2; }

WORD EvaluateSizeOperator(BYTE, const SettingsContext*, const ItemChange*, WORD* flags) {
  if (flags != nullptr) *flags = 0;
  return 1;
}

WORD CheckSizeRangeRecord(const SettingsContext*, const ItemChange*, const ItemValueElement*, WORD* flags) {
  if (flags != nullptr) *flags = 0;
  return 1;
}

int BuildBuiltinListPart(ItemStore*, WORD, SettingItemId, ItemValueSlot*) { return 0; }
