// The framework's dispatch on test pages built from its tables: a sheet of two tab pages run
// through the common property-sheet component and a popup. Initialisation, the slot map,
// apply and cancel cycles with the component's result, the warnings after the first paint and
// context help.
#include <gtest/gtest.h>

#include <cstdlib>

#include "items/item_ids.h"
#include "tests/ui/framework/dialog/dialog_fixture.h"
#include "ui/framework/sheet/sheet_validation.h"

namespace dialog_test {
namespace {

// The kept pictures of the test pages; rewrite them after an intended change with
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_ui_dialog --gtest_filter='*Picture*'
std::string Fixture(const char* name) {
  return std::string(QV_SOURCE_DIR) + "/tests/ui/framework/dialog/data/" + name;
}
constexpr int kChannelTolerance = 48;
constexpr double kDifferingShare = 0.01;

void ExpectMatchesFixture(const ReferenceImage& picture, const char* name) {
  if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(SaveReferencePng(picture, Fixture(name)));
  }
  ReferenceImage kept;
  ASSERT_TRUE(LoadReferencePng(Fixture(name), kept)) << Fixture(name);
  EXPECT_LE(CompareReferenceImages(picture, kept, kChannelTolerance), kDifferingShare) << name;
}

using DispatchTest = DialogTest;

TEST_F(DispatchTest, MessagesMapToTheirSlots) {
  const struct Case {
    UINT message;
    UINT code;
    LONG slot;
  } cases[] = {
      {WM_COMMAND, 0, 0}, {WM_INITDIALOG, 0, 1}, {WM_NOTIFY, PSN_SETACTIVE, 2}, {WM_NOTIFY, PSN_KILLACTIVE, 3},
      {WM_NOTIFY, PSN_RESET, 4}, {WM_NOTIFY, PSN_APPLY, 5}, {WM_NOTIFY, PSN_HELP, 6},
      {WM_NOTIFY, TCN_SELCHANGE, 7}, {WM_VSCROLL, 0, 8}, {WM_HSCROLL, 0, 9}, {WM_HELP, 0, 10},
      {WM_CONTEXTMENU, 0, 11}, {WM_MEASUREITEM, 0, 12}, {WM_DRAWITEM, 0, 13}, {WM_ERASEBKGND, 0, 14},
      {WM_VKEYTOITEM, 0, 15}, {WM_QUERYNEWPALETTE, 0, 16}, {WM_PALETTECHANGED, 0, 17}, {WM_PAINT, 0, 18},
      {WM_MOUSEMOVE, 0, 19}, {WM_DESTROY, 0, 20}, {WM_QUERYPAGEINDEX, 0, 21}, {WM_QUERYKINDDATA, 0, 22},
      {WM_ROWMESSAGE, 0, 23}, {WM_SHOWWARNINGS, 0, 24},
      {WM_NOTIFY, TTN_GETDISPINFOW, -1}, {WM_SETTEXT, 0, -1}, {WM_REFRESHCONTROLS, 0, -1},
  };
  for (const Case& c : cases) {
    NMHDR header{nullptr, 0, c.code};
    LONG slot = 99;
    SlotHandler handler = nullptr;
    const LPARAM lParam = c.message == WM_NOTIFY ? reinterpret_cast<LPARAM>(&header) : 0;
    EXPECT_EQ(MapMessageToSlot(&slot, c.message, 0, lParam), c.slot >= 0 ? 1 : 0) << c.message << " " << c.code;
    EXPECT_EQ(slot, c.slot) << c.message << " " << c.code;
    EXPECT_EQ(GetSlotHandler(c.message, 0, lParam, kTabPage, &handler, &slot), c.slot >= 0 ? 1 : 0);
  }
  // A notice without its header has no slot; a kind without a table has no handler.
  LONG slot = 0;
  SlotHandler handler = nullptr;
  EXPECT_EQ(MapMessageToSlot(&slot, WM_NOTIFY, 0, 0), 0);
  EXPECT_EQ(GetSlotHandler(WM_COMMAND, 0, 0, kPopupOkApply, &handler, &slot), 0);
  // Slot 1 differs by kind; slots 7, 19, 20 have no default.
  const UINT initAndOthers[] = {WM_INITDIALOG, WM_MOUSEMOVE, WM_DESTROY};
  SlotHandler seen[3][3] = {};
  const DialogKind kinds[] = {kTabPage, kChildPage, kPopupDialog};
  for (int k = 0; k < 3; ++k) {
    for (int m = 0; m < 3; ++m) ASSERT_EQ(GetSlotHandler(initAndOthers[m], 0, 0, kinds[k], &seen[k][m], &slot), 1);
  }
  EXPECT_EQ(seen[0][0], &OnInitPropertyPage);
  EXPECT_EQ(seen[1][0], &OnInitChildPage);
  EXPECT_EQ(seen[2][0], &OnInitPopupDialog);
  EXPECT_EQ(seen[0][1], nullptr);
  EXPECT_EQ(seen[2][2], nullptr);
}

INT_PTR PageApplyHandler(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*) { return 77; }

TEST_F(DispatchTest, OverrideReplacesOnlyTheWantedSlot) {
  SlotHandler handler = OnApplyNotify;
  EXPECT_EQ(OverrideSlotHandler(PageApplyHandler, kSlotApply, &handler, 5), 1);
  EXPECT_EQ(handler, &PageApplyHandler);
  handler = OnSetActiveNotify;
  EXPECT_EQ(OverrideSlotHandler(PageApplyHandler, kSlotApply, &handler, 2), 1);
  EXPECT_EQ(handler, &OnSetActiveNotify);
  EXPECT_EQ(OverrideSlotHandler(PageApplyHandler, 25, &handler, 5), 0);
  EXPECT_EQ(OverrideSlotHandler(PageApplyHandler, kSlotApply, nullptr, 5), 0);
}

TEST_F(DispatchTest, SheetInitialisesPagesAndAnswersUnmappedNotices) {
  DWORD result = 99;
  HWND general = nullptr;
  LONG answer = RunSheet([&](HWND sheet) {
    general = SheetPage(sheet, 0);
    EXPECT_EQ(GetPageData(general), data_) << "the page keeps the PageData as DWLP_USER";
    EXPECT_EQ(data_->owner, sheet) << "a tab page's owner is the sheet";
    LONG count = 0;
    const ControlRow* rows = GeneralRows(&count);
    for (LONG n = 0; n < count; ++n) {
      if (rows[n].itemCount > 0) {
        EXPECT_NE(FindControlState(general, &rows[n]), nullptr) << n;
      }
    }
    ASSERT_NE(sheet_.sheetTooltip, nullptr);
    WCHAR className[32] = {};
    GetClassNameW(sheet_.sheetTooltip, className, 32);
    EXPECT_EQ(std::u16string(className), u"tooltips_class32");
    EXPECT_EQ(FindChoiceListEntry(general, kItemColorMode)->references, 3) << "three radio rows hold the list";
    // A notice outside the map has no slot: the page answers 0.
    NMHDR tip{general, kCollateBox, TTN_GETDISPINFOW};
    EXPECT_EQ(SendMessageW(general, WM_NOTIFY, kCollateBox, reinterpret_cast<LPARAM>(&tip)), 0);
    LONG index = kEmbeddedPage;
    SendMessageW(general, WM_QUERYPAGEINDEX, 0, reinterpret_cast<LPARAM>(&index));
    EXPECT_EQ(index, kGeneralPage);
    // A row's message for a control id no row has: 1 from the control slot.
    EXPECT_EQ(CallSlotHandler(general, WM_ROWMESSAGE, 4444, 0, kGeneralPage, kTabPage, OnControlMessage), 1);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(result, DWORD(CPSUI_CANCEL));
  EXPECT_EQ(setResults_, 0);
  EXPECT_EQ(KeyedListCount(sheet_.pageTable->choiceCache), 0) << "the reset released every list";
  EXPECT_EQ(KeyedListCount(data_->states->controlStates), 0);
  EXPECT_EQ(KeyedListCount(data_->states->itemStates), 0);
}

TEST_F(DispatchTest, ApplyOnTwoPagesSetsTheResultOnce) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    ASSERT_TRUE(SimSheetSelect(sheet, 0));
    ASSERT_TRUE(SimClick(GetDlgItem(SheetPage(sheet, 0), kCollateBox)));
    EXPECT_TRUE(SimSheetPages(sheet)[0].changed) << "a change marks the page changed";
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_APPLYNOW));
    EXPECT_EQ(setResults_, 1) << "both pages applied; the first did the sheet's work";
    EXPECT_EQ(sheet_.applied, 1u);
    EXPECT_EQ(Page(kGeneralPage)->rebuild, 0u) << "the refresh after the apply rebuilt the records";
    LONG count = 0;
    EXPECT_NE(FindControlState(SheetPage(sheet, 0), &GeneralRows(&count)[0]), nullptr);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_OK));
    EXPECT_EQ(setResults_, 2) << "a new cycle after the refresh";
  }, &result);
  EXPECT_EQ(result, DWORD(CPSUI_OK));
}

