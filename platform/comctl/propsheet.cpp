// Property sheets (see propsheet.h). The sheet is a dialog built from a template made here: a
// tab control over the pages' room and the OK, Cancel, Apply and Help buttons. Pages are made
// when first shown, as child dialogs over the tab control's display area; the sheet keeps its
// own copy of each page's structure, which is what WM_INITDIALOG hands the page.
#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/comctl_sim.h"
#include "platform/comctl/propsheet.h"
#include "platform/comctl/tabctrl.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/resource.h"
#include "platform/user/dialog_internal.h"
#include "platform/user/modal.h"
#include "platform/user/user_sim.h"

BOOL ComctlClickTab(HWND hwnd, int index);

struct PageRecord {
  std::vector<BYTE> bytes;  // the page's structure as given (dwSize bytes), at least sizeof long
  PROPSHEETPAGEW* Page() { return reinterpret_cast<PROPSHEETPAGEW*>(bytes.data()); }
};

namespace {

// The room around the tab control and the buttons' size, in dialog units.
constexpr SHORT kMargin = 7;
constexpr SHORT kButtonWidth = 50;
constexpr SHORT kButtonHeight = 14;
constexpr SHORT kButtonGap = 4;
constexpr SHORT kTabRowUnits = 14;  // the row of tabs with the frame, in dialog units

struct SheetPage {
  HPROPSHEETPAGE record = nullptr;
  HWND hwnd = nullptr;
  bool changed = false;
  std::u16string title;
};

struct Sheet {
  HWND frame = nullptr;
  HWND tab = nullptr;
  DWORD flags = 0;
  std::vector<SheetPage> pages;
  int current = -1;
  bool applied = false;
  bool ended = false;
  INT_PTR result = 0;
  INT_PTR restart = 0;  // ID_PSRESTARTWINDOWS or ID_PSREBOOTSYSTEM when a page asked
};

struct Registry {
  std::recursive_mutex lock;
  std::set<HPROPSHEETPAGE> records;
  std::map<HWND, std::shared_ptr<Sheet>> sheets;
};

Registry& R() {
  static auto* r = new Registry;
  return *r;
}

const bool registeredReset = (SimAddResetHook([] {
                                Registry& r = R();
                                std::lock_guard<std::recursive_mutex> guard(r.lock);
                                for (HPROPSHEETPAGE p : r.records) delete p;
                                r.records.clear();
                                r.sheets.clear();
                              }),
                              true);

std::shared_ptr<Sheet> Find(HWND frame) {
  Registry& r = R();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  auto it = r.sheets.find(frame);
  return it == r.sheets.end() ? nullptr : it->second;
}

}  // namespace

bool ComctlPageIsLive(HPROPSHEETPAGE page) {
  Registry& r = R();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  return page != nullptr && r.records.count(page) != 0;
}

namespace {

// A text or a string of the module.
std::u16string TextOrString(HINSTANCE instance, LPCWSTR text) {
  if (text == nullptr) return u"";
  if (!IS_INTRESOURCE(text)) return text;
  WCHAR buffer[256];
  int n = LoadStringW(instance, UINT(reinterpret_cast<ULONG_PTR>(text)), buffer, 256);
  return std::u16string(buffer, size_t(std::max(n, 0)));
}

LRESULT Notify(Sheet& s, HWND page, UINT code, LPARAM lParam) {
  if (page == nullptr) return 0;
  PSHNOTIFY n{};
  n.hdr.hwndFrom = s.frame;
  n.hdr.idFrom = 0;
  n.hdr.code = code;
  n.lParam = lParam;
  return SendMessageW(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&n));
}

HWND CurrentPage(const Sheet& s) { return s.current >= 0 ? s.pages[size_t(s.current)].hwnd : nullptr; }

