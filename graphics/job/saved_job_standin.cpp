#include "graphics/job/saved_job_standin.h"

int OutputSavedJob(Pdev*) { return -1; }
