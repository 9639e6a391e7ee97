// Property sheets through the common property-sheet component, as a printer driver's pages
// see them: a provider adds three pages with every common control, a person changes tabs and
// values, presses Apply, Cancel and OK; the pages hear the sheet's notices in the platform's
// order, the result reaches the caller through the component's protocol, a picture of the
// sheet matches the kept one, and nothing is left alive.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr char16_t kResources[] = u"comctl_test.qrs";
constexpr WORD kPages[] = {500, 501, 502};

// What the provider and the page callbacks are asked, with the test's own marks between; the
// messages the sheet and its pages hear are in the test's message log.
std::vector<std::string> events;
void Note(const std::string& e) { events.push_back(e); }
// PSN_APPLY's lParam as each apply carried it (TRUE when the sheet closes with OK).
std::vector<LPARAM> applyFlags;

// What a page answers, set per test.
LRESULT killActiveAnswer[3] = {0, 0, 0};
LRESULT applyAnswer[3] = {0, 0, 0};
LRESULT queryCancelAnswer = 0;
LONG initAnswer = 1;

struct ProviderState {
  HMODULE resources = nullptr;
  PROPSHEETUI_INFO* info = nullptr;
  HANDLE handles[3] = {};
};
ProviderState provider;

void FillPage(HWND page, int index) {
  if (index == 0) {
    HWND spin = GetDlgItem(page, 1002);
    SendMessageW(spin, UDM_SETRANGE32, 1, 999);
    SendMessageW(spin, UDM_SETPOS32, 0, 10);
    SendDlgItemMessageW(page, 1003, PBM_SETPOS, 40, 0);
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, page,
                               nullptr, nullptr, nullptr);
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = page;
    ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page, 1001));
    ti.lpszText = const_cast<LPWSTR>(u"How many copies");
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SetPropW(page, u"tip", tip);
  } else if (index == 1) {
    SendDlgItemMessageW(page, 1101, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
    SendDlgItemMessageW(page, 1101, TBM_SETPOS, TRUE, 3);
    for (LPCWSTR s : {u"Draft", u"Normal", u"Fine"}) SendDlgItemMessageW(page, 1102, CB_ADDSTRING, 0, LPARAM(s));
    SendDlgItemMessageW(page, 1102, CB_SETCURSEL, 1, 0);
    TVINSERTSTRUCTW ins{};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<LPWSTR>(u"Trays");
    HWND tree = GetDlgItem(page, 1103);
    auto trays = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, LPARAM(&ins)));
    ins.hParent = trays;
    for (LPCWSTR s : {u"Tray 1", u"Tray 2"}) {
      ins.item.pszText = const_cast<LPWSTR>(s);
      SendMessageW(tree, TVM_INSERTITEMW, 0, LPARAM(&ins));
    }
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(trays));
  } else {
    SendDlgItemMessageW(page, 1201, TBM_SETPOS, TRUE, 60);
    for (LPCWSTR s : {u"One", u"Two"}) SendDlgItemMessageW(page, 1202, LB_ADDSTRING, 0, LPARAM(s));
    SendDlgItemMessageW(page, 1203, PBM_SETPOS, 70, 0);
  }
}

INT_PTR Answer(HWND page, LRESULT value) {
  SetWindowLongPtrW(page, DWLP_MSGRESULT, value);
  return TRUE;
}

INT_PTR PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
      SetWindowLongPtrW(page, DWLP_USER, psp->lParam);
      FillPage(page, int(psp->lParam));
      return TRUE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (LOWORD(wParam) == SB_ENDSCROLL)  // also TB_ENDTRACK
        SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
      return TRUE;
    case WM_NOTIFY: {
      auto* n = reinterpret_cast<PSHNOTIFY*>(lParam);
      int index = int(GetWindowLongPtrW(page, DWLP_USER));
      switch (n->hdr.code) {
        case PSN_SETACTIVE: return Answer(page, 0);
        case PSN_KILLACTIVE: return Answer(page, killActiveAnswer[index]);
        case PSN_APPLY:
          applyFlags.push_back(n->lParam);
          if (index == 0 && applyAnswer[0] == PSNRET_NOERROR && provider.info != nullptr)
            provider.info->pfnComPropSheet(provider.info->hComPropSheet, CPSFUNC_SET_RESULT,
                                           reinterpret_cast<LPARAM>(provider.handles[0]), CPSUI_OK);
          return Answer(page, applyAnswer[index]);
        case PSN_RESET: return Answer(page, 0);
        case PSN_QUERYCANCEL: return Answer(page, queryCancelAnswer);
        case PSN_HELP: return Answer(page, 0);
        default: return FALSE;
      }
    }
    case WM_DESTROY:
      if (HANDLE tip = RemovePropW(page, u"tip")) DestroyWindow(static_cast<HWND>(tip));
      return FALSE;
    default: return FALSE;
  }
}

