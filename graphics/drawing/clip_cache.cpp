#include "graphics/drawing/clip_cache.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/device/pdev.h"
#include "graphics/drawing/graphics_emitter.h"
#include "platform/base/errors.h"
#include "platform/engine/engine.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"

namespace {

constexpr DWORD kMaxCurvesPerCommand = 65535;   // the library's count field is 16 bits
constexpr DWORD kCurvesPerSplitCommand = 21845;  // 65535 points
constexpr DWORD kMaxLinePointsPerCommand = 65535;
constexpr BYTE kDrawModeFill = 2;

// Batches and points of a path, by enumerating it once.
bool MeasurePath(PATHOBJ* path, DWORD* batches, DWORD* points) {
  *batches = 0;
  *points = 0;
  PATHOBJ_vEnumStart(path);
  BOOL more = TRUE;
  while (more) {
    PATHDATA data{};
    more = PATHOBJ_bEnum(path, &data);
    if (data.count == 0 && !more) break;
    ++*batches;
    *points += data.count;
  }
  return true;
}

DWORD CopyLength(DWORD batches, DWORD points) { return (2 * batches + points) * 8; }

// Fills a block of CopyLength bytes from the path's batches.
void FillPathCopy(PATHOBJ* path, PathCopyBatch* copy, DWORD batches) {
  POINTFIX* next = reinterpret_cast<POINTFIX*>(copy + batches);
  PATHOBJ_vEnumStart(path);
  for (DWORD i = 0; i < batches; ++i) {
    PATHDATA data{};
    PATHOBJ_bEnum(path, &data);
    copy[i] = {data.flags, data.count, next};
    if (data.count > 0) std::memcpy(next, data.pptfx, data.count * sizeof(POINTFIX));
    next += data.count;
  }
}

// Copies a copy into a new block, moving each header's pointer with the block.
void RelocateCopy(PathCopyBatch* target, const PathCopyBatch* source, DWORD length, DWORD batches) {
  std::memcpy(target, source, length);
  const BYTE* oldBase = reinterpret_cast<const BYTE*>(source);
  BYTE* newBase = reinterpret_cast<BYTE*>(target);
  for (DWORD i = 0; i < batches; ++i)
    target[i].points = reinterpret_cast<POINTFIX*>(newBase + (reinterpret_cast<const BYTE*>(source[i].points) - oldBase));
}

void DropCachedPath(Pdev* pdev) {
  ClipCache& cache = pdev->clipCache;
  if (cache.path != nullptr) HeapFree(pdev->heap, 0, cache.path);
  cache.path = nullptr;
  cache.length = 0;
  cache.batches = 0;
}

// Stores a copy of the source copy as the cached clip path.
int StoreCopy(Pdev* pdev, const PathCopyBatch* source, DWORD length, DWORD batches) {
  DropCachedPath(pdev);
  auto* block = static_cast<PathCopyBatch*>(HeapAlloc(pdev->heap, HEAP_ZERO_MEMORY, length));
  if (block == nullptr) return kClipPathNotStored;
  RelocateCopy(block, source, length, batches);
  pdev->clipCache = {pdev->clipCache.state, pdev->clipCache.rect, block, length, batches};
  return kClipPathStored;
}

// Stores the path object's batches as the cached clip path.
int StorePath(Pdev* pdev, PATHOBJ* path, DWORD length, DWORD batches) {
  DropCachedPath(pdev);
  auto* block = static_cast<PathCopyBatch*>(HeapAlloc(pdev->heap, HEAP_ZERO_MEMORY, length));
  if (block == nullptr) return kClipPathNotStored;
  FillPathCopy(path, block, batches);
  pdev->clipCache = {pdev->clipCache.state, pdev->clipCache.rect, block, length, batches};
  return kClipPathStored;
}

// Sends one batch's points after its start point.
int EmitBatchPoints(GraphicsStateEmitter* emitter, DWORD flags, const POINTFIX* points, DWORD count) {
  std::vector<RecordPoint> converted(count);
  for (DWORD i = 0; i < count; ++i) converted[i] = {points[i].x, points[i].y};
  const RecordPoint* at = converted.data();
  if (flags & PD_BEZIERS) {
    DWORD curves = count / 3;
    while (curves > kMaxCurvesPerCommand) {
      if (EmitBezierPath(emitter, kCurvesPerSplitCommand, at) != 0) return 0;
      at += 3 * kCurvesPerSplitCommand;
      curves -= kCurvesPerSplitCommand;
    }
    return curves == 0 || EmitBezierPath(emitter, curves, at) == 0 ? 1 : 0;
  }
  // The library takes at most 65535 points per line command: longer batches go out in parts.
  while (count > 0) {
    const DWORD part = std::min(count, kMaxLinePointsPerCommand);
    if (EmitLinePath(emitter, part, at) != 0) return 0;
    at += part;
    count -= part;
  }
  return 1;
}

int EmitBatch(GraphicsStateEmitter* emitter, DWORD flags, const POINTFIX* points, DWORD count, int* drawn) {
  if ((flags & PD_BEGINSUBPATH) && count > 0) {
    if (EmitMovePoint(emitter, points[0].x, points[0].y) != 0) return 0;
    ++points;
    --count;
  }
  if ((flags & PD_BEZIERS) && count % 3 != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (count > 0) {
    if (EmitBatchPoints(emitter, flags, points, count) == 0) return 0;
    if (drawn != nullptr) *drawn = 1;
  }
  if ((flags & PD_ENDSUBPATH) && (flags & PD_CLOSEFIGURE) && EmitClosePath(emitter) != 0) return 0;
  return 1;
}

bool Inside(const RECTL& inner, const RECTL& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

RECTL Normalised(RECTL r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

// No clip: reset the library's clip unless none is in force.
int ClearClip(Pdev* pdev, bool testReset) {
  ClipCache& cache = pdev->clipCache;
  if (cache.state != kClipNone) {
    if (EmitInitClip(pdev->emitter) != 0 && testReset) return 0;
    cache.state = kClipNone;
  }
  return 1;
}

int EmitRectClip(Pdev* pdev, CLIPOBJ* clip, const RECTL* bounds) {
  ClipCache& cache = pdev->clipCache;
  const RECTL rect = Normalised(clip->rclBounds);
  if (bounds != nullptr && Inside(*bounds, clip->rclBounds)) return ClearClip(pdev, true);
  if (cache.state == kClipRectangle) {
    if (std::memcmp(&rect, &cache.rect, sizeof rect) == 0) return 1;
    // A smaller rectangle inside the one in force narrows it without a reset.
    if (!Inside(rect, cache.rect)) EmitInitClip(pdev->emitter);
  } else if (cache.state == kClipPath) {
    if (EmitInitClip(pdev->emitter) != 0) return 0;
  }
  if (EmitRectangleClip(pdev->emitter, rect.left, rect.top, rect.right, rect.bottom) != 0) return 0;
  cache.rect = rect;
  cache.state = kClipRectangle;
  return 1;
}

int EmitComplexClip(Pdev* pdev, CLIPOBJ* clip, const PreparedClip* prepared) {
  ClipCache& cache = pdev->clipCache;
  PATHOBJ* path = nullptr;
  int answer;
  if (prepared != nullptr && prepared->path != nullptr) {
    answer = CacheClipPath(pdev, nullptr, prepared->path, prepared->length, prepared->batches);
  } else {
    path = CLIPOBJ_ppoGetPath(clip);
    answer = path == nullptr ? kClipPathFailed : CacheClipPath(pdev, path, nullptr, 0, 0);
  }
  int result = answer == kClipPathFailed ? 0 : 1;
  if (answer == kClipPathStored || answer == kClipPathNotStored) {
    if (cache.state != kClipNone) EmitInitClip(pdev->emitter);
    cache.state = kClipNone;
    int drawn = 0;
    if (answer == kClipPathStored)
      result = EmitPath(pdev->emitter, nullptr, cache.path, cache.batches, &drawn);
    else if (path != nullptr)
      result = EmitPath(pdev->emitter, path, nullptr, 0, &drawn);
    else
      result = EmitPath(pdev->emitter, nullptr, prepared->path, prepared->batches, &drawn);
    if (result == 1 && (EmitDrawMode(pdev->emitter, kDrawModeFill) != 0 || EmitClipPath(pdev->emitter) != 0))
      result = 0;
    if (result == 1) cache.state = kClipPath;
    else cache.state = kClipUnknown;  // a part of the path may have reached the library
  }
  if (path != nullptr) EngDeletePath(path);
  return result;
}

}  // namespace

void ResetClipCache(Pdev* pdev) {
  DropCachedPath(pdev);
  pdev->clipCache.state = kClipUnknown;
  pdev->clipCache.rect = {};
}

int MakePathCopy(PATHOBJ* path, PathCopyBatch** copy, DWORD* length, DWORD* batches) {
  *copy = nullptr;
  *length = 0;
  *batches = 0;
  DWORD count = 0, points = 0;
  MeasurePath(path, &count, &points);
  const DWORD bytes = CopyLength(count, points);
  if (bytes == 0) return 0;
  auto* block = static_cast<PathCopyBatch*>(GlobalAlloc(GPTR, bytes));
  if (block == nullptr) return kPathCopyNoMemory;
  FillPathCopy(path, block, count);
  *copy = block;
  *length = bytes;
  *batches = count;
  return kPathCopyMade;
}

void FreePathCopy(PathCopyBatch* copy) {
  if (copy != nullptr) GlobalFree(copy);
}

bool PathCopiesEqual(const PathCopyBatch* a, const PathCopyBatch* b, DWORD batches, DWORD length) {
  for (DWORD i = 0; i < batches; ++i)
    if (a[i].flags != b[i].flags || a[i].count != b[i].count) return false;
  const DWORD headers = batches * sizeof(PathCopyBatch);
  return std::memcmp(a + batches, b + batches, length - headers) == 0;
}

int CacheClipPath(Pdev* pdev, PATHOBJ* path, const PathCopyBatch* copy, DWORD length, DWORD batches) {
  if (pdev == nullptr) return kClipPathFailed;
  ClipCache& cache = pdev->clipCache;
  if (copy != nullptr) {
    if (cache.state == kClipPath && cache.path != nullptr && cache.length == length && cache.batches == batches &&
        PathCopiesEqual(cache.path, copy, batches, length))
      return kClipPathUnchanged;
    return StoreCopy(pdev, copy, length, batches);
  }
  if (path == nullptr) return kClipPathFailed;
  DWORD count = 0, points = 0;
  MeasurePath(path, &count, &points);
  const DWORD bytes = CopyLength(count, points);
  if (cache.state == kClipPath && cache.path != nullptr && cache.length == bytes && cache.batches == count) {
    auto* temporary = static_cast<PathCopyBatch*>(GlobalAlloc(GPTR, bytes));
    if (temporary == nullptr) {
      DropCachedPath(pdev);
      return kClipPathNotStored;
    }
    FillPathCopy(path, temporary, count);
    const bool same = PathCopiesEqual(cache.path, temporary, count, bytes);
    if (!same) RelocateCopy(cache.path, temporary, bytes, count);
    GlobalFree(temporary);
    return same ? kClipPathUnchanged : kClipPathStored;
  }
  return StorePath(pdev, path, bytes, count);
}

int EmitPath(GraphicsStateEmitter* emitter, PATHOBJ* path, const PathCopyBatch* copy, DWORD batches, int* drawn) {
  if (path == nullptr && copy == nullptr) return 0;
  if (EmitInitPath(emitter) != 0) return 0;
  if (path != nullptr) {
    PATHOBJ_vEnumStart(path);
    BOOL more = TRUE;
    while (more) {
      PATHDATA data{};
      more = PATHOBJ_bEnum(path, &data);
      if (data.count == 0 && !more) break;
      if (EmitBatch(emitter, data.flags, data.pptfx, data.count, drawn) == 0) return 0;
    }
    return 1;
  }
  for (DWORD i = 0; i < batches; ++i)
    if (EmitBatch(emitter, copy[i].flags, copy[i].points, copy[i].count, drawn) == 0) return 0;
  return 1;
}

int EmitClipRegion(Pdev* pdev, CLIPOBJ* clip, PATHOBJ*, const RECTL* bounds, const PreparedClip* prepared) {
  if (pdev == nullptr || pdev->emitter == nullptr) return 0;
  ClipCache& cache = pdev->clipCache;
  if (cache.state == kClipUnknown) {
    if (EmitInitClip(pdev->emitter) != 0) return 0;
    cache.state = kClipNone;
  }
  if (clip == nullptr) return ClearClip(pdev, true);
  switch (clip->iDComplexity) {
    case DC_TRIVIAL:
      return ClearClip(pdev, false);
    case DC_RECT:
      return EmitRectClip(pdev, clip, bounds);
    case DC_COMPLEX:
      return EmitComplexClip(pdev, clip, prepared);
    default:
      return 0;
  }
}

int ApplyClipObject(Pdev* pdev, CLIPOBJ* clip, const RECTL* bounds) {
  return EmitClipRegion(pdev, clip, nullptr, bounds, nullptr);
}
