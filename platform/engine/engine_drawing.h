// The drawing calls of a page as the host describes them: the engine host turns each into the
// driver's drawing call with its engine objects, and the reference renderer draws the same
// description into an image of its own. Coordinates are device pixels, y downwards.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/engine/ddi_objects.h"

struct DrawPoint {
  float x;
  float y;
};

enum class PathOp : BYTE { Move, Line, Bezier, Close };

// A path of figures: Move starts one, Line takes one point, Bezier three, Close ends one.
struct DrawPath {
  std::vector<PathOp> ops;
  std::vector<DrawPoint> points;
  bool ellipse = false;  // the path is one ellipse (PO_ELLIPSE)
};

PLATFORM_API void PathMoveTo(DrawPath& path, float x, float y);
PLATFORM_API void PathLineTo(DrawPath& path, float x, float y);
PLATFORM_API void PathBezierTo(DrawPath& path, DrawPoint c1, DrawPoint c2, DrawPoint end);
PLATFORM_API void PathClose(DrawPath& path);
PLATFORM_API DrawPath PathRectangle(const RECTL& rect);
// An ellipse inside the rectangle, as four Beziers.
PLATFORM_API DrawPath PathEllipse(const RECTL& rect);

// A bitmap: rows top-down in `bits`, each |stride| bytes; a negative stride hands the bitmap
// to the driver bottom-up (lDelta negative). Palette entries are COLORREFs; 24-bit pixels are
// blue, green, red; 32-bit pixels blue, green, red, unused.
struct DrawImage {
  LONG width = 0;
  LONG height = 0;
  ULONG format = BMF_24BPP;
  LONG stride = 0;
  std::vector<BYTE> bits;
  std::vector<COLORREF> palette;
};

enum class BrushKind : BYTE { None, Solid, Hatch, Pattern };

struct DrawBrush {
  BrushKind kind = BrushKind::None;
  COLORREF colour = 0;             // solid colour, hatch colour
  COLORREF background = 0xFFFFFF;  // hatch background
  ULONG hatch = HS_CROSS;
  DrawImage pattern;  // pattern brush
};

struct DrawPen {
  COLORREF colour = 0;
  bool geometric = false;  // LA_GEOMETRIC: width in pixels, joins and caps apply
  float width = 1;         // a cosmetic pen is one pixel wide
  ULONG join = JOIN_MITER;
  ULONG cap = ENDCAP_BUTT;
  std::vector<float> style;  // dash lengths, empty for solid
};

enum class ClipKind : BYTE { None, Trivial, Rect, Complex };

struct DrawClip {
  ClipKind kind = ClipKind::Trivial;
  RECTL rect{};    // Rect
  DrawPath path;  // Complex: the region inside the path (alternate fill)
};

struct DrawText {
  std::u16string text;
  std::u16string face = u"DejaVu Sans";
  bool bold = false;
  bool italic = false;
  LONG emHeight = 12;   // pixels
  POINTL origin{};      // the first glyph's origin on the baseline
  COLORREF colour = 0;
  bool opaque = false;  // fill the background rectangle first
  COLORREF background = 0xFFFFFF;
  LONG escapement = 0;        // tenths of a degree counter-clockwise: the baseline and the glyphs turn
  LONG fixedPitch = 0;        // above 0: each glyph this many pixels from the one before (ulCharInc)
  bool reversed = false;      // with a fixed pitch: the glyphs run backwards from the origin (SO_REVERSED)
  bool underline = false;     // an extra rectangle along the baseline (escapement 0 only)
  bool simulateBold = false;  // with bold: the regular face, bold by simulation (FO_SIM_BOLD)
  bool glyphIndexes = false;  // drawn by glyph index: the string carries no characters (no pwszOrg)
};

enum class DrawKind : BYTE { StrokePath, FillPath, StrokeAndFillPath, TextOut, BitBlt, CopyBits, StretchBlt, StretchBltROP };

struct DrawCall {
  DrawKind kind = DrawKind::FillPath;
  DrawPath path;
  DrawPen pen;
  DrawBrush brush;  // fill of a path, pattern of a blt
  DrawClip clip;
  MIX mix = R2_COPYPEN | (R2_COPYPEN << 8);
  ULONG fillMode = FP_ALTERNATEMODE;
  DrawText text;
  DrawImage image;  // blt source
  RECTL target{};
  RECTL source{};  // stretch sources; a blt's source origin is source.left, source.top
  ROP4 rop4 = 0xCCCC;
  ULONG stretchMode = COLORONCOLOR;
};

// Whether pixel (x, y) of a standard hatch (HS_HORIZONTAL .. HS_DIAGCROSS, 8 x 8 cells) is on
// the hatch line.
PLATFORM_API bool HatchBit(ULONG style, LONG x, LONG y);
