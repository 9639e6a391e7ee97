// The control kinds over the sample model's rules: the states a refresh shows (disabled,
// hidden, read-only and the disabled-but-current code), changes that write the item and force
// others, the answers for an equal value, a busy sheet and a policy lock, refusals that flip a
// control back, the scroll-bar and track-bar mappings, the spin edit with its buddy and the
// picture's subclass.
#include <gtest/gtest.h>

#include "core/choices/choice_list_build.h"
#include "core/constraints/constraint_engine.h"
#include "core/store/policy_file.h"
#include "items/item_ids.h"
#include "tests/ui/framework/dialog/dialog_fixture.h"

namespace dialog_test {
namespace {

using KindsTest = DialogTest;

const ControlRow* QualityRow(int controlId) {
  LONG count = 0;
  const ControlRow* rows = QualityRows(&count);
  for (LONG n = 0; n < count; ++n) {
    if (rows[n].controlId == controlId) return &rows[n];
  }
  return nullptr;
}
const ControlRow* GeneralRow(int controlId) {
  LONG count = 0;
  const ControlRow* rows = GeneralRows(&count);
  for (LONG n = 0; n < count; ++n) {
    if (rows[n].controlId == controlId) return &rows[n];
  }
  return nullptr;
}

bool ReadOnly(HWND edit) { return (GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) != 0; }

TEST_F(KindsTest, StateCodesShowOnTheControls) {
  // Controls of every kind show a code the same way; an edit box has its own form.
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    HWND quality = SheetPage(sheet, 1);
    HWND text = GetDlgItem(quality, kTonerText);
    HWND edit = GetDlgItem(quality, kTonerEdit);
    const struct Case {
      StateCode code;
      bool enabled, visible, editEnabled, editVisible, editReadOnly;
    } cases[] = {
        {kStateUsable, true, true, true, true, false},
        {kStateDisabled, false, true, false, true, false},
        {kStateHidden, false, false, false, false, false},
        {kStateReadOnly, true, true, true, true, true},
        {kStateDisabledCurrent, false, true, true, true, false},
    };
    for (const Case& c : cases) {
      EXPECT_EQ(ShowControlState(text, c.code), 1);
      EXPECT_EQ(ShowEditControlState(edit, kTonerEdit, c.code), 1);
      EXPECT_EQ(bool(IsWindowEnabled(text)), c.enabled) << c.code;
      EXPECT_EQ(bool(IsWindowVisible(text)), c.visible) << c.code;
      EXPECT_EQ(bool(IsWindowEnabled(edit)), c.editEnabled) << c.code;
      EXPECT_EQ(bool(IsWindowVisible(edit)), c.editVisible) << c.code;
      EXPECT_EQ(ReadOnly(edit), c.editReadOnly) << c.code;
    }
    EXPECT_EQ(ShowControlState(nullptr, kStateUsable), 0);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, RefreshShowsTheModelsStates) {
  // Toner save (item 271) is disabled by default, hidden with collation on and read-only in
  // grayscale without collation: the refresh of the page shows each.
  const struct Case {
    LONG toner, collate, colorMode;
    StateCode code;
  } cases[] = {{0, 1, 0, kStateDisabled}, {1, 1, 0, kStateHidden}, {1, 0, 1, kStateReadOnly}};
  for (const Case& c : cases) {
    SetItem(kItemPrintMode, c.toner);
    SetItem(kItemCollate, c.collate);
    SetItem(kItemColorMode, c.colorMode);
    DWORD result = 99;
    RunSheet([&](HWND sheet) {
      ASSERT_TRUE(SimSheetSelect(sheet, 1));
      HWND quality = SheetPage(sheet, 1);
      StateCode code = 99;
      EXPECT_EQ(GetRowStateCode(quality, QualityRow(kTonerText), &code, nullptr), 1);
      EXPECT_EQ(code, c.code);
      HWND text = GetDlgItem(quality, kTonerText);
      HWND edit = GetDlgItem(quality, kTonerEdit);
      EXPECT_EQ(bool(IsWindowVisible(text)), c.code != kStateHidden);
      EXPECT_EQ(bool(IsWindowEnabled(text)), c.code == kStateReadOnly);
      EXPECT_EQ(ReadOnly(edit), c.code == kStateReadOnly);
      EXPECT_EQ(bool(IsWindowEnabled(edit)), c.code == kStateReadOnly);
      ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
    }, &result);
  }
}

TEST_F(KindsTest, ChecksRadiosButtonsAndTextsShowTheirValues) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    EXPECT_EQ(Item(kItemCollate), 1);
    EXPECT_EQ(IsDlgButtonChecked(general, kCollateBox), BST_UNCHECKED) << "choice 1 (On) is the unchecked one";
    EXPECT_EQ(IsDlgButtonChecked(general, kAutoColor), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(general, kGrayscale), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(general, kTonerOff), BST_CHECKED);
    WCHAR text[64] = {};
    GetDlgItemTextW(general, kDuplexText, text, 64);
    EXPECT_EQ(std::u16string(text), u"Off") << "the name of item 16's choice";
    GetDlgItemTextW(general, kColorLabel, text, 64);
    EXPECT_EQ(std::u16string(text), u"Color Mode:") << "the list's name with pattern 466";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(general, kTonerOff))) << "the whole toner item is disabled";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(general, kHelpButton)));
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    HWND quality = SheetPage(sheet, 1);
    GetDlgItemTextW(quality, kResourceText, text, 64);
    EXPECT_EQ(std::u16string(text), u"Settings of the toner");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(quality, kColorGroup)));
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, ChangeWritesTheItemAndForcesDependentsInListOrder) {
  // Landscape forces one-sided grayscale printing (the test model's rule): the rows hear the
  // change with the item first and the forced items after it.
  SetItem(kItemDuplex, 2);
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    EXPECT_EQ(IsDlgButtonChecked(general, kPortraitBox), BST_CHECKED);
    SeenChanges().clear();
    ASSERT_TRUE(SimClick(GetDlgItem(general, kPortraitBox)));
    EXPECT_EQ(Item(kItemOrientation), 2);
    EXPECT_EQ(Item(kItemDuplex), 1) << "forced";
    EXPECT_EQ(Item(kItemColorMode), 1) << "forced";
    ASSERT_EQ(SeenChanges().size(), 1u);
    EXPECT_EQ(SeenChanges()[0], (std::vector<WORD>{7, 16, 270}));
    EXPECT_TRUE(SimSheetPages(sheet)[0].changed);
    EXPECT_EQ(IsDlgButtonChecked(general, kGrayscale), BST_CHECKED) << "the forced value is shown";
    WCHAR text[32] = {};
    GetDlgItemTextW(general, kDuplexText, text, 32);
    EXPECT_EQ(std::u16string(text), u"Off");
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
  EXPECT_EQ(Item(kItemOrientation), 1) << "cancelled";
}

