// The settings list tab and the about dialog it opens, through the document sheet as the hosts
// open it: the about texts after a paint, the dialog's own fonts, the hidden control, the
// document button, and the pictures of both.
#include <gtest/gtest.h>

#include "items/item_ids.h"
#include "core/database/database.h"
#include "tests/support/model_files.h"
#include "tests/support/sheet_fixture.h"

namespace {

using sheet_test::OpenedBy;

constexpr int kSettingsListTab = 2;
constexpr int kAboutButton = 3312, kAboutText = 1213, kHeadingText = 1215, kHiddenControl = 3281,
              kDocumentButton = 1353, kNoteText = 1761;
constexpr int kSkipBlankBox = 3290, kCenterBytesBox = 1044, kSpoolFormatCombo = 3295, kSpoolFormatLabel = 3291,
              kPriorityCombo = 3297, kFontOptionsButton = 3311, kTabHiddenControl = 3313, kRestore = 1090;
constexpr WORD kAboutTemplate = 510;

// Picks the combo's line with the text, as a person reads it.
void Pick(HWND page, int control, const std::u16string& text) {
  HWND combo = GetDlgItem(page, control);
  const LRESULT line = SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  ASSERT_GE(line, 0) << Utf16ToUtf8(text);
  ASSERT_TRUE(SimPickCombo(combo, int(line)));
}

std::string Fixture(const char* name) {
  return std::string(QV_SOURCE_DIR) + "/tests/ui/pages/settings_list_tab/data/" + name;
}

std::u16string LongText(HWND window, int control) {
  WCHAR text[512] = {};
  GetDlgItemTextW(window, control, text, 512);
  return text;
}

// The LOGFONTW of the font the control draws with.
LOGFONTW ControlFont(HWND window, int control) {
  LOGFONTW font{};
  const auto handle = reinterpret_cast<HFONT>(SendDlgItemMessageW(window, control, WM_GETFONT, 0, 0));
  EXPECT_NE(handle, nullptr);
  if (handle != nullptr) {
    EXPECT_EQ(GetObjectW(handle, sizeof(font), &font), int(sizeof(font)));
  }
  return font;
}

int DialogDpi(HWND dialog) {
  HDC dc = GetDC(dialog);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(dialog, dc);
  return dpi;
}

// Sends a double-click at the middle of the control, with the keys and buttons held.
void DoubleClickOn(HWND dialog, int control, WPARAM keys) {
  RECT area{};
  ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, control), &area));
  POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
  ASSERT_TRUE(ScreenToClient(dialog, &middle));
  SendMessageW(dialog, WM_LBUTTONDBLCLK, keys, MAKELPARAM(middle.x, middle.y));
}

std::u16string ExpectedAboutText(const std::u16string& build, bool defaultsMark) {
  return u"Qorvex QX-4500 printer driver Version 2.5.2.1 (build " + build + u")" + (defaultsMark ? u"." : u"") +
         u"\nThis driver prints on the models of its family through the system's print spooler.\n\n"
         u"Copyright Qorvex";
}

