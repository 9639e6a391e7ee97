// The level marker bars and the curve box of the scan dialog: the markers' places against the
// curve box, dragging them, and the tone curve drawn in the box.
#include <cstdlib>

#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/controls.h"
#include "platform/user/cursors.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/sys_colors.h"
#include "platform/user/window.h"
#include "scanner/band_processing.h"
#include "scanner/system_routines.h"
#include "scanner/ui/drawing.h"
#include "scanner/ui/level_controls.h"
#include "scanner/ui/mapping.h"
#include "scanner/ui/number_text.h"
#include "scanner/ui/progress_window.h"
#include "scanner/ui/subclass.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr int kInputHitTolerance = 5;
constexpr int kOutputHitTolerance = 4;
constexpr int kTriangleHalf = 5;
constexpr int kInputTriangleHeight = 9;
constexpr int kOutputTriangleDepth = 11;
constexpr WORD kCursorMarker = 200;
constexpr WORD kScanTypeNoCurve = 7;

enum class Marker { None, InputHigh, InputLow, Gamma, OutputLow, OutputHigh };

// The subclass record of a bar: its dialog, the settings, the held marker and the previous
// procedure.
struct LevelBar {
  HWND Dialog;
  ScanSettings* Settings;
  Marker Held;
  WNDPROC Previous;
};

LevelBar* BarRecord(HWND bar) { return SubclassRecord<LevelBar>(bar); }

SIZE CurveBoxSize(HWND dialog) {
  RECT r{};
  GetClientRect(GetDlgItem(dialog, kIdCurveBox), &r);
  return SIZE{r.right, r.bottom};
}

// The curve box's origin relative to the bar's (screen coordinates).
POINT BoxOffset(HWND dialog, HWND bar) {
  RECT box{}, own{};
  GetWindowRect(GetDlgItem(dialog, kIdCurveBox), &box);
  GetWindowRect(bar, &own);
  return POINT{box.left - own.left, box.top - own.top};
}

LONG InputX(LONG value, LONG width) { return MapLinear(value, 0, 255, 0, width); }
LONG OutputY(LONG value, LONG height) { return MapLinear(value, 0, 255, height, -height); }

LONG GammaX(const LevelSlot& slot, LONG width) {
  const LONG low = InputX(slot.InputLow, width), high = InputX(slot.InputHigh, width);
  return MapLinear(255 - GammaMarkerEntry(slot.Gamma), 0, 255, low, high - low);
}

// A marker's place along its bar, in curve-box coordinates.
LONG MarkerPlace(const LevelSlot& slot, Marker m, SIZE box) {
  switch (m) {
    case Marker::InputHigh: return InputX(slot.InputHigh, box.cx);
    case Marker::InputLow: return InputX(slot.InputLow, box.cx);
    case Marker::Gamma: return GammaX(slot, box.cx);
    case Marker::OutputLow: return OutputY(slot.OutputLow, box.cy);
    case Marker::OutputHigh: return OutputY(slot.OutputHigh, box.cy);
    default: return -1;
  }
}

// The marker under a bar point (curve-box coordinates), in the order the Part of the bar under
// the pointer gives.
Marker PickMarker(const LevelSlot& slot, BOOL input, POINT p, SIZE box) {
  Marker order[3];
  int count = 0;
  if (input) {
    if (p.x < box.cx / 2)
      order[0] = Marker::InputHigh, order[1] = Marker::Gamma, order[2] = Marker::InputLow;
    else
      order[0] = Marker::InputLow, order[1] = Marker::Gamma, order[2] = Marker::InputHigh;
    count = 3;
  } else {
    if (p.y >= box.cy / 2)
      order[0] = Marker::OutputLow, order[1] = Marker::OutputHigh;
    else
      order[0] = Marker::OutputHigh, order[1] = Marker::OutputLow;
    count = 2;
  }
  for (int i = 0; i < count; ++i) {
    const LONG at = MarkerPlace(slot, order[i], box);
    const LONG d = input ? p.x - at : p.y - at;
    if (std::labs(d) <= (input ? kInputHitTolerance : kOutputHitTolerance)) return order[i];
  }
  return Marker::None;
}

void SetBarCursor(const LevelSlot& slot, BOOL input, POINT p, SIZE box) {
  if (ProgressWindowOpen())
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  else
    SetCursor(LoadCursorW(g_Instance, MAKEINTRESOURCEW(PickMarker(slot, input, p, box) != Marker::None ? kCursorMarker
                                                                                                      : kCursorFrameTool)));
}

LONG Clamp(LONG v, LONG low, LONG high) { return v < low ? low : (v > high ? high : v); }

// The held marker follows the pointer: value, bounds, store, its edit, and the bar repainted.
void DragMarker(HWND bar, LevelBar& r, POINT p, SIZE box) {
  LevelSlot& slot = r.Settings->LevelSlots[0];
  switch (r.Held) {
    case Marker::InputHigh:
      slot.InputHigh = static_cast<SHORT>(Clamp(Clamp(MapLinear(p.x, 0, box.cx, 0, 255), 0, 255), slot.InputLow + 1, 255));
      ShowLevelValue(r.Dialog, kIdInputHigh, slot.InputHigh);
      break;
    case Marker::InputLow:
      slot.InputLow = static_cast<SHORT>(Clamp(Clamp(MapLinear(p.x, 0, box.cx, 0, 255), 0, 255), 0, slot.InputHigh - 1));
      ShowLevelValue(r.Dialog, kIdInputLow, slot.InputLow);
      break;
    case Marker::Gamma: {
      const LONG low = InputX(slot.InputLow, box.cx), high = InputX(slot.InputHigh, box.cx);
      slot.Gamma = GammaFromMarker(static_cast<int>(Clamp(MapLinear(p.x, low, high - low, 0, 255), 0, 255)));
      ShowLevelValue(r.Dialog, kIdGamma, slot.Gamma);
      break;
    }
    case Marker::OutputLow:
      slot.OutputLow = static_cast<SHORT>(Clamp(Clamp(MapLinear(p.y, box.cy, -box.cy, 0, 255), 0, 255), 0, slot.OutputHigh - 1));
      ShowLevelValue(r.Dialog, kIdOutputLow, slot.OutputLow);
      break;
    case Marker::OutputHigh:
      slot.OutputHigh = static_cast<SHORT>(Clamp(Clamp(MapLinear(p.y, box.cy, -box.cy, 0, 255), 0, 255), slot.OutputLow + 1, 255));
      ShowLevelValue(r.Dialog, kIdOutputHigh, slot.OutputHigh);
      break;
    default: return;
  }
  InvalidateRect(bar, nullptr, TRUE);
}