TEST_F(KindsTest, EqualBusyAndErrorAnswers) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    HandlerContext context;
    InitHandlerContext(&context, general, sheet, kGeneralPage, WM_COMMAND, kTabPage);
    const ControlRow* row = GeneralRow(kAutoColor);
    const BoundValue* bound = GetCurrentBoundValue(general, row);
    ASSERT_NE(bound, nullptr);
    WORD* changed = reinterpret_cast<WORD*>(1);
    const WORD same = 0, gray = 1, none = 99;
    EXPECT_EQ(ChangeControlValue(&context, row, bound, &same, &changed), kChangeEqual);
    EXPECT_EQ(changed, nullptr);
    sheet_.busy = 1;
    EXPECT_EQ(ChangeControlValue(&context, row, bound, &gray, &changed), kChangeRefused);
    EXPECT_EQ(sheet_.busy, 1u) << "the change that holds the flag clears it";
    sheet_.busy = 0;
    EXPECT_EQ(ChangeControlValue(&context, row, bound, &none, &changed), kChangeError) << "no such choice";
    EXPECT_EQ(sheet_.busy, 0u) << "an error leaves the sheet free for the next change";
    ItemValueCell cell{};
    EXPECT_EQ(ReadContextItem(&context, kItemColorMode, &cell), 1);
    EXPECT_EQ(cell.word, 0);
    EXPECT_EQ(ChangeControlValue(&context, row, bound, &gray, &changed), kChangeApplied);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(changed[0], 270);
    GlobalFree(changed);
    EXPECT_EQ(Item(kItemColorMode), 1);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, PolicyLockRefusesAndTheGroupFlipsBack) {
  WritePolicy("[Qorvex_QX_4500]\nColorMode.enforced=auto_color\nduplex.display=hide\n");
  OpenSheetState();
  ASSERT_NE(store_->policy, nullptr);

  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(general, kGrayscale))) << "an enforced item may show enabled";

    ASSERT_TRUE(SimClick(GetDlgItem(general, kGrayscale)));
    EXPECT_EQ(Item(kItemColorMode), 0) << "refused";
    EXPECT_EQ(IsDlgButtonChecked(general, kGrayscale), BST_UNCHECKED) << "the group shows the stored choice";
    EXPECT_EQ(IsDlgButtonChecked(general, kAutoColor), BST_CHECKED);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(general, kDuplexText))) << "the policy hides item 16";
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(general, kDuplexLabel))) << "and its label";
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, RefusedByTheModelTheRadioFlipsBack) {
  // Strong toner save is refused by the model's requirement (it starts from automatic
  // colour): the group shows the stored choice again.
  SetItem(kItemCollate, 0);
  SetItem(kItemColorMode, 2);
  SetItem(kItemPrintMode, 1);
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    EXPECT_EQ(IsDlgButtonChecked(general, kTonerLight), BST_CHECKED);
    ASSERT_TRUE(SimClick(GetDlgItem(general, kTonerStrong)));
    EXPECT_EQ(Item(kItemPrintMode), 1);
    EXPECT_EQ(IsDlgButtonChecked(general, kTonerStrong), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(general, kTonerLight), BST_CHECKED);
    EXPECT_EQ(sheet_.busy, 0u);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, RadioGroupsShorterThanTheirListAndRangesOfOtherCombos) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    HWND general = SheetPage(sheet, 0);
    // A group with buttons for the first two of three choices: the third choice's state has
    // no button to be shown on.
    static const LONG twoButtons[] = {kAutoColor, kGrayscale};
    static const RadioGroupData shortGroup{2, twoButtons};
    ControlRow row = *GeneralRow(kAutoColor);
    row.kindData = &shortGroup;
    ASSERT_EQ(SetChoiceStateCode(general, kItemColorMode, 2, kStateDisabled), 1);
    ASSERT_EQ(SetChoiceStateCode(general, kItemColorMode, 1, kStateHidden), 1);
    HandlerContext context;
    InitHandlerContext(&context, general, sheet, kGeneralPage, WM_REFRESHCONTROLS, kTabPage);
    EXPECT_EQ(HandleRadioGroupKind(&context, WM_REFRESHCONTROLS, 0, 0, &row, &shortGroup), 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(general, kGrayscale)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(general, kFullColor))) << "no button of this group";
    // A combo row of an item without a fixed range has none: the outputs stay as they were.
    ControlRow combo = *GeneralRow(kAutoColor);
    combo.kind = kKindComboBox;
    LONG minimum = 111, maximum = 222;
    EXPECT_EQ(GetNumericRange(&context, &combo, &minimum, &maximum), 0);
    EXPECT_EQ(minimum, 111);
    EXPECT_EQ(maximum, 222);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, ScrollBarMapsNegativeRangesFromZero) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    HWND quality = SheetPage(sheet, 1);
    HWND bar = GetDlgItem(quality, kBrightnessBar);
    int low = 9, high = 9;
    GetScrollRange(bar, SB_CTL, &low, &high);
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 6) << "-3..3 shown as 0..6";
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 3) << "value 0";
    const struct Step {
      int code, pos;
      LONG value;
    } steps[] = {
        {SB_THUMBPOSITION, 0, -3}, {SB_LINEUP, 0, -2}, {SB_PAGEUP, 0, 0}, {SB_LINEDOWN, 0, -1},
        {SB_TOP, 0, 3}, {SB_LINEUP, 0, 3}, {SB_BOTTOM, 0, -3}, {SB_PAGEDOWN, 0, -3}, {SB_THUMBTRACK, 6, 3},
    };
    for (const Step& s : steps) {
      ASSERT_TRUE(SimScroll(bar, s.code, s.pos));
      EXPECT_EQ(Item(kItemColorTripleFirst), s.value) << s.code;
      EXPECT_EQ(GetScrollPos(bar, SB_CTL), s.value + 3) << s.code;
      EXPECT_EQ(SendDlgItemMessageW(quality, kBrightnessTrack, TBM_GETPOS, 0, 0), s.value) << "the track bar follows";
    }
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, TrackBarAppliesOnlyLineThumbTrackAndEndTrack) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    HWND quality = SheetPage(sheet, 1);
    HWND track = GetDlgItem(quality, kBrightnessTrack);
    EXPECT_EQ(SendMessageW(track, TBM_GETRANGEMIN, 0, 0), -3);
    EXPECT_EQ(SendMessageW(track, TBM_GETRANGEMAX, 0, 0), 3);
    EXPECT_EQ(SendMessageW(track, TBM_GETPAGESIZE, 0, 0), 2);
    ASSERT_TRUE(SimTrack(track, TB_LINEDOWN, 0));
    EXPECT_EQ(Item(kItemColorTripleFirst), 1);
    ASSERT_TRUE(SimTrack(track, TB_THUMBTRACK, -2));
    EXPECT_EQ(Item(kItemColorTripleFirst), -2);
    // A page step moves the thumb; only the end of the key press applies it.
    SendMessageW(track, TBM_SETPOS, TRUE, 0);
    SendMessageW(quality, WM_HSCROLL, MAKEWPARAM(TB_PAGEDOWN, 0), reinterpret_cast<LPARAM>(track));
    EXPECT_EQ(Item(kItemColorTripleFirst), -2);
    SendMessageW(quality, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(track));
    EXPECT_EQ(Item(kItemColorTripleFirst), 0);
    ASSERT_TRUE(SimTrack(track, TB_PAGEDOWN, 0));
    EXPECT_EQ(Item(kItemColorTripleFirst), 2) << "the platform's page step and its end of tracking";
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, SpinStepsFromTheStoredValueAndWritesItsBuddy) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    HWND quality = SheetPage(sheet, 1);
    HWND spin = GetDlgItem(quality, kBrightnessSpin);
    int low = 0, high = 0;
    SendMessageW(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, -3);
    EXPECT_EQ(high, 3);
    ASSERT_TRUE(SimSpin(spin, 1));
    EXPECT_EQ(Item(kItemColorTripleFirst), 1);
    WCHAR text[16] = {};
    GetDlgItemTextW(quality, kBrightnessEdit, text, 16);
    EXPECT_EQ(std::u16string(text), u"1");
    // A typed number within the range is the base of the step; one outside it is not.
    SetDlgItemTextW(quality, kBrightnessEdit, u"2");
    ASSERT_TRUE(SimSpin(spin, 1));
    EXPECT_EQ(Item(kItemColorTripleFirst), 3);
    SetDlgItemTextW(quality, kBrightnessEdit, u"40");
    ASSERT_TRUE(SimSpin(spin, -1));
    EXPECT_EQ(Item(kItemColorTripleFirst), 2);
    SetDlgItemTextW(quality, kBrightnessEdit, u"x");
    ASSERT_TRUE(SimSpin(spin, -1));
    EXPECT_EQ(Item(kItemColorTripleFirst), 1);
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