UINT PageCallback(HWND, UINT msg, PROPSHEETPAGEW* psp) {
  const char* names[] = {"addref", "release", "create"};
  Note(std::to_string(psp->lParam) + " " + names[msg]);
  return 1;
}

// The page provider, as a printer driver's user-interface export is one.
LONG Provider(PROPSHEETUI_INFO* info, LPARAM lParam) {
  provider.info = info;
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
      Note("INIT");
      for (int i = 0; i < 3; ++i) {
        PROPSHEETPAGEW psp{};
        psp.dwSize = sizeof psp;
        psp.dwFlags = PSP_USECALLBACK | (i == 0 ? PSP_HASHELP : 0);
        psp.hInstance = provider.resources;
        psp.pszTemplate = MAKEINTRESOURCEW(kPages[i]);
        psp.pfnDlgProc = PageProc;
        psp.lParam = i;
        psp.pfnCallback = PageCallback;
        HPROPSHEETPAGE page = CreatePropertySheetPageW(&psp);
        provider.handles[i] = reinterpret_cast<HANDLE>(
            info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_HPROPSHEETPAGE, reinterpret_cast<LPARAM>(page), 0));
        if (provider.handles[i] == nullptr) {
          DestroyPropertySheetPage(page);
          return -1;
        }
      }
      info->UserData = 0x5EED;
      return initAnswer;
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      Note("GET_INFO_HEADER");
      auto* header = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam);
      header->Flags = PSUIHDRF_PROPTITLE;
      header->pTitle = const_cast<LPWSTR>(u"Office printer");
      header->hInst = provider.resources;
      header->IconID = 200;
      return 1;
    }
    case PROPSHEETUI_REASON_SET_RESULT: {
      auto* set = reinterpret_cast<SETRESULT_INFO*>(lParam);
      Note("SET_RESULT " + std::to_string(set->Result));
      info->Result = ULONG_PTR(set->Result);
      return 1;
    }
    case PROPSHEETUI_REASON_DESTROY: Note("DESTROY " + std::to_string(lParam)); return 1;
    default: return -1;
  }
}

using CommonSheetProc = LONG (*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD);

class PropertySheetTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    events.clear();
    applyFlags.clear();
    for (int i = 0; i < 3; ++i) killActiveAnswer[i] = applyAnswer[i] = 0;
    queryCancelAnswer = 0;
    initAnswer = 1;
    provider = ProviderState{};
    provider.resources = LoadLibraryExW(kResources, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(provider.resources, nullptr);
    compstui_ = LoadLibraryA("compstui.dll");
    ASSERT_NE(compstui_, nullptr);
    run_ = reinterpret_cast<CommonSheetProc>(GetProcAddress(compstui_, "CommonPropertySheetUIW"));
    ASSERT_NE(run_, nullptr);
  }
  void TearDown() override {
    heard_.reset();
    FreeLibrary(compstui_);
    FreeLibrary(provider.resources);
    SandboxTest::TearDown();
  }
  // Opens the sheet as a host does; the driver acts while it is up. The log hears every
  // dialog: the sheet's frame and its pages.
  LONG Open(SimDialogDriver driver, DWORD& result) {
    heard_ = std::make_unique<SimMessageLog>(std::vector<SimWatched>{SimWatched::OfClass(u"#32770")});
    heard_->Only({WM_INITDIALOG, WM_NOTIFY, PSM_CHANGED, WM_DESTROY});
    if (driver) SimOnDialog(std::move(driver));
    return run_(nullptr, Provider, 0x1234, &result);
  }
  std::unique_ptr<SimMessageLog> heard_;
  HMODULE compstui_ = nullptr;
  CommonSheetProc run_ = nullptr;
};

// The kept picture of the sheet; rewrite it after an intended change with
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_platform_comctl --gtest_filter='PropertySheetTest.Driven*'
std::string Fixture() { return std::string(QV_SOURCE_DIR) + "/tests/platform/comctl/data/sheet.png"; }
constexpr int kChannelTolerance = 48;
constexpr double kDifferingShare = 0.01;

