// The driver calls of the common controls (see comctl_sim.h).
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/comctl_sim.h"
#include "platform/comctl/tooltip.h"
#include "platform/comctl/updown.h"

BOOL ComctlTrack(HWND hwnd, int code, int pos);

namespace {

SimTool Read(HWND tooltip, const TOOLINFOW& ti) {
  SimTool t;
  t.hwnd = ti.hwnd;
  t.id = ti.uId;
  t.flags = ti.uFlags;
  t.rect = ti.rect;
  t.callback = ti.lpszText == LPSTR_TEXTCALLBACKW;
  WCHAR text[kToolTipTextMax + 1] = {};
  TOOLINFOW ask{};
  ask.cbSize = sizeof ask;
  ask.hwnd = ti.hwnd;
  ask.uId = ti.uId;
  ask.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, kToolTipTextMax + 1, reinterpret_cast<LPARAM>(&ask));
  t.text = text;
  return t;
}

}  // namespace

BOOL SimSpin(HWND updown, int direction) {
  if (!UserDriverMayUse(updown, "spin") || direction == 0) return FALSE;
  RECT r;
  GetClientRect(updown, &r);
  bool horizontal = (GetWindowLongW(updown, GWL_STYLE) & UDS_HORZ) != 0;
  int x = horizontal ? (direction > 0 ? r.right * 3 / 4 : r.right / 4) : r.right / 2;
  int y = horizontal ? r.bottom / 2 : (direction > 0 ? r.bottom / 4 : r.bottom * 3 / 4);
  SendMessageW(updown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(updown, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  return TRUE;
}

BOOL SimTrack(HWND trackbar, int code, int pos) {
  if (!UserDriverMayUse(trackbar, "track")) return FALSE;
  return ComctlTrack(trackbar, code, pos);
}

BOOL SimHover(HWND window, POINT point) {
  if (!IsWindow(window)) return FALSE;
  SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
  return TRUE;
}

std::vector<SimTool> SimToolTipTools(HWND tooltip) {
  std::vector<SimTool> tools;
  for (WPARAM i = 0;; ++i) {
    WCHAR kept[80];
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.lpszText = kept;
    if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&ti))) break;
    tools.push_back(Read(tooltip, ti));
  }
  return tools;
}

SimTool SimToolTipCurrent(HWND tooltip) {
  WCHAR kept[80];
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.lpszText = kept;
  if (!SendMessageW(tooltip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&ti))) return SimTool{};
  return Read(tooltip, ti);
}
