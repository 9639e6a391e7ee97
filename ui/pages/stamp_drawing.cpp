// Stamp drawing: the text in the stamp font, its frame and its tiles, placed by the core's
// stamp transform and drawn with ordinary GDI calls into the printer device context.
#include "ui/pages/stamp_drawing.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "core/database/model_features.h"
#include "core/store/item_store.h"
#include "platform/base/text.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/escape.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text.h"
#include "platform/kernel/arithmetic.h"
#include "ui/framework/sheet/sheet_routines.h"

namespace {

// Escape that tells the graphics module how far to shift what the stamp draws next.
constexpr int kStampPositionEscape = 0x5004;
constexpr DWORD kStampPositionSize = 8;
// Points per inch of the stamp font's sizes.
constexpr int kPointsPerInch = 72;
// tan 15 degrees: how much an italic text leans per unit of height.
constexpr float kItalicSlant = 0.2679492f;
constexpr LONG kBoldWeight = 700;
constexpr float kBoldPenShare = 0.07f;
constexpr float kPenShare = 0.06f;
constexpr float kBoxMargin = 1.2f;
constexpr int kFullTurn = 360;

// A float truncated toward zero into a LONG; false when it is not a number or out of range.
bool TruncateToLong(float value, LONG* out) {
  if (!std::isfinite(value)) return false;
  const float t = std::trunc(value);
  if (t < static_cast<float>(std::numeric_limits<LONG>::min()) || t >= 2147483648.0f) return false;
  *out = static_cast<LONG>(t);
  return true;
}

bool TruncatePoint(const StampPoint& p, POINT* out) { return TruncateToLong(p.x, &out->x) && TruncateToLong(p.y, &out->y); }

// The absolute width and height of a rectangle of four floats in the page-end answer.
StampSize ReadAnswerRect(const BYTE* answer, DWORD offset) {
  float r[4];
  std::memcpy(r, answer + offset, sizeof r);
  return StampSize{std::fabs(r[2] - r[0]), std::fabs(r[3] - r[1])};
}

// Sends the tile offset; false when the graphics module refuses it.
bool SendStampPosition(HDC dc, POINT offset) {
  BYTE payload[kStampPositionSize];
  const DWORD x = static_cast<DWORD>(offset.x), y = static_cast<DWORD>(offset.y);
  for (int i = 0; i < 4; ++i) {
    payload[i] = static_cast<BYTE>(x >> (8 * i));
    payload[4 + i] = static_cast<BYTE>(y >> (8 * i));
  }
  return ExtEscape(dc, kStampPositionEscape, kStampPositionSize, reinterpret_cast<LPCSTR>(payload), 0, nullptr) > 0;
}

// The objects DrawStamp creates and selects, put back and deleted on every way out.
struct StampObjects {
  HDC dc = nullptr;
  int savedLevel = 0;
  HFONT font = nullptr;
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HGDIOBJ oldFont = nullptr;
  HGDIOBJ oldPen = nullptr;
  HGDIOBJ oldBrush = nullptr;

  ~StampObjects() {
    if (oldFont != nullptr) SelectObject(dc, oldFont);
    if (oldBrush != nullptr) SelectObject(dc, oldBrush);
    if (oldPen != nullptr) SelectObject(dc, oldPen);
    if (font != nullptr) DeleteObject(font);
    if (pen != nullptr) DeleteObject(pen);
    if (brush != nullptr) DeleteObject(brush);
    RestoreDC(dc, savedLevel);
  }
};

// Text alignment of the stamp: right-to-left reading for models with that feature. False
// when the printer's description database cannot be opened.
bool SetStampTextAlign(HANDLE printer, HDC dc) {
  ItemStore* store = OpenItemStore(printer);
  if (store == nullptr) return false;
  const bool rightToLeft = HasModelFeature(store->main, kRightToLeftFeature) == 1;
  CloseItemStore(store);
  SetTextAlign(dc, rightToLeft ? TA_RTLREADING : 0);
  return true;
}

}  // namespace

int MeasureStampText(HDC dc, LPCWSTR text, BOOL italic, StampSize* extent) {
  if (text == nullptr || extent == nullptr) return 0;
  RECT r{0, 0, 0, 0};
  if (DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_NOCLIP) == 0 && text[0] != 0) return 0;
  extent->width = static_cast<float>(r.right - r.left);
  extent->height = static_cast<float>(r.bottom - r.top);
  if (italic) extent->width += extent->height * kItalicSlant;
  return 1;
}

