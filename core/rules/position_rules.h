// Orientation-dependent position rules: the staple and punch positions (items 267, 320,
// 341) follow from the position the user chose (items 325, 326, 344), the orientation
// (item 7) and the pages per sheet (item 295).
#pragma once

#include "platform/base/types.h"

struct PositionRuleInput {
  WORD orientation;    // value of item 7: 1 or 2
  WORD pagesPerSheet;  // value of item 295: class 1 = 1, 4, 16; class 2 = 2, 8, 32
  WORD reserved;       // not read by the rules
  WORD sourceValue;
};

// Value of item 267 for a value of item 325. 0 done, 1 no rule.
int ResolvePositionRule(const PositionRuleInput* input, WORD* value);
// Value of item 320 for a value of item 326, or of item 341 for a value of item 344.
// 0 done, 1 no rule, a NULL argument or another item.
int ResolvePositionItems(WORD item, const PositionRuleInput* input, WORD* value);
