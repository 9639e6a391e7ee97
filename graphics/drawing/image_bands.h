// Picture bands: large photographs reach the driver as one blt per band; the tracker tells the
// first band of a picture from the ones that continue it, so the image queue can hold a
// picture's bands together.
#pragma once

#include "platform/base/types.h"

// All zero: no picture is open.
struct ImageBandTracker {
  WORD originCode;
  WORD bitsPerPixel;
  DWORD trackedWidth;
  DWORD trackedHeight;
  DWORD groupWidth;
  DWORD groupHeight;
};

constexpr int kBandNewPicture = 6;
constexpr int kBandContinues = 7;
constexpr int kBandNotPicture = 8;

// Only 16, 24 and 32-bit sources copied with ROP kind 2 and ROP 0xCC are picture bands (any
// other clears the tracker: kBandNotPicture). A band of the tracked origin and depth continues
// the picture when it keeps the tracked width, or the tracked height (a side that changes is
// no longer tracked); otherwise a new picture begins with this band's size. -1 without a
// tracker.
int ClassifyImageBand(ImageBandTracker* tracker, DWORD width, DWORD height, WORD bitsPerPixel, BYTE ropKind,
                      DWORD ropValue, WORD originCode);