std::u16string Decimal(DWORD value) {
  std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

class SettingsListTest : public sheet_test::SheetTest {
 protected:
  // Opens the about dialog from the settings list tab of a sheet the host opened; `act` runs on
  // the painted dialog, which is then closed with OK.
  void WithAboutDialog(OpenedBy host, const std::function<void(HWND dialog)>& act) {
    bool ran = false;
    OpenDocumentSheet(host, [&](HWND sheet) {
      HWND page = ShowTab(sheet, kSettingsListTab);
      ASSERT_NE(page, nullptr);
      SimOnDialog(kAboutTemplate, [&](HWND dialog) {
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        act(dialog);
        ran = true;
        SimClick(GetDlgItem(dialog, IDOK));
      });
      EXPECT_TRUE(SimClick(GetDlgItem(page, kAboutButton)));
      SimSheetPress(sheet, PSBTN_CANCEL);
    });
    EXPECT_TRUE(ran);
  }
};

// After one paint the heading and the about text read the model's texts and the version; the
// printer-defaults sheet marks its version with a full stop.
TEST_F(SettingsListTest, AboutTextsAfterOnePaint) {
  const std::u16string build = Decimal(PackVersion(3, 10, 1200));
  for (OpenedBy host : {OpenedBy::kApplication, OpenedBy::kDefaults, OpenedBy::kPreferences}) {
    SCOPED_TRACE(sheet_test::HostName(host));
    WithAboutDialog(host, [&](HWND dialog) {
      EXPECT_EQ(LongText(dialog, kHeadingText), u"Qorvex QX-4500");
      EXPECT_EQ(LongText(dialog, kAboutText), ExpectedAboutText(build, host == OpenedBy::kDefaults));
      EXPECT_EQ(LongText(dialog, kNoteText), u"Thank you for choosing this printer.");
    });
  }
}

// The heading is drawn 18 points bold and the text 9 points regular, both in the default face
// and the dialog font's character set.
TEST_F(SettingsListTest, AboutFontsAreTheDialogsOwn) {
  WithAboutDialog(OpenedBy::kApplication, [&](HWND dialog) {
    const int dpi = DialogDpi(dialog);
    const LOGFONTW heading = ControlFont(dialog, kHeadingText);
    EXPECT_EQ(heading.lfHeight, -MulDiv(18, dpi, 72));
    EXPECT_EQ(heading.lfWeight, 700);
    EXPECT_EQ(std::u16string(heading.lfFaceName), u"Arial");
    const LOGFONTW text = ControlFont(dialog, kAboutText);
    EXPECT_EQ(text.lfHeight, -MulDiv(9, dpi, 72));
    EXPECT_EQ(text.lfWeight, 400);
    // Both take the character set of the dialog's own font.
    const auto dialogHandle = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW dialogFont{};
    ASSERT_EQ(GetObjectW(dialogHandle, sizeof(dialogFont), &dialogFont), int(sizeof(dialogFont)));
    EXPECT_EQ(heading.lfCharSet, dialogFont.lfCharSet);
    EXPECT_EQ(text.lfCharSet, dialogFont.lfCharSet);
  });
}

// Two sheets open at once each open an about dialog: closing the inner one leaves the outer
// one's fonts alive.
TEST_F(SettingsListTest, TwoAboutDialogsKeepTheirOwnFonts) {
  HFONT outerHeading = nullptr;
  bool checked = false;
  WithAboutDialog(OpenedBy::kApplication, [&](HWND outer) {
    outerHeading = reinterpret_cast<HFONT>(SendDlgItemMessageW(outer, kHeadingText, WM_GETFONT, 0, 0));
    HFONT innerHeading = nullptr;
    WithAboutDialog(OpenedBy::kApplication, [&](HWND inner) {
      innerHeading = reinterpret_cast<HFONT>(SendDlgItemMessageW(inner, kHeadingText, WM_GETFONT, 0, 0));
    });
    EXPECT_NE(innerHeading, nullptr);
    EXPECT_NE(innerHeading, outerHeading);
    EXPECT_EQ(GetObjectType(innerHeading), 0u);  // deleted with its dialog
    EXPECT_EQ(GetObjectType(outerHeading), DWORD(OBJ_FONT));
    RedrawWindow(outer, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(ControlFont(outer, kHeadingText).lfWeight, 700);
    checked = true;
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(GetObjectType(outerHeading), 0u);
}

// The hidden controls of the tab and of the about dialog show only for a double-click on their
// place with both buttons, Shift and Ctrl held.
TEST_F(SettingsListTest, HiddenControlsShowOnlyForTheirKeys) {
  constexpr WPARAM kAllKeys = MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL;
  struct Case {
    const char* name;
    WPARAM keys;
    int clicked;
    bool shown;
  };
  const Case cases[] = {
      {"left button only", MK_LBUTTON, 0, false},
      {"all but Ctrl", MK_LBUTTON | MK_RBUTTON | MK_SHIFT, 0, false},
      {"the keys elsewhere", kAllKeys, kRestore, false},
      {"the keys on its place", kAllKeys, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // On the tab.
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      HWND page = ShowTab(sheet, kSettingsListTab);
      ASSERT_NE(page, nullptr);
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, kFontOptionsButton)));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, kTabHiddenControl)));
      DoubleClickOn(page, c.clicked == 0 ? kTabHiddenControl : c.clicked, c.keys);
      EXPECT_EQ(bool(IsWindowVisible(GetDlgItem(page, kTabHiddenControl))), c.shown);
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, kFontOptionsButton)));
      SimSheetPress(sheet, PSBTN_CANCEL);
    });
    // On the about dialog.
    WithAboutDialog(OpenedBy::kApplication, [&](HWND dialog) {
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, kHiddenControl)));
      DoubleClickOn(dialog, c.clicked == 0 ? kHiddenControl : kDocumentButton, c.keys);
      EXPECT_EQ(bool(IsWindowVisible(GetDlgItem(dialog, kHiddenControl))), c.shown);
    });
  }
}

