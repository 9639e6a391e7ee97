#include "graphics/imaging/image_queue.h"

#include <vector>

#include "graphics/device/pdev.h"
#include "graphics/drawing/graphics_emitter.h"  // up: a flushed image leaves as drawing
#include "graphics/imaging/color_converter.h"
#include "platform/engine/engine.h"
#include "platform/kernel/memory.h"

namespace {

constexpr BYTE kRopKindTernary = 2;
constexpr DWORD kTernaryCopy = 0xCC;

ImageQueueEntry* AppendEntry(ImageQueue* queue) {
  auto* entry = static_cast<ImageQueueEntry*>(GlobalAlloc(GPTR, sizeof(ImageQueueEntry)));
  if (entry == nullptr) return nullptr;
  entry->previous = queue->last;
  if (queue->last != nullptr) queue->last->next = entry;
  else queue->first = entry;
  queue->last = entry;
  ++queue->count;
  return entry;
}

void FreeEntryPixels(ImageQueueEntry* entry) {
  if (entry->pixels != nullptr) {
    if (entry->locked != nullptr) GlobalUnlock(entry->pixels);
    GlobalFree(entry->pixels);
  }
  entry->pixels = nullptr;
  entry->locked = nullptr;
}

// Only the first or the last entry can be removed; false for another.
bool RemoveEntry(ImageQueue* queue, ImageQueueEntry* entry, bool freePixels) {
  if (entry == nullptr || (entry != queue->first && entry != queue->last)) return false;
  if (entry == queue->first) {
    queue->first = entry->next;
    if (queue->first != nullptr) queue->first->previous = nullptr;
  }
  if (entry == queue->last) {
    queue->last = entry->previous;
    if (queue->last != nullptr) queue->last->next = nullptr;
  }
  --queue->count;
  if (freePixels) FreeEntryPixels(entry);
  FreePathCopy(entry->geometry.clipPath);
  GlobalFree(entry);
  return true;
}

// Hands a locked pixel block to the entry, which keeps it unlocked until it is drawn.
bool HandOverPixels(ImageQueueEntry* entry, HGLOBAL block, BYTE* rows) {
  if (entry->pixels != nullptr && entry->pixels != block) return false;
  if (entry->pixels == block && entry->locked != nullptr && entry->locked != rows) return false;
  entry->pixels = block;
  GlobalUnlock(block);
  entry->locked = nullptr;
  return true;
}

BYTE* LockPixels(ImageQueueEntry* entry) {
  if (entry->locked == nullptr && entry->pixels != nullptr) entry->locked = static_cast<BYTE*>(GlobalLock(entry->pixels));
  return entry->locked;
}

// Hands the queued pixels to the colour conversion as one group.
int ConvertQueuedImages(Pdev* pdev, int mode) {
  ImageQueue* queue = pdev->imageQueue;
  std::vector<QueuedImagePixels> group;
  for (ImageQueueEntry* e = queue->first; e != nullptr; e = e->next) {
    BYTE* pixels = LockPixels(e);
    if (pixels == nullptr) return -1;
    group.push_back({pixels, e->attributes.width, e->attributes.height});
  }
  return ColorConvertQueuedImages(pdev->colorConverter, group.data(), group.size(), mode);
}

}  // namespace

int OpenImageQueue(ImageQueue** queue) {
  if (queue == nullptr) return -1;
  *queue = static_cast<ImageQueue*>(GlobalAlloc(GPTR, sizeof(ImageQueue)));
  return *queue == nullptr ? -2 : 0;
}

int CloseImageQueue(ImageQueue** queue) {
  if (queue == nullptr) return -1;
  if (*queue != nullptr) {
    ClearImageQueue(*queue);
    GlobalFree(*queue);
    *queue = nullptr;
  }
  return 0;
}

void ClearImageQueue(ImageQueue* queue) {
  if (queue == nullptr) return;
  while (queue->first != nullptr) RemoveEntry(queue, queue->first, true);
}

