// The clip the drawing library holds, as the device record keeps it, and the flat path
// copies that clips and queued images keep.
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

// A path copy is one block: for each batch a header, all headers first, then all points.
struct PathCopyBatch {
  DWORD flags;  // PD_ flags
  DWORD count;  // points of the batch
  POINTFIX* points;
};
static_assert(sizeof(PathCopyBatch) == 16);

// State of the library's clip.
enum ClipState : DWORD {
  kClipNone = 0,
  kClipRectangle = 1,
  kClipPath = 2,
  kClipUnknown = 3,
};

struct ClipCache {
  DWORD state;
  RECTL rect;
  PathCopyBatch* path;  // on the Pdev heap, or NULL
  DWORD length;         // bytes of the copy
  DWORD batches;
};
