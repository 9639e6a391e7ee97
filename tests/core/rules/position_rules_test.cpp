#include "core/rules/position_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(PositionRules, Item267FollowsOrientationAndPagesPerSheet) {
  struct Case { WORD orientation, pages, source; int result; WORD value; };
  const Case cases[] = {
      {1, 1, 0, 0, 0},  {1, 1, 1, 0, 6},  {1, 2, 1, 0, 5},  {2, 4, 1, 0, 5},  {2, 8, 1, 0, 6},
      {1, 16, 2, 0, 8}, {1, 32, 2, 0, 4}, {2, 16, 3, 0, 3}, {2, 2, 4, 0, 2},  {1, 8, 4, 0, 7},
      {1, 3, 1, 1, 0},  {3, 1, 1, 1, 0},  {1, 1, 5, 1, 0},
  };
  for (const Case& c : cases) {
    const PositionRuleInput in{c.orientation, c.pages, 0, c.source};
    WORD value = 0;
    EXPECT_EQ(ResolvePositionRule(&in, &value), c.result) << c.orientation << " " << c.pages << " " << c.source;
    if (c.result == 0) { EXPECT_EQ(value, c.value) << c.orientation << " " << c.pages << " " << c.source; }
  }
}

TEST(PositionRules, StapleAndPunchItems) {
  struct Case { WORD item, orientation, pages, source; int result; WORD value; };
  const Case cases[] = {
      {320, 1, 4, 257, 0, 3},   {320, 2, 4, 257, 0, 5},   {320, 1, 3, 257, 1, 0},  {320, 1, 2, 257, 0, 5},
      {320, 2, 2, 257, 0, 3},   {320, 1, 1, 0, 0, 0},     {320, 1, 1, 1542, 0, 9}, {320, 2, 8, 1799, 0, 10},
      {320, 1, 1, 259, 0, 2},   {320, 1, 2, 259, 0, 4},   {320, 1, 1, 515, 0, 8},  {320, 2, 1, 515, 0, 2},
      {320, 1, 1, 12, 1, 0},    {341, 1, 4, 257, 0, 2},   {341, 2, 4, 257, 0, 3},  {341, 1, 1, 1542, 0, 5},
      {341, 1, 1, 1028, 0, 3},  {341, 1, 1, 259, 1, 0},   {341, 1, 1, 0xFFFF, 1, 0}, {267, 1, 1, 0, 1, 0},
  };
  for (const Case& c : cases) {
    const PositionRuleInput in{c.orientation, c.pages, 0, c.source};
    WORD value = 0;
    EXPECT_EQ(ResolvePositionItems(c.item, &in, &value), c.result) << c.item << " " << c.source;
    if (c.result == 0) { EXPECT_EQ(value, c.value) << c.item << " " << c.orientation << " " << c.pages << " " << c.source; }
  }
  WORD value = 0;
  EXPECT_EQ(ResolvePositionItems(320, nullptr, &value), 1);
  EXPECT_EQ(ResolvePositionRule(nullptr, &value), 1);
}

}  // namespace
