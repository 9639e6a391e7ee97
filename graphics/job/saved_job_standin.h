// Stand-in for the output of a save-to-file job, which is not part of this module yet: the job
// and page code calls it here; until it exists a document that asks to be saved as a file
// fails its job plainly (-1) instead of printing something else.
#pragma once

#include "graphics/ddi/pdev.h"

int OutputSavedJob(Pdev* pdev);
