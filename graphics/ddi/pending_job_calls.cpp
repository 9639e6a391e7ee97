#include "graphics/ddi/pending_job_calls.h"

#include "graphics/ddi/direct_mode.h"

LONG HandleDirectImageEscape(Pdev* pdev, ULONG, const BYTE*, ULONG, BYTE*, BOOL query) {
  if (query) return AnswerDirectQuery(pdev);
  return pdev == nullptr ? -1 : 0;
}
