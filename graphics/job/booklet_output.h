// Booklets printed: every page of the document is recorded into the page store, one page per
// side, and laid out at the end (or, for booklets in groups, as soon as a group is complete)
// two pages to a side in the order that makes the folded stack read in order. Positions no page
// fills print blank.
//
// Results: 0 or -1.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// Opens the booklet's page store (room for 80 pages, numbered from the completed sides); the
// sheets go outermost first unless the model stacks them the other way. -1 for tiles or N-up.
int BeginBookletStore(Pdev* pdev);
// Records the next side's page of a booklet (page start, show, end and axis records).
int BeginBookletPageRecord(Pdev* pdev);
// At each side end: ends the page's record; a booklet in groups outputs a complete group now
// and closes its store.
int EndBookletPageRecord(Pdev* pdev);
// The stored pages as booklet sheets, the job's counters and page state kept as they were.
int OutputBookletIfStored(Pdev* pdev);
// The stored pages as booklet sheets: one booklet, subsets of it, or groups. 0 when nothing is
// stored; -1 before the job's output has begun.
int OutputBookletSheets(Pdev* pdev);
// One booklet over the stored pages first..last: each side with its two pages (or one, or a
// blank side), the first and second page of a side sharing one page start and one show.
int LayOutSheet(Pdev* pdev, WORD first, WORD last);
