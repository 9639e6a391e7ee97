// The common property-sheet component (see compstui.h). Runs nest (a page may open a sheet of
// its own); each run's handles are tokens that name the run and its pages, and every run is
// kept in the log that comctl_sim.h reads.
#include "platform/comctl/compstui.h"

#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/comctl_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"

namespace {

// Run handles are tokens, never pointers: the base, the run's number, its pages after it.
constexpr ULONG_PTR kRunHandleBase = 0x5C000000;
constexpr ULONG_PTR kRunHandleStride = 0x1000;

struct Run {
  size_t log = 0;  // the run's place in the log
  ULONG_PTR handle = 0;
  PFNPROPSHEETUI provider = nullptr;
  PROPSHEETUI_INFO info{};
  std::vector<HPROPSHEETPAGE> pages;
  int startPage = 0;
};

struct Component {
  std::recursive_mutex lock;
  std::vector<Run*> running;  // innermost last
  std::vector<SimCompstuiRun> log;
  std::u16string caption;
  bool refusePages = false;
  bool destroyAfterFailedInit = false;
};

Component& C() {
  static auto* c = new Component;
  return *c;
}

const bool registeredReset = (SimAddResetHook([] {
                                Component& c = C();
                                std::lock_guard<std::recursive_mutex> guard(c.lock);
                                c.log.clear();
                                c.caption.clear();
                                c.refusePages = false;
                                c.destroyAfterFailedInit = false;
                              }),
                              true);

Run* FindRun(HANDLE h) {
  Component& c = C();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  for (Run* r : c.running)
    if (reinterpret_cast<ULONG_PTR>(h) == r->handle) return r;
  return nullptr;
}

SimCompstuiRun& Log(const Run& r) { return C().log[r.log]; }

HANDLE PageHandle(const Run& r, size_t index) { return reinterpret_cast<HANDLE>(r.handle + 1 + index); }

LONG_PTR AddPage(Run& r, HPROPSHEETPAGE page) {
  Component& c = C();
  if (c.refusePages || page == nullptr) {
    Log(r).otherCalls.push_back(CPSFUNC_ADD_HPROPSHEETPAGE);
    return 0;
  }
  r.pages.push_back(page);
  HANDLE h = PageHandle(r, r.pages.size() - 1);
  Log(r).pages.push_back(h);
  return reinterpret_cast<LONG_PTR>(h);
}

LONG_PTR ComPropSheet(HANDLE hComPropSheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
  Run* r = FindRun(hComPropSheet);
  if (r == nullptr) return ERR_CPSUI_GETLASTERROR;
  switch (function) {
    case CPSFUNC_ADD_HPROPSHEETPAGE:
      return AddPage(*r, ComctlPageIsLive(reinterpret_cast<HPROPSHEETPAGE>(lParam1)) ? reinterpret_cast<HPROPSHEETPAGE>(lParam1) : nullptr);
    case CPSFUNC_ADD_PROPSHEETPAGEW: {
      HPROPSHEETPAGE page = CreatePropertySheetPageW(reinterpret_cast<const PROPSHEETPAGEW*>(lParam1));
      LONG_PTR h = AddPage(*r, page);
      if (h == 0 && page != nullptr) DestroyPropertySheetPage(page);
      return h;
    }
    case CPSFUNC_SET_HSTARTPAGE:
      for (size_t i = 0; i < r->pages.size(); ++i)
        if (PageHandle(*r, i) == reinterpret_cast<HANDLE>(lParam1)) r->startPage = int(i);
      return 1;
    case CPSFUNC_GET_PAGECOUNT: return LONG_PTR(r->pages.size());
    case CPSFUNC_SET_RESULT: {
      // The provider hears the result at once, on the caller's thread.
      SETRESULT_INFO set{sizeof(SETRESULT_INFO), 0, reinterpret_cast<HANDLE>(lParam1), LRESULT(lParam2)};
      r->info.Reason = PROPSHEETUI_REASON_SET_RESULT;
      LONG answer = r->provider(&r->info, reinterpret_cast<LPARAM>(&set));
      Log(*r).results.push_back(SimCompstuiResult{set.hSetResult, set.Result, answer, r->info.Result});
      return 1;
    }
    default: Log(*r).otherCalls.push_back(function); return ERR_CPSUI_GETLASTERROR;
  }
}

// Takes the run off the stack of running ones (also on early returns).
struct RunScope {
  Run& run;
  ~RunScope() {
    Component& c = C();
    std::lock_guard<std::recursive_mutex> guard(c.lock);
    std::erase(c.running, &run);
  }
};

}  // namespace

