// The reader over the font data a device-font record carries: a printer font metrics header
// (little-endian; offsets inside it are counted from byte 6 of the data) with the font's names,
// extended text metrics, width table, kerning pairs, hexadecimal id and glyph-code tables.
// Every offset and count is checked against the data's length before it is used.
#pragma once

#include "platform/base/types.h"

// Byte positions in the font data.
constexpr DWORD kFontHeaderStart = 6;  // header offsets count from here
constexpr DWORD kFontFixedPart = 85;   // the fixed header ends here
constexpr DWORD kFontExtMetricsBytes = 52;
constexpr int kFontExtMetricsFields = 26;
constexpr int kFontNameChars = 32;

// Fields of the extended text metrics, in their stored order.
enum FontExtMetric {
  kEmSize, kEmPointSize, kEmOrientation, kEmMasterHeight, kEmMinScale, kEmMaxScale, kEmMasterUnits, kEmCapHeight,
  kEmXHeight, kEmLowerAscent, kEmLowerDescent, kEmSlant, kEmSuperscript, kEmSubscript, kEmSuperscriptSize,
  kEmSubscriptSize, kEmUnderlineOffset, kEmUnderlineWidth, kEmDoubleUpperOffset, kEmDoubleLowerOffset,
  kEmDoubleUpperWidth, kEmDoubleLowerWidth, kEmStrikeOutOffset, kEmStrikeOutWidth, kEmKernPairs, kEmKernTracks,
};

struct FontResourceReader {
  const BYTE* data;  // the font data from byte 6
  DWORD tableOffset;
  DWORD length;  // bytes from `data` on
  BOOL valid;
  const char* faceName;
  const char* familyName;
  BOOL fixedPitch;  // bit 0 of the pitch byte clear
  WORD averageWidth;
  BYTE firstChar;
  BYTE lastChar;
  DWORD widthTable;  // header offset, 0 none
  LONG id;           // the hexadecimal id, -1 when its text is not hexadecimal
  WORD base;
  WORD baseDifference;
  DWORD rangeTable;    // header offsets of the glyph-code tables (their count word), 0 none
  DWORD segmentTable;
  DWORD pairTable;
};

// Opens the reader over `length` bytes of font data taken from byte 6 on: 0, or -1 without
// arguments, or when the data does not hold the header and the texts and tables it names.
int OpenDeviceFontResource(const BYTE* data, FontResourceReader* reader, DWORD length);
// A character's width from the width table (first..last), else its glyph from the pair, range
// and segment tables; -1 when none holds it.
LONG LookUpGlyphCode(const FontResourceReader* reader, WORD character);

// Little-endian reads of the whole font data block; FALSE when they would leave it.
bool ReadFontWord(const BYTE* data, DWORD size, DWORD at, WORD* value);
bool ReadFontDword(const BYTE* data, DWORD size, DWORD at, DWORD* value);
// A NUL-terminated ANSI text starting at `at` and ending inside the data.
const char* FontText(const BYTE* data, DWORD size, DWORD at);
