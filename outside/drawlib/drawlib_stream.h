// The page-description stream the stand-in drawing library writes into the print job through
// the printer handle it is given (the one in the resource path block of VR_Initialize as it
// reads at each VR_StartJob and at VR_Finalize, then the one of each VR_StartPage's block): the job header
// and trailer texts exactly as handed over, and every other call as one record
//
//   0x1B 'V' 'R', u8 slot (1..59), u32 payload length, payload
//
// whose payload holds the call's arguments after the library handle, in order, little-endian:
// u16/u32/f32 as they are typed, a byte as one byte, a point or corner as two i32, a colour as
// its bytes (one for colour space 3, three for space 4, none for any other), and the data a
// pointer argument leads to in place of the pointer, as long as the other arguments say:
//   3  SetRectangleClip  u16 one, i32 x0, y0, x1, y1
//   9  SetLineType       u16 kind, f32 offset, u16 n, n f32 dashes
//   14 SetSolidColor     u16 kind, u16 space, colour
//   15 SetHatchPattern   i32 x, y, u16 style, u16 space1, u16 space2, u32 high nibble,
//                        colour 1, colour 2, u16 background, u8 low nibble
//   16 SetMaskPattern    i32 x, y, u16 kind, u16 space1, u16 space2, u32 one, colour 1,
//                        colour 2, u16 background, u16 width, u16 height, ((width+7)>>3) x height
//                        mask bytes
//   17 SetRasterPattern  i32 x, y, u16 kind, u16 space, u16 bits, u16 width, u16 height, u16 one,
//                        u32 length, length data bytes
//   22 AddLinePath, 44 AddBezierPath  u16 n, 2n (6n for curves) f32
//   24 DrawLine          u16 n, 2n + 2 f32
//   27 DrawImageMask     f32 x, y, six f32, u16 width, u16 height, u32 flag, u32 length, data
//   28 DrawImage         f32 x, y, six f32, u16 width, u16 height, u32 mask flag, u32 mask byte
//                        flag, u32 mask length, u32 source flag, u16 format, u16 entry size,
//                        u16 entry count, u16 table length, table, u16 tail x 3, u32 image
//                        length, mask data, image data
//   32 StartPage         page size block (20), resource path block (552), page block (48)
//   36 SetColorParameter the first kColorBlockHeadBytes bytes of the colour block
//   38 Initialize        device block (296), resource path block (552), job block (236), the
//                        colour block's first kColorBlockHeadBytes, debug block (268), data
//                        path record (264)
//   51 DrawBezier        u16 n, f32 x, y, 6n f32
//   55 DrawDataFont      f32 x, y, u32 value, the font-data record (its own length)
// Readers find records by their three marker bytes and pass over every other byte (the header
// texts and the graphics module's own bytes between the records).
#pragma once

#include "platform/base/types.h"

constexpr BYTE kVrRecordMarker[3] = {0x1B, 'V', 'R'};
constexpr DWORD kVrRecordHeadBytes = 8;
// The colour block's bytes that carry values (the rest of its 14,392 bytes stay 0).
constexpr DWORD kColorBlockHeadBytes = 128;

// Slots of the entry points the stream's readers draw with.
enum VrSlot : BYTE {
  kVrSetAxis = 1,
  kVrInitClip = 2,
  kVrSetRectangleClip = 3,
  kVrClipPath = 4,
  kVrSetLineWidth = 5,
  kVrSetLineCap = 6,
  kVrSetLineJoin = 7,
  kVrSetMiterLimit = 8,
  kVrSetLineType = 9,
  kVrAdjustStroke = 10,
  kVrSetFillMode = 11,
  kVrSetDrawMode = 12,
  kVrSetRopMode = 13,
  kVrSetSolidColor = 14,
  kVrSetHatchPattern = 15,
  kVrSetMaskPattern = 16,
  kVrSetRasterPattern = 17,
  kVrSetGraphicsMode = 18,
  kVrInitPath = 19,
  kVrClosePath = 20,
  kVrDrawPath = 21,
  kVrAddLinePath = 22,
  kVrAddRectanglePath = 23,
  kVrDrawLine = 24,
  kVrDrawRectangle = 26,
  kVrDrawImageMask = 27,
  kVrDrawImage = 28,
  kVrStartJob = 30,
  kVrEndJob = 31,
  kVrStartPage = 32,
  kVrEndPage = 33,
  kVrShowPage = 34,
  kVrSetPatternResolution = 35,
  kVrSetColorParameter = 36,
  kVrMovePoint = 37,
  kVrInitialize = 38,
  kVrFinalize = 39,
  kVrAddEllipseArcPath = 41,
  kVrAddEllipseChordPath = 42,
  kVrAddEllipsePiePath = 43,
  kVrAddBezierPath = 44,
  kVrAddRoundRectanglePath = 45,
  kVrDrawCircleArc = 46,
  kVrDrawEllipseArc = 47,
  kVrDrawEllipseChord = 48,
  kVrDrawCirclePie = 49,
  kVrDrawEllipsePie = 50,
  kVrDrawBezier = 51,
  kVrDrawRoundRectangle = 52,
  kVrDrawDataFont = 55,
  kVrSetRasterSmoothingMode = 59,
};
constexpr BYTE kVrSlotCount = 59;

// Meanings the stand-in gives the state values it is sent.
constexpr WORD kVrDrawStroke = 1;     // draw mode: stroke the path or shape
constexpr WORD kVrDrawFill = 2;       // draw mode: fill it
constexpr WORD kVrDrawBoth = 3;       // draw mode: fill, then stroke
constexpr WORD kVrFillAlternate = 1;  // fill mode: even-odd (else winding)
constexpr WORD kVrColorStroke = 1;    // solid colour kind of lines
constexpr WORD kVrColorFill = 2;      // solid colour kind of fills
constexpr WORD kVrOpaqueBackground = 2;
