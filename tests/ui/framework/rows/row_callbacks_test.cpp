// Shared row callbacks and the nested sheet on the dialog framework's test sheet: the unit
// radio pair switches the unit of every range caption and unit name, visibility rules follow
// the deciding control, a static shows the icon of the current value, the device-status
// button answers its action, and a nested sheet starts on its start page or falls back to its
// first.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "items/item_ids.h"
#include "platform/platform.h"
#include "tests/ui/framework/dialog/dialog_fixture.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/row_callbacks.h"

namespace {

using namespace dialog_test;

class RowCallbackTest : public DialogTest {};

std::u16string ControlText(HWND dialog, int id) {
  WCHAR text[128] = {};
  GetDlgItemTextW(dialog, id, text, 128);
  return text;
}

std::u16string RangeText(HWND dialog, SettingItemId id, LONG minimum, LONG maximum, WORD unit) {
  LPWSTR text = nullptr;
  if (!FormatItemRangeText(dialog, 0, id, minimum, maximum, unit, &text)) return u"<none>";
  std::u16string out(text);
  GlobalFree(text);
  return out;
}

TEST_F(RowCallbackTest, RangeTextsInBothUnits) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND general, HandlerContext*) {
    // A user paper width in tenths of a millimetre; in inches in hundredths.
    EXPECT_EQ(RangeText(general, kItemUserPaperWidth, 900, 3556, 0), u"(90.0 to 355.6 mm)");
    EXPECT_EQ(RangeText(general, kItemUserPaperWidth, 900, 3556, 1), u"(3.54 to 14.00 in)");
    // The binding shift is kept within 0.19 inch either way.
    EXPECT_EQ(RangeText(general, kItemBindingShift, -300, 300, 0), u"(-300 to 300 mm)");
    EXPECT_EQ(RangeText(general, kItemBindingShift, -300, 300, 1), u"(-1.9 to 1.9 in)");
  });
}

// The unit pair on the toner buttons, a unit name on the duplex label.
const LONG kUnitButtons[] = {kTonerOff, kTonerLight};
const RadioGroupData kUnitPair{2, kUnitButtons};
const ControlRow kUnitRows[] = {
    {kTonerOff, 0, nullptr, kKindRadio, HandleUnitRadioRow, &kUnitPair, kNoControl, kNoString, nullptr},
    {kTonerLight, 0, nullptr, kKindRadio, HandleUnitRadioRow, &kUnitPair, kNoControl, kNoString, nullptr},
    {kDuplexLabel, 0, nullptr, kKindStaticText, UnitNameRow, nullptr, kNoControl, kNoString, nullptr},
};

TEST_F(RowCallbackTest, UnitPairSwitchesTheUnitShownByEveryRow) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND general, HandlerContext* context) {
    auto refresh = [&] {
      NMHDR header{general, 0, PSN_SETACTIVE};
      DispatchToRows(context, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), kUnitRows, 3, 0);
    };
    sheet_.displayUnit = 0;
    refresh();
    EXPECT_EQ(IsDlgButtonChecked(general, kTonerOff), BST_CHECKED);
    EXPECT_EQ(ControlText(general, kDuplexLabel), u"mm");
    DispatchToRows(context, WM_COMMAND, MAKEWPARAM(kTonerLight, BN_CLICKED), 0, kUnitRows, 3, 0);
    EXPECT_EQ(sheet_.displayUnit, 1);
    EXPECT_EQ(context->changed, 1) << "the page is shown again in the new unit";
    refresh();
    EXPECT_EQ(IsDlgButtonChecked(general, kTonerLight), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(general, kTonerOff), BST_UNCHECKED);
    EXPECT_EQ(ControlText(general, kDuplexLabel), u"in");
    DispatchToRows(context, WM_COMMAND, MAKEWPARAM(kTonerOff, BN_CLICKED), 0, kUnitRows, 3, 0);
    EXPECT_EQ(sheet_.displayUnit, 0);
  });
}