TEST_F(PropertySheetTest, DrivenThroughTabsValuesApplyThenCancel) {
  ReferenceImage picture;
  DWORD result = 99;
  HWND frame = nullptr, paper = nullptr, quality = nullptr, more = nullptr;
  LONG answer = Open([&](HWND sheet) {
    frame = sheet;
    std::vector<SimSheetPage> pages = SimSheetPages(sheet);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].title, u"Paper");
    EXPECT_EQ(pages[2].title, u"More");
    EXPECT_EQ(pages[1].hwnd, nullptr) << "a page is made when first shown";
    WCHAR caption[64];
    GetWindowTextW(sheet, caption, 64);
    EXPECT_EQ(std::u16string(caption), u"Office printer Properties");
    HWND apply = GetDlgItem(sheet, kSheetApplyId);
    EXPECT_FALSE(IsWindowEnabled(apply)) << "nothing changed yet";
    EXPECT_FALSE(SimSheetPress(sheet, PSBTN_APPLYNOW));

    Note("-- spin");
    paper = pages[0].hwnd;
    ASSERT_TRUE(SimSpin(GetDlgItem(paper, 1002), 1));
    EXPECT_EQ(GetDlgItemInt(paper, 1001, nullptr, FALSE), 11u);
    EXPECT_TRUE(SimSheetPages(sheet)[0].changed);
    EXPECT_TRUE(IsWindowEnabled(apply));
    SimHover(GetDlgItem(paper, 1001), POINT{5, 5});
    EXPECT_EQ(SimToolTipCurrent(static_cast<HWND>(GetPropW(paper, u"tip"))).text, u"How many copies");

    Note("-- tab 1");
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    EXPECT_EQ(SimSheetCurrent(sheet), 1);
    quality = SimSheetPages(sheet)[1].hwnd;
    EXPECT_FALSE(IsWindowVisible(paper));
    EXPECT_TRUE(IsWindowVisible(quality));
    ASSERT_TRUE(SimTrack(GetDlgItem(quality, 1101), TB_LINEDOWN, 0));
    EXPECT_EQ(SendDlgItemMessageW(quality, 1101, TBM_GETPOS, 0, 0), 4);
    SimPaint(sheet);
    ASSERT_TRUE(SimWindowPicture(sheet, picture));

    Note("-- apply");
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_APPLYNOW));
    EXPECT_FALSE(IsWindowEnabled(apply));
    EXPECT_FALSE(SimSheetPages(sheet)[0].changed);

    Note("-- tab 2");
    ASSERT_TRUE(SimSheetSelect(sheet, 2));
    more = SimSheetPages(sheet)[2].hwnd;
    Note("-- cancel");
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, result);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(result, DWORD(CPSUI_OK)) << "the apply before the cancel set the result";
  EXPECT_EQ(events, (std::vector<std::string>{"INIT", "0 addref", "1 addref", "2 addref", "GET_INFO_HEADER",
                                              "0 create", "-- spin", "-- tab 1", "1 create", "-- apply",
                                              "SET_RESULT 1", "-- tab 2", "2 create", "-- cancel", "0 release",
                                              "1 release", "2 release", "DESTROY 1"}));
  EXPECT_EQ(applyFlags, (std::vector<LPARAM>{0, 0})) << "Apply keeps the sheet open";
  EXPECT_EQ(heard_->Difference({
                {frame, WM_INITDIALOG}, {paper, WM_INITDIALOG}, SimNotice(paper, PSN_SETACTIVE),
                // the spin
                SimNotice(paper, UDN_DELTAPOS), {frame, PSM_CHANGED, WPARAM(paper)},
                // tab 1
                SimNotice(frame, TCN_SELCHANGING), SimNotice(paper, PSN_KILLACTIVE), SimNotice(frame, TCN_SELCHANGE),
                {quality, WM_INITDIALOG}, SimNotice(quality, TVN_ITEMEXPANDINGW), SimNotice(quality, TVN_ITEMEXPANDEDW),
                SimNotice(quality, PSN_SETACTIVE), {frame, PSM_CHANGED, WPARAM(quality)},
                // apply: every made page applies, then the current page is active again
                SimNotice(quality, PSN_KILLACTIVE), SimNotice(paper, PSN_APPLY), SimNotice(quality, PSN_APPLY),
                SimNotice(quality, PSN_SETACTIVE),
                // tab 2
                SimNotice(frame, TCN_SELCHANGING), SimNotice(quality, PSN_KILLACTIVE), SimNotice(frame, TCN_SELCHANGE),
                {more, WM_INITDIALOG}, SimNotice(more, PSN_SETACTIVE),
                // cancel: asked of the current page, every made page resets, then the windows go, the last made first
                SimNotice(more, PSN_QUERYCANCEL), SimNotice(paper, PSN_RESET), SimNotice(quality, PSN_RESET),
                SimNotice(more, PSN_RESET), {frame, WM_DESTROY}, {more, WM_DESTROY}, {quality, WM_DESTROY},
                SimNotice(quality, TVN_DELETEITEMW), SimNotice(quality, TVN_DELETEITEMW),
                SimNotice(quality, TVN_DELETEITEMW), {paper, WM_DESTROY}}),
            "");
  std::vector<SimCompstuiRun> log = SimCompstuiLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].pages.size(), 3u);
  EXPECT_EQ(log[0].headerFlags, PSUIHDRF_PROPTITLE);
  EXPECT_EQ(log[0].iconId, 200u);
  EXPECT_EQ(log[0].userData, 0x5EEDu);
  ASSERT_EQ(log[0].results.size(), 1u);
  EXPECT_EQ(log[0].results[0].handle, provider.handles[0]);
  EXPECT_EQ(log[0].results[0].result, CPSUI_OK);
  EXPECT_EQ(log[0].sheetResult, 1);
  std::vector<SimModal> modals = SimModalLog();
  ASSERT_EQ(modals.size(), 1u);
  EXPECT_TRUE(modals[0].scripted);

  if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(SaveReferencePng(picture, Fixture()));
  }
  ReferenceImage kept;
  ASSERT_TRUE(LoadReferencePng(Fixture(), kept)) << Fixture();
  EXPECT_LE(CompareReferenceImages(picture, kept, kChannelTolerance), kDifferingShare);
  EXPECT_EQ(SimLiveWindows(), 0);
}

