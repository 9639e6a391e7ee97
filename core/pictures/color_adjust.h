// Brightness, contrast and saturation adjustment of 24-bit pixels, and grey conversion.
// Pixels are packed three bytes each in the order blue, green, red.
#pragma once

#include "platform/base/types.h"

// Nine 16.16 fixed-point factors, rows red, green, blue output, columns red, green, blue
// input, and the three (equal) 16.16 offsets.
struct ColorAdjustMatrix {
  LONG factor[3][3];
  LONG offset[3];
};

// Each input is clamped to -100..100. Answers 0, or -1 for a NULL matrix.
int BuildColorAdjustMatrix(ColorAdjustMatrix* matrix, int brightness, int saturation, int contrast);
// Applies the matrix to count pixels; without a matrix the pixels are copied. Source and
// destination may be the same buffer.
void ApplyColorMatrix(const ColorAdjustMatrix* matrix, const BYTE* source, BYTE* destination, int count);
// One grey byte per pixel: equal channels keep their value, others
// ((byte0 + byte2) * 85 + byte1 * 86) >> 8. Rows are packed without padding.
void ConvertRgbToGray(const BYTE* source, BYTE* destination, int pixelsPerRow, int rows);
