// The clip and image-queue steps that text output takes before its glyphs, standing in for the
// clipping and held-back image code of the module until it exists. Text is drawn only under a
// clip that the library does not need to hear of: none, or one that clips nothing away.
#pragma once

#include "graphics/ddi/pdev.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

// 1 when the text may be drawn under the clip; 0 with ERROR_NOT_SUPPORTED for a rectangle or
// region clip.
int ApplyTextClip(Pdev* pdev, CLIPOBJ* clip);
// No image is ever held back yet: nothing to flush; 1.
int FlushImagesBeforeText(Pdev* pdev);
