// Staple and punch position rules.
#include "core/position_rules.h"

#include <array>

namespace {

constexpr WORD kNone = 0xFFFF;
constexpr WORD kItemStaple = 320;
constexpr WORD kItemPunch = 341;

// Index 0..3 of the (orientation, pages-per-sheet class) pair in the order (1, class 1),
// (1, class 2), (2, class 1), (2, class 2); -1 when there is no rule for the pair.
int OrientationClassIndex(const PositionRuleInput& input) {
  int pageClass;
  switch (input.pagesPerSheet) {
    case 1: case 4: case 16: pageClass = 0; break;
    case 2: case 8: case 32: pageClass = 1; break;
    default: return -1;
  }
  if (input.orientation != 1 && input.orientation != 2) return -1;
  return (input.orientation - 1) * 2 + pageClass;
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
constexpr std::array<std::array<int, 4>, 8> kPositionChoice = {{
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
  const int index = OrientationClassIndex(*input);
  if (index < 0) return 1;
  *value = kPositionRule[input->sourceValue - 1][index];
  return 0;
}

int ResolvePositionItems(WORD item, const PositionRuleInput* input, WORD* value) {
  if (input == nullptr || value == nullptr) return 1;
  int column;
  if (item == kItemStaple) {
    column = 0;
  } else if (item == kItemPunch) {
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
  int resultRow = row;
  if (row >= 1 && row <= 8) {
    const int index = OrientationClassIndex(*input);
    if (index < 0) return 1;
    resultRow = kPositionChoice[row - 1][index];
  }
  const WORD result = kPositionTable[resultRow].result[column];
  if (result == kNone) return 1;
  *value = result;
  return 0;
}
