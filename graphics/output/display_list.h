// The display list: the byte stream of drawing commands that the command recorder writes into
// the output channel when a page is stored or saved to a file, and that the replayer turns back
// into the same drawing-library calls. The stream has no header, lengths or padding: one
// command follows the other.
//
// Encoding:
// - Opcode: two bytes, the group letter ('A' state, 'B' path, 'C' drawing, 'D' text and font
//   data, 'E' job and page, 'F' page state) then the command letter, written as one big-endian
//   16-bit value. An upper-case command letter is the integer form of a command, a lower-case
//   letter its real form. A zero byte where an opcode's first byte is expected is skipped.
// - Every multi-byte operand is big-endian; floats are their 32 bits big-endian. The one
//   exception is the length inside the font-data record of "DE" (little-endian, bytes 4-7).
// - Integer coordinates are whole device pixels as signed 16-bit values; real coordinates
//   are floats (28.4 fixed point times 0.0625).
// - Colour: a colour-space byte, then one grey byte (space 3, read back as grey x 0x010101) or
//   the three bytes red, green, blue (space 4). Other colour spaces are refused by both sides.
// - Variable-length integer ("C,"): first byte bit 7 = more follows, bit 6 = negative, bits 0-5
//   the highest magnitude bits; each further byte bit 7 = more follows, bits 0-6 the next 7 bits.
// - Mask and pattern bits: rows of ((width + 7) >> 3) bytes, most significant bit first.
//
// Operands of each command (i16 integer form, f32 real form):
//   AB/Ab x0 y0 x1 y1        rectangle clip          AR                init clip
//   AC                       clip to the path        AD u16 / Ad f32   line width
//   AE byte cap              AF byte join            AG byte / Ag f32  miter limit
//   AH/Ah byte kind; kind 6 only: offset (u16/f32), byte n, n dashes (u16/f32)
//   AI byte adjust stroke    AJ byte fill mode       AK byte draw mode
//   AL byte ROP code, u32 ROP value                  AM byte kind, colour
//   AN/An x y (i16/f32), byte hatch style, colour 1, byte pattern byte, byte background mode,
//         colour 2
//   AO/Ao x y (i16/f32), byte kind, colour 1, byte 1, u16 width, u16 height, mask bits,
//         byte background mode, colour 2
//   AP    i16 x, i16 y, byte kind, byte colour space, byte bits per component, u16 width,
//         u16 height, byte 1, u32 data length, data
//   Aa    six f32 axis matrix
//   BA init path   BC close path   BD draw path   BB/Bb x y move point
//   BP/Bp u16 n, n points       Bu u16 n, 6n f32 (n curve segments of three control points)
//   BV/Bv two values   Br Bs Bo Bw six f32 (replay only)
//   CG/Cg x0 y0 x1 y1 rectangle   Cc six f32 ellipse arc
//   Cp    image mask header (f32 x, f32 y, u16 width, u16 height, byte polarity, six f32,
//         u32 data length), then the mask data
//   Cq    image attributes (eight f32, u16 width, u16 height, byte mask kind; kind 2: byte 0,
//         u32 mask length; byte source kind; source kind 2 only, the tail: byte colour format;
//         formats 8-11: byte entry size, u16 entry count, u16 table length, table; then byte 1,
//         byte bits per sample, byte data encoding, u32 image data length), then the mask data
//         and the image data
//   DE    f32 x, f32 y, u32 value, font-data record (4 bytes, u32 LE length L, L - 8 bytes)
//   EA    byte job byte ((job mode x 4 + b) x 16 + c), u16 a, u16 b
//   EB end job   ED end page   FB show page
//   Ec    the page block (48 bytes), resource path block (552) and page size block (20) as
//         they are in memory
//   FA    byte pattern kind, u16 resolution
//   FF    byte: bit 0 = first mode value non-zero, bit 2 = second mode value non-zero
// The replay-only and refused commands are listed in kDisplayListCommands.
#pragma once

#include <cstddef>

#include "platform/base/types.h"

constexpr WORD DisplayListOpcode(char group, char letter) {
  return static_cast<WORD>((static_cast<BYTE>(group) << 8) | static_cast<BYTE>(letter));
}

