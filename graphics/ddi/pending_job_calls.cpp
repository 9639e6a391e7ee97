#include "graphics/ddi/pending_job_calls.h"

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"

BOOL DrawOnDevice(Pdev*, const char*) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

ULONG HandleEscape(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID) { return 0; }
