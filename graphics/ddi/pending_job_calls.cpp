#include "graphics/ddi/pending_job_calls.h"

ULONG HandleEscape(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID) { return 0; }
