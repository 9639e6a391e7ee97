// Glyphs of the data-font records (kind 1 outlines, kind 2 one-bit bitmaps) as the viewer
// draws them: each record is read within its own length and checked before anything is drawn.
#pragma once

#include <cairo.h>

#include <span>
#include <vector>

#include "platform/base/types.h"

struct ViewedGlyph {
  bool bitmap = false;
  // Outline: the bold strength byte, the points (pixels from the glyph origin) and the codes.
  BYTE bold = 0;
  std::vector<float> points;  // x, y pairs
  std::vector<BYTE> ops;
  // Bitmap: the top-left corner from the glyph origin, the size and the byte-aligned rows.
  float originX = 0, originY = 0;
  WORD width = 0, rows = 0;
  BYTE rowBytes = 0;
  std::vector<BYTE> bits;
};

// The glyph of a record; false for a kind the viewer does not know, a length that runs past
// the bytes present or counts that do not fit it, and an outline whose codes ask for more
// points than it has.
bool ReadGlyphRecord(std::span<const BYTE> record, ViewedGlyph* glyph);

// Draws the glyph with its origin at (x, y) in the cairo context's current source: an outline
// filled by the non-zero rule (a bold strength above 8 thickens it by that many pixels less 8),
// a bitmap through its set bits. The context's current path is kept.
void DrawViewedGlyph(cairo_t* cr, const ViewedGlyph& glyph, double x, double y);