LONG CommonPropertySheetUIW(HWND owner, PFNPROPSHEETUI provider, LPARAM lParam, LPDWORD result) {
  if (result != nullptr) *result = CPSUI_CANCEL;
  if (provider == nullptr) return ERR_CPSUI_INVALID_PARAMETER;
  Component& c = C();
  Run run;
  {
    std::lock_guard<std::recursive_mutex> guard(c.lock);
    run.log = c.log.size();
    run.handle = kRunHandleBase + run.log * kRunHandleStride;
    c.log.push_back(SimCompstuiRun{});
    c.log.back().owner = owner;
    c.running.push_back(&run);
  }
  RunScope scope{run};
  run.provider = provider;
  run.info = PROPSHEETUI_INFO{sizeof(PROPSHEETUI_INFO), PROPSHEETUI_INFO_VERSION, 0, PROPSHEETUI_REASON_INIT,
                              reinterpret_cast<HANDLE>(run.handle), &ComPropSheet, lParam, 0, CPSUI_CANCEL};
  LONG init = provider(&run.info, 0);
  Log(run).initAnswer = init;
  auto finish = [&](LONG sheetResult) {
    run.info.Reason = PROPSHEETUI_REASON_DESTROY;
    LPARAM ok = sheetResult > 0 ? 1 : 0;
    provider(&run.info, ok);
    SimCompstuiRun& entry = Log(run);
    entry.destroyed = true;
    entry.destroyParam = ok;
    entry.userData = run.info.UserData;
    entry.finalResult = run.info.Result;
  };
  if (init <= 0) {
    for (HPROPSHEETPAGE p : run.pages) DestroyPropertySheetPage(p);
    if (c.destroyAfterFailedInit) finish(0);
    return ERR_CPSUI_GETLASTERROR;
  }
  Log(run).userData = run.info.UserData;

  PROPSHEETUI_INFO_HEADER header{};
  header.cbSize = sizeof header;
  header.hWndParent = owner;
  run.info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
  provider(&run.info, reinterpret_cast<LPARAM>(&header));
  SimCompstuiRun& entry = Log(run);
  entry.headerFlags = header.Flags;
  entry.title = header.pTitle ? std::u16string(header.pTitle) : std::u16string();
  entry.instance = header.hInst;
  entry.iconId = header.IconID;

  std::u16string caption = c.caption;
  if (caption.empty()) caption = (header.Flags & PSUIHDRF_PROPTITLE) ? entry.title + u" Properties" : entry.title;
  PROPSHEETHEADERW sheet{};
  sheet.dwSize = sizeof sheet;
  sheet.dwFlags = (header.Flags & PSUIHDRF_NOAPPLYNOW) ? PSH_NOAPPLYNOW : 0;
  sheet.hwndParent = owner;
  sheet.hInstance = header.hInst;
  sheet.pszCaption = caption.c_str();
  std::vector<HPROPSHEETPAGE> pages = std::move(run.pages);
  run.pages.clear();
  sheet.nPages = UINT(pages.size());
  sheet.nStartPage = UINT(run.startPage);
  sheet.phpage = pages.data();
  INT_PTR shown = PropertySheetW(&sheet);  // the sheet takes the pages
  Log(run).sheetResult = shown;
  finish(LONG(shown));
  if (result != nullptr) *result = DWORD(run.info.Result);
  return shown < 0 ? ERR_CPSUI_GETLASTERROR : 1;
}

std::vector<SimCompstuiRun> SimCompstuiLog() {
  Component& c = C();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  return c.log;
}

void SimCompstuiSetCaption(const std::u16string& caption) {
  Component& c = C();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  c.caption = caption;
}

void SimCompstuiRefusePages(bool refuse) {
  Component& c = C();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  c.refusePages = refuse;
}

void SimCompstuiDestroyAfterFailedInit(bool destroy) {
  Component& c = C();
  std::lock_guard<std::recursive_mutex> guard(c.lock);
  c.destroyAfterFailedInit = destroy;
}
