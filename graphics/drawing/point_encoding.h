// 28.4 fixed-point points as the display list carries them: each value converted to a float,
// scaled by 0.0625 and written as its 32 bits big-endian, x before y (8 bytes a point). The
// conversion has a scalar form and vector forms for SSE2 and AVX2; EncodeFixedPoints takes the
// fastest one the processor runs. Every form gives the same bytes (the scale is a power of two,
// so the float product is exact, and the integer-to-float rounding is the same).
#pragma once

#include <cstddef>

#include "platform/base/types.h"

// A point in whole pixels or in 28.4 fixed point.
struct RecordPoint {
  LONG x;
  LONG y;
};

constexpr DWORD kFixedPointBytes = 8;  // one encoded point

using FixedPointEncodeFunction = void (*)(BYTE* out, const RecordPoint* points, DWORD count);

// One form of the conversion: runs only when available() answers true.
struct FixedPointEncoder {
  const char* name;
  bool (*available)();
  FixedPointEncodeFunction encode;
};

// Every form, slowest first.
extern const FixedPointEncoder kFixedPointEncoders[];
extern const size_t kFixedPointEncoderCount;

// Writes count points (count x kFixedPointBytes bytes) with the fastest available form.
void EncodeFixedPoints(BYTE* out, const RecordPoint* points, DWORD count);
