// Drawing of one stamp text (a watermark or one line of job information) into the
// application's printer device context at the end of a sheet, with ordinary GDI calls: the
// text in the stamp font, an optional box or circle frame, one tile or many.
#pragma once

#include "core/stamps/stamp_transform.h"
#include "platform/base/types.h"
#include "platform/gdi/draw_objects.h"

// Size of the graphics module's page-end answer; DrawStamp reads its two rectangles.
inline constexpr DWORD kPageEndAnswerSize = 44;
// Byte offsets of the rectangles in the page-end answer (four floats each: left, top, right,
// bottom, in device pixels).
inline constexpr DWORD kPageEndPlacementRect = 12;
inline constexpr DWORD kPageEndSheetRect = 28;

// Frame kinds of a stamp.
enum StampFrameKind : WORD {
  kStampFrameNone = 0,
  kStampFrameBox = 1,
  kStampFrameCircle = 2,
};

// The frame of one tile: the four corners of a box (in drawing order) or the bounding box of
// a circle, in device pixels.
struct StampFrame {
  POINT corners[4];
  RECT ellipse;
};

// Draws text into the device context as a stamp; 1 when every tile was drawn, -1 on any
// failure (the device context is restored either way; tiles drawn before a failure stay).
// answer: the 44-byte page-end answer. resolution: dots per inch of the font sizes. position:
// 0 tiles the sheet, else 0x100/0x200/0x300 (left, centre, right) or-ed with 1/2/3 (top,
// middle, bottom). font: sizes in points, lfEscapement the angle in tenths of a degree.
// placed: non-zero aligns the stamp in the placement rectangle at absolute coordinates; 0
// lays it out over the sheet and tells the graphics module each tile's offset.
int DrawStamp(HANDLE printer, HDC dc, const BYTE* answer, WORD resolution, WORD position, const LOGFONTW* font,
              LPCWSTR text, COLORREF color, WORD frameKind, WORD placed);

// The extent of text in the selected font; italic text is wider by its height x tan 15 deg.
// 1, or 0 when it cannot be measured.
int MeasureStampText(HDC dc, LPCWSTR text, BOOL italic, StampSize* extent);

// The frame pen: solid, in the stamp colour, 7 % of the font's pixel height for a bold
// (weight 700) font, else 6 %.
LOGPEN BuildStampPen(const LOGFONTW* font, WORD resolution, COLORREF color);

// The frame's size around a text extent; 1, or 0 for a frame kind other than box or circle.
int ComputeStampFrameSize(WORD frameKind, const LOGPEN* pen, float textWidth, float textHeight, StampSize* size);

// The frame of tile `tile` with its box at origin; 1, or 0 for a frame kind other than box or
// circle, or when a point cannot be mapped.
int ComputeStampFrame(StampPoint origin, int tile, const LOGPEN* pen, const StampTransform* transform,
                      WORD frameKind, float frameWidth, float frameHeight, StampFrame* frame);
