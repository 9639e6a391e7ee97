// The driver calls of the common controls (see comctl_sim.h).
#include "platform/base/text.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/comctl_sim.h"
#include "platform/comctl/progress.h"
#include "platform/comctl/tabctrl.h"
#include "platform/comctl/trackbar.h"
#include "platform/comctl/treeview.h"
#include "platform/comctl/tooltip.h"
#include "platform/comctl/updown.h"

BOOL ComctlTrack(HWND hwnd, int code, int pos);
BOOL ComctlClickTab(HWND hwnd, int index);
BOOL ComctlClickTreeItem(HWND hwnd, HTREEITEM item, bool twice);

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

std::vector<SimWindowToolTip> SimWindowToolTips(HWND window) {
  auto within = [&](HWND h) { return h != nullptr && (h == window || IsChild(window, h)); };
  std::vector<SimWindowToolTip> found;
  for (HWND h : UserAllWindows()) {
    WCHAR cls[32];
    if (GetClassNameW(h, cls, 32) == 0 || lstrcmpiW(cls, TOOLTIPS_CLASSW) != 0) continue;
    SimWindowToolTip tip{h, GetWindow(h, GW_OWNER), SimToolTipTools(h)};
    bool serves = tip.owner == window;
    for (const SimTool& t : tip.tools)
      serves = serves || within(t.hwnd) || ((t.flags & TTF_IDISHWND) && within(reinterpret_cast<HWND>(t.id)));
    if (serves) found.push_back(std::move(tip));
  }
  return found;
}

SimTool SimToolTipCurrent(HWND tooltip) {
  WCHAR kept[80];
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.lpszText = kept;
  if (!SendMessageW(tooltip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&ti))) return SimTool{};
  return Read(tooltip, ti);
}

BOOL SimPickTab(HWND tab, int index) {
  if (!UserDriverMayUse(tab, "pick tab")) return FALSE;
  return ComctlClickTab(tab, index);
}

BOOL SimTreeClick(HWND tree, HTREEITEM item) {
  if (!UserDriverMayUse(tree, "click tree item")) return FALSE;
  return ComctlClickTreeItem(tree, item, false);
}

BOOL SimTreeDoubleClick(HWND tree, HTREEITEM item) {
  if (!UserDriverMayUse(tree, "double-click tree item")) return FALSE;
  return ComctlClickTreeItem(tree, item, true);
}

std::vector<SimTreeItem> SimTreeItems(HWND tree) {
  std::vector<SimTreeItem> out;
  // Depth first: the child, else the next sibling, else the next sibling of the nearest parent.
  auto next = [&](HTREEITEM h, UINT code) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(h)));
  };
  int depth = 0;
  for (HTREEITEM h = next(nullptr, TVGN_ROOT); h != nullptr;) {
    WCHAR text[260] = {};
    TVITEMW v{};
    v.mask = TVIF_TEXT | TVIF_STATE;
    v.hItem = h;
    v.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
    v.pszText = text;
    v.cchTextMax = 260;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&v));
    out.push_back(SimTreeItem{h, text, depth, (v.state & TVIS_EXPANDED) != 0, (v.state & TVIS_SELECTED) != 0});
    if (HTREEITEM child = next(h, TVGN_CHILD)) {
      h = child;
      ++depth;
      continue;
    }
    while (h != nullptr && next(h, TVGN_NEXT) == nullptr) {
      h = next(h, TVGN_PARENT);
      --depth;
    }
    if (h != nullptr) h = next(h, TVGN_NEXT);
  }
  return out;
}

namespace {

bool IsClass(const std::u16string& cls, LPCWSTR name) { return lstrcmpiW(cls.c_str(), name) == 0; }

// The range of a control that has one (scroll bars, up-downs, track bars, progress bars).
void ReadRange(HWND control, const std::u16string& cls, SimControl& c) {
  if (IsClass(cls, WC_SCROLLBARW)) {
    SendMessageW(control, SBM_GETRANGE, reinterpret_cast<WPARAM>(&c.low), reinterpret_cast<LPARAM>(&c.high));
  } else if (IsClass(cls, UPDOWN_CLASSW)) {
    SendMessageW(control, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&c.low), reinterpret_cast<LPARAM>(&c.high));
  } else if (IsClass(cls, TRACKBAR_CLASSW)) {
    c.low = int(SendMessageW(control, TBM_GETRANGEMIN, 0, 0));
    c.high = int(SendMessageW(control, TBM_GETRANGEMAX, 0, 0));
  } else if (IsClass(cls, PROGRESS_CLASSW)) {
    c.low = int(SendMessageW(control, PBM_GETRANGE, TRUE, 0));
    c.high = int(SendMessageW(control, PBM_GETRANGE, FALSE, 0));
  }
}

// The message that reads (get) or sets (set) a class's value.
struct ValueMessages {
  LPCWSTR cls;
  UINT get, set;
};
const ValueMessages kValueMessages[] = {
    {WC_BUTTONW, BM_GETCHECK, BM_SETCHECK},        {WC_LISTBOXW, LB_GETCURSEL, LB_SETCURSEL},
    {WC_COMBOBOXW, CB_GETCURSEL, CB_SETCURSEL},    {WC_SCROLLBARW, SBM_GETPOS, SBM_SETPOS},
    {UPDOWN_CLASSW, UDM_GETPOS32, UDM_SETPOS32},   {TRACKBAR_CLASSW, TBM_GETPOS, TBM_SETPOS},
    {PROGRESS_CLASSW, PBM_GETPOS, PBM_SETPOS},     {WC_TABCONTROLW, TCM_GETCURSEL, TCM_SETCURSEL},
};

std::u16string ClassOf(HWND hwnd) {
  WCHAR cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  return cls;
}

}  // namespace

std::vector<SimControl> SimDialogControls(HWND dialog) {
  std::vector<SimControl> out;
  for (HWND h = GetWindow(dialog, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT)) {
    SimControl c;
    c.hwnd = h;
    c.id = GetDlgCtrlID(h);
    c.className = ClassOf(h);
    WCHAR text[512] = {};
    GetWindowTextW(h, text, 512);
    c.text = text;
    c.enabled = IsWindowEnabled(h) != 0;
    c.visible = IsWindowVisible(h) != 0;
    for (const ValueMessages& m : kValueMessages)
      if (IsClass(c.className, m.cls)) c.value = SendMessageW(h, m.get, 0, 0);
    ReadRange(h, c.className, c);
    out.push_back(c);
  }
  return out;
}

BOOL SimSetControlValue(HWND control, LRESULT value) {
  std::u16string cls = ClassOf(control);
  for (const ValueMessages& m : kValueMessages) {
    if (!IsClass(cls, m.cls)) continue;
    // Each class takes its value where its own message wants it.
    bool inLParam = m.set == UDM_SETPOS32 || m.set == TBM_SETPOS;
    SendMessageW(control, m.set, inLParam ? TRUE : WPARAM(value), inLParam ? LPARAM(value) : (m.set == SBM_SETPOS ? TRUE : 0));
    return TRUE;
  }
  return FALSE;
}
