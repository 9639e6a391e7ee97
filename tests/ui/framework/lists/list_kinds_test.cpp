// The list and combo kinds on the test popup: choices a constraint excludes are absent, long
// names are cut at their last carriage return, check icons toggle with the keyboard, a double
// click steps an item past excluded choices, and a refresh that the list's own change caused
// does not refill it while another row's change does.
#include <gtest/gtest.h>

#include "items/item_ids.h"
#include "tests/ui/framework/lists/lists_fixture.h"

namespace lists_test {
namespace {

using ListKindsTest = ListsTest;

LONG_PTR ItemData(HWND list, int line) { return SendMessageW(list, LB_GETITEMDATA, line, 0); }

TEST_F(ListKindsTest, ExcludedChoicesAreAbsentAndNamesCut) {
  RunPopup([&](HWND dialog) {
    HWND combo = GetDlgItem(dialog, kColorCombo);
    EXPECT_EQ(Lines(combo), (std::vector<std::u16string>{u"Auto Color", u"Full Color"}));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETMINVISIBLE, 0, 0), 7);
    WCHAR shortName[16] = {};
    GetDlgItemTextW(dialog, kBrightnessText, shortName, 16);
    EXPECT_EQ(std::u16string(shortName), u"Auto");
    // The staple list shows exactly the choices the engine does not exclude.
    HWND staple = GetDlgItem(dialog, kStapleList);
    ChoiceList* list = FindChoiceList(dialog, kItemStaplePosition);
    ASSERT_NE(list, nullptr);
    std::vector<std::u16string> offered;
    for (LONG n = 0; n < list->count; ++n) {
      StateCode code = 0;
      ASSERT_TRUE(GetChoiceStateCode(dialog, kItemStaplePosition, n, &code));
      if (code != kStateDisabled && code != kStateHidden) offered.push_back(list->choices[n].name);
    }
    EXPECT_EQ(Lines(staple), offered);
    // One line per item: name, tab, the value's long name.
    EXPECT_EQ(Lines(GetDlgItem(dialog, kItemLines)),
              (std::vector<std::u16string>{u"Collate\tOn", u"Color Mode\tAuto Color", u"Two-sided Printing\tOff",
                                           u"Punch\t(fixed)"}));
    // A list whose only item is hidden shows the empty-list text.
    EXPECT_EQ(Lines(GetDlgItem(dialog, kHiddenLines)), std::vector<std::u16string>{u"(No settings to show)"});
    ClosePopup(dialog, false);
  });
}

TEST_F(ListKindsTest, CheckIconsToggleWithTheKeyboard) {
  ASSERT_EQ(Item(kItemCollate), 1);
  RunPopup([&](HWND dialog) {
    HWND check = GetDlgItem(dialog, kCheckList);
    ASSERT_EQ(Lines(check), std::vector<std::u16string>{u"Collate"});
    EXPECT_EQ(SimIconResourceId(reinterpret_cast<HICON>(ItemData(check, 0))), kIconChecked);
    SimFocus(check);
    SimKey(check, VK_SPACE);
    EXPECT_EQ(PopupItem(dialog, kItemCollate), 0);
    EXPECT_EQ(SimIconResourceId(reinterpret_cast<HICON>(ItemData(check, 0))), kIconUnchecked);
    EXPECT_EQ(SendMessageW(check, LB_GETCURSEL, 0, 0), 0) << "Space stays on its line";
    // The one-line-per-item list shows the new value too.
    EXPECT_EQ(Lines(GetDlgItem(dialog, kItemLines))[0], u"Collate\tOff");
    SimKey(check, VK_DOWN);  // past the last line: nothing happens
    EXPECT_EQ(PopupItem(dialog, kItemCollate), 0);
    SimKey(check, VK_SPACE);
    EXPECT_EQ(PopupItem(dialog, kItemCollate), 1);
    EXPECT_EQ(SimIconResourceId(reinterpret_cast<HICON>(ItemData(check, 0))), kIconChecked);
    ClosePopup(dialog, false);
  });
  EXPECT_EQ(Item(kItemCollate), 1) << "the popup edits a copy";
}

