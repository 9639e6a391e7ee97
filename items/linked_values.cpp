// Linked items: item 325 follows 267, item 326 follows 320 and item 344 follows 341. The last
// two depend on the orientation and on whether the pages-per-sheet value (item 295) keeps the
// sheet's orientation (1, 4, 16) or turns it (2, 8, 32).
#include "items/item_ids.h"
#include "items/linked_values.h"
#include "platform/base/types.h"

#include <iterator>

namespace {

constexpr WORD kNone = 0xFFFF;
constexpr size_t kLinkedRows = 11;

// Column 0 for item 320 -> 326, column 1 for item 341 -> 344. A kNone key still takes part in
// the key search.
struct LinkedValueRow {
  WORD key[2];
  WORD result[2];
};

constexpr LinkedValueRow LinkedValueTable[kLinkedRows] = {
    {{0, 0}, {0x0000, 0x0000}},     {{3, 2}, {0x0101, 0x0101}},     {{5, 3}, {0x0202, 0x0202}},
    {{7, 4}, {0x0303, 0x0303}},     {{1, 1}, {0x0404, 0x0404}},     {{4, kNone}, {0x0103, kNone}},
    {{2, kNone}, {0x0104, kNone}},  {{6, kNone}, {0x0204, kNone}},  {{8, kNone}, {0x0203, kNone}},
    {{9, 5}, {0x0606, 0x0606}},     {{10, kNone}, {0x0707, kNone}},
};

// Rows 1 to 8: the result row when orientation and pages per sheet pair the same way
// (orientation 1 with class 1, or 2 with class 2) and when they cross.
struct PairedRow {
  WORD same;
  WORD cross;
};
constexpr PairedRow kPairedRows[9] = {{0, 0}, {1, 3}, {4, 1}, {2, 4}, {3, 2},
                                      {6, 5}, {5, 8}, {7, 6}, {8, 7}};

constexpr WORD kValueTypeMap[9] = {0, 3, 4, 3, 2, 1, 1, 4, 2};

bool AcceptsValue(WORD ruleClass, WORD value) {
  if (ruleClass == 1) return value == 1 || value == 4 || value == 16;
  return value == 2 || value == 8 || value == 32;
}

}  // namespace

WORD FindPairRule(WORD mode, const PairRule* rules, PairRuleKey key, WORD* result) {
  for (const PairRule* rule = rules; rule->ruleClass != kPairRuleEnd; ++rule) {
    if (rule->code != key.code) continue;
    if (rule->ruleClass != 1 && rule->ruleClass != 2) return 1;
    if (AcceptsValue(rule->ruleClass, key.value)) {
      *result = mode == 1 ? rule->resultB : rule->resultA;
      return 0;
    }
  }
  return 1;
}

bool MapValueTypeCode(WORD value, WORD* result) {
  if (value >= std::size(kValueTypeMap)) return false;
  *result = kValueTypeMap[value];
  return true;
}

WORD ComputeLinkedValue(WORD id, const LinkedValueInput& input, WORD* result) {
  size_t column;
  if (id == kItemStaplePosition)
    column = 0;
  else if (id == kItemPunchPosition)
    column = 1;
  else
    return 1;
  size_t row = 0;
  while (row < kLinkedRows && LinkedValueTable[row].key[column] != input.newValue) ++row;
  if (row == kLinkedRows) return 1;
  WORD k = WORD(row);
  if (row >= 1 && row <= 8) {
    const WORD i = WORD(row);
    const PairRule rules[] = {
        {1, 1, i, kPairedRows[row].same},  {2, 2, i, kPairedRows[row].same},
        {1, 2, i, kPairedRows[row].cross}, {2, 1, i, kPairedRows[row].cross},
        {0, kPairRuleEnd, 0, 0},
    };
    if (FindPairRule(1, rules, {input.orientation, input.pagesPerSheet}, &k) != 0) return 1;
  }
  *result = LinkedValueTable[k].result[column];
  return 0;
}
