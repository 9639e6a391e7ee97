#include "graphics/drawing/bitmap_image.h"

#include <algorithm>
#include <vector>

#include "graphics/device/pdev.h"
#include "graphics/drawing/bitmap_rows.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/imaging/color_detection.h"
#include "graphics/imaging/image_queue.h"
#include "platform/kernel/memory.h"

namespace {

constexpr BYTE kNoMask = 1;
constexpr BYTE kColorFormatGreyIndexed = 10;
constexpr BYTE kColorFormatGrey = 3;
constexpr BYTE kPaletteComponentBits = 8;
constexpr BYTE kTernaryCopy = 0xCC;
constexpr DWORD kMaxPaletteEntries = 256;

// A locked moveable block, unlocked and freed at the end of its scope unless released.
struct LockedRows {
  HGLOBAL block = nullptr;
  BYTE* rows = nullptr;
  LockedRows() = default;
  LockedRows(const LockedRows&) = delete;
  LockedRows& operator=(const LockedRows&) = delete;
  ~LockedRows() { Free(); }
  void Free() {
    if (block == nullptr) return;
    GlobalUnlock(block);
    GlobalFree(block);
    block = nullptr;
    rows = nullptr;
  }
};

// The converted rows and the palette (format 11) of the image.
struct ImageRows {
  LockedRows rows;
  std::vector<BYTE> palette;
  BOOL blackAndWhite = FALSE;
};

bool PrepareRows(Pdev* pdev, SURFOBJ* source, SIZEL size, POINTL origin, XLATEOBJ* xlate, const ImageAttributes& h,
                 ImageRows* out) {
  out->rows.Free();
  out->rows.rows = ConvertBitmapRows(source, size, origin, xlate, kRowsImage, &out->rows.block);
  if (out->rows.rows == nullptr) return false;
  if (h.colorFormat != kColorFormatIndexed) return true;
  WORD code = 0;
  DWORD rop = 0;
  GetCachedRopMode(pdev->emitter, &code, &rop);
  out->blackAndWhite = rop != kTernaryCopy;
  const DWORD count = std::min<DWORD>(xlate->cEntries, kMaxPaletteEntries);
  out->palette.assign(3 * static_cast<std::size_t>(count), 0);
  for (DWORD i = 0; i < count; ++i) {
    const DWORD entry = xlate->pulXlate[i] & 0xFFFFFF;
    out->palette[3 * i] = static_cast<BYTE>(entry);
    out->palette[3 * i + 1] = static_cast<BYTE>(entry >> 8);
    out->palette[3 * i + 2] = static_cast<BYTE>(entry >> 16);
    if (entry != 0 && entry != 0xFFFFFF) out->blackAndWhite = FALSE;
  }
  return true;
}

// The document's colour conversion of the rows or the palette; false when it fails.
bool ConvertForDevice(Pdev* pdev, ImageAttributes* h, ImageRows* image, WORD bits, std::vector<BYTE>* converted) {
  const bool indexed = h->colorFormat == kColorFormatIndexed;
  // RGB rows that no conversion touches go as they are (the conversion would only copy them).
  constexpr WORD kRowConversions = kImageMatrix | kImageBuiltInProfile | kImageSecondProfile | kImageToGrey;
  if (!indexed && (pdev->colorConverter->ImageWord & kRowConversions) == 0) return true;
  std::vector<BYTE> rowsOut(indexed ? 0 : h->imageLength), paletteOut(image->palette.size());
  const int answer = ConvertImageRows(pdev->colorConverter, image->rows.rows, indexed ? nullptr : rowsOut.data(),
                                      h->width, h->height, indexed ? image->palette.data() : nullptr,
                                      indexed ? paletteOut.data() : nullptr, h->entryCount, h->colorFormat, bits,
                                      image->blackAndWhite);
  if (answer == kConvertedGrey) {
    if (indexed) {
      h->colorFormat = kColorFormatGreyIndexed;
      h->tableLength = h->entryCount;
      image->palette.assign(paletteOut.begin(), paletteOut.begin() + h->entryCount);
    } else {
      h->colorFormat = kColorFormatGrey;
      h->imageLength /= 3;
      converted->assign(rowsOut.begin(), rowsOut.begin() + h->imageLength);
    }
    return true;
  }
  if (answer != kConvertedRgb) return false;
  if (indexed)
    image->palette = paletteOut;
  else
    *converted = std::move(rowsOut);
  return true;
}

}  // namespace