TEST_F(DispatchTest, ApplyThenCancelRestoresTheAppliedSettingsAndReportsOk) {
  const LONG start = Item(kItemCollate);
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    ASSERT_TRUE(SimClick(GetDlgItem(general, kCollateBox)));
    const LONG applied = Item(kItemCollate);
    EXPECT_NE(applied, start);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_APPLYNOW));
    ASSERT_TRUE(SimClick(GetDlgItem(general, kCollateBox)));
    EXPECT_EQ(Item(kItemCollate), start);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
    EXPECT_EQ(Item(kItemCollate), applied) << "Cancel went back to the applied settings";
  }, &result);
  EXPECT_EQ(result, DWORD(CPSUI_OK)) << "the apply before the cancel set the result";
  EXPECT_EQ(setResults_, 2) << "the apply's and the cancel's";
  EXPECT_NE(Item(kItemCollate), start);
}

TEST_F(DispatchTest, WarningsAfterTheFirstPaintShowOneBox) {
  sheet_.pendingWarnings = static_cast<PendingWarnings*>(GlobalAlloc(GPTR, sizeof(PendingWarnings)));
  ASSERT_NE(sheet_.pendingWarnings, nullptr);
  const std::u16string text = u"Paper margins were reset.";
  sheet_.pendingWarnings->text[0] = static_cast<LPWSTR>(GlobalAlloc(GPTR, (text.size() + 1) * sizeof(WCHAR)));
  lstrcpynW(sheet_.pendingWarnings->text[0], text.c_str(), int(text.size() + 1));
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    SimPaint(sheet);
    SimPaint(general);
    SimPumpMessages();
    SimPaint(general);
    SimPumpMessages();
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
  const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, text);
  EXPECT_EQ(boxes[0].caption, u"Printer Settings");
  EXPECT_EQ(boxes[0].type, UINT{MB_ICONWARNING});
  EXPECT_EQ(sheet_.pendingWarnings, nullptr) << "the pair was freed";
}