TEST_F(RowCallbackTest, VisibilityFollowsTheDecidingControl) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND general, HandlerContext* context) {
    LONG count = 0;
    const ControlRow* rows = GeneralRows(&count);
    const ControlRow& portrait = rows[9];  // governed by the collate box (item 18)
    ASSERT_EQ(portrait.controlId, kPortraitBox);
    const BoundValue* collate = GetCurrentBoundValue(general, &rows[0]);
    ASSERT_NE(collate, nullptr);
    const DWORD value = static_cast<DWORD>(collate->value.number);
    const VisibilityRule anyValue{kCollateBox, 18, 0, value + 1, kDuplexText};
    const VisibilityRule matching{kCollateBox, 18, 1, value, kNoControl};
    const VisibilityRule otherValue{kCollateBox, 18, 1, value + 1, kDuplexText};
    const VisibilityRule otherItem{kCollateBox, 19, 0, 0, kNoControl};
    const VisibilityRule noRow{4711, 18, 0, 0, kNoControl};
    int show = -1;
    EXPECT_EQ(EvaluateVisibilityRule(context, general, &portrait, &anyValue, &show), 1);
    EXPECT_EQ(show, 1) << "mode 0: the item alone decides";
    EXPECT_EQ(EvaluateVisibilityRule(context, general, &portrait, &matching, &show), 1);
    EXPECT_EQ(show, 1);
    EXPECT_EQ(EvaluateVisibilityRule(context, general, &portrait, &otherItem, &show), 1);
    EXPECT_EQ(show, 0);
    EXPECT_EQ(EvaluateVisibilityRule(context, general, &portrait, &noRow, &show), 0);
    EXPECT_EQ(show, 0);
    ASSERT_EQ(ApplyVisibilityRule(context, general, &portrait, &otherValue), 1);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(general, kPortraitBox)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(general, kDuplexText))) << "the companion follows";
    ASSERT_EQ(ApplyVisibilityRule(context, general, &portrait, &anyValue), 1);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(general, kPortraitBox)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(general, kDuplexText)));
  });
}

TEST_F(RowCallbackTest, ReloadedChoiceListIsCachedAgain) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND general, HandlerContext*) {
    ChoiceList* before = FindChoiceList(general, kItemColorMode);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(ReloadChoiceList(general, kGeneralPage, kItemColorMode), 1);
    EXPECT_NE(FindChoiceList(general, kItemColorMode), nullptr);
    EXPECT_NE(FindItemStateRecord(general, kItemColorMode), nullptr);
    EXPECT_EQ(ReloadChoiceList(general, 47, kItemColorMode), 0) << "a page without rows";
  });
}

const DWORD kBrightnessItem[] = {BoundItem(kItemColorTripleFirst, kRefreshOnFull | kRefreshOnChange)};
const ControlRow kRangeRow{kBrightnessEdit, 1, kBrightnessItem, kKindEdit, RangeCaptionRow, nullptr, kNoControl,
                           kNoString, nullptr};

TEST_F(RowCallbackTest, RangeCaptionFollowsTheDisplayUnit) {
  DWORD result = 0;
  RunSheet([&](HWND sheet) {
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    HWND quality = SheetPage(sheet, 1);
    HandlerContext context{};
    InitHandlerContext(&context, quality, sheet, kQualityPage, WM_REFRESHCONTROLS, kTabPage);
    auto caption = [&](WORD unit) {
      sheet_.displayUnit = unit;
      DispatchToRows(&context, WM_REFRESHCONTROLS, 0, 0, &kRangeRow, 1, 0);
      return ControlText(quality, kBrightnessEdit);
    };
    const std::u16string millimetres = caption(0);
    const std::u16string inches = caption(1);
    EXPECT_EQ(millimetres.substr(0, 11), u"Brightness:");
    EXPECT_NE(millimetres.find(u"(-3 to 3 mm)"), std::u16string::npos) << std::string(millimetres.begin(), millimetres.end());
    EXPECT_NE(inches.find(u" in)"), std::u16string::npos) << "the same caption in inches";
    GlobalFree(context.changedItems);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

INT_PTR NestedGeneralProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kTabPage, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kGeneralPage, kTabPage, handler);
}
INT_PTR NestedQualityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kTabPage, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kQualityPage, kTabPage, handler);
}

const DialogRecord kNestedPages[] = {
    {kGeneralTemplate, NestedGeneralProc, kGeneralPage, kNoString, 0, nullptr, 0},
    {kQualityTemplate, NestedQualityProc, kQualityPage, kNoString, 0, nullptr, 0},
};

TEST_F(RowCallbackTest, NestedSheetStartsOnItsStartPageOrTheFirst) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    const ControlRow button{kHelpButton, 0, nullptr, kKindPushButton, nullptr, nullptr, kNoControl, kNoString, nullptr};
    struct Case {
      LONG startTemplate;
      int page;
    };
    for (const Case c : {Case{kQualityTemplate, 1}, Case{999, 0}, Case{kNoString, 0}}) {
      const NestedSheetDescriptor nested{kNestedPages, 2, c.startTemplate, 9000, 0};
      const ButtonAction action{kButtonNestedSheet, &nested};
      int shown = -1;
      SimOnDialog([&](HWND sheet) {
        shown = SimSheetCurrent(sheet);
        ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
      });
      EXPECT_EQ(DoButtonAction(context, 0, 0, &button, &action), 0);
      EXPECT_EQ(shown, c.page) << c.startTemplate;
    }
  });
}

}  // namespace