int RenderBitmapImage(Pdev* pdev, SURFOBJ* source, SURFOBJ* mask, SIZEL size, POINTL sourceOrigin, POINTL maskOrigin,
                      const RECTL* target, XLATEOBJ* xlate, const float matrix[6], CLIPOBJ* clip) {
  if (pdev == nullptr || source == nullptr || pdev->colorConverter == nullptr) return 0;
  bool queue = (pdev->colorConverter->ImageWord & kImageColorLibrary) != 0;
  const WORD sourceBits = BitsPerPixelOfFormat(source->iBitmapFormat);
  const WORD bits = OutputBitsPerPixel(sourceBits);
  if (bits == 0 || size.cx > 0xFFFF || size.cy > 0xFFFF) return 0;
  if (bits <= 8 && (xlate == nullptr || xlate->pulXlate == nullptr)) return 0;

  ImageAttributes h{};
  h.x = static_cast<float>(target->left);
  h.y = static_cast<float>(target->top);
  std::copy(matrix, matrix + 6, h.matrix);
  h.width = static_cast<WORD>(size.cx);
  h.height = static_cast<WORD>(size.cy);
  h.maskKind = kNoMask;
  const DWORD maskLength = (static_cast<DWORD>(size.cx) + 7) / 8 * static_cast<DWORD>(size.cy);
  if (mask != nullptr) {
    h.maskKind = kDlImageMaskFollows;
    h.maskLength = maskLength;
  }
  h.sourceKind = kDlImageDataFollows;
  h.colorFormat = bits <= 8 ? kColorFormatIndexed : kColorFormatRgb;
  h.tail[0] = 1;
  h.tail[1] = static_cast<BYTE>(std::min<WORD>(bits, 8));
  h.tail[2] = 1;
  h.imageLength = ((static_cast<DWORD>(bits) * static_cast<DWORD>(size.cx) + 7) >> 3) * static_cast<DWORD>(size.cy);

  ImageRows image;
  if (!PrepareRows(pdev, source, size, sourceOrigin, xlate, h, &image)) {
    if (!queue) return 0;
    // Memory is short: the queued images are drawn to free theirs, and this one is drawn at once.
    FlushDeferredImages(pdev, kFlushForMemory);
    queue = false;
    if (!PrepareRows(pdev, source, size, sourceOrigin, xlate, h, &image)) return 0;
  }
  if (h.colorFormat == kColorFormatIndexed) {
    h.entrySize = kPaletteComponentBits;
    h.entryCount = static_cast<WORD>(image.palette.size() / 3);
    h.tableLength = static_cast<WORD>(image.palette.size());
  }
  if (DetectImageColor(pdev->colorClassWord, &pdev->pageColor.Census, pdev, image.rows.rows, size.cx, size.cy,
                       image.palette.empty() ? nullptr : image.palette.data(), h.entryCount, h.colorFormat, bits,
                       0) != 0)
    return 0;

  if (queue) {
    // Queued images are 24-bit rows without palette (only 16, 24 and 32-bit bands are queued).
    switch (QueueImage(pdev->imageQueue, clip, target, &h, &image.rows.rows, &image.rows.block)) {
      case kQueueTaken: return 1;
      case kQueueNoEntry:
        if (FlushDeferredImages(pdev, kFlushForMemory) != 0) return 0;
        break;
      default: return 0;
    }
  }

  std::vector<BYTE> converted;
  if (!ConvertForDevice(pdev, &h, &image, bits, &converted)) return 0;
  h.table = image.palette.empty() ? nullptr : image.palette.data();
  if (EmitDrawImage(pdev->emitter, h) != 0) return 0;
  if (mask != nullptr) {
    LockedRows maskRows;
    maskRows.rows = CopyMaskRows(mask, size, maskOrigin, &maskRows.block);
    if (maskRows.rows == nullptr || EmitImageData(pdev->emitter, maskRows.rows, maskLength) != 0) return 0;
  }
  const BYTE* rows = converted.empty() ? image.rows.rows : converted.data();
  return EmitImageData(pdev->emitter, rows, h.imageLength) == 0 ? 1 : 0;
}
