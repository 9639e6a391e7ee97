// The image queue: consecutive bands of one picture are held back, converted by the colour
// library as one group and then drawn in the order they came, before anything else is drawn,
// when a new picture starts, when memory runs short and at the end of each page. Each entry
// keeps the finished image header, the converted pixel rows and a snapshot of the clip.
#pragma once

#include "graphics/drawing/clip_cache.h"  // up: a queued image keeps its clip
#include "graphics/drawing/image_bands.h"  // up: the queue holds the drawing's bands
#include "graphics/output/display_list.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

struct Pdev;
struct ColorConverter;
struct SettingsRecord;

// Where the blt's clip and target were when the image was queued.
struct ImageGeometry {
  RECTL target;
  CLIPOBJ clip;
  PathCopyBatch* clipPath;  // DC_COMPLEX only
  DWORD clipPathLength;
  DWORD clipPathBatches;
};

struct ImageQueueEntry {
  ImageQueueEntry* next;
  ImageGeometry geometry;
  ImageAttributes attributes;
  HGLOBAL pixels;  // the moveable block of the pixel rows
  BYTE* locked;    // its address while locked
  ImageQueueEntry* previous;
};

struct ImageQueue {
  ImageBandTracker tracker;
  DWORD count;
  ImageQueueEntry* first;
  ImageQueueEntry* last;
};

// Modes of FlushDeferredImages: before other drawing, or to free memory for an image (the
// colour library is then left out of this group's conversion).
inline constexpr int kFlushForDrawing = 1;
inline constexpr int kFlushForMemory = 0;

// Answers of QueueImage.
inline constexpr int kQueueTaken = 0;
inline constexpr int kQueueFailed = -1;
inline constexpr int kQueueNoEntry = -2;

// The queue of a document: 0, -1 (missing argument), -2 (no memory).
int OpenImageQueue(ImageQueue** queue);
// Frees the queued images and the head; 0, or -1 without a place.
int CloseImageQueue(ImageQueue** queue);
// Removes every entry with its pixels and clip copy.
void ClearImageQueue(ImageQueue* queue);

// Takes a snapshot of the clip (none is recorded as a trivial clip): 0, or -1 for a clip of an
// unknown complexity or when a complex clip cannot be copied.
int SnapshotClip(const RECTL* target, CLIPOBJ* clip, ImageGeometry* geometry);
// Appends the image; with kQueueTaken the rows and block belong to the queue and the caller's
// variables are cleared.
int QueueImage(ImageQueue* queue, CLIPOBJ* clip, const RECTL* target, const ImageAttributes* header, BYTE** rows,
               HGLOBAL* block);

// Converts the queued images as one group and draws them; the queue is empty afterwards.
// 0, or -1 when the conversion or drawing failed (the images are then dropped) or without a
// device.
int FlushDeferredImages(Pdev* pdev, int mode);
// Draws the queue from its first entry: 1 when all were drawn, 0 on failure.
int PlayDeferredImages(Pdev* pdev);

// The image word of a bitmap from the settings; while the colour library is in use, the band
// classification decides whether the bitmap joins the queue (a new picture first draws the
// queued one). 0, or -1 (missing argument, failed read, failed flush).
int SelectImageColorProcessing(ColorConverter* converter, ImageQueue* queue, SettingsRecord* settings, Pdev* pdev,
                               const void* bits, DWORD width, DWORD height, WORD bitsPerPixel, BYTE ropKind,
                               DWORD ropValue, WORD originCode);
