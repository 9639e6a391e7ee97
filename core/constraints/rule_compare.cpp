#include "core/constraints/rule_compare.h"

#include <cstring>

#include "platform/base/text.h"
#include "platform/base/types.h"

namespace {

// -1, 0 or 1: the rule value against the current value.
template <typename T>
int Order(const void* rule, const void* current) {
  T a, b;
  std::memcpy(&a, rule, sizeof a);
  std::memcpy(&b, current, sizeof b);
  return a == b ? 0 : (a > b ? 1 : -1);
}

bool IsEqualityOperator(BYTE op) {
  return op == 0 || op == kOpEqual || op == kOpCustomSize || op == kOpCustomSizeSource ||
         op == kOpCustomSizeOwn || op == kOpCustomSizeTurned || op == kOpCustomSizeEither;
}

}  // namespace

WORD CompareRuleValue(BYTE op, ValueTypeCode ruleType, const void* ruleValue, ValueTypeCode currentType,
                      const void* currentValue) {
  if (ruleValue == nullptr || currentValue == nullptr) return kRuleMissingValue;
  if (ruleType != currentType) return kRuleTypeMismatch;
  const bool equality = IsEqualityOperator(op);
  const bool ordering = op >= kOpGreater && op <= kOpLessEqual;
  int order;
  switch (ruleType) {
    case kTypeInt16: order = Order<SHORT>(ruleValue, currentValue); break;
    case kTypeInt32:
    case kTypeFontField: order = Order<LONG>(ruleValue, currentValue); break;
    case kTypeUInt16: order = Order<WORD>(ruleValue, currentValue); break;
    case kTypeUInt32: order = Order<DWORD>(ruleValue, currentValue); break;
    case kTypeUInt8: order = Order<BYTE>(ruleValue, currentValue); break;
    case kTypeFlag:
      if (ordering) return kRuleUnsupported;
      order = Order<DWORD>(ruleValue, currentValue);
      break;
    case kTypeString:
      if (ordering) return kRuleUnsupported;
      order = wcscmp(static_cast<LPCWSTR>(ruleValue), static_cast<LPCWSTR>(currentValue)) == 0 ? 0 : 1;
      break;
    default: return kRuleBadType;
  }
  bool holds;
  if (equality)
    holds = order == 0;
  else if (op == kOpNotEqual)
    holds = order != 0;
  else if (op == kOpGreater)
    holds = order > 0;
  else if (op == kOpGreaterEqual)
    holds = order >= 0;
  else if (op == kOpLess)
    holds = order < 0;
  else if (op == kOpLessEqual)
    holds = order <= 0;
  else
    return kRuleUnsupported;
  return holds ? kRuleHolds : kRuleFails;
}
