// Staple and punch position rules.
#include "core/rules/position_rules.h"

#include <array>

#include "items/item_ids.h"
#include "items/linked_values.h"
#include "platform/base/types.h"

namespace {

constexpr WORD kNone = 0xFFFF;

// Picks one of four answers by orientation and pages-per-sheet class, given in the order
// (orientation 1, class 1), (1, class 2), (2, class 1), (2, class 2), through the item
// engine's pair rules. False when no rule accepts the pair.
bool ChooseByOrientation(const std::array<WORD, 4>& choices, const PositionRuleInput& input, WORD* answer) {
  const PairRule rules[] = {
      {1, 1, choices[0], 0}, {2, 2, choices[3], 0}, {1, 2, choices[1], 0}, {2, 1, choices[2], 0},
      {0, kPairRuleEnd, 0, 0},
  };
  constexpr WORD kFirstResult = 0;  // any mode but 1 answers a rule's first result
  return FindPairRule(kFirstResult, rules, {input.orientation, input.pagesPerSheet}, answer) == 0;
}

// Item 267 for item-325 values 1..4.
constexpr std::array<std::array<WORD, 4>, 4> kPositionRule = {{
    {6, 5, 5, 6},
    {8, 4, 4, 8},
    {1, 3, 3, 1},
    {2, 7, 7, 2},
}};

struct PositionRow {
  WORD source[2];  // column 0 item 320, column 1 item 341
  WORD result[2];
};

constexpr std::array<PositionRow, 11> kPositionTable = {{
    {{0, 0}, {0, 0}},
    {{257, 257}, {3, 2}},
    {{514, 514}, {5, 3}},
    {{771, 771}, {7, 4}},
    {{1028, 1028}, {1, 1}},
    {{259, kNone}, {4, kNone}},
    {{260, kNone}, {2, kNone}},
    {{516, kNone}, {6, kNone}},
    {{515, kNone}, {8, kNone}},
    {{1542, 1542}, {9, 5}},
    {{1799, kNone}, {10, kNone}},
}};

// Result row chosen by rows 1..8 per (orientation, class) index.
constexpr std::array<std::array<WORD, 4>, 8> kPositionChoice = {{
    {1, 2, 2, 1},
    {3, 4, 4, 3},
    {4, 1, 1, 4},
    {2, 3, 3, 2},
    {6, 5, 5, 6},
    {5, 7, 7, 5},
    {7, 8, 8, 7},
    {8, 6, 6, 8},
}};

}  // namespace

int ResolvePositionRule(const PositionRuleInput* input, WORD* value) {
  if (input == nullptr || value == nullptr) return 1;
  if (input->sourceValue == 0) {
    *value = 0;
    return 0;
  }
  if (input->sourceValue > 4) return 1;
  return ChooseByOrientation(kPositionRule[input->sourceValue - 1], *input, value) ? 0 : 1;
}

int ResolvePositionItems(WORD item, const PositionRuleInput* input, WORD* value) {
  if (input == nullptr || value == nullptr) return 1;
  int column;
  if (item == kItemStaplePosition) {
    column = 0;
  } else if (item == kItemPunchPosition) {
    column = 1;
  } else {
    return 1;
  }
  int row = -1;
  for (int r = 0; r < static_cast<int>(kPositionTable.size()); ++r) {
    // A row without an entry in this column ("none") never matches.
    if (kPositionTable[r].source[column] != kNone && kPositionTable[r].source[column] == input->sourceValue) {
      row = r;
      break;
    }
  }
  if (row < 0) return 1;
  WORD resultRow = static_cast<WORD>(row);
  if (row >= 1 && row <= 8 && !ChooseByOrientation(kPositionChoice[row - 1], *input, &resultRow)) return 1;
  const WORD result = kPositionTable[resultRow].result[column];
  if (result == kNone) return 1;
  *value = result;
  return 0;
}
