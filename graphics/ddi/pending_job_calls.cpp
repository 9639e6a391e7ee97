#include "graphics/ddi/pending_job_calls.h"

#include "graphics/ddi/direct_mode.h"

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"

BOOL DrawOnDevice(Pdev*, const char*) {
  SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

LONG HandleDirectImageEscape(Pdev* pdev, ULONG, const BYTE*, ULONG, BYTE*, BOOL query) {
  if (query) return AnswerDirectQuery(pdev);
  return pdev == nullptr ? -1 : 0;
}