// Opcodes.
constexpr WORD kDlSetRectangleClip = DisplayListOpcode('A', 'B');
constexpr WORD kDlSetRectangleClipReal = DisplayListOpcode('A', 'b');
constexpr WORD kDlClipPath = DisplayListOpcode('A', 'C');
constexpr WORD kDlSetLineWidth = DisplayListOpcode('A', 'D');
constexpr WORD kDlSetLineWidthReal = DisplayListOpcode('A', 'd');
constexpr WORD kDlSetLineCap = DisplayListOpcode('A', 'E');
constexpr WORD kDlSetLineJoin = DisplayListOpcode('A', 'F');
constexpr WORD kDlSetMiterLimit = DisplayListOpcode('A', 'G');
constexpr WORD kDlSetMiterLimitReal = DisplayListOpcode('A', 'g');
constexpr WORD kDlSetLineType = DisplayListOpcode('A', 'H');
constexpr WORD kDlSetLineTypeReal = DisplayListOpcode('A', 'h');
constexpr WORD kDlAdjustStroke = DisplayListOpcode('A', 'I');
constexpr WORD kDlSetFillMode = DisplayListOpcode('A', 'J');
constexpr WORD kDlSetDrawMode = DisplayListOpcode('A', 'K');
constexpr WORD kDlSetRopMode = DisplayListOpcode('A', 'L');
constexpr WORD kDlSetSolidColor = DisplayListOpcode('A', 'M');
constexpr WORD kDlSetHatchPattern = DisplayListOpcode('A', 'N');
constexpr WORD kDlSetHatchPatternReal = DisplayListOpcode('A', 'n');
constexpr WORD kDlSetMaskPattern = DisplayListOpcode('A', 'O');
constexpr WORD kDlSetMaskPatternReal = DisplayListOpcode('A', 'o');
constexpr WORD kDlSetRasterPattern = DisplayListOpcode('A', 'P');
constexpr WORD kDlRefusedBC = DisplayListOpcode('A', 'Q');
constexpr WORD kDlInitClip = DisplayListOpcode('A', 'R');
constexpr WORD kDlSetAxis = DisplayListOpcode('A', 'a');
constexpr WORD kDlInitPath = DisplayListOpcode('B', 'A');
constexpr WORD kDlMovePoint = DisplayListOpcode('B', 'B');
constexpr WORD kDlMovePointReal = DisplayListOpcode('B', 'b');
constexpr WORD kDlClosePath = DisplayListOpcode('B', 'C');
constexpr WORD kDlDrawPath = DisplayListOpcode('B', 'D');
constexpr WORD kDlAddLinePath = DisplayListOpcode('B', 'P');
constexpr WORD kDlAddLinePathReal = DisplayListOpcode('B', 'p');
constexpr WORD kDlAddRectanglePath = DisplayListOpcode('B', 'V');
constexpr WORD kDlAddRectanglePathReal = DisplayListOpcode('B', 'v');
constexpr WORD kDlAddEllipseArcPath = DisplayListOpcode('B', 'r');
constexpr WORD kDlAddEllipseChordPath = DisplayListOpcode('B', 's');
constexpr WORD kDlAddEllipsePiePath = DisplayListOpcode('B', 'o');
constexpr WORD kDlAddBezierPath = DisplayListOpcode('B', 'u');
constexpr WORD kDlAddRoundRectanglePath = DisplayListOpcode('B', 'w');
constexpr WORD kDlRefusedRL = DisplayListOpcode('B', '0');
constexpr WORD kDlSpans = DisplayListOpcode('C', ',');
constexpr WORD kDlDrawLine = DisplayListOpcode('C', 'A');
constexpr WORD kDlDrawLineReal = DisplayListOpcode('C', 'a');
constexpr WORD kDlDrawRectangle = DisplayListOpcode('C', 'G');
constexpr WORD kDlDrawRectangleReal = DisplayListOpcode('C', 'g');
constexpr WORD kDlDrawCircleArc = DisplayListOpcode('C', 'b');
constexpr WORD kDlDrawEllipseArc = DisplayListOpcode('C', 'c');
constexpr WORD kDlDrawEllipseChord = DisplayListOpcode('C', 'd');
constexpr WORD kDlDrawCirclePie = DisplayListOpcode('C', 'e');
constexpr WORD kDlDrawBezier = DisplayListOpcode('C', 'f');
constexpr WORD kDlDrawRoundRectangle = DisplayListOpcode('C', 'h');
constexpr WORD kDlDrawEllipsePie = DisplayListOpcode('C', 'j');
constexpr WORD kDlDrawImageMask = DisplayListOpcode('C', 'p');
constexpr WORD kDlDrawImage = DisplayListOpcode('C', 'q');
constexpr WORD kDlRefusedLR = DisplayListOpcode('C', '!');
constexpr WORD kDlFontSF = DisplayListOpcode('D', 'A');
constexpr WORD kDlTextTC = DisplayListOpcode('D', 'C');
constexpr WORD kDlTextTE = DisplayListOpcode('D', 'D');
constexpr WORD kDlDrawDataFont = DisplayListOpcode('D', 'E');
constexpr WORD kDlRefusedFE = DisplayListOpcode('D', 'F');
constexpr WORD kDlFontDL = DisplayListOpcode('D', 'H');
constexpr WORD kDlFontDF = DisplayListOpcode('D', 'I');
constexpr WORD kDlRefusedHL = DisplayListOpcode('D', 'L');
constexpr WORD kDlRefusedHS = DisplayListOpcode('D', 'M');
constexpr WORD kDlRefusedEF = DisplayListOpcode('D', 'b');
constexpr WORD kDlStartJob = DisplayListOpcode('E', 'A');
constexpr WORD kDlEndJob = DisplayListOpcode('E', 'B');
constexpr WORD kDlEndPage = DisplayListOpcode('E', 'D');
constexpr WORD kDlStartPage = DisplayListOpcode('E', 'c');
constexpr WORD kDlSetPatternResolution = DisplayListOpcode('F', 'A');
constexpr WORD kDlShowPage = DisplayListOpcode('F', 'B');
constexpr WORD kDlSetGraphicsMode = DisplayListOpcode('F', 'F');
constexpr WORD kDlRefusedPR = DisplayListOpcode('F', 'a');