TEST_F(PropertySheetTest, OkAppliesTheCreatedPagesOnly) {
  DWORD result = 99;
  HWND frame = nullptr, paper = nullptr;
  LONG answer = Open([&](HWND sheet) {
    frame = sheet;
    paper = SimSheetPages(sheet)[0].hwnd;
    SimSpin(GetDlgItem(paper, 1002), -1);
    events.clear();
    heard_->Clear();
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_OK));
  }, result);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(result, DWORD(CPSUI_OK));
  EXPECT_EQ(events, (std::vector<std::string>{"SET_RESULT 1", "0 release", "1 release", "2 release", "DESTROY 1"}));
  EXPECT_EQ(applyFlags, (std::vector<LPARAM>{1})) << "OK closes the sheet";
  EXPECT_EQ(heard_->Difference({SimNotice(paper, PSN_KILLACTIVE), SimNotice(paper, PSN_APPLY), {frame, WM_DESTROY},
                                {paper, WM_DESTROY}}),
            "");
}

TEST_F(PropertySheetTest, PagesThatRefuse) {
  DWORD result = 99;
  Open([&](HWND sheet) {
    killActiveAnswer[0] = TRUE;
    EXPECT_TRUE(SimSheetSelect(sheet, 1));
    EXPECT_EQ(SimSheetCurrent(sheet), 0) << "a page that will not let go stays";
    killActiveAnswer[0] = FALSE;
    ASSERT_TRUE(SimSheetSelect(sheet, 2));
    applyAnswer[0] = PSNRET_INVALID;
    heard_->Clear();
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_OK));
    EXPECT_EQ(SimSheetCurrent(sheet), 0) << "the page that refused its apply is shown";
    HWND paper = SimSheetPages(sheet)[0].hwnd, more = SimSheetPages(sheet)[2].hwnd;
    EXPECT_EQ(heard_->Difference({SimNotice(more, PSN_KILLACTIVE), SimNotice(paper, PSN_APPLY),
                                  SimNotice(paper, PSN_SETACTIVE)}),
              "");
    queryCancelAnswer = TRUE;
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
    EXPECT_TRUE(IsWindowVisible(sheet)) << "the page kept the sheet open";
    queryCancelAnswer = FALSE;
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, result);
  EXPECT_EQ(result, DWORD(CPSUI_CANCEL));
  EXPECT_EQ(events.back(), "DESTROY 0");
}

