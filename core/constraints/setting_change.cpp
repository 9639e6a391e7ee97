#include "core/constraints/setting_change.h"

#include <cstring>

#include "core/constraints/rule_compare.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"
#include "platform/base/types.h"

ItemAccessResult ReadCurrentValue(const SettingsContext* context, SettingItemId id, ValueTypeCode* type,
                                  ItemValueCell* cell) {
  *cell = ItemValueCell{};
  DWORD length = 0;
  return GetItemValue(id, context->settings, context->config, type, &length, cell);
}

WORD ApplyConflictItem(const SettingsContext* context, const ItemChange* change) {
  if (context == nullptr || change == nullptr || change->value == nullptr) return kCheckFailed;
  DWORD size;
  switch (change->type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFontField: size = 4; break;
    case kTypeInt16:
    case kTypeUInt16: size = 2; break;
    case kTypeUInt8: size = 1; break;
    case kTypeString: {
      LPCWSTR text;
      std::memcpy(&text, change->value, sizeof text);
      if (text == nullptr) return kCheckFailed;
      size = static_cast<DWORD>(lstrlenW(text)) * 2 + 2;
      break;
    }
    default: return kCheckFailed;
  }
  return SetItemValue(change->id, context->settings, context->config, change->type, size, change->value) == kItemDone
             ? kCheckDone
             : kCheckFailed;
}

WORD ApplyItemValuePairs(const SettingsContext* context, WORD** changedItems, WORD* count, WORD pairCount,
                         const ItemValuePair* pairs) {
  if (context == nullptr || changedItems == nullptr || count == nullptr || (pairCount != 0 && pairs == nullptr))
    return kCheckFailed;
  for (WORD i = 0; i < pairCount; ++i) {
    const ItemChange change{pairs[i].id, pairs[i].type, pairs[i].value};
    WORD status = ApplyConflictItem(context, &change);
    if (status == kCheckDone) status = AppendUniqueItemId(pairs[i].id, kChangedListInline, changedItems, count);
    if (status != kCheckDone) return status;
  }
  return pairCount != 0 ? kCheckApplied : kCheckRefused;
}

WORD MatchItemWithRuleValue(const SettingsContext* context, const ItemChange* rule) {
  if (context == nullptr || rule == nullptr) return kCheckFailed;
  ValueTypeCode type = 0;
  ItemValueCell current{};
  if (ReadCurrentValue(context, rule->id, &type, &current) != kItemDone) return kCheckFailed;
  if (rule->type == kTypeString && rule->value != nullptr) {
    LPCWSTR text;
    std::memcpy(&text, rule->value, sizeof text);
    return CompareRuleValue(kOpEqual, rule->type, text, type, current.data);
  }
  return CompareRuleValue(kOpEqual, rule->type, rule->value, type, &current);
}

const void* ValueOfCell(ValueTypeCode type, const ItemValueCell* cell) {
  return type == kTypeString ? cell->data : cell;
}
