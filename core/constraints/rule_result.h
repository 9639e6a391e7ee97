// Answers of the rule-value comparison and of the condition tests built on it.
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kRuleHolds = 9;
inline constexpr WORD kRuleFails = 10;
inline constexpr WORD kRuleMissingValue = 6;
inline constexpr WORD kRuleTypeMismatch = 7;
inline constexpr WORD kRuleBadType = 8;
inline constexpr WORD kRuleUnsupported = 11;
