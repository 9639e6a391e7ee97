// The input of the direct-mode image escape (4210): one chunk of an image that the application
// sends already encoded (JPEG, or PNG of 8 or 24 bits), with the image's description. All
// values little-endian; every offset counts from the input's start.
//
// Chunk header (32 bytes):
//   0  u32 bytes of the whole input (0: not given)
//   4  u32 not read
//   8  u32 offset of the image description
//  12  u32 bytes of the whole encoded image
//  16  u32 offset of this chunk within the image
//  20  u32 bytes of this chunk
//  24  u16 transfer id (0 for an image's first chunk)
//  26  u16 first-chunk marker (0 for an image's first chunk)
//  28  u16 turn in degrees (0, 90, 180, 270)
//  30  u16 not read
// Image description (36 bytes):
//   0  i16 target x          2  i16 target y
//   4  u16, u16 reserved, 0
//   8  u16 source width     10  u16 source height (the bitmap's width and height)
//  12  u16 target width     14  u16 target height (the drawn size: the scale)
//  16  u32 offset of the bitmap information (BITMAPINFOHEADER and its RGBQUAD table)
//  20  u32 offset of this chunk's data
//  24  u16 raster code of the drawing library's raster mode
//  26  u16 not read
//  28  u32 raster operation: SRCCOPY
//  32  u32 offset of the clip rectangle (four i16: left, top, right, bottom); 0 for none
#pragma once

#include "graphics/ddi/direct_mode.h"
#include "platform/base/types.h"

constexpr DWORD kChunkHeaderSize = 32;
constexpr DWORD kImageDescriptionSize = 36;
constexpr DWORD kChunkInputSize = 0, kChunkDescription = 8, kChunkImageBytes = 12, kChunkOffset = 16,
                kChunkLength = 20, kChunkTransferId = 24, kChunkFirstMarker = 26, kChunkTurn = 28;
constexpr DWORD kDescTargetX = 0, kDescTargetY = 2, kDescReserved = 4, kDescSourceWidth = 8,
                kDescSourceHeight = 10, kDescTargetWidth = 12, kDescTargetHeight = 14, kDescBitmapInfo = 16,
                kDescData = 20, kDescRasterCode = 24, kDescRasterOperation = 28, kDescClip = 32;
constexpr DWORD kClipRectangleSize = 8;
// The most bytes one chunk may carry.
constexpr DWORD kMaxImageChunk = 65280;
// The most bytes a whole encoded image may have: the drawing library collects an image's
// chunks in one block before it draws it.
constexpr DWORD kMaxDirectImageBytes = 0x4000000;

// The parts of one chunk, located and checked against the bytes given.
struct DirectImageInput {
  ImageChunk chunk;
  BOOL firstChunk;  // the chunk opens an image: its header is sent before its data
  LONG turn;
  SHORT targetX;
  SHORT targetY;
  WORD sourceWidth;
  WORD sourceHeight;
  WORD targetWidth;
  WORD targetHeight;
  WORD rasterCode;
  DWORD compression;  // BI_JPEG or BI_PNG
  WORD bitCount;
  WORD colorCount;           // entries of the colour table (8-bit PNG), else 0
  const BYTE* colorTable;    // RGBQUAD entries inside the input
  const BYTE* data;          // this chunk's bytes inside the input
  BOOL hasClip;
  SHORT clip[4];  // left, top, right, bottom
};

// The address of `length` bytes at `offset` of a block of `size` bytes; NULL for offset 0 or
// when they do not lie wholly inside the block.
const BYTE* OffsetInBlock(const BYTE* block, DWORD offset, DWORD length, DWORD size);

// Locates and checks every part of a 4210 input of `size` bytes before anything is drawn. The
// answer is the escape's answer for an input that cannot be drawn:
//   - kEscBadSize: a header shorter than its 32 bytes, a given input size other than `size`,
//     a description outside the input, an image of 0 bytes or larger than kMaxDirectImageBytes,
//     or a first-chunk marker that contradicts the transfer id;
//   - kEscUnsupported: a raster operation other than SRCCOPY;
//   - kEscUnusableImage: reserved words not 0, a source size of 0 or other than the bitmap's, a
//     turn that is not a quarter, or bitmap information, colour table, data or clip rectangle
//     outside the input;
//   - kEscBadArgument: a compression other than BI_JPEG and BI_PNG, a PNG of another bit depth
//     than 8 or 24, or a chunk of more than kMaxImageChunk bytes;
// and kImageLocated when every part is in place.
constexpr LONG kImageLocated = 1;
LONG LocateDirectImage(const BYTE* input, DWORD size, DirectImageInput* out);
