// The clip the drawing library holds, and the flat path copies that clips and queued images
// keep. Every drawing operation of the module applies its clip through ApplyClipObject or
// EmitClipRegion, so a clip that did not change is not sent again. Path coordinates are the
// engine's 28.4 fixed point; rectangles handed to the clip functions are whole device pixels.
#pragma once

#include "graphics/device/clip_state.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

struct Pdev;
struct GraphicsStateEmitter;

// A clip saved with a queued image: the copy of its complex clip path.
struct PreparedClip {
  PathCopyBatch* path;
  DWORD length;
  DWORD batches;
};

// Answers of MakePathCopy.
inline constexpr int kPathCopyMade = 4;
inline constexpr int kPathCopyNoMemory = 3;

// Answers of CacheClipPath.
enum ClipPathCache : int {
  kClipPathFailed = 0,
  kClipPathUnchanged = 1,
  kClipPathStored = 2,
  kClipPathNotStored = 3,
};

// Unknown state (the next drawing resets the library's clip), no cached rectangle or path.
void ResetClipCache(Pdev* pdev);

// A global-heap copy of the path: kPathCopyMade, kPathCopyNoMemory (outputs 0), or 0 for an
// empty path (no copy).
int MakePathCopy(PATHOBJ* path, PathCopyBatch** copy, DWORD* length, DWORD* batches);
void FreePathCopy(PathCopyBatch* copy);
// Same batch flags and counts and the same point bytes.
bool PathCopiesEqual(const PathCopyBatch* a, const PathCopyBatch* b, DWORD batches, DWORD length);

int CacheClipPath(Pdev* pdev, PATHOBJ* path, const PathCopyBatch* copy, DWORD length, DWORD batches);

// Sends the path (from the object or from the copy's batch headers): 1, or 0 when the library
// refuses a command or a Bezier batch does not hold whole curves (ERROR_INVALID_PARAMETER).
// drawn becomes 1 when points were sent.
int EmitPath(GraphicsStateEmitter* emitter, PATHOBJ* path, const PathCopyBatch* copy, DWORD batches, int* drawn);

// 1 when the library holds the right clip for drawing inside bounds, 0 on failure.
int EmitClipRegion(Pdev* pdev, CLIPOBJ* clip, PATHOBJ* path, const RECTL* bounds, const PreparedClip* prepared);
int ApplyClipObject(Pdev* pdev, CLIPOBJ* clip, const RECTL* bounds);
