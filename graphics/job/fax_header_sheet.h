// The fax header sheet that opens a direct-fax job or each of its passes: a page of its own on
// the model's standard sheet (or the job's sheet paper) that carries a stored overlay or a file
// of the driver directory, and the cover texts of the pass's destination set in a
// printer-resident font. Its blocks are written into the job stream as they are.
//
// Results: 0 or -1.
#pragma once

#include "graphics/device/page_state.h"
#include "graphics/device/pdev.h"
#include "graphics/job/cover_page.h"

// The model's standard sheet (the paper record with key 9): its paper block with centred
// margins, its device code and its size in millimetres.
int ReadStandardSheetPaper(Pdev* pdev, PagePaperBlock* paper, BYTE* code, float size[2]);
// The header sheet of one pass, for the destination in the pass record. Any failure aborts the
// job.
int StartSheet(Pdev* pdev, const ExtendedFaxDestination* record);
// The header sheet of a job of one pass (the first destination); the pass record is taken and
// freed here.
int MakeFaxHeaderSheet(Pdev* pdev);
// The record naming the overlay of item 1830; nothing without one.
int WriteOverlayNameData(Pdev* pdev);
// The model's driver data file copied whole into the stream in pieces of 16384 bytes; a
// failed write stops the writing, but the file is read to its end and closed.
int CopyDriverFileToStream(Pdev* pdev);
// The cover texts of the destination in the pass record with the job's cover settings.
int WriteStampTextRecords(Pdev* pdev, const ExtendedFaxDestination* record);
