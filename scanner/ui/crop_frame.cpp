// Dragging the crop frame on the preview page: the hit test at the press, moving, resizing and
// drawing a new frame with snapping and edge limits, the rubber band, and the cursors.
#include "scanner/ui/crop_frame.h"

#include <algorithm>

#include "platform/gdi/dc.h"
#include "platform/user/cursors.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "scanner/system_routines.h"
#include "scanner/ui/drawing.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/progress_window.h"
#include "scanner/ui/window_ids.h"

namespace {

// Which scan-area coordinate the pointer drives along one axis.
enum class Edge { None, Low, High };

struct CropDrag {
  int State;
  Edge Horizontal;  // Low: left, High: right
  Edge Vertical;    // Low: top, High: bottom
  POINT Anchor;
  RECT Start;
  RECT Saved;
};

constexpr CropDrag kIdleDrag{kDragIdle, Edge::None, Edge::None, {-1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1}};

CropDrag g_Drag = kIdleDrag;
BOOL g_RubberBand = FALSE;

// The zones of the frame's client rectangle, in the order the hit test tries them.
enum class Zone { None, BottomRight, TopRight, BottomLeft, TopLeft, Right, Bottom, Left, Top, Inside };

bool Near(LONG a, LONG b) { return a - b <= kHitTolerance && b - a <= kHitTolerance; }

Zone HitZone(const RECT& r, POINT p) {
  if (Near(p.x, r.right) && Near(p.y, r.bottom)) return Zone::BottomRight;
  if (Near(p.x, r.right) && Near(p.y, r.top)) return Zone::TopRight;
  if (Near(p.x, r.left) && Near(p.y, r.bottom)) return Zone::BottomLeft;
  if (Near(p.x, r.left) && Near(p.y, r.top)) return Zone::TopLeft;
  const bool betweenY = p.y > r.top && p.y < r.bottom, betweenX = p.x > r.left && p.x < r.right;
  if (Near(p.x, r.right) && betweenY) return Zone::Right;
  if (Near(p.y, r.bottom) && betweenX) return Zone::Bottom;
  if (Near(p.x, r.left) && betweenY) return Zone::Left;
  if (Near(p.y, r.top) && betweenX) return Zone::Top;
  if (p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom) return Zone::Inside;
  return Zone::None;
}

RECT FrameOnClient(HWND window, const ScanSettings& s) { return DocumentRectToClient(window, s.ScanArea, s.PreviewZoom); }

void InvalidateImageArea(HWND window, BOOL erase) {
  const RECT image = ImageAreaRect(window);
  InvalidateRect(window, &image, erase);
}

// Draws the band where the scan area is now (a second drawing removes it).
void ToggleRubberBand(HWND window, const ScanSettings& s) {
  HDC dc = GetDC(window);
  if (dc == nullptr) return;
  DrawRubberBand(window, dc, s);
  ReleaseDC(window, dc);
}

// Moves the frame along one axis from its start, sticking to the bed's edges: when it sticks,
// the anchor moves so that the frame follows as soon as the pointer turns back.
void MoveAxis(LONG& low, LONG& high, LONG startLow, LONG startHigh, LONG& anchor, LONG pointer, LONG bedEnd) {
  const LONG d = pointer - anchor;
  if (startLow + d < 0) {
    low = 0;
    high = startHigh - startLow;
    anchor = std::max(pointer + startLow, startLow);
  } else if (startHigh + d <= bedEnd) {
    low = startLow + d;
    high = startHigh + d;
  } else {
    high = bedEnd;
    low = bedEnd - (startHigh - startLow);
    anchor = std::min(startHigh + pointer - bedEnd, startHigh);
  }
}

void Snap(RECT& r) {
  r.left = r.left / kFrameSnap * kFrameSnap;
  r.top = r.top / kFrameSnap * kFrameSnap;
  r.right = r.right / kFrameSnap * kFrameSnap;
  r.bottom = r.bottom / kFrameSnap * kFrameSnap;
}

}  // namespace

int FrameDragState() { return g_Drag.State; }
BOOL RubberBandShown() { return g_RubberBand; }

void DrawRubberBand(HWND window, HDC dc, const ScanSettings& s) {
  const RECT r = FrameOnClient(window, s);
  const RECT image = ImageAreaRect(window);
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, image.left, image.top, image.right, image.bottom);
  SetROP2(dc, R2_NOT);
  DrawRectOutline(dc, r.left, r.top, r.right, r.bottom, 1, 0);
  RestoreDC(dc, saved);
}