TEST_F(KindsTest, PictureSubclassLivesFromActivationToApplyOrReset) {
  DWORD result = 99;
  RunSheet([&](HWND sheet) {
    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    HWND quality = SheetPage(sheet, 1);
    HWND picture = GetDlgItem(quality, kOrientationPicture);
    const LONG_PTR own = reinterpret_cast<LONG_PTR>(&PictureKindProc);
    EXPECT_EQ(GetWindowLongPtrW(picture, GWLP_WNDPROC), own) << "subclassed at activation";
    RECT client{};
    GetClientRect(picture, &client);
    EXPECT_EQ(client.right, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(client.bottom, GetSystemMetrics(SM_CYICON));
    EXPECT_NE(GetControlData(2, quality, kOrientationPicture, 0), nullptr) << "the saved procedure";
    const void* kindData = nullptr;
    SendMessageW(quality, WM_QUERYKINDDATA, kOrientationPicture, reinterpret_cast<LPARAM>(&kindData));
    EXPECT_EQ(kindData, GetRowKindData(QualityRow(kOrientationPicture)));
    EXPECT_EQ(RealizePicturePalette(quality, picture, QualityRow(kOrientationPicture)), 0) << "no palette";
    EXPECT_NE(GetWindowLongPtrW(GetDlgItem(quality, kDuplexPicture), GWLP_WNDPROC), own)
        << "a list whose first choice has no picture leaves the control as it is";
    EXPECT_EQ(GetControlData(2, quality, kDuplexPicture, 0), nullptr);

    ASSERT_TRUE(SimSheetSelect(sheet, 0));
    EXPECT_EQ(GetWindowLongPtrW(picture, GWLP_WNDPROC), own) << "leaving the page keeps it";
    ASSERT_TRUE(SimClick(GetDlgItem(SheetPage(sheet, 0), kCollateBox)));
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_APPLYNOW));
    EXPECT_NE(GetWindowLongPtrW(picture, GWLP_WNDPROC), own) << "the apply put the procedure back";
    EXPECT_EQ(GetControlData(2, quality, kOrientationPicture, 0), nullptr);
    SimPaint(quality);  // the static paints with its own procedure again

    ASSERT_TRUE(SimSheetSelect(sheet, 1));
    EXPECT_EQ(GetWindowLongPtrW(picture, GWLP_WNDPROC), own) << "the next activation subclasses again";
    PSHNOTIFY reset{{sheet, 0, PSN_RESET}, 0};
    SendMessageW(quality, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&reset));
    EXPECT_NE(GetWindowLongPtrW(picture, GWLP_WNDPROC), own) << "a reset puts it back";
    EXPECT_TRUE(IsWindow(picture));
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, &result);
}

}  // namespace
}  // namespace dialog_test