TEST_F(DispatchTest, ContextHelpUsesThePairTablesId) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    HWND collate = GetDlgItem(general, kCollateBox);
    HELPINFO info{sizeof info, HELPINFO_WINDOW, kCollateBox, collate, 0, {0, 0}};
    SendMessageW(general, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    RECT box{};
    GetWindowRect(collate, &box);
    const LPARAM at = MAKELPARAM(box.left + 2, box.top + 2);
    SimPopupMenuChoice(3851);
    SendMessageW(general, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(collate), at);
    SimPopupMenuChoice(3852);
    SendMessageW(general, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(collate), at);
    GetWindowRect(GetDlgItem(general, kDuplexText), &box);
    SimPopupMenuChoice(3851);
    SendMessageW(general, WM_CONTEXTMENU, 0, MAKELPARAM(box.left + 2, box.top + 2));  // no help id: no menu
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_HELP));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(general, kHelpButton)));
    ASSERT_TRUE(SimClick(GetDlgItem(general, kHelpButton)));
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
  const std::vector<SimHelpCall> calls = SimHelpLog();
  ASSERT_EQ(calls.size(), 4u);
  for (const SimHelpCall& call : calls) {
    EXPECT_EQ(call.command, UINT{HH_HELP_CONTEXT});
    EXPECT_EQ(call.file, std::u16string(sheet_.helpFile));
  }
  EXPECT_EQ(calls[0].data, 5001u) << "WM_HELP: the control's pair";
  EXPECT_EQ(calls[1].data, 5001u) << "the context menu's What's This";
  EXPECT_EQ(calls[2].data, DWORD_PTR(kGeneralHelpId)) << "the sheet's Help button";
  EXPECT_EQ(calls[3].data, DWORD_PTR(kGeneralHelpId)) << "the page's help button";
}

