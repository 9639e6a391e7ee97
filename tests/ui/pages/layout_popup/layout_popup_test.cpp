// The layout popup that the main tab's layout button opens: the controls each layout kind
// shows, which later changes of other settings do not undo, what OK and Cancel keep, and its
// picture.
#include <gtest/gtest.h>

#include "items/item_ids.h"
#include "tests/support/model_files.h"
#include "tests/support/sheet_fixture.h"

namespace {

using sheet_test::OpenedBy;

constexpr int kLayoutButton = 1352, kNormal = 1513, kPoster = 1514, kBooklet = 1515, kKindText = 1519,
              kSetsBox = 1521, kSetsText = 1777, kSheetsEdit = 1501, kSheetsRange = 1503, kPopupOk = 1092,
              kPopupCancel = 1091;
constexpr WORD kLayoutTemplate = 529;
constexpr SettingItemId kLayoutKindItem = kItemPageLayout, kSetsItem = kItemBookletHeaderSwitch;
const int kBookletOnly[] = {1498, 1504, 1531, 1508, kSheetsRange, kSetsText};

const std::u16string kPosterText = u"Each page is enlarged over several sheets that you join after printing.";
const std::u16string kBookletText = u"The pages are arranged so that the folded sheets read as a booklet.";
const std::u16string kSetsSentence = u"Each set takes 3 sheets (12 pages).";

std::string Fixture(const char* name) {
  return std::string(QV_SOURCE_DIR) + "/tests/ui/pages/layout_popup/data/" + name;
}

bool Shown(HWND popup, int control) {
  HWND window = GetDlgItem(popup, control);
  return window != nullptr && IsWindowVisible(window) && IsWindowEnabled(window);
}

class LayoutPopupTest : public sheet_test::SheetTest {
 protected:
  // The sample with three sheets to a booklet's set.
  std::u16string InstallModel() override {
    return InstallSampleVariant({{"include \"sample/layout.txt\"",
                                  "include \"sample/layout.txt\"\n"
                                  "choice @bookletSheets3 name=\"3 Sheets\" value=u16:3\n"
                                  "list 5158 name=\"Booklet Sheets\" kind=1 default=1 choices=[@bookletSheets3]"}});
  }

  // Opens the popup from the main tab, runs `act` in it and ends the sheet with OK.
  void InPopup(const std::function<void(HWND popup)>& act) {
    DWORD result = 0;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      HWND main = ShowTab(sheet, 0);
      ASSERT_NE(main, nullptr);
      bool opened = false;
      SimOnDialog(kLayoutTemplate, [&](HWND popup) {
        opened = true;
        act(popup);
      });
      EXPECT_TRUE(SimClick(GetDlgItem(main, kLayoutButton)));
      EXPECT_TRUE(opened);
      EXPECT_TRUE(SimSheetPress(sheet, PSBTN_OK));
    }, nullptr, 0, &result);
    EXPECT_EQ(result, DWORD(CPSUI_OK));
  }
};

// Each layout kind shows its own controls and text; the booklet's sets sentence counts four
// pages per sheet.
TEST_F(LayoutPopupTest, EachLayoutKindShowsItsControls) {
  struct Case {
    const char* name;
    int button;
    bool kindTextShown;
    std::u16string kindText;
    bool bookletShown;
    DWORD stored;
  };
  const Case cases[] = {
      {"normal shows none", kNormal, false, u"", false, 0},
      {"poster shows its text only", kPoster, true, kPosterText, false, 1},
      {"booklet shows its text and its controls", kBooklet, true, kBookletText, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InPopup([&](HWND popup) {
      WCHAR title[64] = {};
      GetWindowTextW(popup, title, 64);
      EXPECT_EQ(Utf16ToUtf8(title), "Page Layout");
      // Start from the other end so that every case changes the kind.
      EXPECT_TRUE(SimClick(GetDlgItem(popup, c.button == kBooklet ? kPoster : kBooklet)));
      EXPECT_TRUE(SimClick(GetDlgItem(popup, c.button)));
      EXPECT_EQ(Shown(popup, kKindText), c.kindTextShown);
      if (c.kindTextShown) {
        EXPECT_EQ(Utf16ToUtf8(Text(popup, kKindText)), Utf16ToUtf8(c.kindText));
      }
      for (int control : kBookletOnly) EXPECT_EQ(Shown(popup, control), c.bookletShown) << control;
      if (c.bookletShown) {
        EXPECT_EQ(Utf16ToUtf8(Text(popup, kSetsText)), Utf16ToUtf8(kSetsSentence));
      }
      EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupOk)));
    });
    EXPECT_EQ(DevModeItem(output_, kLayoutKindItem), c.stored);
  }
}

// Settings whose rows show the booklet's controls by their own state do not bring them back
// for another kind, nor overwrite the sets sentence.
TEST_F(LayoutPopupTest, LaterChangesKeepWhatTheKindDecided) {
  InPopup([&](HWND popup) {
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kPoster)));
    TypeInto(popup, kSheetsEdit, u"5");
    SetFocus(GetDlgItem(popup, kSetsBox));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kSetsBox)));
    EXPECT_FALSE(Shown(popup, kSheetsRange));
    EXPECT_FALSE(Shown(popup, kSetsText));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kBooklet)));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kSetsBox)));
    EXPECT_TRUE(Shown(popup, kSetsText));
    EXPECT_EQ(Utf16ToUtf8(Text(popup, kSetsText)), Utf16ToUtf8(kSetsSentence));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupOk)));
  });
  EXPECT_EQ(DevModeItem(output_, kLayoutKindItem), 2u);
}

TEST_F(LayoutPopupTest, CancelKeepsTheLayout) {
  InPopup([&](HWND popup) {
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kBooklet)));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kSetsBox)));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupCancel)));
  });
  EXPECT_EQ(DevModeItem(output_, kLayoutKindItem), 0u);
  EXPECT_EQ(DevModeItem(output_, kSetsItem), 0u);
}

TEST_F(LayoutPopupTest, PictureOfTheLayoutPopup) {
  InPopup([&](HWND popup) {
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kBooklet)));
    ExpectMatchesPicture(popup, Fixture("layout_popup.png"));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupCancel)));
  });
}

}  // namespace
