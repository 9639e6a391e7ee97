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
  return op == 0 || op == OP_EQUAL || op == OP_CUSTOM_SIZE || op == OP_CUSTOM_SIZE_SOURCE ||
         op == OP_CUSTOM_SIZE_OWN || op == OP_CUSTOM_SIZE_TURNED || op == OP_CUSTOM_SIZE_EITHER;
}

}  // namespace

WORD CompareRuleValue(BYTE op, ValueTypeCode ruleType, const void* ruleValue, ValueTypeCode currentType,
                      const void* currentValue) {
  if (ruleValue == nullptr || currentValue == nullptr) return RULE_MISSING_VALUE;
  if (ruleType != currentType) return RULE_TYPE_MISMATCH;
  const bool equality = IsEqualityOperator(op);
  const bool ordering = op >= OP_GREATER && op <= OP_LESS_EQUAL;
  int order;
  switch (ruleType) {
    case kTypeInt16: order = Order<SHORT>(ruleValue, currentValue); break;
    case kTypeInt32:
    case kTypeFontField: order = Order<LONG>(ruleValue, currentValue); break;
    case kTypeUInt16: order = Order<WORD>(ruleValue, currentValue); break;
    case kTypeUInt32: order = Order<DWORD>(ruleValue, currentValue); break;
    case kTypeUInt8: order = Order<BYTE>(ruleValue, currentValue); break;
    case kTypeFlag:
      if (ordering) return RULE_UNSUPPORTED;
      order = Order<DWORD>(ruleValue, currentValue);
      break;
    case kTypeString:
      if (ordering) return RULE_UNSUPPORTED;
      order = wcscmp(static_cast<LPCWSTR>(ruleValue), static_cast<LPCWSTR>(currentValue)) == 0 ? 0 : 1;
      break;
    default: return RULE_BAD_TYPE;
  }
  bool holds;
  if (equality)
    holds = order == 0;
  else if (op == OP_NOT_EQUAL)
    holds = order != 0;
  else if (op == OP_GREATER)
    holds = order > 0;
  else if (op == OP_GREATER_EQUAL)
    holds = order >= 0;
  else if (op == OP_LESS)
    holds = order < 0;
  else if (op == OP_LESS_EQUAL)
    holds = order <= 0;
  else
    return RULE_UNSUPPORTED;
  return holds ? RULE_HOLDS : RULE_FAILS;
}
