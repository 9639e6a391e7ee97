// Booklet arithmetic: how many sheet sides a booklet over a page range takes, how a long
// booklet splits into subsets, when a group of sheets is complete, and which page lands on
// each half of each side so that the folded stack reads in order.
#pragma once

#include "platform/base/types.h"

// A position of a side that no page fills.
constexpr WORD kBlankPage = 65436;

// One subset of a split booklet: its first and last page.
struct BookletSubset {
  WORD first;
  WORD last;
};

// Sheet sides of a booklet over pages first..last; with a cover and first 0 the first page
// takes one side alone.
WORD BookletSideCount(WORD first, WORD last, BOOL cover);
// Subsets of at most `perSubset` sheets over `pages` pages, as even as they can be: the count;
// with `subsets` it also fills them (from the last entry backwards with `reverse`). 0 for no
// pages or 0 sheets per subset.
WORD SplitBookletSubsets(WORD pages, BOOL reverse, WORD perSubset, BookletSubset* subsets);
// 1 when the pages first..last fill a group of `groupSheets` sheets, 2 when not yet (or for a
// group of 0 sheets).
int IsBookletGroupComplete(WORD first, WORD last, WORD groupSheets, BOOL cover);
// The page on one half (0 or 1) of side `side` of a booklet over first..last, or kBlankPage.
// `binding` is 1 or 2 (the booklet binding of the page state).
WORD BookletPagePosition(WORD first, WORD last, WORD side, DWORD binding, WORD half, BOOL reversed, BOOL cover);