LOGPEN BuildStampPen(const LOGFONTW* font, WORD resolution, COLORREF color) {
  const float pixels = static_cast<float>(MulDiv(font->lfHeight, resolution, kPointsPerInch));
  const float share = font->lfWeight == kBoldWeight ? kBoldPenShare : kPenShare;
  LOGPEN pen{};
  pen.lopnStyle = PS_SOLID;
  pen.lopnWidth.x = static_cast<LONG>(pixels * share);
  pen.lopnColor = color;
  return pen;
}

int ComputeStampFrameSize(WORD frameKind, const LOGPEN* pen, float textWidth, float textHeight, StampSize* size) {
  const float penWidth = static_cast<float>(pen->lopnWidth.x);
  switch (frameKind) {
    case kStampFrameBox:
      *size = {textWidth * kBoxMargin + penWidth, textHeight * kBoxMargin + penWidth};
      return 1;
    case kStampFrameCircle: {
      const float diameter = std::sqrt(textWidth * textWidth + textHeight * textHeight) + 2 * penWidth;
      *size = {diameter, diameter};
      return 1;
    }
    default:
      return 0;
  }
}

int ComputeStampFrame(StampPoint origin, int tile, const LOGPEN* pen, const StampTransform* transform,
                      WORD frameKind, float frameWidth, float frameHeight, StampFrame* frame) {
  const LONG penWidth = pen->lopnWidth.x;
  const LONG half = penWidth / 2;
  if (frameKind == kStampFrameBox) {
    // Corners walked clockwise from the top left, inset by half the pen.
    StampPoint p{origin.x + half, origin.y + half};
    const float dx = frameWidth - static_cast<float>(penWidth);
    const float dy = frameHeight - static_cast<float>(penWidth);
    const StampPoint steps[4] = {{0, 0}, {dx, 0}, {0, dy}, {-dx, 0}};
    for (int i = 0; i < 4; ++i) {
      p.x += steps[i].x;
      p.y += steps[i].y;
      StampPoint mapped;
      if (MapStampPoint(transform, &p, tile, &mapped) != 0 || !TruncatePoint(mapped, &frame->corners[i])) return 0;
    }
    return 1;
  }
  if (frameKind == kStampFrameCircle) {
    // A circle does not turn: only its centre is mapped.
    const StampPoint centre{origin.x + frameWidth / 2, origin.y + frameHeight / 2};
    StampPoint mapped;
    if (MapStampPoint(transform, &centre, tile, &mapped) != 0) return 0;
    const float hw = frameWidth / 2, hh = frameHeight / 2;
    return TruncateToLong(mapped.x - hw + half, &frame->ellipse.left) &&
                   TruncateToLong(mapped.y - hh + half, &frame->ellipse.top) &&
                   TruncateToLong(mapped.x + hw - half, &frame->ellipse.right) &&
                   TruncateToLong(mapped.y + hh - half, &frame->ellipse.bottom)
               ? 1
               : 0;
  }
  return 0;
}