// The pages' template, made a child control of the sheet.
bool PageTemplate(PROPSHEETPAGEW* psp, DialogTemplate& t) {
  if (psp->dwFlags & PSP_DLGINDIRECT) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return false;
  }
  if (!UserLoadDialogTemplate(psp->hInstance, psp->pszTemplate, t)) return false;
  t.style = (t.style & ~DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_VISIBLE)) |
            WS_CHILD | DS_CONTROL;
  t.exStyle |= WS_EX_CONTROLPARENT;
  t.x = t.y = 0;
  return true;
}

// The tab control's display area in the sheet's client coordinates.
RECT DisplayArea(const Sheet& s) {
  RECT r;
  GetClientRect(s.tab, &r);
  SendMessageW(s.tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(s.tab, s.frame, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Makes a page's dialog (the page's callback may refuse it).
bool CreatePage(Sheet& s, SheetPage& p) {
  PROPSHEETPAGEW* psp = p.record->Page();
  if ((psp->dwFlags & PSP_USECALLBACK) && psp->pfnCallback && psp->pfnCallback(nullptr, PSPCB_CREATE, psp) == 0) return false;
  DialogTemplate t;
  if (!PageTemplate(psp, t)) return false;
  p.hwnd = UserCreateDialogFrom(t, UserDialogSource(psp->hInstance, psp->pszTemplate), psp->hInstance, s.frame,
                                psp->pfnDlgProc, reinterpret_cast<LPARAM>(psp), false);
  if (p.hwnd == nullptr) return false;
  RECT area = DisplayArea(s);
  SetWindowPos(p.hwnd, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, 0);
  return true;
}

// Shows a page: made when first needed, asked (PSN_SETACTIVE, -1 refuses), shown and painted.
bool Activate(Sheet& s, int index) {
  if (index < 0 || index >= int(s.pages.size())) return false;
  SheetPage& p = s.pages[size_t(index)];
  if (p.hwnd == nullptr && !CreatePage(s, p)) return false;
  if (Notify(s, p.hwnd, PSN_SETACTIVE, 0) == -1) return false;
  HWND old = CurrentPage(s);
  s.current = index;
  SendMessageW(s.tab, TCM_SETCURSEL, WPARAM(index), 0);
  ShowWindow(p.hwnd, SW_SHOW);
  if (old != nullptr && old != p.hwnd) ShowWindow(old, SW_HIDE);
  if (HWND help = GetDlgItem(s.frame, IDHELP))
    EnableWindow(help, (p.record->Page()->dwFlags & PSP_HASHELP) ? TRUE : FALSE);
  SimPaint(p.hwnd);  // shown once, as a screen would show it
  return true;
}

// The current page agrees to be left (PSN_KILLACTIVE answers 0).
bool LeaveCurrent(Sheet& s) { return Notify(s, CurrentPage(s), PSN_KILLACTIVE, 0) == 0; }

// Moves to a page as a person's choice does: the current page is asked to let go first.
bool Select(Sheet& s, int index) {
  if (index == s.current) return true;
  if (!LeaveCurrent(s)) return false;
  return Activate(s, index);
}

void End(Sheet& s, INT_PTR result) {
  s.ended = true;
  s.result = s.restart ? s.restart : result;
  ShowWindow(s.frame, SW_HIDE);
}

void SetApplyEnabled(Sheet& s) {
  bool any = std::any_of(s.pages.begin(), s.pages.end(), [](const SheetPage& p) { return p.changed; });
  if (HWND apply = GetDlgItem(s.frame, kSheetApplyId)) EnableWindow(apply, any ? TRUE : FALSE);
}

// PSN_APPLY to every page made so far, in page order; a page that refuses is shown (unless it
// asks to keep the current page) and the apply stops.
bool ApplyAll(Sheet& s, bool closing) {
  for (int i = 0; i < int(s.pages.size()); ++i) {
    HWND page = s.pages[size_t(i)].hwnd;
    if (page == nullptr) continue;
    LRESULT r = Notify(s, page, PSN_APPLY, closing ? TRUE : FALSE);
    if (r == PSNRET_INVALID) {
      if (i != s.current) Activate(s, i);
      return false;
    }
    if (r == PSNRET_INVALID_NOCHANGEPAGE) return false;
  }
  for (SheetPage& p : s.pages) p.changed = false;
  s.applied = true;
  SetApplyEnabled(s);
  return true;
}

void PressOk(Sheet& s) {
  if (LeaveCurrent(s) && ApplyAll(s, true)) End(s, 1);
}

// The Apply button (and PSM_APPLY): as OK without closing; the page that stays current then
// hears PSN_SETACTIVE again, as after any activation, so a new cycle of changes begins.
bool PressApply(Sheet& s) {
  if (!LeaveCurrent(s) || !ApplyAll(s, false)) return false;
  Notify(s, CurrentPage(s), PSN_SETACTIVE, 0);
  return true;
}

void PressCancel(Sheet& s) {
  if (Notify(s, CurrentPage(s), PSN_QUERYCANCEL, 0) != 0) return;
  for (SheetPage& p : s.pages)
    if (p.hwnd != nullptr) Notify(s, p.hwnd, PSN_RESET, FALSE);
  End(s, s.applied ? 1 : 0);
}

int IndexOfWindow(const Sheet& s, HWND page) {
  for (size_t i = 0; i < s.pages.size(); ++i)
    if (s.pages[i].hwnd == page && page != nullptr) return int(i);
  return -1;
}

int IndexOfRecord(const Sheet& s, HPROPSHEETPAGE record) {
  for (size_t i = 0; i < s.pages.size(); ++i)
    if (s.pages[i].record == record) return int(i);
  return -1;
}

void ReleaseRecord(HPROPSHEETPAGE record) { DestroyPropertySheetPage(record); }

INT_PTR Answer(HWND frame, LRESULT value) {
  SetWindowLongPtrW(frame, DWLP_MSGRESULT, value);
  return TRUE;
}

void AddTab(Sheet& s, int at, const std::u16string& title) {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<LPWSTR>(title.c_str());
  SendMessageW(s.tab, TCM_INSERTITEMW, WPARAM(at), reinterpret_cast<LPARAM>(&item));
}

// The tab's title: the page's own (PSP_USETITLE), else its template's caption.
std::u16string TitleOf(PROPSHEETPAGEW* psp) {
  if (psp->dwFlags & PSP_USETITLE) return TextOrString(psp->hInstance, psp->pszTitle);
  DialogTemplate t;
  if (!(psp->dwFlags & PSP_DLGINDIRECT) && UserLoadDialogTemplate(psp->hInstance, psp->pszTemplate, t)) return t.caption;
  return u"";
}

INT_PTR SheetProc(HWND frame, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<Sheet> sp = Find(frame);
  if (!sp) return FALSE;
  Sheet& s = *sp;
  switch (msg) {
    case WM_INITDIALOG: return FALSE;
    case WM_NOTIFY: {
      auto* h = reinterpret_cast<NMHDR*>(lParam);
      if (h->hwndFrom != s.tab) return FALSE;
      if (h->code == TCN_SELCHANGING) return Answer(frame, LeaveCurrent(s) ? FALSE : TRUE);
      if (h->code == TCN_SELCHANGE) {
        int wanted = int(SendMessageW(s.tab, TCM_GETCURSEL, 0, 0));
        if (!Activate(s, wanted)) SendMessageW(s.tab, TCM_SETCURSEL, WPARAM(s.current), 0);
      }
      return Answer(frame, 0);
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: PressOk(s); return TRUE;
        case IDCANCEL: PressCancel(s); return TRUE;
        case kSheetApplyId: PressApply(s); return TRUE;
        case IDHELP: Notify(s, CurrentPage(s), PSN_HELP, 0); return TRUE;
        default: return FALSE;
      }
    case PSM_CHANGED:
    case PSM_UNCHANGED: {
      int i = IndexOfWindow(s, reinterpret_cast<HWND>(wParam));
      if (i >= 0) s.pages[size_t(i)].changed = msg == PSM_CHANGED;
      SetApplyEnabled(s);
      return Answer(frame, 0);
    }
    case PSM_SETCURSEL: {
      int i = lParam ? IndexOfRecord(s, reinterpret_cast<HPROPSHEETPAGE>(lParam)) : int(wParam);
      return Answer(frame, Select(s, i) ? TRUE : FALSE);
    }
    case PSM_PRESSBUTTON: {
      // Posted, as the platform does: the page that asks is still inside its own message.
      int id = wParam == PSBTN_OK ? IDOK : wParam == PSBTN_CANCEL ? IDCANCEL : wParam == PSBTN_APPLYNOW ? kSheetApplyId
                                                                      : wParam == PSBTN_HELP ? IDHELP : 0;
      if (id != 0) PostMessageW(frame, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(frame, id)));
      return Answer(frame, 0);
    }
    case PSM_APPLY: return Answer(frame, PressApply(s) ? TRUE : FALSE);
    case PSM_QUERYSIBLINGS:
      for (SheetPage& p : s.pages)
        if (p.hwnd != nullptr)
          if (LRESULT r = SendMessageW(p.hwnd, PSM_QUERYSIBLINGS, wParam, lParam)) return Answer(frame, r);
      return Answer(frame, 0);
    case PSM_CANCELTOCLOSE:
      if (HWND cancel = GetDlgItem(frame, IDCANCEL)) EnableWindow(cancel, FALSE);
      SetDlgItemTextW(frame, IDOK, u"Close");
      return Answer(frame, 0);
    case PSM_RESTARTWINDOWS: s.restart = ID_PSRESTARTWINDOWS; return Answer(frame, 0);
    case PSM_REBOOTSYSTEM: s.restart = ID_PSREBOOTSYSTEM; return Answer(frame, 0);
    case PSM_SETTITLEW: {
      std::u16string title = TextOrString(nullptr, reinterpret_cast<LPCWSTR>(lParam));
      if (wParam & PSH_PROPTITLE) title += u" Properties";
      SetWindowTextW(frame, title.c_str());
      return Answer(frame, 0);
    }
    case PSM_GETTABCONTROL: return Answer(frame, reinterpret_cast<LRESULT>(s.tab));
    case PSM_GETCURRENTPAGEHWND: return Answer(frame, reinterpret_cast<LRESULT>(s.ended ? nullptr : CurrentPage(s)));
    case PSM_HWNDTOINDEX: return Answer(frame, IndexOfWindow(s, reinterpret_cast<HWND>(wParam)));
    case PSM_INDEXTOHWND:
      return Answer(frame, wParam < s.pages.size() ? reinterpret_cast<LRESULT>(s.pages[wParam].hwnd) : 0);
    case PSM_PAGETOINDEX: return Answer(frame, IndexOfRecord(s, reinterpret_cast<HPROPSHEETPAGE>(lParam)));
    case PSM_INDEXTOPAGE:
      return Answer(frame, wParam < s.pages.size() ? reinterpret_cast<LRESULT>(s.pages[wParam].record) : 0);
    case PSM_ADDPAGE: {
      auto record = reinterpret_cast<HPROPSHEETPAGE>(lParam);
      if (!ComctlPageIsLive(record)) return Answer(frame, FALSE);
      SheetPage p;
      p.record = record;
      p.title = TitleOf(record->Page());
      s.pages.push_back(p);
      AddTab(s, int(s.pages.size()) - 1, p.title);
      return Answer(frame, TRUE);
    }
    case PSM_REMOVEPAGE: {
      int i = lParam ? IndexOfRecord(s, reinterpret_cast<HPROPSHEETPAGE>(lParam)) : int(wParam);
      if (i < 0 || i >= int(s.pages.size())) return Answer(frame, 0);
      SheetPage gone = s.pages[size_t(i)];
      if (i == s.current) {
        s.current = -1;
        if (s.pages.size() > 1) Activate(s, i == 0 ? 1 : i - 1);
      }
      s.pages.erase(s.pages.begin() + i);
      if (s.current > i) --s.current;
      SendMessageW(s.tab, TCM_DELETEITEM, WPARAM(i), 0);
      SendMessageW(s.tab, TCM_SETCURSEL, WPARAM(s.current), 0);
      if (gone.hwnd) DestroyWindow(gone.hwnd);
      ReleaseRecord(gone.record);
      return Answer(frame, 0);
    }
    case WM_NCDESTROY: {
      // The pages' dialogs are gone by now; the pages themselves go with the sheet.
      for (SheetPage& p : s.pages) ReleaseRecord(p.record);
      s.pages.clear();
      Registry& r = R();
      std::lock_guard<std::recursive_mutex> guard(r.lock);
      r.sheets.erase(frame);
      return FALSE;
    }
    default: return FALSE;
  }
}

DialogControlTemplate Control(int id, LPCWSTR cls, LPCWSTR text, DWORD style, SHORT x, SHORT y, SHORT cx, SHORT cy) {
  DialogControlTemplate c;
  c.id = DWORD(id);
  c.windowClass.text = cls;
  c.text.text = text;
  c.style = WS_CHILD | WS_VISIBLE | style;
  c.x = x, c.y = y, c.cx = cx, c.cy = cy;
  return c;
}

// The sheet's frame: as large as the largest page plus the tabs, the buttons below.
HWND CreateFrame(std::shared_ptr<Sheet> sp, const PROPSHEETHEADERW& h, bool hasHelp) {
  SHORT width = 0, height = 0;
  for (SheetPage& p : sp->pages) {
    DialogTemplate t;
    if (PageTemplate(p.record->Page(), t)) width = std::max(width, t.cx), height = std::max(height, t.cy);
  }
  DialogTemplate f;
  f.style = DS_MODALFRAME | DS_3DLOOK | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  f.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  if (h.dwFlags & PSH_RTLREADING) f.exStyle |= WS_EX_RTLREADING;
  f.pointSize = 8;
  f.weight = 400;
  f.charset = 1;
  f.face = u"MS Shell Dlg";
  std::u16string caption = TextOrString(h.hInstance, h.pszCaption);
  f.caption = (h.dwFlags & PSH_PROPTITLE) ? caption + u" Properties" : caption;
  SHORT tabWidth = SHORT(width + 8), tabHeight = SHORT(height + kTabRowUnits + 6);
  f.cx = SHORT(tabWidth + 2 * kMargin);
  SHORT buttonsY = SHORT(kMargin + tabHeight + kMargin);
  f.cy = SHORT(buttonsY + kButtonHeight + kMargin);
  f.controls.push_back(Control(kSheetTabId, WC_TABCONTROLW, u"", WS_TABSTOP | WS_CLIPSIBLINGS, kMargin, kMargin, tabWidth, tabHeight));
  std::vector<DialogControlTemplate> buttons = {
      Control(IDOK, WC_BUTTONW, u"OK", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, buttonsY, kButtonWidth, kButtonHeight),
      Control(IDCANCEL, WC_BUTTONW, u"Cancel", WS_TABSTOP, 0, buttonsY, kButtonWidth, kButtonHeight)};
  if (!(h.dwFlags & PSH_NOAPPLYNOW))
    buttons.push_back(Control(kSheetApplyId, WC_BUTTONW, u"&Apply", WS_TABSTOP | WS_DISABLED, 0, buttonsY, kButtonWidth, kButtonHeight));
  if (hasHelp) buttons.push_back(Control(IDHELP, WC_BUTTONW, u"Help", WS_TABSTOP, 0, buttonsY, kButtonWidth, kButtonHeight));
  SHORT x = SHORT(f.cx - kMargin - int(buttons.size()) * (kButtonWidth + kButtonGap) + kButtonGap);
  for (DialogControlTemplate& b : buttons) {
    b.x = x;
    x = SHORT(x + kButtonWidth + kButtonGap);
    f.controls.push_back(b);
  }
  HWND frame = UserCreateDialogFrom(f, DialogSource{}, h.hInstance, h.hwndParent, SheetProc, 0, false);
  return frame;
}

// Takes the header's pages: made from the structures (PSH_PROPSHEETPAGE) or the handles given.
bool TakePages(Sheet& s, const PROPSHEETHEADERW& h) {
  const BYTE* at = reinterpret_cast<const BYTE*>(h.ppsp);
  bool ok = true;
  for (UINT i = 0; i < h.nPages; ++i) {
    HPROPSHEETPAGE record = nullptr;
    if (h.dwFlags & PSH_PROPSHEETPAGE) {
      auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(at);
      record = CreatePropertySheetPageW(psp);
      if (record == nullptr) return false;  // no size to step over a bad structure by
      at += psp->dwSize;
    } else {
      record = h.phpage[i];
      if (!ComctlPageIsLive(record)) {
        ok = false;
        continue;
      }
    }
    SheetPage p;
    p.record = record;
    s.pages.push_back(p);
  }
  return ok;
}

}  // namespace

