// Rendering the drawing library's stream into page pictures with cairo, so a person can look at
// what was printed. A page begins with VR_StartPage (its size from the page size block) and is
// complete at VR_EndPage (or at the end of the stream). Coordinates are device pixels.
//
// What the pictures show, by the meanings the stand-in gives the state values:
// - draw mode 1 strokes, 2 fills, 3 fills and strokes paths, rectangles and ellipses;
// - fill mode 1 even-odd, otherwise winding; colour kind 1 strokes, kind 2 fills;
// - line caps 0 round, 1 square, 2 flat; joins 0 round, 1 bevel, 2 miter; line types 1 solid,
//   2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot, 6 the dashes given; the axis scales the pen;
// - hatch (8-pixel cells), mask and raster patterns fill; an opaque background (2) paints the
//   second colour where the pattern has none;
// - six-float shapes are centre x, centre y, radius x, radius y, start and sweep in degrees
//   (round rectangles: left, top, right, bottom, corner radii); five-float ones one radius;
// - images and image masks map target pixels into source pixels by their matrix (a b c d e f)
//   after moving the target origin to (x, y); plain-row images of colour formats 3, 4, 10 and
//   11 are drawn (RGB bytes in blue, green, red order), encoded ones as a grey box;
// - text data records and raster operations are not drawn.
#pragma once

#include <vector>

#include "platform/gdi/png_images.h"
#include "tools/spoolview/spool_stream.h"

struct SpoolRenderOptions {
  double scale = 0.25;  // picture pixels per device pixel
  LONG maxSide = 8192;  // a page's longest picture side; the scale shrinks to fit
  LONG maxImagePixels = 16 * 1024 * 1024;  // larger images and patterns are not drawn
};

std::vector<ReferenceImage> RenderSpoolPages(const SpoolScan& scan, const SpoolRenderOptions& options);
