// The job's stored pages as the job and page code drives them: the page store of a device
// (opened on the output channel's temporary job store), the recording of one page with its kind
// bits, and each stored page's record of its paper, orientation and colours.
//
// Results: 0 or -1.
#pragma once

#include "graphics/device/page_state.h"
#include "graphics/device/pdev.h"
#include "graphics/imaging/color_detection.h"
#include "platform/base/types.h"

// A stored page's record: paper block, orientation word, colour set and colour state.
struct PageRecord {
  PagePaperBlock paper;
  DWORD orientation;
  ColorSet colors;
  DWORD colorState;
};
static_assert(sizeof(PageRecord) == 116);

// Pages numbered from `firstPage`, room for `count`; requires job output begun and no store.
int BeginPageStore(Pdev* pdev, WORD firstPage, WORD count);
// Starts recording page `page` with the kind bits (within kPageKindMask, at least one): the page
// colour state becomes `pageColor` (0, 1 or 2) and the page's colour set starts again with the
// three values.
int BeginStoredPageRecord(Pdev* pdev, WORD page, LONG pageColor, DWORD kindBits, DWORD collecting, WORD capacity,
                          DWORD whiteMode);
// Ends the page being recorded: its colour state and set go into its record; one more stored page.
int SavePageState(Pdev* pdev, WORD page);
// SavePageState when a page is being recorded, else 0.
int EndStoredPageRecordIfOpen(Pdev* pdev, WORD page);
// Closes the store (deleting its file); 0 when none is open, -1 while a page is being recorded.
int EndPageStore(Pdev* pdev);
// Replaces a stored page's paper block and orientation word.
int UpdatePageRecord(Pdev* pdev, const PagePaperBlock* paper, DWORD orientation, WORD page);
int GetPageRecord(Pdev* pdev, PagePaperBlock* paper, DWORD* orientation, WORD page);
// The kind bits of the page being recorded; 0 when none is.
DWORD RecordingKindBits(const Pdev* pdev);

// The colour census of a page: capacity above 15 refused (-1).
int InitColorSet(ColorSet* set, DWORD collecting, WORD capacity, DWORD whiteMode);
// Ends the census: the colours counted so far stay.
void StopColorSet(ColorSet* set);
