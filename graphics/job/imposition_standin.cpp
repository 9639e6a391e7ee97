#include "graphics/job/imposition_standin.h"

#include "graphics/job/page_recording.h"

int OutputCopies(Pdev* pdev) { return ReplayKeptPages(pdev); }

int OutputSavedJob(Pdev*) { return -1; }
int ReadFaxSheetPaper(Pdev*) { return -1; }
int MakeFaxHeaderSheet(Pdev*) { return -1; }
int OutputStoredJobs(Pdev*) { return -1; }
WORD GetFaxPassCount(Pdev*) { return 1; }