int DrawStamp(HANDLE printer, HDC dc, const BYTE* answer, WORD resolution, WORD position, const LOGFONTW* font,
              LPCWSTR text, COLORREF color, WORD frameKind, WORD placed) {
  if (dc == nullptr) return -1;
  const int level = SaveDC(dc);
  if (level == 0) return -1;
  StampObjects objects;
  objects.dc = dc;
  objects.savedLevel = level;
  if (answer == nullptr || font == nullptr || text == nullptr) return -1;

  SetMapMode(dc, MM_TEXT);
  if (!SetStampTextAlign(printer, dc)) return -1;
  SetViewportOrgEx(dc, 0, 0, nullptr);
  SetBkMode(dc, TRANSPARENT);
  SelectClipRgn(dc, nullptr);

  // The font in device pixels: negative sizes ask for the character height.
  LOGFONTW pixelFont = *font;
  pixelFont.lfWidth = -MulDiv(font->lfWidth, resolution, kPointsPerInch);
  pixelFont.lfHeight = -MulDiv(font->lfHeight, resolution, kPointsPerInch);
  objects.font = CreateFontIndirectW(&pixelFont);
  if (objects.font == nullptr) return -1;
  objects.oldFont = SelectObject(dc, objects.font);

  StampSize extent{};
  if (!MeasureStampText(dc, text, font->lfItalic, &extent)) return -1;
  // A text without extent (empty, or only characters without width) leaves nothing to draw
  // and could not be laid out in tiles.
  if (!(extent.width > 0.0f) || !(extent.height > 0.0f)) return 1;

  const StampSize area = ReadAnswerRect(answer, placed != 0 ? kPageEndPlacementRect : kPageEndSheetRect);
  POINT windowOrigin{0, 0};
  GetWindowOrgEx(dc, &windowOrigin);

  LOGPEN pen{};
  StampSize box = extent;
  StampPoint textOrigin{0, 0};
  WORD mode = 0;
  if (frameKind != kStampFrameNone) {
    pen = BuildStampPen(font, resolution, color);
    objects.pen = CreatePenIndirect(&pen);
    if (objects.pen == nullptr) return -1;
    objects.oldPen = SelectObject(dc, objects.pen);
    const LOGBRUSH hollow{BS_NULL, 0, 0};
    objects.brush = CreateBrushIndirect(&hollow);
    if (objects.brush == nullptr) return -1;
    objects.oldBrush = SelectObject(dc, objects.brush);
    if (!ComputeStampFrameSize(frameKind, &pen, extent.width, extent.height, &box)) return -1;
    // The text sits in the middle of its frame; a circle turns about the frame's centre.
    textOrigin = {box.width / 2 - extent.width / 2, box.height / 2 - extent.height / 2};
    mode = frameKind;
  }

  // Whole turns add nothing to the angle; reducing them keeps it in 16 bits.
  const SHORT angle = static_cast<SHORT>(font->lfEscapement / 10 % kFullTurn);
  StampTransform transform{};
  const int count = MakeStampTransform(&area, &box, angle, mode, position, &transform);
  if (count < 0) return -1;
  transform.offsetX += static_cast<float>(windowOrigin.x);
  transform.offsetY += static_cast<float>(windowOrigin.y);

  SetROP2(dc, R2_COPYPEN);
  SetTextColor(dc, color);

  StampPoint first{};
  if (count > 0 && MapStampPoint(&transform, &textOrigin, 0, &first) != 0) return -1;
  POINT firstPoint{};
  if (count > 0 && !TruncatePoint(first, &firstPoint)) return -1;
  const int length = lstrlenW(text);
  for (int tile = 0; tile < count; ++tile) {
    StampPoint at;
    if (MapStampPoint(&transform, &textOrigin, tile, &at) != 0) return -1;
    // What the graphics module is told to shift by is taken off everything the tile draws, so
    // that text and frame land where the tile belongs.
    POINT offset{0, 0};
    bool sent = false;
    if (position == 0) {
      POINT here{};
      if (!TruncateToLong(at.x - first.x, &here.x) || !TruncateToLong(at.y - first.y, &here.y)) return -1;
      offset = here;
      sent = true;
    } else if (placed == 0) {
      offset = firstPoint;
      sent = true;
    }
    if (sent && !SendStampPosition(dc, offset)) return -1;

    POINT textPoint{};
    if (!TruncatePoint(at, &textPoint)) return -1;
    textPoint.x -= offset.x;
    textPoint.y -= offset.y;
    if (!TextOutW(dc, textPoint.x, textPoint.y, text, length)) return -1;

    if (frameKind == kStampFrameNone) continue;
    StampFrame frame{};
    if (!ComputeStampFrame(StampPoint{0, 0}, tile, &pen, &transform, frameKind, box.width, box.height, &frame)) {
      return -1;
    }
    if (frameKind == kStampFrameBox) {
      for (POINT& corner : frame.corners) {
        corner.x -= offset.x;
        corner.y -= offset.y;
      }
      if (!Polygon(dc, frame.corners, 4)) return -1;
    } else {
      RECT& e = frame.ellipse;
      if (!Ellipse(dc, e.left - offset.x, e.top - offset.y, e.right - offset.x, e.bottom - offset.y)) return -1;
    }
  }
  return 1;
}
