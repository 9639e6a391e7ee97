// Drawing of the images applications send in direct mode: the first chunk of an image sets the
// clip and the raster mode and sends the image's header with its placement for the requested
// quarter turn; every chunk sends its encoded bytes, which the drawing library collects until
// the image is whole.
//
// Results: 0 or -1 unless said otherwise.
#pragma once

#include "graphics/ddi/direct_image_input.h"
#include "platform/base/types.h"

struct Pdev;

// 1, or -1 when the queued images cannot be drawn first.
int FlushBeforeDirectImage(Pdev* pdev);
// Draws one located chunk (its header first for an image's first chunk).
int DrawDirectImageChunk(Pdev* pdev, const DirectImageInput& image);
// The image header of the first chunk: position, source size, encoding, colour table and the
// placement of the turn.
int EmitDirectImageHeader(Pdev* pdev, const DirectImageInput& image);
