// A blt's source bitmap as one image command of the drawing library: the image header, the
// optional mask rows and the image rows, converted to the forms the library takes, seen by the
// page colour detection and converted by the document's colour conversion; or put into the
// image queue when the colour library is to see the whole picture first.
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

struct Pdev;

// 1 when drawn or queued, 0 on failure.
int RenderBitmapImage(Pdev* pdev, SURFOBJ* source, SURFOBJ* mask, SIZEL size, POINTL sourceOrigin, POINTL maskOrigin,
                      const RECTL* target, XLATEOBJ* xlate, const float matrix[6], CLIPOBJ* clip);
