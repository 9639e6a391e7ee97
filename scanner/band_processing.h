// What happens to image data between the device and the application: tone curves, packed and
// aligned lines, inversion, and the placement of strips into the output image with rotation,
// mirroring, bottom-up order and pixel-format conversion, with the output palettes.
#pragma once

#include "platform/base/types.h"
#include "platform/kernel/handles.h"
#include "scanner/image_record.h"

// Tone curve of one level slot: input range [inLow, inHigh] mapped onto [outLow, outHigh] with
// the exponent 100 / gamma (gamma given x 100).
void ToneCurveFromLevels(BYTE* curve, int gamma, int inLow, int inHigh, int outLow, int outHigh);
// 1 when the record asks for inversion and its kind allows it.
BOOL InvertApplies(const ImageRecord& record);
// Inverts the packed lines of a band after a filter run; hardwareGray is the
// "UseHardwareGrayScale" switch.
// lineBytes is the packed line size of the run that read the band.
void InvertBand(BYTE* pixels, DWORD width, DWORD lines, DWORD lineBytes, const ImageRecord& record, DWORD hardwareGray);

// Packed lines (PackedLineBytes) to 32-bit aligned lines (BitmapLineBytes) in place, and back.
// The strip must hold lines x BitmapLineBytes bytes.
void ExpandStripLines(BYTE* strip, WORD kind, DWORD width, DWORD lines);
void PackStripLines(BYTE* strip, WORD kind, DWORD width, DWORD lines);

// Byte offset of pixel (x, y) of the unrotated image in an output bitmap of width x height.
ULONGLONG PixelOffset(DWORD width, DWORD height, DWORD bits, DWORD x, DWORD y, WORD rotation, BOOL horizontalMirror,
                      BOOL verticalMirror, BOOL bottomUp);
// Caller to come: the scanner's preview window.
// Where a strip of the unrotated image lands in the output and its size there.
void StripGeometry(POINT* position, SIZE* size, LONG width, LONG height, LONG x, LONG y, LONG stripWidth,
                   LONG stripLines, WORD rotation, BOOL horizontalMirror, BOOL verticalMirror);

// The output image a strip is written into: memory (Memory non-null, MemorySize bytes) or a file
// (File, with the bitmap bits starting at FileBase).
struct PlacementTarget {
  HANDLE File;
  ULONGLONG FileBase;
  BYTE* Memory;
  ULONGLONG MemorySize;
};

// The output image's format and orientation.
struct OutputLayout {
  WORD PixelType;  // TWPT_BW, TWPT_GRAY, TWPT_RGB, TWPT_PALETTE
  DWORD Width;
  DWORD Height;
  WORD Rotation;
  BOOL HorizontalMirror;
  BOOL VerticalMirror;
  WORD Threshold;
  BOOL BottomUp;
};

// Writes count bytes at offset of the target; 0 when the write is refused or fails.
BOOL WriteAt(const PlacementTarget& target, ULONGLONG offset, const BYTE* bytes, DWORD count);
// Places a strip of aligned lines (BitmapLineBytes of its kind) at (x, y) of the unrotated image.
BOOL PlaceStrip(const PlacementTarget& target, const OutputLayout& layout, const BYTE* strip, WORD kind, DWORD x,
                DWORD y, DWORD stripWidth, DWORD lines);

// Whether aligned strip lines of the kind are, as they are, the rows of an unturned,
// unmirrored, top-down output image of the pixel type: placing them is a plain copy.
BOOL LinesAreRows(WORD pixelType, WORD kind);

// Output palettes as RGBQUADs: 8 bytes for BW, 1024 for GRAY and PALETTE, none for RGB.
BOOL BuildPalette(BYTE* buffer, WORD pixelType, DWORD size);
// Index of the 3-3-2 palette entry nearest to a colour (smallest sum of squared channel
// differences, the first entry on ties).
BYTE NearestPaletteIndex(BYTE red, BYTE green, BYTE blue);
// NearestPaletteIndex of n RGB triplets.
void NearestPaletteIndices(BYTE* out, const BYTE* triplets, DWORD n);
