#include "graphics/ddi/direct_image_input.h"

#include <cstring>

#include "graphics/ddi/escape_results.h"
#include "platform/gdi/drawing.h"

namespace {

constexpr DWORD kBitmapInfoSize = sizeof(BITMAPINFOHEADER);
constexpr DWORD kRgbQuadSize = 4;
constexpr WORD kFullColorTable = 256;

template <typename T>
T Read(const BYTE* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

bool IsQuarterTurn(LONG turn) { return turn == 0 || turn == 90 || turn == 180 || turn == 270; }

// The bitmap information and its colour table: kImageLocated, or the answer for a bitmap that
// does not fit the description.
LONG LocateBitmap(const BYTE* input, DWORD size, const BYTE* description, DirectImageInput* out) {
  const BYTE* info = OffsetInBlock(input, Read<DWORD>(description + kDescBitmapInfo), kBitmapInfoSize, size);
  if (info == nullptr) return kEscUnusableImage;
  BITMAPINFOHEADER header;
  std::memcpy(&header, info, sizeof header);
  if (header.biSize < kBitmapInfoSize || header.biWidth != out->sourceWidth || header.biHeight != out->sourceHeight)
    return kEscUnusableImage;
  out->compression = header.biCompression;
  out->bitCount = header.biBitCount;
  if (header.biCompression == BI_JPEG) return kImageLocated;
  if (header.biCompression != BI_PNG) return kEscBadArgument;
  if (header.biBitCount == 24) return kImageLocated;
  if (header.biBitCount != 8) return kEscBadArgument;
  // An 8-bit image has a table of biClrUsed entries (0 or more than 255: the whole 256).
  out->colorCount = header.biClrUsed >= 1 && header.biClrUsed <= 255 ? static_cast<WORD>(header.biClrUsed)
                                                                     : kFullColorTable;
  const DWORD tableOffset = Read<DWORD>(description + kDescBitmapInfo) + header.biSize;
  if (tableOffset < header.biSize) return kEscUnusableImage;
  out->colorTable = OffsetInBlock(input, tableOffset, out->colorCount * kRgbQuadSize, size);
  return out->colorTable != nullptr ? kImageLocated : kEscUnusableImage;
}

}  // namespace

const BYTE* OffsetInBlock(const BYTE* block, DWORD offset, DWORD length, DWORD size) {
  if (block == nullptr || offset == 0) return nullptr;
  if (offset > size || length > size - offset) return nullptr;
  return block + offset;
}

LONG LocateDirectImage(const BYTE* input, DWORD size, DirectImageInput* out) {
  *out = DirectImageInput{};
  if (input == nullptr || size < kChunkHeaderSize) return kEscBadSize;
  const DWORD given = Read<DWORD>(input + kChunkInputSize);
  if (given != 0 && given != size) return kEscBadSize;
  const BYTE* description =
      OffsetInBlock(input, Read<DWORD>(input + kChunkDescription), kImageDescriptionSize, size);
  if (description == nullptr) return kEscBadSize;
  ImageChunk& chunk = out->chunk;
  chunk.total = Read<DWORD>(input + kChunkImageBytes);
  chunk.offset = Read<DWORD>(input + kChunkOffset);
  chunk.length = Read<DWORD>(input + kChunkLength);
  chunk.id = Read<WORD>(input + kChunkTransferId);
  if (chunk.total == 0 || chunk.total > kMaxDirectImageBytes) return kEscBadSize;
  // The marker and the transfer id both say whether the chunk opens an image; they must agree.
  out->firstChunk = chunk.id == 0;
  if ((Read<WORD>(input + kChunkFirstMarker) == 0) != (out->firstChunk != 0)) return kEscBadSize;
  if (Read<DWORD>(description + kDescRasterOperation) != SRCCOPY) return kEscUnsupported;

  out->turn = Read<WORD>(input + kChunkTurn);
  out->targetX = Read<SHORT>(description + kDescTargetX);
  out->targetY = Read<SHORT>(description + kDescTargetY);
  out->sourceWidth = Read<WORD>(description + kDescSourceWidth);
  out->sourceHeight = Read<WORD>(description + kDescSourceHeight);
  out->targetWidth = Read<WORD>(description + kDescTargetWidth);
  out->targetHeight = Read<WORD>(description + kDescTargetHeight);
  out->rasterCode = Read<WORD>(description + kDescRasterCode);
  if (Read<DWORD>(description + kDescReserved) != 0 || out->sourceWidth == 0 || out->sourceHeight == 0 ||
      !IsQuarterTurn(out->turn))
    return kEscUnusableImage;
  if (const LONG located = LocateBitmap(input, size, description, out); located != kImageLocated) return located;
  // The chunk's length is checked before anything of the image is sent.
  if (chunk.length > kMaxImageChunk) return kEscBadArgument;
  out->data = OffsetInBlock(input, Read<DWORD>(description + kDescData), chunk.length, size);
  if (out->data == nullptr) return kEscUnusableImage;
  if (const DWORD clipOffset = Read<DWORD>(description + kDescClip); clipOffset != 0) {
    const BYTE* clip = OffsetInBlock(input, clipOffset, kClipRectangleSize, size);
    if (clip == nullptr) return kEscUnusableImage;
    out->hasClip = TRUE;
    for (int i = 0; i < 4; ++i) out->clip[i] = Read<SHORT>(clip + 2 * i);
  }
  return kImageLocated;
}