TEST_F(PropertySheetTest, HelpGoesToTheCurrentPage) {
  DWORD result = 0;
  Open([&](HWND sheet) {
    heard_->Clear();
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_HELP));
    EXPECT_EQ(heard_->Difference({SimNotice(SimSheetPages(sheet)[0].hwnd, PSN_HELP)}), "");
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    EXPECT_FALSE(SimSheetPress(sheet, PSBTN_HELP)) << "the page has no help";
    EXPECT_FALSE(heard_->Matches({SimNotice(SimSheetPages(sheet)[1].hwnd, PSN_HELP)}, SimSequence::InOrder));
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, result);
}

TEST_F(PropertySheetTest, UnscriptedSheetsAreCancelled) {
  DWORD result = 99;
  EXPECT_EQ(Open(nullptr, result), 1);
  EXPECT_EQ(result, DWORD(CPSUI_CANCEL));
  std::vector<SimModal> modals = SimModalLog();
  ASSERT_EQ(modals.size(), 1u);
  EXPECT_FALSE(modals[0].scripted);
  EXPECT_TRUE(modals[0].ended);
  EXPECT_EQ(events.back(), "DESTROY 0");
}

TEST_F(PropertySheetTest, ProviderFailures) {
  DWORD result = 99;
  initAnswer = -1;
  EXPECT_LT(Open(nullptr, result), 0);
  EXPECT_EQ(result, DWORD(CPSUI_CANCEL));
  EXPECT_EQ(std::find(events.begin(), events.end(), "GET_INFO_HEADER"), events.end()) << "no sheet after a failed INIT";
  EXPECT_EQ(SimModalLog().size(), 0u);

  events.clear();
  initAnswer = 1;
  SimCompstuiRefusePages(true);
  SimCompstuiDestroyAfterFailedInit(true);
  EXPECT_LT(Open(nullptr, result), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"INIT", "0 addref", "0 release", "DESTROY 0"}));
  EXPECT_EQ(SimCompstuiLog().back().otherCalls, (std::vector<UINT>{CPSFUNC_ADD_HPROPSHEETPAGE}));
}

// PropertySheetW on its own: pages given as structures, modeless, and the sheet's messages.
TEST_F(PropertySheetTest, PropertySheetWithPageStructures) {
  PROPSHEETPAGEW psp[2]{};
  for (int i = 0; i < 2; ++i) {
    psp[i].dwSize = sizeof(PROPSHEETPAGEW);
    psp[i].dwFlags = PSP_USETITLE;
    psp[i].hInstance = provider.resources;
    psp[i].pszTemplate = MAKEINTRESOURCEW(kPages[i]);
    psp[i].pszTitle = i == 0 ? u"First" : MAKEINTRESOURCEW(701);
    psp[i].pfnDlgProc = PageProc;
    psp[i].lParam = i;
  }
  PROPSHEETHEADERW h{};
  h.dwSize = sizeof h;
  h.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW;
  h.hInstance = provider.resources;
  h.pszCaption = u"Loose sheet";
  h.nPages = 2;
  h.nStartPage = 1;
  h.ppsp = psp;
  auto sheet = reinterpret_cast<HWND>(PropertySheetW(&h));
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(GetDlgItem(sheet, kSheetApplyId), nullptr);
  EXPECT_EQ(SimSheetPages(sheet)[1].title, u"Finish");
  EXPECT_EQ(SimSheetCurrent(sheet), 1);
  // A page knows the template it was made from; the sheet's own frame has none.
  EXPECT_EQ(SimDialogTemplate(SimSheetPages(sheet)[1].hwnd), (SimDialogSource{provider.resources, kPages[1], u""}));
  EXPECT_EQ(SimDialogTemplate(sheet), SimDialogSource{});
  HWND current = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  EXPECT_EQ(current, SimSheetPages(sheet)[1].hwnd);
  EXPECT_EQ(SendMessageW(sheet, PSM_HWNDTOINDEX, WPARAM(current), 0), 1);
  EXPECT_EQ(SendMessageW(sheet, PSM_SETCURSEL, 0, 0), TRUE);
  EXPECT_EQ(SimSheetCurrent(sheet), 0);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0)), GetDlgItem(sheet, kSheetTabId));
  SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  EXPECT_NE(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), 0) << "the press is posted";
  SimPumpMessages();
  EXPECT_EQ(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), 0) << "a closed modeless sheet has no current page";
  DestroyWindow(sheet);

  h.nPages = 0;
  EXPECT_EQ(PropertySheetW(&h), -1);
  h.dwSize = 20;
  EXPECT_EQ(PropertySheetW(&h), -1);
  psp[0].dwSize = 12;
  EXPECT_EQ(CreatePropertySheetPageW(&psp[0]), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
