// Bit-block transfers: the four blt entry points share one routine that sorts the raster
// operation into one of five roads: back to the graphics engine, a black or white fill,
// nothing, a brush fill, or the source bitmap (as an image, or as an image mask in the brush
// colour for a black-and-white source).
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

enum BltKind : int { kBltCopyBits = 0, kBltStretchBlt = 1, kBltBitBlt = 2, kBltStretchBltRop = 3 };

// ROP kinds of the bitmap road: a ternary code, or a whole ROP4 with a mask.
inline constexpr BYTE kRopKindTernary = 2;
inline constexpr BYTE kRopKindRop4 = 3;

BOOL DispatchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
                 RECTL* sourceRect, POINTL* sourceOrigin, POINTL* maskOrigin, BRUSHOBJ* brush, POINTL* brushOrigin,
                 ROP4 rop4, int kind, COLORADJUSTMENT* adjustment, ULONG stretchMode);

// Whether the source is text-like: ternary 0xB8 or 0xE2 with a solid brush, every pixel of the
// area black or white.
int IsBlackWhiteSource(SURFOBJ* source, SIZEL size, POINTL origin, XLATEOBJ* xlate, BRUSHOBJ* brush, BYTE ropKind,
                       DWORD rop);
