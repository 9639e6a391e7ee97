// Stand-in for copies, fax passes and saved jobs, which are not part of this module yet. The
// job and page code calls them here; until they exist a plain document prints whole: stored
// pages are output once, and a document that asks for fax passes or a saved job fails its job
// plainly (-1) instead of printing something else.
#pragma once

#include "graphics/ddi/pdev.h"
#include "platform/base/types.h"

// The stored pages of the document, output at its end: once.
int OutputCopies(Pdev* pdev);
// Fax passes and saved jobs: -1.
int OutputSavedJob(Pdev* pdev);
int ReadFaxSheetPaper(Pdev* pdev);
int MakeFaxHeaderSheet(Pdev* pdev);
int OutputStoredJobs(Pdev* pdev);
// The fax passes of the job: 1 until fax jobs exist.
WORD GetFaxPassCount(Pdev* pdev);
