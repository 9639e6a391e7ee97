// Comparison of a constraint rule's value with an item's current value under a condition
// operator.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// Answers of CompareRuleValue and of the condition tests built on it.
inline constexpr WORD RULE_HOLDS = 9;
inline constexpr WORD RULE_FAILS = 10;
inline constexpr WORD RULE_MISSING_VALUE = 6;
inline constexpr WORD RULE_TYPE_MISMATCH = 7;
inline constexpr WORD RULE_BAD_TYPE = 8;
inline constexpr WORD RULE_UNSUPPORTED = 11;

// Condition operators.
inline constexpr BYTE OP_EQUAL = 1;
inline constexpr BYTE OP_NOT_EQUAL = 2;
inline constexpr BYTE OP_GREATER = 3;        // the rule value is greater than the current value
inline constexpr BYTE OP_GREATER_EQUAL = 4;
inline constexpr BYTE OP_LESS = 5;
inline constexpr BYTE OP_LESS_EQUAL = 6;
inline constexpr BYTE OP_CUSTOM_SIZE = 7;    // equality, then a custom-size test
inline constexpr BYTE OP_CUSTOM_SIZE_SOURCE = 8;
inline constexpr BYTE OP_SIZE_RANGE = 9;     // decided by the size-range record alone
inline constexpr BYTE OP_CUSTOM_SIZE_OWN = 10;
inline constexpr BYTE OP_CUSTOM_SIZE_TURNED = 11;
inline constexpr BYTE OP_CUSTOM_SIZE_EITHER = 12;

// Compares the rule value with the current value: 9 holds, 10 does not, 6 a reference or a
// string is missing, 7 the types differ, 8 a type other than 1-6, 8 and 10, 11 the operator is
// not supported (9, 13 and above; 3-6 for types 1 and 6). Numbers are read from the bytes the
// references point at; for type 6 the references point at the wide strings themselves.
WORD CompareRuleValue(BYTE op, ValueTypeCode ruleType, const void* ruleValue, ValueTypeCode currentType,
                      const void* currentValue);