void DrawInputMarker(HDC dc, LONG x, COLORREF fill) {
  const POINT t[3] = {{x, 0}, {x - kTriangleHalf, kInputTriangleHeight}, {x + kTriangleHalf, kInputTriangleHeight}};
  DrawMarkerTriangle(dc, t, fill);
}

void DrawOutputMarker(HDC dc, LONG y, COLORREF fill) {
  const POINT t[3] = {{0, y}, {kOutputTriangleDepth, y - kTriangleHalf}, {kOutputTriangleDepth, y + kTriangleHalf}};
  DrawMarkerTriangle(dc, t, fill);
}

}  // namespace

BOOL InstallLevelBar(HWND dialog, HWND bar, ScanSettings* settings) {
  return InstallSubclass(bar, new LevelBar{dialog, settings, Marker::None, nullptr}, LevelBarProc);
}

void RemoveLevelBar(HWND bar) { RemoveSubclass<LevelBar>(bar); }

LRESULT LevelBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
  LevelBar* r = BarRecord(bar);
  if (r == nullptr) return DefWindowProcW(bar, msg, wParam, lParam);
  if (r->Settings != nullptr) {
    const BOOL input = GetDlgCtrlID(bar) == kIdInputBar;
    const SIZE box = CurveBoxSize(r->Dialog);
    const POINT offset = BoxOffset(r->Dialog, bar);
    // The pointer in curve-box coordinates.
    const POINT p{GET_X_LPARAM(lParam) - offset.x, GET_Y_LPARAM(lParam) - offset.y};
    const LevelSlot& slot = r->Settings->LevelSlots[0];
    switch (msg) {
      case WM_LBUTTONDOWN:
        SetBarCursor(slot, input, p, box);
        r->Held = PickMarker(slot, input, p, box);
        SetCapture(bar);
        break;
      case WM_MOUSEMOVE:
        if (r->Held == Marker::None || (wParam & MK_LBUTTON) == 0)
          SetBarCursor(slot, input, p, box);
        else
          DragMarker(bar, *r, p, box);
        break;
      case WM_LBUTTONUP:
        r->Held = Marker::None;
        ReleaseCapture();
        if (r->Settings->PreviewWindow != nullptr) {
          SendMessageW(r->Settings->PreviewWindow, PVM_RERENDER, 0, 0);
          InvalidateRect(r->Settings->PreviewWindow, nullptr, FALSE);
        }
        InvalidateRect(GetDlgItem(r->Dialog, kIdCurveBox), nullptr, TRUE);
        break;
      case WM_KILLFOCUS:
        r->Held = Marker::None;
        break;
    }
  }
  return CallWindowProcW(r->Previous, bar, msg, wParam, lParam);
}

BOOL DrawLevelItem(HWND dialog, const ScanSettings& s, const DRAWITEMSTRUCT& item) {
  const int id = static_cast<int>(item.CtlID);
  if (id != kIdCurveBox && id != kIdInputBar && id != kIdOutputBar) return FALSE;
  HDC dc = item.hDC;
  FillWithSysColor(dc, item.rcItem, COLOR_BTNFACE);
  const SIZE box = CurveBoxSize(dialog);
  const LevelSlot& slot = s.LevelSlots[0];
  if (id == kIdCurveBox) {
    if (s.CurveBoxFlag != 0 || s.ScanTypeCode == kScanTypeNoCurve) return TRUE;
    BYTE curve[256];
    ToneCurveFromLevels(curve, slot.Gamma, slot.InputLow, slot.InputHigh, slot.OutputLow, slot.OutputHigh);
    POINT points[256];
    for (int i = 0; i < 256; ++i) points[i] = POINT{InputX(i, box.cx), OutputY(curve[i], box.cy)};
    HPEN pen = CreatePen(PS_SOLID, 1, kBlack);
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, points, 256);
    SelectObject(dc, old);
    DeleteObject(pen);
    return TRUE;
  }
  const POINT offset = BoxOffset(dialog, GetDlgItem(dialog, id));
  if (id == kIdInputBar) {
    DrawInputMarker(dc, InputX(slot.InputHigh, box.cx) + offset.x, kWhite);
    DrawInputMarker(dc, InputX(slot.InputLow, box.cx) + offset.x, kBlack);
    DrawInputMarker(dc, GammaX(slot, box.cx) + offset.x, GetSysColor(COLOR_BTNFACE));
  } else {
    DrawOutputMarker(dc, OutputY(slot.OutputHigh, box.cy) + offset.y, kWhite);
    DrawOutputMarker(dc, OutputY(slot.OutputLow, box.cy) + offset.y, kBlack);
  }
  return TRUE;
}
