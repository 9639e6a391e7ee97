// Page geometry: the 2x3 single-precision matrices that place a logical page on the sheet (the
// page axis sent before the page's drawing), computed from the page state's paper and layout
// values: the origin move, binding margin, offsets, half turn, zoom or N-up cell scale, cell
// position and alignment, and the flips between the engine's downward y and the layout's
// upward y. All arithmetic stays in float, as the device's pixel placement depends on it.
//
// Matrix [a, b, c, d, e, f]: a point (x, y) maps to (a x + c y + e, b x + d y + f).
// Results: 0 or -1.
#pragma once

#include "graphics/device/page_state.h"
#include "platform/base/types.h"

// The page state in float pixels, with the layout values the transforms read.
//
// Page and sheet edges are positions in the layout's upward y: left = left margin, bottom =
// bottom margin, right = width - right margin, top = height - top margin. For a landscape
// page the width and height and the two margin pairs of the page are exchanged (left <-> bottom
// margins, right <-> top margins) before the edges are taken.
struct FloatLayout {
  float pageWidth;
  float pageHeight;
  float pageLeft;
  float pageBottom;
  float pageRight;
  float pageTop;
  float sheetWidth;
  float sheetHeight;
  float sheetLeft;
  float sheetBottom;
  float sheetRight;
  float sheetTop;
  BYTE orientationSetting;
  DWORD zoomOn;
  WORD zoomPercent;
  DWORD landscapePage;  // the page's orientation word
  DWORD zero;
  DWORD landscapeSetting;
  DWORD duplexBinding;
  DWORD pageOrder;
  SHORT nup;
  DWORD turnedGrid;
  WORD cellsAcross;
  WORD cellsAlong;
  DWORD landscapeCells;
  LONG bindingEdge;
  float bindingMargins[2];
  DWORD item1283;
  LONG cellAlignment;
  // The page's imageable margins: left and right in x, top and bottom in y (never exchanged).
  float marginLeft;
  float marginRight;
  float marginTop;
  float marginBottom;
  DWORD offsetKind;
  float offsets[2];
};

// A page's cell on the sheet: {x0, y1, x1, y0}.
struct CellRectangle {
  float x0;
  float y1;
  float x1;
  float y0;
};

// Binding edges of the layout.
constexpr LONG kBindLeft = 1;
constexpr LONG kBindRight = 2;
constexpr LONG kBindBottom = 3;
constexpr LONG kBindTop = 4;

// Cell indices and sides a page transform accepts.
constexpr int kMaxCellIndex = 31;
constexpr int kMaxSideIndex = 1;

int CopyAxisMatrix(const float source[6], float destination[6]);

// tenths x resolution / 254 in float, with the horizontal or vertical resolution of the page
// state; a zero resolution leaves *out unchanged. -1 without a state or target.
int ConvertToPixels(const PageState* state, float* out, LONG tenths, BOOL horizontal);
// The same as a value (0 for a zero resolution), and truncated to a whole pixel.
float ConvertToPixelsFloat(const PageState* state, LONG tenths, BOOL horizontal);
LONG ConvertToPixelsInt(const PageState* state, LONG tenths, BOOL horizontal);
int ConvertLayoutToFloat(FloatLayout* layout, const PageState* state);

// M becomes M followed by N.
void MultiplyMatrix(float m[6], const float n[6]);
void SetIdentity(float m[6]);
// out = m followed by n (out may be m or n).
void ComposeMatrix(float out[6], const float m[6], const float n[6]);
// Adds dx a + dy c to e and dx b + dy d to f (a move in the matrix's source space).
void TranslateMatrix(float m[6], float dx, float dy);
// Negates c and d.
void FlipMatrixY(float m[6]);
// Keeps mirrored and turned pages on the same pixels as upright ones: one pixel off e and/or f
// for the axis-aligned and quarter-turned matrices that mirror an axis.
void AdjustPixelEdges(float m[6]);
// M followed by the half turn [-1, 0, 0, -1, x, y] (about the point (x / 2, y / 2)).
void HalfTurnAt(const FloatLayout* layout, float m[6], float x, float y);

// The layout transform of page n (from 1) on side 1 or 2 of its sheet, in the layout's upward
// y; the cell rectangle when asked. -1 for a page side of no size.
int ComputeLogicalPageTransform(float m[6], const FloatLayout* layout, int cellNumber, int side, CellRectangle* rect);
// The device matrix of logical matrix: flip about the page height, the logical matrix, flip
// about the sheet height, pixel edges kept, then the move to the page's edge.
void ComposeLayoutTransform(const PageState* state, const FloatLayout* layout, const float logical[6], float out[6]);
// The device matrix of cell index 0-31 on side 0 or 1; -1 for anything else.
int GetLogicalPageTransform(float out[6], const PageState* state, int cellIndex, int side);
// The whole-pixel cell of a page in device y (left, top, right, bottom).
int GetCellRectangle(const PageState* state, int cellIndex, int side, RECT* out);
// P = flip(page extent), M, flip(sheet extent), pixel edges kept; out = move to (x, y), then P.
void ComputePlacementMatrix(const float m[6], float out[6], float pageExtent, float x, float y, float sheetExtent);

// The axes of the device's marks and stamps, each from a copy of the page state:
// - the whole sheet (N-up borders): N-up 1 at zoom 100, no offsets, alignment, binding or paper
//   margins;
// - a tile cell: N-up 1 at zoom 100, the printable area moved by (dx, dy) tenths;
// - a stamp: the tile axis, turned a half about the page for booklets (not rotated), the second
//   booklet binding, or N-up 1 pages whose orientation setting turns the stamp.
int GetBorderAxis(const PageState* state, int side, float out[6]);
int GetTileAxis(const PageState* state, float out[6], LONG dx, LONG dy);
int GetStampAxis(const PageState* state, float out[6], LONG dx, LONG dy, BOOL rotated, BOOL booklet);
// Orientation setting 1 and rotated, 2 and not rotated, or 3.
BOOL IsStampHalfTurned(BYTE orientationSetting, BOOL rotated);
// Whether the page is turned for the stamps: booklets the landscape cells inverted, N-up 1 the
// page's orientation word, otherwise the landscape cells.
BOOL GetLandscapeForStamp(const PageState* state, BOOL booklet);

// The tile grid: where the enlarged page's cells are and the order they are walked in.
struct TileLayout {
  float matrix[6];
  float cellWidth;
  float cellHeight;
  LONG acrossStart;
  LONG acrossEnd;
  LONG acrossStep;
  LONG alongStart;
  LONG alongEnd;
  LONG alongStep;
  DWORD rowByRow;  // 1: cells row by row, 0: column by column
  WORD columns;
  WORD rows;
};

int ComputeTileLayout(const PageState* state, TileLayout* tiles);
// -1 for a matrix that is neither axis-aligned nor turned a quarter.
int SetTileGridOrder(TileLayout* tiles);
