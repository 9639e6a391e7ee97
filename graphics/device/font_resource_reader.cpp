#include "graphics/device/font_resource_reader.h"

#include <cstring>

bool ReadFontWord(const BYTE* data, DWORD size, DWORD at, WORD* value) {
  if (at > size || size - at < sizeof *value) return false;
  std::memcpy(value, data + at, sizeof *value);
  return true;
}

bool ReadFontDword(const BYTE* data, DWORD size, DWORD at, DWORD* value) {
  if (at > size || size - at < sizeof *value) return false;
  std::memcpy(value, data + at, sizeof *value);
  return true;
}

const char* FontText(const BYTE* data, DWORD size, DWORD at) {
  if (at >= size || std::memchr(data + at, 0, size - at) == nullptr) return nullptr;
  return reinterpret_cast<const char*>(data + at);
}

namespace {

// Header offsets are counted from the reader's data start; the reader's data start is byte 6.
constexpr DWORD Header(DWORD blockOffset) { return blockOffset - kFontHeaderStart; }

LONG ParseHexId(const char* text) {
  if (text == nullptr || *text == 0) return -1;
  DWORD value = 0;
  for (const char* c = text; *c != 0; ++c) {
    int digit;
    if (*c >= '0' && *c <= '9') digit = *c - '0';
    else if (*c >= 'a' && *c <= 'f') digit = *c - 'a' + 10;
    else if (*c >= 'A' && *c <= 'F') digit = *c - 'A' + 10;
    else return -1;
    value = value * 16 + static_cast<DWORD>(digit);
  }
  return static_cast<LONG>(value);
}

// A table of `count` rows of `rowBytes` after its u16 count at `at`, inside the data.
bool TableFits(const FontResourceReader* r, DWORD at, DWORD rowBytes, WORD* count) {
  if (!ReadFontWord(r->data, r->length, at, count)) return false;
  return static_cast<ULONGLONG>(at) + 2 + static_cast<ULONGLONG>(*count) * rowBytes <= r->length;
}

// The glyph-code tables: the range, segment and pair tables one after the other, every
// segment's glyph array inside the data.
bool OpenGlyphTables(FontResourceReader* r, DWORD at) {
  WORD ranges = 0, segments = 0, pairs = 0;
  if (!TableFits(r, at, 6, &ranges)) return false;
  r->rangeTable = at;
  at += 2 + 6u * ranges;
  if (!TableFits(r, at, 8, &segments)) return false;
  r->segmentTable = at;
  for (WORD i = 0; i < segments; ++i) {
    WORD first = 0, last = 0;
    DWORD offset = 0;
    const DWORD row = at + 2 + 8u * i;
    ReadFontWord(r->data, r->length, row, &first);
    ReadFontWord(r->data, r->length, row + 2, &last);
    ReadFontDword(r->data, r->length, row + 4, &offset);
    if (last < first || static_cast<ULONGLONG>(offset) + 2ull * (last - first + 1) > r->length) return false;
  }
  at += 2 + 8u * segments;
  if (!TableFits(r, at, 4, &pairs)) return false;
  r->pairTable = at;
  return true;
}

}  // namespace

int OpenDeviceFontResource(const BYTE* data, FontResourceReader* reader, DWORD length) {
  if (data == nullptr || reader == nullptr) return -1;
  std::memset(reader, 0, sizeof *reader);
  reader->data = data;
  reader->length = length;
  reader->id = -1;
  FontResourceReader* r = reader;
  DWORD names = 0, widths = 0, id = 0;
  WORD glyphs = 0, base = 0, other = 0;
  BYTE pitch = 0;
  if (length < Header(kFontFixedPart) || !ReadFontDword(data, length, Header(45), &names) ||
      !ReadFontDword(data, length, Header(63), &widths) || !ReadFontDword(data, length, Header(79), &id) ||
      !ReadFontWord(data, length, Header(83), &glyphs) || !ReadFontWord(data, length, Header(31), &r->averageWidth) ||
      !ReadFontWord(data, length, 53, &base) || !ReadFontWord(data, length, 35, &other))
    return -1;
  pitch = data[Header(30)];
  // Bit 0 of the pitch byte marks a variable pitch (the metrics read the whole low nibble, which
  // holds nothing else here): fixed when it is clear.
  r->fixedPitch = (pitch & 1) == 0;
  r->firstChar = data[Header(35)];
  r->lastChar = data[Header(36)];
  r->base = base != 0 ? base : 81;
  r->baseDifference = static_cast<WORD>(other - r->base);
  r->faceName = FontText(data, length, names);
  r->familyName =
      r->faceName != nullptr ? FontText(data, length, names + static_cast<DWORD>(std::strlen(r->faceName)) + 1) : nullptr;
  if (r->faceName == nullptr || r->familyName == nullptr || r->lastChar < r->firstChar) return -1;
  if (widths != 0 && static_cast<ULONGLONG>(widths) + 2ull * (r->lastChar - r->firstChar + 1) > length) return -1;
  r->widthTable = widths;
  r->id = ParseHexId(FontText(data, length, id));
  if (glyphs != 0 && !OpenGlyphTables(r, glyphs)) return -1;
  r->valid = TRUE;
  return 0;
}

LONG LookUpGlyphCode(const FontResourceReader* r, WORD c) {
  if (r == nullptr || !r->valid) return -1;
  WORD value = 0;
  if (c >= r->firstChar && c <= r->lastChar) {
    if (r->widthTable == 0) return -1;
    ReadFontWord(r->data, r->length, r->widthTable + 2u * (c - r->firstChar), &value);
    return value;
  }
  if (r->pairTable == 0) return -1;
  WORD count = 0;
  // Pairs are sorted by code: a binary search.
  ReadFontWord(r->data, r->length, r->pairTable, &count);
  LONG low = 0, high = static_cast<LONG>(count) - 1;
  while (low <= high) {
    const LONG mid = (low + high) / 2;
    WORD code = 0;
    ReadFontWord(r->data, r->length, r->pairTable + 2 + 4u * mid, &code);
    if (code == c) {
      ReadFontWord(r->data, r->length, r->pairTable + 4 + 4u * mid, &value);
      return value;
    }
    if (code < c) low = mid + 1;
    else high = mid - 1;
  }
  ReadFontWord(r->data, r->length, r->rangeTable, &count);
  for (WORD i = 0; i < count; ++i) {
    WORD first = 0, last = 0;
    const DWORD row = r->rangeTable + 2 + 6u * i;
    ReadFontWord(r->data, r->length, row, &first);
    ReadFontWord(r->data, r->length, row + 2, &last);
    if (c >= first && c <= last) {
      ReadFontWord(r->data, r->length, row + 4, &value);
      return value;
    }
  }
  ReadFontWord(r->data, r->length, r->segmentTable, &count);
  for (WORD i = 0; i < count; ++i) {
    WORD first = 0, last = 0;
    DWORD offset = 0;
    const DWORD row = r->segmentTable + 2 + 8u * i;
    ReadFontWord(r->data, r->length, row, &first);
    ReadFontWord(r->data, r->length, row + 2, &last);
    ReadFontDword(r->data, r->length, row + 4, &offset);
    if (c >= first && c <= last) {
      ReadFontWord(r->data, r->length, offset + 2u * (c - first), &value);
      return value;
    }
  }
  return -1;
}
