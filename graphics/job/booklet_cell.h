// The placement of one booklet page on its half of a sheet side. A booklet sheet carries two
// pages side by side across its fold: the sheet's printable area is split into two halves, and
// each page is turned to lie across its half and scaled to fit it, as the two cells of a 2-up
// sheet. With the second booklet binding every page is turned a half besides, so that the
// folded stack opens the other way up.
//
// Results: 0 or -1.
#pragma once

#include "graphics/device/page_state.h"
#include "platform/base/types.h"

// Booklet halves: the first is the left page of the open spread.
constexpr WORD kBookletFirstHalf = 0;
constexpr WORD kBookletSecondHalf = 1;

// Where one booklet page goes: the page state of the page on its sheet, and its half.
struct BookletCell {
  PageState state;
  WORD half;
};

// The cell of a page (`state` holds the page's own paper and orientation) on half `half` (0 or
// 1) of its sheet; secondBinding turns the page a half.
int ComputeBookletCell(BookletCell* cell, const PageState* state, WORD half, BOOL secondBinding);
// The device matrix of the cell's page on sheet side `side` (0 front, 1 back).
int ComputeCellPlacement(float placement[6], const BookletCell* cell, int side);