// The tab's check boxes and combos store their settings; restore puts the defaults back.
TEST_F(SettingsListTest, TabControlsStoreTheirSettings) {
  struct Case {
    const char* name;
    std::function<void(HWND page)> act;
    SettingItemId item;
    DWORD stored;
  };
  const std::vector<Case> cases = {
      {"skip blank pages ticked", [](HWND p) { SimClick(GetDlgItem(p, kSkipBlankBox)); }, kItemSkipEmptyPages, 1},
      {"centre every byte ticked", [](HWND p) { SimClick(GetDlgItem(p, kCenterBytesBox)); }, kItemCenterEveryByte, 1},
      {"RAW spool data", [](HWND p) { Pick(p, kSpoolFormatCombo, u"RAW"); }, kItemSpoolFormat, 0},
      {"high priority", [](HWND p) { Pick(p, kPriorityCombo, u"High"); }, kItemJobPriority, 2},
      {"restore defaults", [](HWND p) {
         SimClick(GetDlgItem(p, kSkipBlankBox));
         Pick(p, kPriorityCombo, u"Low");
         SimClick(GetDlgItem(p, kRestore));
       }, kItemJobPriority, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DWORD result = 0;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      HWND page = ShowTab(sheet, kSettingsListTab);
      ASSERT_NE(page, nullptr);
      c.act(page);
      EXPECT_TRUE(SimSheetPress(sheet, PSBTN_OK));
    }, nullptr, 0, &result);
    EXPECT_EQ(result, DWORD(CPSUI_OK));
    EXPECT_EQ(DevModeItem(output_, c.item), c.stored);
  }
}

// The labels carry the setting's name from the model and their access keys.
TEST_F(SettingsListTest, LabelsNameTheSettings) {
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    HWND page = ShowTab(sheet, kSettingsListTab);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Text(page, kSpoolFormatLabel), u"Spool Data Format (&F):");
    EXPECT_EQ(Text(page, kSkipBlankBox), u"Skip Blank Pages (&K)");
    EXPECT_FALSE(IsDlgButtonChecked(page, kSkipBlankBox));
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
}

// The document button opens the document the model names.
TEST_F(SettingsListTest, DocumentButtonOpensTheModelsDocument) {
  const size_t before = SimShellLog().size();
  WithAboutDialog(OpenedBy::kApplication, [&](HWND dialog) { SimClick(GetDlgItem(dialog, kDocumentButton)); });
  const std::vector<SimShellCall> calls = SimShellLog();
  ASSERT_EQ(calls.size(), before + 1);
  EXPECT_EQ(calls.back().verb, u"open");
  EXPECT_EQ(calls.back().file, u"QX4500.htm");
}

TEST_F(SettingsListTest, PictureOfTheSettingsListTab) {
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    ShowTab(sheet, kSettingsListTab);
    ExpectMatchesPicture(sheet, Fixture("settings_list_tab.png"));
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
}

TEST_F(SettingsListTest, PictureOfTheAboutDialog) {
  WithAboutDialog(OpenedBy::kApplication, [&](HWND dialog) { ExpectMatchesPicture(dialog, Fixture("about_dialog.png")); });
}

// A database of version 2.5 shows the low word of its version as the build number.
class AboutBuildNumberTest : public SettingsListTest {
 protected:
  std::u16string InstallModel() override {
    return InstallSampleVariant({{"version \"DDD:3.10.1200\"", "version \"DDD:2.5.4660\""}});
  }
};

TEST_F(AboutBuildNumberTest, VersionTwoFiveShowsTheLowWord) {
  ASSERT_EQ(PackVersion(2, 5, 4660), 0x02051234u);
  WithAboutDialog(OpenedBy::kApplication, [&](HWND dialog) {
    EXPECT_EQ(LongText(dialog, kAboutText), ExpectedAboutText(u"4660", false));
  });
}

}  // namespace
