#include "graphics/job/direct_image_drawing.h"

#include <cstring>
#include <vector>

#include "graphics/ddi/direct_image_matrix.h"  // up: the escape's image placement
#include "graphics/device/pdev.h"
#include "graphics/drawing/clip_cache.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/imaging/image_queue.h"
#include "graphics/job/page_geometry.h"
#include "platform/kernel/memory.h"

namespace {

constexpr BYTE kRopModeCode = 2;
constexpr BYTE kNoMask = 1;
constexpr BYTE kBitsPerSample = 8;
constexpr BYTE kPaletteComponentBits = 8;
// Data encodings and colour formats of the encoded images.
constexpr BYTE kEncodingJpeg = 4, kEncodingPng = 8;
constexpr BYTE kFormatJpeg = 5, kFormatPngRgb = 4, kFormatPngIndexed = 11;
constexpr DWORD kRgbQuadSize = 4;

// The clip of the image: the given rectangle, or the whole page after a reset.
int ApplyImageClip(Pdev* pdev, const DirectImageInput& image) {
  CLIPOBJ clip{};
  clip.iDComplexity = DC_RECT;
  if (image.hasClip) {
    clip.rclBounds = {image.clip[0], image.clip[1], image.clip[2], image.clip[3]};
  } else {
    if (ApplyClipObject(pdev, nullptr, nullptr) == 0) return -1;
    FloatLayout layout;
    if (ConvertLayoutToFloat(&layout, &pdev->pageState) != 0) return -1;
    clip.rclBounds = {0, 0, static_cast<LONG>(layout.pageRight - layout.pageLeft + 1),
                      static_cast<LONG>(layout.pageTop - layout.pageBottom + 1)};
  }
  return ApplyClipObject(pdev, &clip, nullptr) != 0 ? 0 : -1;
}

void FreeHeldImage(Pdev* pdev) {
  if (pdev->heldImage == nullptr) return;
  GlobalFree(pdev->heldImage->data);
  GlobalFree(pdev->heldImage);
  pdev->heldImage = nullptr;
}

// A new held image for the first chunk's description, room for all of the image's bytes.
int BeginHeldImage(Pdev* pdev, const DirectImageInput& image) {
  FreeHeldImage(pdev);
  if (image.colorCount > 256) return -1;
  auto* held = static_cast<HeldDirectImage*>(GlobalAlloc(GPTR, sizeof(HeldDirectImage)));
  if (held == nullptr) return -1;
  held->data = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, image.chunk.total));
  if (held->data == nullptr) {
    GlobalFree(held);
    return -1;
  }
  held->image = image;
  held->image.data = nullptr;
  if (image.colorTable != nullptr) {
    std::memcpy(held->table, image.colorTable, image.colorCount * kRgbQuadSize);
    held->image.colorTable = held->table;
  }
  pdev->heldImage = held;
  return 0;
}

}  // namespace

int FlushBeforeDirectImage(Pdev* pdev) { return FlushDeferredImages(pdev, kFlushForDrawing) != 0 ? -1 : 1; }

int EmitDirectImageHeader(Pdev* pdev, const DirectImageInput& image) {
  ImageAttributes h{};
  h.x = image.targetX;
  h.y = image.targetY;
  h.width = image.sourceWidth;
  h.height = image.sourceHeight;
  h.maskKind = kNoMask;
  h.sourceKind = kDlImageDataFollows;
  h.tail[0] = 1;
  h.tail[1] = kBitsPerSample;
  h.imageLength = image.chunk.total;
  std::vector<BYTE> table;
  if (image.compression == BI_JPEG) {
    h.tail[2] = kEncodingJpeg;
    h.colorFormat = kFormatJpeg;
  } else if (image.bitCount == 24) {
    h.tail[2] = kEncodingPng;
    h.colorFormat = kFormatPngRgb;
  } else if (image.bitCount == 8 && image.colorTable != nullptr) {
    h.tail[2] = kEncodingPng;
    h.colorFormat = kFormatPngIndexed;
    // Blue, green, red of each RGBQUAD.
    for (WORD i = 0; i < image.colorCount; ++i)
      table.insert(table.end(), image.colorTable + i * kRgbQuadSize, image.colorTable + i * kRgbQuadSize + 3);
    h.entrySize = kPaletteComponentBits;
    h.entryCount = image.colorCount;
    h.tableLength = static_cast<WORD>(table.size());
    h.table = table.data();
  } else {
    return -1;
  }
  float x = 1, y = 1;
  if (image.targetWidth != 0 && image.targetHeight != 0) {
    x = static_cast<float>(image.targetWidth) / static_cast<float>(image.sourceWidth);
    y = static_cast<float>(image.targetHeight) / static_cast<float>(image.sourceHeight);
  }
  if (SetImageTurnMatrix(&h, image.turn, x, y) != 0) return -1;
  return EmitDrawImage(pdev->emitter, h) != 0 ? -1 : 0;
}

int DrawDirectImageChunk(Pdev* pdev, const DirectImageInput& image) {
  if (pdev == nullptr || pdev->emitter == nullptr) return -1;
  if (image.firstChunk && BeginHeldImage(pdev, image) != 0) return -1;
  HeldDirectImage* held = pdev->heldImage;
  // A chunk runs past the held image only when the transfer and the hold disagree.
  if (held == nullptr || image.chunk.offset != held->received ||
      image.chunk.length > held->image.chunk.total - held->received) {
    DropHeldDirectImage(pdev);
    return -1;
  }
  std::memcpy(held->data + held->received, image.data, image.chunk.length);
  held->received += image.chunk.length;
  if (held->received < held->image.chunk.total) return kImageChunkHeld;
  const DirectImageInput& whole = held->image;
  const int result = ApplyImageClip(pdev, whole) == 0 && EmitRopMode(pdev->emitter, kRopModeCode, whole.rasterCode) == 0 &&
                             EmitDirectImageHeader(pdev, whole) == 0 &&
                             EmitImageData(pdev->emitter, held->data, held->received) == 0
                         ? 0
                         : -1;
  FreeHeldImage(pdev);
  return result;
}

void DropHeldDirectImage(Pdev* pdev) {
  if (pdev == nullptr || pdev->heldImage == nullptr) return;
  FreeHeldImage(pdev);
  DirectModeState& state = pdev->directMode;
  state.transferId = 0;
  state.expected = state.received = 0;
}
