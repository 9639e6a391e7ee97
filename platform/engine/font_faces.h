// FreeType faces of the host's texts, shared by the engine's font objects and the reference
// renderer so that both place the same glyphs at the same pixels.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

#include "platform/engine/engine_drawing.h"

namespace engine {

// How far an italic drawn from an upright file leans: x grows by this much per unit of height.
inline constexpr float kItalicSlant = 0.2f;

struct PlacedGlyph {
  ULONG index;  // the face's glyph index, the engine's HGLYPH
  POINTL origin;
};

// The text's escapement in radians, counter-clockwise on the page.
double EscapementRadians(const DrawText& text);

// A face of the text's font at its em height in pixels; NULL when no font file opens. The
// caller releases it with FT_Done_Face.
FT_Face OpenFace(const DrawText& text);
// The glyphs of a text along its baseline and the box they fill (ascent to descent).
void PlaceGlyphs(FT_Face face, const DrawText& text, std::vector<PlacedGlyph>& glyphs, RECTL& bounds);
// The underline of a text placed with PlaceGlyphs: along its baseline below the glyphs, at
// least one pixel high; empty for a text that is not underlined or not horizontal.
RECTL UnderlineRect(FT_Face face, const DrawText& text, const RECTL& bounds);

}  // namespace engine
