// The common controls' classes, the set-up call, and what the controls share (comctl_internal.h).
#include <iterator>

#include "platform/base/errors.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/tooltip.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/control_paint.h"
#include "platform/user/paint.h"
#include "platform/user/sys_colors.h"
#include "platform/user/window_class.h"

namespace {

struct CommonClass {
  LPCWSTR name;
  ATOM atom;
  WNDPROC proc;
  UINT style;
};

// Their atoms lie above any an application's classes reach.
constexpr CommonClass kCommonClasses[] = {
    {UPDOWN_CLASSW, 0xFE00, UpDownProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW},
    {TRACKBAR_CLASSW, 0xFE01, TrackBarProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW},
    {PROGRESS_CLASSW, 0xFE02, ProgressProc, CS_HREDRAW | CS_VREDRAW},
    {TOOLTIPS_CLASSW, 0xFE03, ToolTipProc, CS_DBLCLKS | CS_SAVEBITS},
    {WC_TABCONTROLW, 0xFE04, TabControlProc, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW},
    {WC_TREEVIEWW, 0xFE05, TreeViewProc, CS_DBLCLKS},
};

const bool registeredClasses = [] {
  for (const CommonClass& c : kCommonClasses) UserAddSystemClass(c.name, c.atom, c.proc, 0, c.style, nullptr);
  return true;
}();

}  // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  if (init == nullptr || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

void InitCommonControls() {}

LRESULT ComctlNotify(HWND control, UINT code, NMHDR* header) {
  header->hwndFrom = control;
  header->idFrom = UINT_PTR(GetDlgCtrlID(control));
  header->code = code;
  HWND parent = GetParent(control);
  return parent ? SendMessageW(parent, WM_NOTIFY, WPARAM(header->idFrom), reinterpret_cast<LPARAM>(header)) : 0;
}

LRESULT ComctlNotifyCode(HWND control, UINT code) {
  NMHDR header{};
  return ComctlNotify(control, code, &header);
}

void ComctlPaint(HWND hwnd, const std::function<void(HDC dc, RECT client)>& draw) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc == nullptr) return;
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  RECT client;
  GetClientRect(hwnd, &client);
  HWND parent = GetParent(hwnd);
  auto brush = reinterpret_cast<HBRUSH>(
      parent ? SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)) : 0);
  if (brush == nullptr) brush = reinterpret_cast<HBRUSH>(UserDefaultControlColour(WM_CTLCOLORSTATIC, dc));
  FillRect(dc, &client, brush);
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  draw(dc, client);
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

void ComctlFill(HDC dc, RECT r, int sysColour) { FillRect(dc, &r, GetSysColorBrush(sysColour)); }

void ComctlSunken(HDC dc, RECT r) { UserDrawEdge(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT); }

void ComctlRaised(HDC dc, RECT r) { UserDrawEdge(dc, r, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW); }

void ComctlText(HDC dc, LPCWSTR text, RECT r, UINT format) { DrawTextW(dc, text, -1, &r, format); }