TEST_F(ListKindsTest, KeysMoveAndApplyInAChoiceList) {
  RunPopup([&](HWND dialog) {
    HWND staple = GetDlgItem(dialog, kStapleList);
    const LONG last = LONG(SendMessageW(staple, LB_GETCOUNT, 0, 0)) - 1;
    ASSERT_GE(last, 2);
    ASSERT_EQ(PopupItem(dialog, kItemStaplePosition), 0);
    SimFocus(staple);
    const struct Step {
      int key;
      LONG line;
    } steps[] = {{VK_DOWN, 1}, {VK_RIGHT, 2}, {VK_UP, 1}, {VK_END, last}, {VK_DOWN, last}, {VK_HOME, 0},
                 {VK_NEXT, last}, {VK_PRIOR, 0}, {VK_LEFT, 0}};
    for (const Step& step : steps) {
      SimKey(staple, step.key);
      EXPECT_EQ(SendMessageW(staple, LB_GETCURSEL, 0, 0), step.line) << step.key;
      EXPECT_EQ(PopupItem(dialog, kItemStaplePosition), step.line) << "the line's choice is applied " << step.key;
    }
    ClosePopup(dialog, false);
  });
}

TEST_F(ListKindsTest, DoubleClickStepsPastExcludedChoices) {
  RunPopup([&](HWND dialog) {
    HWND lines = GetDlgItem(dialog, kItemLines);
    ASSERT_EQ(PopupItem(dialog, kItemColorMode), 0);
    ASSERT_TRUE(SimDoubleClickList(lines, 1));
    EXPECT_EQ(PopupItem(dialog, kItemColorMode), 2) << "grayscale is skipped";
    EXPECT_EQ(Lines(lines)[1], u"Color Mode\tFull Color");
    EXPECT_EQ(SendMessageW(GetDlgItem(dialog, kColorCombo), CB_GETCURSEL, 0, 0), 1) << "the combo followed";
    WCHAR shortName[16] = {};
    GetDlgItemTextW(dialog, kBrightnessText, shortName, 16);
    EXPECT_EQ(std::u16string(shortName), u"Full");
    ASSERT_TRUE(SimDoubleClickList(lines, 1));
    EXPECT_EQ(PopupItem(dialog, kItemColorMode), 0) << "stepping wraps around";
    ASSERT_TRUE(SimDoubleClickList(lines, 3));
    EXPECT_EQ(PopupItem(dialog, kItemPunchPosition), 0) << "a fixed item does not step";
    ClosePopup(dialog, false);
  });
}

TEST_F(ListKindsTest, OwnChangeDoesNotRefillTheList) {
  RunPopup([&](HWND dialog) {
    HWND combo = GetDlgItem(dialog, kColorCombo);
    // A mark on a line survives the combo's own change but not another row's.
    SendMessageW(combo, CB_SETITEMDATA, 0, 0x5A5A);
    ASSERT_TRUE(SimPickCombo(combo, 1));
    EXPECT_EQ(PopupItem(dialog, kItemColorMode), 2);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 0, 0), 0x5A5A);
    ASSERT_TRUE(SimDoubleClickList(GetDlgItem(dialog, kItemLines), 1));
    EXPECT_EQ(PopupItem(dialog, kItemColorMode), 0);
    EXPECT_NE(SendMessageW(combo, CB_GETITEMDATA, 0, 0), 0x5A5A);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    // A refresh that names no causing row leaves the list alone.
    SendMessageW(combo, CB_SETITEMDATA, 0, 0x5A5A);
    HandlerContext context{};
    InitHandlerContext(&context, dialog, nullptr, kListsPage, WM_REFRESHCONTROLS, kPopupDialog);
    EXPECT_EQ(HandleComboBoxKind(&context, WM_REFRESHCONTROLS, 0, 0, Row(kColorCombo), Row(kColorCombo)->kindData), 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 0, 0), 0x5A5A);
    ClosePopup(dialog, false);
  });
}

}  // namespace
}  // namespace lists_test