int SnapshotClip(const RECTL* target, CLIPOBJ* clip, ImageGeometry* geometry) {
  *geometry = {};
  geometry->target = *target;
  if (clip == nullptr) {
    // A blt without a clip object draws unclipped: the snapshot records that as a trivial clip.
    geometry->clip.iDComplexity = DC_TRIVIAL;
    geometry->clip.rclBounds = *target;
    return 0;
  }
  switch (clip->iDComplexity) {
    case DC_TRIVIAL:
    case DC_RECT:
      geometry->clip = *clip;
      return 0;
    case DC_COMPLEX: {
      geometry->clip = *clip;
      PATHOBJ* path = CLIPOBJ_ppoGetPath(clip);
      if (path == nullptr) return -1;
      const int made = MakePathCopy(path, &geometry->clipPath, &geometry->clipPathLength, &geometry->clipPathBatches);
      EngDeletePath(path);
      return made == kPathCopyMade ? 0 : -1;
    }
    default:
      return -1;
  }
}

int QueueImage(ImageQueue* queue, CLIPOBJ* clip, const RECTL* target, const ImageAttributes* header, BYTE** rows,
               HGLOBAL* block) {
  if (queue == nullptr || header == nullptr || rows == nullptr || block == nullptr || *block == nullptr)
    return kQueueFailed;
  ImageGeometry geometry{};
  if (SnapshotClip(target, clip, &geometry) != 0) {
    FreePathCopy(geometry.clipPath);
    return kQueueFailed;
  }
  ImageQueueEntry* entry = AppendEntry(queue);
  if (entry == nullptr) {
    FreePathCopy(geometry.clipPath);
    return kQueueNoEntry;
  }
  entry->geometry = geometry;
  entry->attributes = *header;
  entry->attributes.table = nullptr;  // queued images are 24-bit rows without palette
  if (!HandOverPixels(entry, *block, *rows)) {
    RemoveEntry(queue, entry, false);
    return kQueueFailed;
  }
  *rows = nullptr;
  *block = nullptr;
  return kQueueTaken;
}

int PlayDeferredImages(Pdev* pdev) {
  ImageQueue* queue = pdev->imageQueue;
  while (queue->first != nullptr) {
    ImageQueueEntry* e = queue->first;
    BYTE* pixels = LockPixels(e);
    if (pixels == nullptr) return 0;
    const PreparedClip prepared{e->geometry.clipPath, e->geometry.clipPathLength, e->geometry.clipPathBatches};
    if (EmitRopMode(pdev->emitter, kRopKindTernary, kTernaryCopy) != 0 ||
        EmitClipRegion(pdev, &e->geometry.clip, nullptr, &e->geometry.target, &prepared) != 1)
      return 0;
    if (EmitDrawImage(pdev->emitter, e->attributes) != 0 ||
        EmitImageData(pdev->emitter, pixels, e->attributes.imageLength) != 0)
      return 0;
    RemoveEntry(queue, e, true);
  }
  return 1;
}

int FlushDeferredImages(Pdev* pdev, int mode) {
  if (pdev == nullptr) return -1;
  ImageQueue* queue = pdev->imageQueue;
  if (queue == nullptr || queue->first == nullptr) return 0;
  if (ConvertQueuedImages(pdev, mode) == 0 && PlayDeferredImages(pdev) == 1) return 0;
  ClearImageQueue(queue);
  return -1;
}

int SelectImageColorProcessing(ColorConverter* converter, ImageQueue* queue, SettingsRecord* settings, Pdev* pdev,
                               const void*, DWORD width, DWORD height, WORD bitsPerPixel, BYTE ropKind, DWORD ropValue,
                               WORD originCode) {
  if (converter == nullptr || settings == nullptr || pdev == nullptr) return -1;
  const int library = PlanImageConversion(converter, settings, pdev->config);
  if (library < 0) return -1;
  if (library == 0) return 0;
  if (queue == nullptr) {
    // Without a queue the bands cannot be held back: each is drawn at once.
    converter->ImageWord &= static_cast<WORD>(~kImageColorLibrary);
    return 0;
  }
  switch (ClassifyImageBand(&queue->tracker, width, height, bitsPerPixel, ropKind, ropValue, originCode)) {
    case kBandNotPicture: {
      // The queued picture is converted with the library before this bitmap leaves it out.
      const int flushed = FlushDeferredImages(pdev, kFlushForDrawing);
      converter->ImageWord &= static_cast<WORD>(~kImageColorLibrary);
      return flushed == 0 ? 0 : -1;
    }
    case kBandNewPicture: {
      const int flushed = FlushDeferredImages(pdev, kFlushForDrawing);
      converter->ImageWord |= kImageColorLibrary;
      return flushed == 0 ? 0 : -1;
    }
    case kBandContinues:
      converter->ImageWord |= kImageColorLibrary;
      return 0;
    default:
      return -1;
  }
}
