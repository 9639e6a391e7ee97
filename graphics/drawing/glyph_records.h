// The data-font records that carry glyphs to the drawing library: a glyph's outline (kind 1)
// or its one-bit bitmap (kind 2), built in memory little-endian as the library reads them.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/base/types.h"

// Operation codes of an outline record, one per figure start, line point, Bezier (three
// points), figure close and glyph end.
inline constexpr BYTE kGlyphOpStart = 1;
inline constexpr BYTE kGlyphOpLine = 2;
inline constexpr BYTE kGlyphOpBezier = 4;
inline constexpr BYTE kGlyphOpClose = 5;
inline constexpr BYTE kGlyphOpEnd = 6;

inline constexpr BYTE kOutlineGlyphKind = 1;
inline constexpr DWORD kBitmapGlyphKind = 2;
inline constexpr std::size_t kOutlineGlyphHeadBytes = 16;
inline constexpr std::size_t kBitmapGlyphHeadBytes = 22;
// The bitmap record keeps a row's byte count in one byte.
inline constexpr DWORD kMaxBitmapGlyphRowBytes = 0xFF;

struct GlyphPoint {
  float x;
  float y;
};

// One glyph's outline: its points in pixels relative to the glyph origin and its operation
// codes in drawing order.
struct GlyphOutline {
  std::vector<GlyphPoint> points;
  std::vector<BYTE> ops;
};

struct OutlineGlyphHead {
  BYTE bold;    // 0, or the bold strength
  BYTE italic;  // 1 for a simulated italic
  float emPoints;
};

// The length of a vector (a, b) rounded up to a whole number.
LONG IntegerHypot(LONG a, LONG b);

// The bold byte of a simulated-bold glyph: from the strength setting (0 when absent), the em
// size in points, the resolution and the emitter's system level (1 or 2 before 5.1, 3 later).
BYTE BoldStrengthFor(DWORD strengthSetting, float emPoints, SHORT resolution, DWORD osLevel);

// The outline record of one glyph; empty when the counts do not fit the record's 16-bit fields.
std::vector<BYTE> BuildOutlineGlyphRecord(const OutlineGlyphHead& head, const GlyphOutline& outline);

// The bitmap record of one glyph: origin, size and the byte-aligned one-bit rows as the engine
// hands them; empty when a row is wider than the record can say or the rows are missing.
std::vector<BYTE> BuildBitmapGlyphRecord(float originX, float originY, LONG width, LONG rows, const BYTE* bits);
