// Painting of the preview window (see preview_paint.h).
#include "scanner/ui/preview_paint.h"

#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/user/controls.h"
#include "platform/user/paint.h"
#include "platform/user/sys_colors.h"
#include "platform/user/window.h"
#include "scanner/ui/crop_frame.h"
#include "scanner/ui/drawing.h"
#include "scanner/ui/mapping.h"
#include "scanner/ui/number_text.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr LONG kInchUnits = 1200;
constexpr LONG kCentimetreUnits = 472;
constexpr int kShortTick = 3;
constexpr int kLongTick = 6;
constexpr int kLabelInset = 6;
constexpr int kDigitGap = 1;
constexpr int kUnitBitmapInset = 2;
constexpr COLORREF kMarkerColour = 0xFFFF4B;

// The unit pictures by display unit (inch, cm, mm, pixel, pica, point).
constexpr WORD kUnitBitmaps[] = {kBitmapUnitInch, kBitmapUnitCentimetre, kBitmapUnitMillimetre,
                                 kBitmapUnitPixel, kBitmapUnitPica,       kBitmapUnitPoint};

PointerMarkers g_Markers{{-1, -1}, {-1, -1}};

WORD DigitBitmap(char digit) { return digit == '0' ? kBitmapDigitZero : static_cast<WORD>(kBitmapDigitOne + (digit - '1')); }

// A label's digits centred on `position` along the ruler, 6 pixels inside its inner edge.
void DrawLabel(HDC dc, LONG value, int position, BOOL horizontal, const SIZE& ruler) {
  const std::string digits = std::to_string(value);
  int total = 0;
  for (char c : digits) {
    BITMAP size{};
    if (!GetBitmapSize(DigitBitmap(c), &size)) return;
    total += (horizontal ? size.bmWidth : size.bmHeight) + kDigitGap;
  }
  total -= kDigitGap;
  int at = position - total / 2;
  for (char c : digits) {
    BITMAP size{};
    GetBitmapSize(DigitBitmap(c), &size);
    if (horizontal) {
      DrawBitmapKeyed(dc, at, ruler.cy - kLabelInset - size.bmHeight, DigitBitmap(c));
      at += size.bmWidth + kDigitGap;
    } else {
      DrawBitmapKeyed(dc, ruler.cx - kLabelInset - size.bmWidth, at, DigitBitmap(c));
      at += size.bmHeight + kDigitGap;
    }
  }
}

void DrawMarkers(HDC dc, const LONG* markers, BOOL horizontal, const SIZE& ruler) {
  HPEN pen = CreatePen(PS_SOLID, 1, kMarkerColour);
  HGDIOBJ old = SelectObject(dc, pen);
  const int rop = SetROP2(dc, R2_XORPEN);
  for (int i = 0; i < 2; ++i) {
    if (markers[i] < 0) continue;
    if (horizontal)
      DrawLine(dc, markers[i], 1, markers[i], ruler.cy);
    else
      DrawLine(dc, 1, markers[i], ruler.cx, markers[i]);
  }
  SetROP2(dc, rop);
  SelectObject(dc, old);
  DeleteObject(pen);
}

// One ruler: ticks every base unit and half unit, labels, and a 3D frame along the page.
void DrawRuler(HWND window, HDC dc, const ScanSettings& s, BOOL horizontal) {
  RECT client{};
  GetClientRect(window, &client);
  const SIZE ruler = RulerThickness(window);
  const RECT page = GetPageRect(window, s.PreviewZoom);
  const RulerStep step = RulerSteps(window, s.DisplayUnit, s.PreviewZoom, s.XResolution, horizontal);
  const RECT area = horizontal ? RECT{ruler.cx, 0, client.right, ruler.cy} : RECT{0, ruler.cy, ruler.cx, client.bottom};
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  FillWithSysColor(dc, area, COLOR_BTNFACE);
  const int scroll = GetScrollPos(window, horizontal ? SB_HORZ : SB_VERT);
  const int e = (horizontal ? page.left : page.top) - scroll, t = (horizontal ? page.right : page.bottom) - scroll;
  const int p = step.PixelsPerUnit;
  auto tick = [&](int at, int length) {
    if (horizontal)
      DrawRulerTick(dc, at, ruler.cy, length, TRUE);
    else
      DrawRulerTick(dc, ruler.cx, at, length, FALSE);
  };
  for (int k = 1; p > 0; ++k) {
    const int half = e + k * p - p / 2, whole = e + k * p;
    if (half + 1 >= t) break;
    tick(half, kShortTick);
    if (whole + 1 >= t) break;
    tick(whole, kLongTick);
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  for (int k = 1; step.LabelPixels > 0; ++k) {
    const int at = e + k * step.LabelPixels;
    if (at + 1 >= t) break;
    DrawLabel(dc, step.LabelIncrement * k, at, horizontal, ruler);
  }
  const RECT frame = horizontal ? RECT{e, 0, t, ruler.cy} : RECT{0, e, ruler.cx, t};
  Draw3DFrame(dc, frame);
  RestoreDC(dc, saved);
  const int markerSaved = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  DrawMarkers(dc, horizontal ? g_Markers.Top : g_Markers.Left, horizontal, ruler);
  RestoreDC(dc, markerSaved);
}

void PaintCorner(HDC dc, const SIZE& ruler, WORD unit) {
  const RECT corner{0, 0, ruler.cx, ruler.cy};
  FillWithSysColor(dc, corner, COLOR_BTNFACE);
  Draw3DFrame(dc, corner);
  if (unit > kUnitPoint) return;
  BITMAP size{};
  if (!GetBitmapSize(kUnitBitmaps[unit], &size)) return;
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  DrawBitmapKeyed(dc, kUnitBitmapInset, (ruler.cy - size.bmHeight) / 2, kUnitBitmaps[unit]);
}

void PaintPage(HWND window, HDC dc, const ScanSettings& s) {
  const RECT image = ImageAreaRect(window);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, image.left, image.top, image.right, image.bottom);
  HBRUSH white = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  const PreviewImage& display = DisplayPreviewImage();
  if (display.Block != nullptr) {
    const RECT shown = DocumentRectToClient(window, display.Area, s.PreviewZoom);
    if (!StretchDib(dc, shown, display.Block)) FillRect(dc, &shown, white);
    ExcludeClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
  }
  FillRect(dc, &image, white);
  RestoreDC(dc, saved);
  if (RubberBandShown()) DrawRubberBand(window, dc, s);
}

