// Drawing of the images applications send in direct mode. The chunks of an image are held in
// the device until the image is whole, so that the image reaches the output as one command
// (its header, then all its bytes) whatever the application draws between its chunks, and a
// recorded page never holds an image whose bytes stop part-way. The whole image then sets the
// first chunk's clip and raster mode and is sent with its header and its placement for the
// requested quarter turn.
//
// Results: 0 or -1 unless said otherwise.
#pragma once

#include "graphics/ddi/direct_image_input.h"  // up: the image the direct-mode escape took in
#include "platform/base/types.h"

struct Pdev;

// 1, or -1 when the queued images cannot be drawn first.
int FlushBeforeDirectImage(Pdev* pdev);
// The chunks of an image that came so far: the first chunk's description (its colour table
// copied here), and the image's bytes in one global-heap block of the image's size.
struct HeldDirectImage {
  DirectImageInput image;  // data NULL, colorTable pointing at table
  BYTE table[256 * 4];     // RGBQUAD entries
  BYTE* data;
  DWORD received;
};

// Takes one located chunk, which the transfer has accepted in order: a first chunk begins a new
// held image (dropping one that did not end), the others add their bytes; the chunk that
// completes the image draws it. 0 drawn, kImageChunkHeld while bytes are still to come, -1 for
// a failed step or no memory (the held image is then dropped).
constexpr int kImageChunkHeld = 1;
int DrawDirectImageChunk(Pdev* pdev, const DirectImageInput& image);
// Drops the held image, if any, and ends its transfer: the page ends before all of its chunks
// came, or the job ends.
void DropHeldDirectImage(Pdev* pdev);
// The image header of the first chunk: position, source size, encoding, colour table and the
// placement of the turn.
int EmitDirectImageHeader(Pdev* pdev, const DirectImageInput& image);
