// The page record of a document: the paper of the page and of the sheet it is printed on, and
// the layout values that place the page on that sheet (N-up cells, zoom, binding margin,
// offsets, alignment, tiles and booklets). Filled when the job's settings are read and at every
// page start; the page geometry computes the page axis from it.
#pragma once

#include "platform/base/types.h"

// One paper in tenths of a millimetre (32 bytes).
struct PagePaperBlock {
  SHORT paperId;
  SHORT width;
  SHORT length;
  SHORT printableWidth;
  SHORT printableLength;
  SHORT centredLeft;  // (width - printable width + 1) / 2
  SHORT centredTop;   // (length - printable length + 1) / 2
  SHORT zero7;
  SHORT zero8;
  SHORT leftMargin;
  SHORT rightMargin;
  SHORT topMargin;
  SHORT bottomMargin;
  SHORT padding;
  LONG fits;  // 1 when the sheet paper fits the paper source's size range
};
static_assert(sizeof(PagePaperBlock) == 32);

// Values of the orientation word.
constexpr DWORD kPagePortrait = 0;
constexpr DWORD kPageLandscape = 1;

struct PageState {
  PagePaperBlock page;
  DWORD orientation;  // kPageLandscape or kPagePortrait
  PagePaperBlock sheet;
  // Layout values.
  BYTE orientationSetting;  // 0, 1, 2 or 3 (3: every page turned a half)
  DWORD duplexBinding;      // 0 simplex, 1 or 2
  DWORD bindingEdge;        // 0 none, 1 left, 2 right, 3 bottom, 4 top
  SHORT bindingMargins[2];  // tenths of a millimetre: first side, second side
  DWORD zoomOn;
  WORD zoomPercent;  // 25 to 400
  DWORD item1283;    // 1: a binding margin shrinks the printable area
  SHORT paperSource;
  DWORD pageOrder;  // 0 to 6
  WORD nup;         // 1, 2, 4, 8, 16, 32
  DWORD turnedGrid;  // 1 for N-up 2, 8 and 32
  SHORT cellsAcross;
  SHORT cellsAlong;
  DWORD landscape;       // the landscape setting
  DWORD landscapeCells;  // landscape XOR turned grid
  WORD resolution[2];    // horizontal, vertical
  DWORD bookletOptions[2];
  SHORT bookletItem324;
  DWORD bookletBinding;  // 0 not a booklet, 1 or 2
  SHORT tileColumns;
  SHORT tileRows;
  DWORD cellAlignment;  // 0 to 4
  BYTE reserved[12];
  DWORD offsetKind;  // 1 offsets given, 2 zero offsets, 0 none
  SHORT offsets[2];  // tenths of a millimetre
  // The margins and paper id stored by the page-margins escape.
  WORD escapeMargins[4];
  WORD escapePaperId;
};