namespace {

// The unit pair on the toner buttons, the brightness range on both labels of the General page
// and the unit name in the duplex text, served in place of the page's own rows.
const DWORD kRangeItem[] = {BoundItem(kItemColorTripleFirst, kRefreshOnFull | kRefreshOnChange)};
const ControlRow kUnitPageRows[] = {
    {kTonerOff, 0, nullptr, kKindRadio, HandleUnitRadioRow, &kUnitPair, kNoControl, kNoString, nullptr},
    {kTonerLight, 0, nullptr, kKindRadio, HandleUnitRadioRow, &kUnitPair, kNoControl, kNoString, nullptr},
    {kColorLabel, 1, kRangeItem, kKindStaticText, RangeCaptionRow, nullptr, kNoControl, kNoString, nullptr},
    {kDuplexLabel, 1, kRangeItem, kKindStaticText, RangeCaptionRow, nullptr, kNoControl, kNoString, nullptr},
    {kDuplexText, 0, nullptr, kKindStaticText, UnitNameRow, nullptr, kNoControl, kNoString, nullptr},
};
constexpr LONG kUnitPageRowCount = LONG(std::size(kUnitPageRows));

INT_PTR UnitPageControls(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex, SlotContext* slot) {
  SlotContext rows{slot->context, kUnitPageRows, kUnitPageRowCount, slot->kind};
  return OnControlMessage(window, message, wParam, lParam, pageIndex, &rows);
}

TEST_F(RowCallbackTest, UnitPairClickedSwitchesEveryRangeCaption) {
  RunOnGeneralPage(WM_NOTIFY, [&](HWND, HWND general, HandlerContext* context) {
    ASSERT_TRUE(CreateControlStates(general, context, GetPageData(general), kUnitPageRows, kUnitPageRowCount));
    SetPageOverride(UnitPageControls, 0);
    // The toner buttons follow their own item on the page: here they are the unit pair.
    for (const int id : {kTonerOff, kTonerLight}) {
      EnableWindow(GetDlgItem(general, id), TRUE);
      ShowWindow(GetDlgItem(general, id), SW_SHOW);
    }
    sheet_.displayUnit = 0;
    NMHDR header{general, 0, PSN_SETACTIVE};
    DispatchToRows(context, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), kUnitPageRows, kUnitPageRowCount, 0);
    const std::u16string millimetres = u"Brightness:(-3 to 3 mm)";
    EXPECT_EQ(ControlText(general, kColorLabel), millimetres);
    EXPECT_EQ(ControlText(general, kDuplexLabel), millimetres);
    EXPECT_EQ(ControlText(general, kDuplexText), u"mm");

    // A click on the inch button: the page's refresh shows every caption in inches.
    EXPECT_TRUE(SimClick(GetDlgItem(general, kTonerLight)));
    EXPECT_EQ(sheet_.displayUnit, 1);
    for (const int id : {kColorLabel, kDuplexLabel}) {
      const std::u16string caption = ControlText(general, id);
      EXPECT_EQ(caption.substr(0, 12), u"Brightness:(") << id;
      EXPECT_NE(caption.find(u" in)"), std::u16string::npos) << std::string(caption.begin(), caption.end());
    }
    EXPECT_EQ(ControlText(general, kDuplexText), u"in");
    EXPECT_EQ(IsDlgButtonChecked(general, kTonerLight), BST_CHECKED);

    EXPECT_TRUE(SimClick(GetDlgItem(general, kTonerOff)));
    EXPECT_EQ(sheet_.displayUnit, 0);
    EXPECT_EQ(ControlText(general, kColorLabel), millimetres);
    EXPECT_EQ(ControlText(general, kDuplexLabel), millimetres);
    EXPECT_EQ(ControlText(general, kDuplexText), u"mm");
    SetPageOverride(nullptr, -1);
    ReleaseRowResources(context, kUnitPageRows, kUnitPageRowCount);
  });
}

// The duplex text shows icon 5201 for one-sided printing and 5202 for long-edge binding;
// other values name no icon.
int DuplexIcon(HandlerContext* context, SettingItemId id, LONG, WORD* iconId) {
  ItemValueCell value{};
  if (id != 16 || !ReadContextItem(context, kItemDuplex, &value)) return 1;
  if (value.word != 1 && value.word != 2) return 1;
  *iconId = value.word == 1 ? 5201 : 5202;
  return 0;
}

INT_PTR DuplexIconRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                      const void*) {
  return ShowValueIcon(context, message, wParam, lParam, row, DuplexIcon);
}