HPROPSHEETPAGE CreatePropertySheetPageW(LPCPROPSHEETPAGEW page) {
  if (page == nullptr || page->dwSize < kPropSheetPageSizeV1 || page->dwSize > kPropSheetPageMaxSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* record = new PageRecord;
  record->bytes.assign(std::max<size_t>(page->dwSize, sizeof(PROPSHEETPAGEW)), 0);
  std::copy_n(reinterpret_cast<const BYTE*>(page), page->dwSize, record->bytes.begin());
  {
    Registry& r = R();
    std::lock_guard<std::recursive_mutex> guard(r.lock);
    r.records.insert(record);
  }
  PROPSHEETPAGEW* psp = record->Page();
  if ((psp->dwFlags & PSP_USECALLBACK) && psp->pfnCallback) psp->pfnCallback(nullptr, PSPCB_ADDREF, psp);
  return record;
}

BOOL DestroyPropertySheetPage(HPROPSHEETPAGE page) {
  {
    Registry& r = R();
    std::lock_guard<std::recursive_mutex> guard(r.lock);
    if (r.records.erase(page) == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
  }
  PROPSHEETPAGEW* psp = page->Page();
  if ((psp->dwFlags & PSP_USECALLBACK) && psp->pfnCallback) psp->pfnCallback(nullptr, PSPCB_RELEASE, psp);
  delete page;
  return TRUE;
}

INT_PTR PropertySheetW(LPCPROPSHEETHEADERW header) {
  if (header == nullptr || (header->dwSize != kPropSheetHeaderSizeV1 && header->dwSize != sizeof(PROPSHEETHEADERW))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  const PROPSHEETHEADERW& h = *header;
  bool modeless = (h.dwFlags & PSH_MODELESS) != 0;
  auto sp = std::make_shared<Sheet>();
  Sheet& s = *sp;
  s.flags = h.dwFlags;
  bool taken = h.nPages > 0 && h.ppsp != nullptr && TakePages(s, h);
  bool hasHelp = (h.dwFlags & PSH_HASHELP) != 0;
  for (SheetPage& p : s.pages) {
    p.title = TitleOf(p.record->Page());
    hasHelp = hasHelp || (p.record->Page()->dwFlags & PSP_HASHELP);
  }
  std::u16string caption = TextOrString(h.hInstance, h.pszCaption);
  size_t entry = modeless ? 0 : UserBeginModal(SimModal::Dialog, h.hwndParent, 0, caption);
  auto fail = [&]() -> INT_PTR {
    for (SheetPage& p : s.pages) ReleaseRecord(p.record);
    if (!modeless) UserEndModal(entry, -1, false, false, false);
    return -1;
  };
  if (!taken || s.pages.empty()) return fail();
  // Until the frame is registered its procedure finds no sheet and leaves every message to
  // the dialog's defaults (nothing of the sheet happens before it is registered).
  HWND frame = CreateFrame(sp, h, hasHelp);
  if (frame != nullptr) {
    Registry& r = R();
    std::lock_guard<std::recursive_mutex> guard(r.lock);
    r.sheets[frame] = sp;
  }
  if (frame == nullptr) return fail();
  s.frame = frame;
  s.tab = GetDlgItem(frame, kSheetTabId);
  for (size_t i = 0; i < s.pages.size(); ++i) AddTab(s, int(i), s.pages[i].title);
  if ((h.dwFlags & PSH_USECALLBACK) && h.pfnCallback) h.pfnCallback(frame, PSCB_INITIALIZED, 0);
  int start = 0;
  if (h.dwFlags & PSH_USEPSTARTPAGE) {
    std::u16string wanted = TextOrString(h.hInstance, h.pStartPage);
    for (size_t i = 0; i < s.pages.size(); ++i)
      if (lstrcmpiW(s.pages[i].title.c_str(), wanted.c_str()) == 0) start = int(i);
  } else if (h.nStartPage < s.pages.size()) {
    start = int(h.nStartPage);
  }
  // A start page that refuses gives way to the next one that accepts.
  bool shown = false;
  for (size_t k = 0; k < s.pages.size() && !shown; ++k) shown = Activate(s, int((size_t(start) + k) % s.pages.size()));
  if (!shown) {
    DestroyWindow(frame);
    if (!modeless) UserEndModal(entry, -1, false, false, false);
    return -1;
  }
  ShowWindow(frame, SW_SHOWNORMAL);
  if (modeless) return reinterpret_cast<INT_PTR>(frame);

  HWND previousActive = GetActiveWindow();
  SetActiveWindow(frame);
  SimPaint(frame);
  SimPumpMessages();
  bool scripted = false, forced = false;
  if (!s.ended) {
    if (SimDialogDriver driver = UserTakeDialogDriver(0)) {
      scripted = true;
      driver(frame);
      SimPumpMessages();
    }
  }
  if (!s.ended) {
    scripted = false;
    if (IsWindow(frame)) {
      SendMessageW(frame, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(frame, IDCANCEL)));
      SimPumpMessages();
    }
    if (!s.ended) {
      forced = true;
      End(s, s.applied ? 1 : 0);
    }
  }
  INT_PTR result = s.result;
  if (IsWindow(frame)) DestroyWindow(frame);
  UserEndModal(entry, result, scripted, forced, false);
  if (previousActive != nullptr && IsWindow(previousActive)) SetActiveWindow(previousActive);
  return result;
}

std::vector<SimSheetPage> SimSheetPages(HWND sheet) {
  std::vector<SimSheetPage> out;
  if (std::shared_ptr<Sheet> s = Find(sheet))
    for (const SheetPage& p : s->pages) out.push_back(SimSheetPage{p.hwnd, p.title, p.changed});
  return out;
}

int SimSheetCurrent(HWND sheet) {
  std::shared_ptr<Sheet> s = Find(sheet);
  return s ? s->current : -1;
}

BOOL SimSheetSelect(HWND sheet, int index) {
  std::shared_ptr<Sheet> s = Find(sheet);
  if (!s || !UserDriverMayUse(s->tab, "select tab")) return FALSE;
  return ComctlClickTab(s->tab, index);
}

BOOL SimSheetPress(HWND sheet, int button) {
  int id = button == PSBTN_OK ? IDOK : button == PSBTN_CANCEL ? IDCANCEL : button == PSBTN_APPLYNOW ? kSheetApplyId
                                     : button == PSBTN_HELP ? IDHELP : 0;
  HWND control = id ? GetDlgItem(sheet, id) : nullptr;
  if (control == nullptr || !Find(sheet)) return FALSE;
  return SimClick(control);
}

int SimLivePropertySheetPages() {
  Registry& r = R();
  std::lock_guard<std::recursive_mutex> guard(r.lock);
  return int(r.records.size());
}
