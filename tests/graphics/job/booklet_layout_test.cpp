// Booklet arithmetic: sides per range, subsets, group completion, and the page on each half of
// each side (blank positions included) for booklets of odd and even page counts.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/job/booklet_layout.h"

namespace {

constexpr WORD B = kBlankPage;

TEST(BookletLayout, SubsetsSplitEvenly) {
  struct Case {
    WORD pages;
    BOOL reverse;
    WORD per;
    std::vector<std::pair<WORD, WORD>> subsets;
  };
  const Case cases[] = {
      {40, FALSE, 4, {{0, 15}, {16, 27}, {28, 39}}},
      {40, TRUE, 4, {{28, 39}, {16, 27}, {0, 15}}},
      {9, FALSE, 1, {{0, 3}, {4, 7}, {8, 8}}},
      {5, FALSE, 8, {{0, 4}}},
  };
  for (const Case& c : cases) {
    const WORD count = SplitBookletSubsets(c.pages, c.reverse, c.per, nullptr);
    ASSERT_EQ(count, c.subsets.size()) << c.pages;
    std::vector<BookletSubset> got(count);
    EXPECT_EQ(SplitBookletSubsets(c.pages, c.reverse, c.per, got.data()), count);
    for (size_t i = 0; i < count; ++i) {
      EXPECT_EQ(got[i].first, c.subsets[i].first) << c.pages << " subset " << i;
      EXPECT_EQ(got[i].last, c.subsets[i].second) << c.pages << " subset " << i;
    }
  }
  EXPECT_EQ(SplitBookletSubsets(0, FALSE, 4, nullptr), 0);
  EXPECT_EQ(SplitBookletSubsets(8, FALSE, 0, nullptr), 0);
}

TEST(BookletLayout, GroupsCompleteAtFourPagesASheet) {
  EXPECT_EQ(IsBookletGroupComplete(0, 7, 2, FALSE), 1);
  EXPECT_EQ(IsBookletGroupComplete(0, 6, 2, FALSE), 2);
  EXPECT_EQ(IsBookletGroupComplete(0, 5, 2, TRUE), 1);  // the cover takes two positions less
  EXPECT_EQ(IsBookletGroupComplete(0, 4, 2, TRUE), 2);
  EXPECT_EQ(IsBookletGroupComplete(8, 15, 2, TRUE), 1);
  EXPECT_EQ(IsBookletGroupComplete(0, 100, 0, FALSE), 2);
}

// The pages on halves 0 and 1 of every side.
std::vector<std::pair<WORD, WORD>> Sides(WORD first, WORD last, DWORD binding, BOOL reversed, BOOL cover) {
  std::vector<std::pair<WORD, WORD>> sides;
  const WORD count = BookletSideCount(first, last, cover);
  for (WORD i = 0; i < count; ++i)
    sides.push_back({BookletPagePosition(first, last, i, binding, 0, reversed, cover),
                     BookletPagePosition(first, last, i, binding, 1, reversed, cover)});
  return sides;
}

TEST(BookletLayout, PagePlacements) {
  struct Case {
    const char* name;
    WORD first, last;
    DWORD binding;
    BOOL reversed, cover;
    std::vector<std::pair<WORD, WORD>> sides;
  };
  const Case cases[] = {
      // Five pages on two sheets: three positions blank.
      {"5 pages", 0, 4, 1, FALSE, FALSE, {{3, 4}, {B, 2}, {1, B}, {B, 0}}},
      {"5 pages other binding", 0, 4, 2, FALSE, FALSE, {{4, 3}, {2, B}, {B, 1}, {0, B}}},
      {"8 pages", 0, 7, 1, FALSE, FALSE, {{3, 4}, {5, 2}, {1, 6}, {7, 0}}},
      {"8 pages reversed", 0, 7, 1, TRUE, FALSE, {{7, 0}, {1, 6}, {5, 2}, {3, 4}}},
      {"7 pages with cover", 0, 6, 1, FALSE, TRUE, {{4, 5}, {6, 3}, {2, B}, {B, 1}, {B, 0}}},
      {"subset 8..12", 8, 12, 1, FALSE, FALSE, {{11, 12}, {B, 10}, {9, B}, {B, 8}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Sides(c.first, c.last, c.binding, c.reversed, c.cover), c.sides) << c.name;
}

}  // namespace
