#include "graphics/drawing/image_bands.h"

namespace {

constexpr BYTE kRopKindTernary = 2;
constexpr DWORD kSourceCopy = 0xCC;

// Whether the band continues the tracked picture, forgetting a tracked side it changes.
bool ContinuesPicture(ImageBandTracker* t, DWORD width, DWORD height) {
  if (t->trackedWidth != 0 && t->trackedHeight != 0) {
    if (width == t->trackedWidth) {
      if (height != t->trackedHeight) t->trackedHeight = 0;
      return true;
    }
    if (height == t->trackedHeight) {
      t->trackedWidth = 0;
      return true;
    }
    return false;
  }
  if (t->trackedHeight != 0) return height == t->trackedHeight;
  if (t->trackedWidth != 0) return width == t->trackedWidth;
  return false;
}

}  // namespace

int ClassifyImageBand(ImageBandTracker* tracker, DWORD width, DWORD height, WORD bitsPerPixel, BYTE ropKind,
                      DWORD ropValue, WORD originCode) {
  if (tracker == nullptr) return -1;
  const bool pictureDepth = bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
  if (!pictureDepth || ropKind != kRopKindTernary || ropValue != kSourceCopy) {
    *tracker = ImageBandTracker{};
    return kBandNotPicture;
  }
  if (tracker->originCode == originCode && tracker->bitsPerPixel == bitsPerPixel &&
      ContinuesPicture(tracker, width, height))
    return kBandContinues;
  *tracker = ImageBandTracker{originCode, bitsPerPixel, width, height, width, height};
  return kBandNewPicture;
}
