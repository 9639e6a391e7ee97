// The output of a job that is saved as a file: its pages were kept in the temporary job store
// while the application drew them; at the document's end only the first one is printed, and
// unless the user already confirmed the job, the same output also goes into the save file.
#pragma once

#include "graphics/device/pdev.h"

// Ends the page still being recorded, opens the save file (unless the job is confirmed), and
// writes the job around the replayed first stored page: header, page, trailer. The save file is
// closed again whatever failed. 0, or -1 when any step failed (a cancelled save folder fails
// the job before anything is written).
int OutputSavedJob(Pdev* pdev);
