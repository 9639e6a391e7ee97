// Line sizes of the scan kinds and output pixel types.
#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/image_record.h"

namespace {

// Bits per pixel of an aligned bitmap line of a scan kind.
ULONGLONG KindBits(WORD kind) {
  switch (kind) {
    case kScanKindThreshold:
    case kScanKindDiffusion:
    case kScanKindHalftone:
      return 1;
    case kScanKindGray:
      return 8;
    case kScanKindGray16:
      return 16;
    case kScanKindColor48:
      return 48;
    default:
      return 24;
  }
}

DWORD AlignedLine(ULONGLONG bits, DWORD width) { return static_cast<DWORD>((bits * width + 31) / 32 * 4); }

}  // namespace

DWORD PackedLineBytes(WORD kind, DWORD width) {
  const BYTE low = static_cast<BYTE>(kind & 0xFF);
  ULONGLONG bytes;
  if (low == 2)
    bytes = width;
  else if (low >= 4)
    bytes = 3ull * width;
  else
    bytes = (static_cast<ULONGLONG>(width) + 7) / 8;
  if (kind > 255) bytes *= 2;
  return static_cast<DWORD>(bytes);
}

DWORD BitmapLineBytes(WORD kind, DWORD width) { return AlignedLine(KindBits(kind), width); }

DWORD PixelRowBytes(WORD pixelType, DWORD width) {
  switch (pixelType) {
    case TWPT_BW:
      return static_cast<DWORD>((static_cast<ULONGLONG>(width) + 7) / 8);
    case TWPT_RGB:
      return static_cast<DWORD>(3ull * width);
    default:
      return width;
  }
}

DWORD BitmapLineBytesForPixelType(WORD pixelType, DWORD width) {
  switch (pixelType) {
    case TWPT_BW:
      return AlignedLine(1, width);
    case TWPT_RGB:
      return AlignedLine(24, width);
    default:
      return AlignedLine(8, width);
  }
}