// Colour spaces of the colour operands.
constexpr BYTE kDlColorGrey = 3;
constexpr BYTE kDlColorRgb = 4;

// Line type kind with a user dash pattern (the only kind that carries dashes).
constexpr BYTE kDlLineTypeUser = 6;

// Image records.
constexpr BYTE kDlImageMaskFollows = 2;   // mask kind: mask fields and mask data follow
constexpr BYTE kDlImageDataFollows = 2;   // source kind: the tail and the image data follow
constexpr BYTE kDlImagePlainRows = 1;     // data encoding of plain rows
constexpr BYTE kDlFirstTableFormat = 8;   // colour formats 8 to 11 carry a colour table
constexpr BYTE kDlLastTableFormat = 11;
constexpr DWORD kDlImageMaskHeaderBytes = 41;  // the "Cp" header as stored
constexpr DWORD kDlFontRecordHeadBytes = 8;    // kind and flags, little-endian total length

// "Ec" carries the three page blocks of the session as they are in memory.
constexpr DWORD kPageParameterBlockBytes = 48;
constexpr DWORD kResourcePathBlockBytes = 552;
constexpr DWORD kPageSizeBlockBytes = 20;

// Longest variable-length integer the readers accept (5 bytes hold 34 magnitude bits).
constexpr DWORD kDlVarIntMaxBytes = 5;

// The header of an image mask ("Cp"), as the blt code hands it over.
struct ImageMaskHeader {
  float x;
  float y;
  WORD width;
  WORD height;
  BYTE polarity;  // 0 or non-zero
  float matrix[6];
  DWORD dataLength;  // mask bytes that follow
};

// The header of an image ("Cq"): placement, the optional mask and the image data's form.
struct ImageAttributes {
  float x;
  float y;
  float matrix[6];
  WORD width;
  WORD height;
  BYTE maskKind;  // 1 no mask, kDlImageMaskFollows
  BYTE maskByte;  // 0
  DWORD maskLength;
  BYTE sourceKind;    // 1 no image data, kDlImageDataFollows
  BYTE colorFormat;   // 11 indexed RGB palette, 10 indexed grey, 4 RGB, 3 grey
  BYTE entrySize;     // bits per palette component (indexed formats)
  WORD entryCount;
  WORD tableLength;   // palette bytes
  const BYTE* table;  // palette bytes (in memory only)
  BYTE tail[3];       // 1, bits per sample, data encoding
  DWORD imageLength;
};

// Use of a command by this system.
enum class DisplayListUse : BYTE {
  kWriter,      // the recorder writes it
  kReplayOnly,  // read back, never written here
  kRefused,     // defined, but replay fails on it
};

struct DisplayListCommand {
  WORD opcode;
  char mnemonic[3];  // the two-letter name the system keeps for the command
  DisplayListUse use;
  const char* refusal;  // debug text of a refused command; NULL otherwise
};

extern const DisplayListCommand kDisplayListCommands[];
extern const size_t kDisplayListCommandCount;

// The command of an opcode; NULL for an opcode that is not defined.
const DisplayListCommand* FindDisplayListCommand(WORD opcode);

// Writes the variable-length form of value into out (at least kDlVarIntMaxBytes bytes); the
// number of bytes written. Magnitudes above 34 bits do not occur in this system's values.
DWORD EncodeDisplayListVarInt(LONG value, BYTE* out);
// Reads one variable-length integer from bytes[0..available); the bytes used, or 0 when the
// value is cut off or longer than kDlVarIntMaxBytes, or when it does not fit 32 bits.
DWORD DecodeDisplayListVarInt(const BYTE* bytes, DWORD available, LONG* value);
