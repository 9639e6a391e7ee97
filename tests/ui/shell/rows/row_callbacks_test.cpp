// Shared row callbacks and the nested sheet on the dialog framework's test sheet: the unit
// radio pair switches the unit of every range caption and unit name, visibility rules follow
// the deciding control, and a nested sheet starts on its start page or falls back to its first.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/platform.h"
#include "tests/ui/shell/dialog/dialog_fixture.h"
#include "ui/shell/dialog/button_actions.h"
#include "ui/shell/dialog/row_callbacks.h"

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
    EXPECT_EQ(RangeText(general, 5889, 900, 3556, 0), u"(90.0 to 355.6 mm)");
    EXPECT_EQ(RangeText(general, 5889, 900, 3556, 1), u"(3.54 to 14.00 in)");
    // The binding shift is kept within 0.19 inch either way.
    EXPECT_EQ(RangeText(general, 268, -300, 300, 0), u"(-300 to 300 mm)");
    EXPECT_EQ(RangeText(general, 268, -300, 300, 1), u"(-1.9 to 1.9 in)");
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
    ChoiceList* before = FindChoiceList(general, 270);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(ReloadChoiceList(general, kGeneralPage, 270), 1);
    EXPECT_NE(FindChoiceList(general, 270), nullptr);
    EXPECT_NE(FindItemStateRecord(general, 270), nullptr);
    EXPECT_EQ(ReloadChoiceList(general, 47, 270), 0) << "a page without rows";
  });
}

const DWORD kBrightnessItem[] = {BoundItem(274, kRefreshOnFull | kRefreshOnChange)};
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