const DWORD kDuplexItem[] = {BoundItem(kItemDuplex, kRefreshOnFull | kRefreshOnChange)};
const ControlRow kIconRow{kDuplexText, 1, kDuplexItem, kKindStaticText, DuplexIconRow, nullptr, kNoControl, kNoString,
                          nullptr};

TEST_F(RowCallbackTest, ValueIconFollowsTheValueAndGoesWithTheCycle) {
  RunOnGeneralPage(WM_NOTIFY, [&](HWND, HWND general, HandlerContext* context) {
    HWND control = GetDlgItem(general, kDuplexText);
    const int icons = SimLiveGdiObjectsOfKind(SimGdiKind::Icon);
    auto notify = [&](UINT code) {
      NMHDR header{general, 0, code};
      DispatchToRows(context, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), &kIconRow, 1, 0);
    };
    auto refresh = [&] { DispatchToRows(context, WM_REFRESHCONTROLS, 0, 0, &kIconRow, 1, 0); };
    auto shown = [&] { return reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0)); };

    SetItem(kItemDuplex, 1);
    notify(PSN_SETACTIVE);
    ASSERT_NE(shown(), nullptr);
    EXPECT_EQ(SimIconResourceId(shown()), 5201);
    SetItem(kItemDuplex, 2);
    refresh();
    EXPECT_EQ(SimIconResourceId(shown()), 5202);
    EXPECT_EQ(SimLiveGdiObjectsOfKind(SimGdiKind::Icon), icons + 1) << "the icon replaced was destroyed";
    SetItem(kItemDuplex, 3);
    refresh();
    EXPECT_EQ(SimIconResourceId(shown()), 5202) << "a value without an icon leaves the one shown";
    for (const UINT end : {PSN_APPLY, PSN_RESET}) {
      SetItem(kItemDuplex, 1);
      notify(PSN_SETACTIVE);
      ASSERT_NE(shown(), nullptr);
      notify(end);
      EXPECT_EQ(shown(), nullptr) << end;
      EXPECT_EQ(SimLiveGdiObjectsOfKind(SimGdiKind::Icon), icons) << "the icon goes when the page's cycle ends";
    }

    EXPECT_EQ(SetStaticIcon(context, 4711, kDuplexText), kStaticIconFailed) << "no such icon";
    EXPECT_EQ(SetStaticIcon(context, 5201, 4711), kStaticIconFailed) << "no such control";
    EXPECT_EQ(shown(), nullptr);
    EXPECT_EQ(SetStaticIcon(context, 5201, kDuplexText), 0);
    ClearStaticIcon(general, kDuplexText);
    EXPECT_EQ(SimLiveGdiObjectsOfKind(SimGdiKind::Icon), icons);
  });
}

const ControlRow kStatusRow{kHelpButton, 0, nullptr, kKindPushButton, DeviceStatusButtonRow, nullptr, kNoControl,
                            kNoString, nullptr};

TEST_F(RowCallbackTest, DeviceStatusButtonAnswersTheNegatedAction) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    struct Case {
      const char16_t* port;
      const char16_t* message;
    };
    const Case cases[] = {
        {u"LPT1:", u"The status monitor cannot be reached."},
        {u"USB001", u"The status monitor cannot be reached."},
        {u"VQUSB002", u"The status monitor cannot be reached."},
        {u"LPT4:", u"The status is shown only for printers connected to this computer."},
        {u"IP_192.168.1.20", u"The status is shown only for printers connected to this computer."},
    };
    LPWSTR port = sheet_.portName;
    const WPARAM click = MAKEWPARAM(kHelpButton, BN_CLICKED);
    for (const Case& c : cases) {
      std::u16string name = c.port;
      sheet_.portName = name.data();
      SimMessageBoxReset();
      EXPECT_EQ(DispatchToRows(context, WM_COMMAND, click, 0, &kStatusRow, 1, 0), 0) << "handled";
      const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, c.message);
      EXPECT_EQ(boxes[0].caption, u"Printer Settings");
      EXPECT_NE(boxes[0].type & MB_ICONWARNING, 0u);
    }
    sheet_.portName = port;
    SimMessageBoxReset();
    NMHDR header{context->window, 0, PSN_SETACTIVE};
    EXPECT_EQ(DispatchToRows(context, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), &kStatusRow, 1, 0), 0)
        << "other messages go to the push button alone";
    HandlerContext detached = *context;
    detached.window = nullptr;
    detached.changedItems = nullptr;
    EXPECT_EQ(DispatchToRows(&detached, WM_COMMAND, click, 0, &kStatusRow, 1, 0), 1) << "no sheet: the action fails";
    EXPECT_TRUE(SimMessageBoxLog().empty());
  });
}

}  // namespace
