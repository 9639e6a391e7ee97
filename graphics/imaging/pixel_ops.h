// Pixel operations of the colour conversion: inverted grey, black output, inversion and the
// grey adjustment. Pixels are three bytes blue, green, red; grey results one byte each.
#pragma once

#include <cstddef>

#include "platform/base/types.h"

// A grey adjustment: slope and offset in 16.16.
struct GreyAdjustment {
  LONG Slope;
  LONG Offset;
};

// One byte per pixel: 255 - ((green x 151 + blue x 28 + red x 77) >> 8).
void RowsToInvertedGrey(const BYTE* src, BYTE* dst, std::size_t pixels);
// Pure white pixels stay, every other pixel becomes black.
void WhiteOrBlack(const BYTE* src, BYTE* dst, std::size_t pixels);
// Each byte b becomes 255 - b.
void InvertBytes(const BYTE* src, BYTE* dst, std::size_t bytes);
// From the brightness-like value a and the contrast-like value c of a triple (both clamped to
// -99..100): slope 1 + 0.003 c, offset 0.5 a + (1 - slope) x 255.
GreyAdjustment BuildGreyAdjustment(int a, int c);
// v' = ((v x 257 x (slope >> 2)) >> 22) + the high 16 bits of the offset, clamped; without an
// adjustment the bytes are copied.
void ApplyGreyAdjustment(const GreyAdjustment* adjustment, const BYTE* src, BYTE* dst, std::size_t bytes);
