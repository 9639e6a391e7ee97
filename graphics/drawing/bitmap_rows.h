// The rows of a blt's source bitmap in the forms the drawing library takes: 1, 4 or 8-bit
// indices, 24-bit pixels (blue, green, red) or a 1-bit mask of the white pixels; rows packed
// without padding, top to bottom in the order of the source's scan lines.
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

// Kind bits of a colour translation.
inline constexpr int kXlateShift = 0x1;      // the first pixel does not start on a byte
inline constexpr int kXlatePerPixel = 0x2;   // each pixel is converted
inline constexpr int kXlateSwap = 0x4;       // first and third byte swapped
inline constexpr int kXlateTakeThree = 0x8;  // the first three of four bytes taken

enum RowMode : int { kRowsImage = 0, kRowsWhiteMask = 1 };

// 1, 4, 8, 16, 24 or 32 by the bitmap format; 0 for another.
WORD BitsPerPixelOfFormat(ULONG format);
// 1 to 8 stay, deeper sources become 24-bit.
WORD OutputBitsPerPixel(WORD sourceBits);
// The translation kind of a 16, 24 or 32-bit source (0 for indexed sources and without a
// translation), without the shift bit.
int ClassifyXlate(XLATEOBJ* xlate, WORD bitsPerPixel);
// Whether the source area (origin and size, already inside the bitmap) can be read.
bool SourceAreaFits(const SURFOBJ* source, POINTL origin, SIZEL size);

// The converted rows of the area in a locked moveable block (the caller unlocks and frees
// *block), or NULL when memory is short or the area is unusable.
BYTE* ConvertBitmapRows(SURFOBJ* source, SIZEL size, POINTL origin, XLATEOBJ* xlate, int mode, HGLOBAL* block);
// The 1-bit mask rows at the origin in a locked moveable block.
BYTE* CopyMaskRows(SURFOBJ* mask, SIZEL size, POINTL origin, HGLOBAL* block);

// Each destination byte from two source bytes; the byte after the last one the row holds
// (available) counts as 0.
void ShiftRowBits(const BYTE* source, BYTE* destination, DWORD bitCount, int shift, DWORD available);
void TranslateRowToRgb(const BYTE* row, BYTE* destination, XLATEOBJ* xlate, int kind, WORD bitsPerPixel,
                       DWORD pixels);
void RowToWhiteMask(const BYTE* row, BYTE* destination, XLATEOBJ* xlate, int kind, WORD bitsPerPixel, DWORD pixels);
// The colour of pixel i of a row as the translation gives it (0x00RRGGBB); table entries for
// indexed pixels, the three stored bytes for 24-bit pixels without translation.
DWORD TranslatedPixel(const BYTE* row, DWORD i, XLATEOBJ* xlate, int kind, WORD bitsPerPixel);
