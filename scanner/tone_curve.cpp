// Tone curves from level slots, and inversion of processed bands.
#include <cmath>
#include <cstring>

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "scanner/pixel_loops.h"

void ToneCurveFromLevels(BYTE* curve, int gamma, int inLow, int inHigh, int outLow, int outHigh) {
  if (gamma == 0) gamma = 180;
  if (gamma > 998) gamma = 999;
  if (gamma <= 10) gamma = 10;
  const double exponent = 100.0 / gamma;
  for (int i = 0; i < 256; ++i) {
    int value;
    if (i < inLow) {
      value = outLow;
    } else if (i > inHigh) {
      value = outHigh;
    } else if (inHigh == inLow) {
      // An empty input range is a step at the input low.
      value = outHigh;
    } else {
      const double ratio = static_cast<double>(i - inLow) / (inHigh - inLow);
      value = static_cast<int>(outLow + (outHigh - outLow) * std::pow(ratio, exponent));
    }
    curve[i] = static_cast<BYTE>(value < 0 ? 0 : (value > 255 ? 255 : value));
  }
}

namespace {

QV_WIDE_LOOP void InvertBytes(BYTE* __restrict p, ULONGLONG n) {
  for (ULONGLONG i = 0; i < n; ++i) p[i] = static_cast<BYTE>(~p[i]);
}

}  // namespace

BOOL InvertApplies(const ImageRecord& record) { return record.Invert != 0 && record.ScanKind != kScanKindColor48; }

void InvertBand(BYTE* pixels, DWORD width, DWORD lines, DWORD lineBytes, const ImageRecord& record, DWORD hardwareGray) {
  ULONGLONG bytes;
  switch (record.ScanKind) {
    case kScanKindThreshold:
    case kScanKindDiffusion:
    case kScanKindHalftone:
      bytes = (static_cast<ULONGLONG>(width) + 7) / 8;
      break;
    case kScanKindColor48:
      return;
    default:
      // Grey read as grey has one byte per pixel; everything else arrives as triplets.
      bytes = (hardwareGray != 0 && record.PixelType == TWPT_GRAY) ? width : 3ull * width;
      break;
  }
  if (bytes > lineBytes) bytes = lineBytes;
  // Lines that follow one another without a gap are one run.
  if (bytes == lineBytes) {
    InvertBytes(pixels, bytes * lines);
    return;
  }
  for (DWORD line = 0; line < lines; ++line) InvertBytes(pixels + static_cast<ULONGLONG>(line) * lineBytes, bytes);
}