TEST_F(DispatchTest, PopupBuiltFromItsTablesAppliesIntoItsOwnSettings) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    const LONG before = Item(kItemCollate);
    const INT_PTR answer = RunPopup(general, [&](HWND popup) {
      PageData* popupData = GetPageData(popup);
      ASSERT_NE(popupData, nullptr);
      EXPECT_NE(popupData, data_);
      EXPECT_EQ(popupData->owner, general);
      ASSERT_NE(sheet_.popupTooltip, nullptr) << "the popup has a tooltip of its own kind";
      EXPECT_NE(sheet_.popupTooltip, sheet_.sheetTooltip);
      EXPECT_EQ(IsDlgButtonChecked(popup, kPopupCollate), IsDlgButtonChecked(general, kCollateBox))
          << "the popup's initialisation refreshed it";
      ASSERT_TRUE(SimClick(GetDlgItem(popup, kPopupCollate)));
      SettingsRecord* settings = nullptr;
      PrinterConfiguration* config = nullptr;
      ASSERT_TRUE(GetCurrentSettings(popup, &settings, &config));
      EXPECT_NE(GetItemNumber(settings, config, kItemCollate, kTypeInt16), DWORD(before));
      PSHNOTIFY apply{{popup, 0, PSN_APPLY}, 1};
      EXPECT_EQ(SendMessageW(popup, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&apply)), PSNRET_NOERROR);
      EXPECT_EQ(sheet_.popupTooltip, nullptr);
      EndDialog(popup, 1);
    });
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(Item(kItemCollate), before) << "the popup edits a copy";
    EXPECT_TRUE(SimSheetPages(sheet)[0].changed) << "the popup's apply marked its owner page changed";
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(DispatchTest, MeasureBeforeInitAndAnApplyThatCannotReadTheSettings) {
  // A fixed owner-drawn list measures its items before the dialog has its PageData.
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.cbWndExtra = 32;
  wc.lpszClassName = u"QvBarePage";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND page = CreateWindowExW(0, u"QvBarePage", u"", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  MEASUREITEMSTRUCT measure{ODT_LISTBOX, 1012, 0, 0, 0, 0};
  EXPECT_EQ(CallSlotHandler(page, WM_MEASUREITEM, 1012, reinterpret_cast<LPARAM>(&measure), kGeneralPage, kTabPage,
                            OnMeasureItem),
            0);
  EXPECT_EQ(measure.itemHeight, 26u) << "a tall list at 96 dpi";
  measure.CtlID = 2001;
  OnMeasureItem(page, WM_MEASUREITEM, 2001, reinterpret_cast<LPARAM>(&measure), kGeneralPage, nullptr);
  EXPECT_EQ(measure.itemHeight, 15u);

  // Settings that cannot be read refuse the apply instead of closing as if accepted.
  SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(data_));
  SettingsRecord* settings = data_->current.settings;
  data_->current.settings = nullptr;
  HandlerContext context;
  InitHandlerContext(&context, page, nullptr, kGeneralPage, WM_NOTIFY, kTabPage);
  PSHNOTIFY apply{{nullptr, 0, PSN_APPLY}, 1};
  EXPECT_EQ(OnPageApply(&context, page, reinterpret_cast<LPARAM>(&apply), nullptr, 0, kTabPage),
            PSNRET_INVALID_NOCHANGEPAGE);
  EXPECT_EQ(sheet_.applied, 0u);
  EXPECT_EQ(sheet_.applyDone, 0u);
  data_->current.settings = settings;
  SetWindowLongPtrW(page, DWLP_USER, 0);
  DestroyWindow(page);
  UnregisterClassW(u"QvBarePage", nullptr);
}

TEST_F(DispatchTest, PicturesOfTheTestPages) {
  ReferenceImage general, quality;
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    SimPaint(sheet);
    ASSERT_TRUE(SimWindowPicture(sheet, general));
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    SimPaint(sheet);
    ASSERT_TRUE(SimWindowPicture(sheet, quality));
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
  ExpectMatchesFixture(general, "general_page.png");
  ExpectMatchesFixture(quality, "quality_page.png");
}

}  // namespace
}  // namespace dialog_test
