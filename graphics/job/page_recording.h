// Which pages of a job are recorded into the temporary job store, and when a held page is
// released: pages kept for the end of the document (reverse order, collated copies) and pages
// held only until their colour is known (automatic colour), replayed at once when it is. The
// replay itself is stored_page_replay.h; this side fills its job record from the device.
//
// Results: 0 or -1.
#pragma once

#include "graphics/device/pdev.h"
#include "graphics/job/stored_page_replay.h"

// Begins recording the next side's page with the kind bits; its colour census starts with the
// special colour's capacity when that is on. -1 unless the page is the store's next one.
int BeginNextPageRecord(Pdev* pdev, DWORD kindBits);
// The store of kept pages (room for 80), opened by the first page that needs it.
int OpenCopyStore(Pdev* pdev);
// Records the next side's page to keep (kind bits 0x06).
int BeginCopyPageRecord(Pdev* pdev);
int EndCopyPageRecord(Pdev* pdev);
// Records the next side's page until its colour is known: with kept pages into their store
// (0x06), else into a store of its own (0x04).
int BeginColorPageRecord(Pdev* pdev);
// At the side's end: the held page is replayed now.
int EndColorRecording(Pdev* pdev);
// A held page whose colour got decided while it is drawn is replayed at once; the rest of the
// page goes straight to the library. Always 0 with a page open (-1 without the job's flags).
int CheckHeldPageColor(Pdev* pdev);
// Ends the held page's record, replays it with its page start and closes its store.
int ReplayHeldPage(Pdev* pdev);
// Every kept page, in document order or reversed.
int ReplayKeptPages(Pdev* pdev);
// The replay's job record over the device; its values go back with FinishStoredPageJob.
void FillStoredPageJob(Pdev* pdev, StoredPageJob* job);
void FinishStoredPageJob(Pdev* pdev, const StoredPageJob& job);