void InvalidateMarkerStrips(HWND window, const LONG* markers, BOOL horizontal, const SIZE& ruler) {
  for (int i = 0; i < 2; ++i) {
    if (markers[i] < 0) continue;
    const RECT strip = horizontal ? RECT{markers[i] - 1, 0, markers[i] + 2, ruler.cy}
                                  : RECT{0, markers[i] - 1, ruler.cx, markers[i] + 2};
    InvalidateRect(window, &strip, FALSE);
  }
}

}  // namespace

RulerStep RulerSteps(HWND window, WORD unit, WORD zoom, LONG xResolution, BOOL horizontal) {
  const RECT page = GetPageRect(window, zoom);
  const BOOL metric = unit == kUnitCentimetre || unit == kUnitMillimetre;
  const LONG base = metric ? kCentimetreUnits : kInchUnits;
  const LONG p = horizontal ? MapLinear(base, 0, kBedWidth, 0, page.right - page.left)
                            : MapLinear(base, 0, kBedHeight, 0, page.bottom - page.top);
  switch (unit) {
    case kUnitCentimetre: return zoom == 100 ? RulerStep{p, 5 * p, 5} : RulerStep{p, p, 1};
    case kUnitMillimetre:
      if (zoom == 100) return RulerStep{p, 5 * p, 50};
      if (zoom == 200) return RulerStep{p, 2 * p, 20};
      return RulerStep{p, p, 10};
    case kUnitPixel: return zoom == 100 ? RulerStep{p, 2 * p, 2 * xResolution} : RulerStep{p, p, xResolution};
    case kUnitPica: return RulerStep{p, p, 6};
    case kUnitPoint: return zoom == 100 ? RulerStep{p, 2 * p, 144} : RulerStep{p, p, 72};
    default: return RulerStep{p, p, 1};
  }
}

void PaintPreview(HWND window, const ScanSettings& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(window, &ps);
  if (dc == nullptr) return;
  const SIZE ruler = RulerThickness(window);
  PaintCorner(dc, ruler, s.DisplayUnit);
  DrawRuler(window, dc, s, TRUE);
  DrawRuler(window, dc, s, FALSE);
  PaintPage(window, dc, s);
  EndPaint(window, &ps);
}

void UpdatePointerMarkers(HWND window, const ScanSettings& s, POINT client) {
  const SIZE ruler = RulerThickness(window);
  InvalidateMarkerStrips(window, g_Markers.Top, TRUE, ruler);
  InvalidateMarkerStrips(window, g_Markers.Left, FALSE, ruler);
  PointerMarkers next{{-1, -1}, {-1, -1}};
  if (FrameDragState() == kDragMove) {
    const RECT frame = DocumentRectToClient(window, s.ScanArea, s.PreviewZoom);
    next = PointerMarkers{{frame.left, frame.right}, {frame.top, frame.bottom}};
  } else {
    const RECT image = ImageAreaRect(window);
    if (PtInRect(&image, client)) next = PointerMarkers{{client.x, -1}, {client.y, -1}};
  }
  g_Markers = next;
  InvalidateMarkerStrips(window, g_Markers.Top, TRUE, ruler);
  InvalidateMarkerStrips(window, g_Markers.Left, FALSE, ruler);
}

void ForgetPointerMarkers() { g_Markers = PointerMarkers{{-1, -1}, {-1, -1}}; }

const PointerMarkers& CurrentPointerMarkers() { return g_Markers; }