void BeginFrameDrag(HWND window, ScanSettings& s, POINT client) {
  const RECT r = FrameOnClient(window, s);
  const POINT d = WindowToDocument(window, client, s.PreviewZoom);
  g_Drag = kIdleDrag;
  switch (HitZone(r, client)) {
    case Zone::BottomRight: g_Drag.Horizontal = Edge::High, g_Drag.Vertical = Edge::High; break;
    case Zone::TopRight: g_Drag.Horizontal = Edge::High, g_Drag.Vertical = Edge::Low; break;
    case Zone::BottomLeft: g_Drag.Horizontal = Edge::Low, g_Drag.Vertical = Edge::High; break;
    case Zone::TopLeft: g_Drag.Horizontal = Edge::Low, g_Drag.Vertical = Edge::Low; break;
    case Zone::Right: g_Drag.Horizontal = Edge::High; break;
    case Zone::Bottom: g_Drag.Vertical = Edge::High; break;
    case Zone::Left: g_Drag.Horizontal = Edge::Low; break;
    case Zone::Top: g_Drag.Vertical = Edge::Low; break;
    case Zone::Inside:
      g_Drag.State = kDragMove;
      g_Drag.Anchor = d;
      g_Drag.Start = s.ScanArea;
      break;
    case Zone::None:
      if (d.x >= 0 && d.x <= kBedWidth && d.y >= 0 && d.y <= kBedHeight) {
        g_Drag.State = kDragNew;
        g_Drag.Saved = s.ScanArea;
        s.ScanArea = RECT{d.x, d.y, d.x, d.y};
        g_Drag.Horizontal = g_Drag.Vertical = Edge::High;
      }
      break;
  }
  if (g_Drag.Horizontal != Edge::None || g_Drag.Vertical != Edge::None) {
    if (g_Drag.State == kDragIdle) g_Drag.State = kDragResize;
  }
  if (g_Drag.State != kDragIdle) {
    if (!StopFrameAnimation()) {
      // The press ends here: the frame keeps what it had, without band or capture.
      if (g_Drag.State == kDragNew) s.ScanArea = g_Drag.Saved;
      g_Drag = kIdleDrag;
      return;
    }
    g_RubberBand = TRUE;
    InvalidateImageArea(window, TRUE);
  }
  SetCapture(window);
}

void ContinueFrameDrag(HWND window, ScanSettings& s, POINT client) {
  if (g_Drag.State == kDragIdle) {
    SetFrameCursor(window, client, s);
    return;
  }
  const POINT d = WindowToDocument(window, client, s.PreviewZoom);
  ToggleRubberBand(window, s);
  RECT& a = s.ScanArea;
  if (g_Drag.State == kDragNew) {
    if (g_Drag.Vertical == Edge::Low && d.y > a.bottom) g_Drag.Vertical = Edge::High;
    else if (g_Drag.Vertical == Edge::High && d.y < a.top) g_Drag.Vertical = Edge::Low;
    if (g_Drag.Horizontal == Edge::Low && d.x > a.right) g_Drag.Horizontal = Edge::High;
    else if (g_Drag.Horizontal == Edge::High && d.x < a.left) g_Drag.Horizontal = Edge::Low;
  }
  const RECT before = a;
  if (g_Drag.Horizontal == Edge::Low) a.left = std::max(std::min(d.x, before.right - kMinFrameSize), LONG{0});
  if (g_Drag.Horizontal == Edge::High) a.right = std::min(std::max(d.x, before.left + kMinFrameSize), kBedWidth);
  if (g_Drag.Vertical == Edge::Low) a.top = std::max(std::min(d.y, before.bottom - kMinFrameSize), LONG{0});
  if (g_Drag.Vertical == Edge::High) a.bottom = std::min(std::max(d.y, before.top + kMinFrameSize), kBedHeight);
  if (g_Drag.State == kDragMove) {
    const RECT& st = g_Drag.Start;
    MoveAxis(a.left, a.right, st.left, st.right, g_Drag.Anchor.x, d.x, kBedWidth);
    MoveAxis(a.top, a.bottom, st.top, st.bottom, g_Drag.Anchor.y, d.y, kBedHeight);
  }
  Snap(s.ScanArea);
  Snap(s.PreviewArea);
  ToggleRubberBand(window, s);
  SendMessageW(GetParent(window), SDM_SHOWAREA, 0, 0);
}

void EndFrameDrag(HWND window, ScanSettings& s) {
  if (g_Drag.State != kDragIdle) {
    g_RubberBand = FALSE;
    StartFrameAnimation(window, s);
    InvalidateImageArea(window, FALSE);
  }
  const RECT& a = s.ScanArea;
  if (g_Drag.State == kDragNew && a.right - a.left < kMinFrameSize && a.bottom - a.top < kMinFrameSize)
    s.ScanArea = g_Drag.Saved;
  g_Drag = kIdleDrag;
  ReleaseCapture();
}

void CancelFrameDrag(HWND window, ScanSettings& s) {
  if (g_Drag.State != kDragIdle) EndFrameDrag(window, s);
}

HCURSOR SetFrameCursor(HWND window, POINT client, const ScanSettings& s) {
  const SIZE ruler = RulerThickness(window);
  if (client.x < ruler.cx && client.y < ruler.cy) return GetCursor();
  HCURSOR cursor = nullptr;
  if (s.PreviewTool == kToolZoomIn) {
    cursor = LoadCursorW(g_Instance, MAKEINTRESOURCEW(kCursorZoomIn));
  } else if (s.PreviewTool == kToolZoomOut) {
    cursor = LoadCursorW(g_Instance, MAKEINTRESOURCEW(kCursorZoomOut));
  } else {
    switch (HitZone(FrameOnClient(window, s), client)) {
      case Zone::TopLeft:
      case Zone::BottomRight: cursor = LoadCursorW(nullptr, IDC_SIZENWSE); break;
      case Zone::TopRight:
      case Zone::BottomLeft: cursor = LoadCursorW(nullptr, IDC_SIZENESW); break;
      case Zone::Left:
      case Zone::Right: cursor = LoadCursorW(nullptr, IDC_SIZEWE); break;
      case Zone::Top:
      case Zone::Bottom: cursor = LoadCursorW(nullptr, IDC_SIZENS); break;
      case Zone::Inside: cursor = LoadCursorW(nullptr, IDC_SIZEALL); break;
      case Zone::None:
        cursor = ProgressWindowOpen() ? LoadCursorW(nullptr, IDC_WAIT)
                                      : LoadCursorW(g_Instance, MAKEINTRESOURCEW(kCursorFrameTool));
        break;
    }
  }
  SetCursor(cursor);
  return cursor;
}
