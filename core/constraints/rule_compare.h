// Comparison of a constraint rule's value with an item's current value under a condition
// operator.
#pragma once

#include "core/constraints/rule_result.h"
#include "items/item_tables.h"
#include "platform/base/types.h"

// Condition operators.
inline constexpr BYTE kOpEqual = 1;
inline constexpr BYTE kOpNotEqual = 2;
inline constexpr BYTE kOpGreater = 3;        // the rule value is greater than the current value
inline constexpr BYTE kOpGreaterEqual = 4;
inline constexpr BYTE kOpLess = 5;
inline constexpr BYTE kOpLessEqual = 6;
inline constexpr BYTE kOpCustomSize = 7;    // equality, then a custom-size test
inline constexpr BYTE kOpCustomSizeSource = 8;
inline constexpr BYTE kOpSizeRange = 9;     // decided by the size-range record alone
inline constexpr BYTE kOpCustomSizeOwn = 10;
inline constexpr BYTE kOpCustomSizeTurned = 11;
inline constexpr BYTE kOpCustomSizeEither = 12;

// Compares the rule value with the current value: 9 holds, 10 does not, 6 a reference or a
// string is missing, 7 the types differ, 8 a type other than 1-6, 8 and 10, 11 the operator is
// not supported (9, 13 and above; 3-6 for types 1 and 6). Numbers are read from the bytes the
// references point at; for type 6 the references point at the wide strings themselves.
WORD CompareRuleValue(BYTE op, ValueTypeCode ruleType, const void* ruleValue, ValueTypeCode currentType,
                      const void* currentValue);
