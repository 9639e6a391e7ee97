#include "graphics/ddi/pending_text_clip.h"

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"

int ApplyTextClip(Pdev*, CLIPOBJ* clip) {
  if (clip == nullptr || clip->iDComplexity == DC_TRIVIAL) return 1;
  SetLastError(ERROR_NOT_SUPPORTED);
  return 0;
}

int FlushImagesBeforeText(Pdev*) { return 1; }
