// The pixels a DC draws on and the painting of runs of them, shared by the drawing calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_table.h"

namespace gdi {

// Where a DC draws: its surface's pixels, the device origin and the clip in surface pixels.
struct Target {
  std::uint32_t* top = nullptr;  // the first pixel of row 0
  std::ptrdiff_t stride = 0;     // pixels from one row to the next (negative for bottom-up rows)
  LONG width = 0;
  LONG height = 0;
  POINT origin{0, 0};            // the device point (0, 0) on the surface
  std::vector<RECT> clip;        // inside the surface, not overlapping

  std::uint32_t* Pixel(LONG x, LONG y) const { return top + y * stride + x; }
  bool Visible(LONG x, LONG y) const;
};

// How pixels are painted: a colour or a hatch pattern, combined with the destination by a
// binary raster operation.
struct Paint {
  std::uint32_t color = 0;  // pixel format
  bool hatched = false;
  LONG hatch = 0;
  std::uint32_t background = 0;  // a hatch's gaps, when opaque
  bool opaque = true;
  POINT brushOrg{0, 0};          // surface pixels
  int rop2 = R2_COPYPEN;
};

// The target of a live DC; false when it has nothing to draw on.
bool TargetOf(Dc& dc, Target& target);
// A logical point of the DC on its surface.
POINT ToSurface(const Dc& dc, POINT logical);
// The paint of a brush in the DC's state (background, brush origin, ROP2); false for a null
// brush or a handle that is not a brush.
bool PaintOfBrush(const Dc& dc, HGDIOBJ brush, Paint& paint);
// The pattern's pixel at a surface point; false for a hatch gap left alone.
bool PatternPixel(const Paint& paint, LONG x, LONG y, std::uint32_t& out);

std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t destination);
// The ternary raster operation `code` ((rop >> 16) & 0xFF) of pattern, source and destination.
std::uint32_t ApplyRop3(BYTE code, std::uint32_t pattern, std::uint32_t source, std::uint32_t destination);

// Paints the pixels x0 .. x1 - 1 of row y (surface pixels) inside the clip.
void FillSpan(const Target& target, LONG y, LONG x0, LONG x1, const Paint& paint);
// Paints a rectangle of surface pixels (right and bottom edges outside).
void FillBox(const Target& target, const RECT& box, const Paint& paint);

// Region arithmetic on lists of rectangles that do not overlap.
std::vector<RECT> CombineRects(const std::vector<RECT>& a, const std::vector<RECT>& b, int mode);
std::vector<RECT> ClipRects(const std::vector<RECT>& rects, const RECT& box);
void OffsetRects(std::vector<RECT>& rects, LONG dx, LONG dy);
RECT BoundsOf(const std::vector<RECT>& rects);
int KindOf(const std::vector<RECT>& rects);
bool IsEmpty(const RECT& r);

}  // namespace gdi

namespace gdi {

// 32-bit pixels read by the blits: a bitmap's, a surface's, or a converted DIB's.
struct SourceImage {
  const std::uint32_t* top = nullptr;
  std::ptrdiff_t stride = 0;
  LONG width = 0;
  LONG height = 0;
};

// Carries out a blit onto the DC's logical rectangle (x, y, width, height) from the source's
// rectangle (surface pixels; negative sizes mirror), scaling by nearest neighbour. A NULL
// source top is an operation without a source. The source is read before anything is written.
void Blit(Dc& dc, LONG x, LONG y, LONG width, LONG height, const SourceImage& source, LONG xSrc, LONG ySrc,
          LONG srcWidth, LONG srcHeight, DWORD rop);

}  // namespace gdi
