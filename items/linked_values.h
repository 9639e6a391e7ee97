// The rules that recompute a linked item after items 267, 320 and 341 are written.
#pragma once

#include <span>

#include "platform/base/types.h"

// One pairing rule: a row applies when its code equals the key's code; class 1 accepts the
// values 1, 4 and 16, class 2 accepts 2, 8 and 32. A list ends with class 99.
struct PairRule {
  WORD code;
  WORD ruleClass;
  WORD resultA;
  WORD resultB;
};
inline constexpr WORD kPairRuleEnd = 99;

struct PairRuleKey {
  WORD code;
  WORD value;
};

// Walks the rules to the first that accepts the key: 0 with result B (mode 1) or result A
// (any other mode); 1 when no rule accepts or a deciding rule has an unknown class.
WORD FindPairRule(WORD mode, const PairRule* rules, PairRuleKey key, WORD* result);

// Item 267's value mapped to the value of item 325; false for values above 8.
bool MapValueTypeCode(WORD value, WORD* result);

struct LinkedValueInput {
  WORD orientation;   // item 7
  WORD pagesPerSheet; // item 295
  WORD newValue;      // the value just written to item 320 or 341
};

// The value of item 326 (for 320) or 344 (for 341): 0, or 1 when no row or rule applies.
WORD ComputeLinkedValue(WORD id, const LinkedValueInput& input, WORD* result);
