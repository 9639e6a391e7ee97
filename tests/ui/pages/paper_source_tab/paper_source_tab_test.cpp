// The document sheet's paper source tab through the sheet's hosts: the note under the paper
// source for each source and paper, the question before the tray popup and what the popup
// stores, and the tab's picture.
#include <gtest/gtest.h>

#include "items/item_ids.h"
#include "tests/support/sheet_fixture.h"

namespace {

using sheet_test::OpenedBy;

constexpr int kSourceCombo = 1016, kTrayButton = 1006, kTypeCombo = 1021, kNote = 3803, kNoteFrame = 3804,
              kMainPaperCombo = 1006, kMainOutputCombo = 1008, kMediaCombo = 3464, kFeedEdgeCombo = 3462;
constexpr WORD kTrayPopupTemplate = 3460;
constexpr int kPopupOk = 1092, kPopupCancel = 1091;
constexpr SettingItemId kSourceItem = kItemPaperSource, kMediaItem = kItemMediaType, kFeedEdgeItem = kItemBypassFeedEdge;
constexpr DWORD kBypass = 4, kTray1 = 1;

const std::u16string kAutoText = u"The printer picks the tray that holds paper of the job's size.";
const std::u16string kMatched = u"Only a tray whose paper type matches is used.";
const std::u16string kNotMatched = u"The paper type of the tray is not checked.";
const std::u16string kTray1Text = u"Tray 1 takes this paper size in its side guides.";
const std::u16string kTray2Text = u"Tray 2 takes this paper size in its side guides.";
const std::u16string kLoadText = u"Load paper of the job's size into the chosen tray.";

void Pick(HWND page, int control, const std::u16string& text) {
  HWND combo = GetDlgItem(page, control);
  const LRESULT line = SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  ASSERT_GE(line, 0) << Utf16ToUtf8(text);
  ASSERT_TRUE(SimPickCombo(combo, int(line)));
}

// The text of the combo's selected line.
std::u16string Selected(HWND page, int control) {
  HWND combo = GetDlgItem(page, control);
  const LRESULT line = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (line < 0) return u"(none)";
  WCHAR text[128] = {};
  SendMessageW(combo, CB_GETLBTEXT, WPARAM(line), reinterpret_cast<LPARAM>(text));
  return text;
}

std::string Fixture(const char* name) {
  return std::string(QV_SOURCE_DIR) + "/tests/ui/pages/paper_source_tab/data/" + name;
}

class PaperSourceTabTest : public sheet_test::SheetTest {
 protected:
  // Opens the sheet from an application, runs `act` with the main tab and the paper source
  // tab and ends with OK.
  void AcceptAfter(const std::function<void(HWND sheet, HWND main, HWND source)>& act) {
    DWORD result = 0;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      HWND main = ShowTab(sheet, 0);
      HWND source = ShowTab(sheet, 1);
      ASSERT_NE(source, nullptr);
      act(sheet, main, source);
      EXPECT_TRUE(SimSheetPress(sheet, PSBTN_OK));
    }, nullptr, 0, &result);
    EXPECT_EQ(result, DWORD(CPSUI_OK));
  }
};

// The note follows the paper source, the paper type check and the paper the job prints on
// (the output size, or the document's paper when the output size is the same as it).
TEST_F(PaperSourceTabTest, TheNoteFollowsSourceTypeAndPaper) {
  struct Case {
    const char* name;
    const char16_t* paper;   // main tab paper size, or nullptr for the default (A4)
    const char16_t* output;  // main tab output size, or nullptr for "Same as Paper Size"
    const char16_t* source;
    const char16_t* typeCheck;
    std::u16string note;
    bool frameShown;
  };
  const Case cases[] = {
      {"automatic choice", nullptr, nullptr, u"Auto Select", u"Off", kAutoText + u" " + kNotMatched, true},
      {"automatic choice with the type check", nullptr, nullptr, u"Auto Select", u"On", kAutoText + u" " + kMatched,
       true},
      {"tray 1 guides A4", nullptr, nullptr, u"Tray 1", u"Off", kTray1Text + u" " + kNotMatched, true},
      {"tray 2 has no guide for A4", nullptr, nullptr, u"Tray 2", u"Off", kLoadText, true},
      {"tray 2 guides Letter", u"Letter", nullptr, u"Tray 2", u"On", kTray2Text + u" " + kMatched, true},
      {"the output size counts before the paper", u"Letter", u"A4", u"Tray 2", u"Off", kLoadText, true},
      {"the bypass tray has no note", nullptr, nullptr, u"Bypass Tray", u"Off", u"", false},
      {"nor has a tray the note does not know", nullptr, nullptr, u"Large Capacity Tray", u"Off", u"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcceptAfter([&](HWND sheet, HWND main, HWND source) {
      ShowTab(sheet, 0);
      if (c.paper != nullptr) Pick(main, kMainPaperCombo, c.paper);
      if (c.output != nullptr) Pick(main, kMainOutputCombo, c.output);
      ShowTab(sheet, 1);
      Pick(source, kSourceCombo, c.source);
      Pick(source, kTypeCombo, c.typeCheck);
      EXPECT_EQ(Utf16ToUtf8(Text(source, kNote)), Utf16ToUtf8(c.note));
      EXPECT_EQ(IsWindowVisible(GetDlgItem(source, kNoteFrame)) != FALSE, c.frameShown);
      // A second visit composes the same note.
      ShowTab(sheet, 0);
      ShowTab(sheet, 1);
      EXPECT_EQ(Utf16ToUtf8(Text(source, kNote)), Utf16ToUtf8(c.note));
    });
  }
}

// The tray settings apply to the bypass tray: the button offers to switch to it first, once.
TEST_F(PaperSourceTabTest, TheTrayButtonOffersTheBypassTray) {
  struct Case {
    const char* name;
    const char16_t* start;
    int answer;  // 0: no question expected
    DWORD stored;
  };
  const Case cases[] = {
      {"yes switches to the bypass tray", u"Tray 1", IDYES, kBypass},
      {"no keeps the source", u"Tray 1", IDNO, kTray1},
      {"no question with the bypass tray chosen", u"Bypass Tray", 0, kBypass},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimMessageBoxReset();
    bool popupOpened = false;
    std::u16string shownWhilePopup;
    AcceptAfter([&](HWND, HWND, HWND source) {
      Pick(source, kSourceCombo, c.start);
      if (c.answer != 0) SimMessageBoxAnswer(c.answer);
      SimOnDialog(kTrayPopupTemplate, [&](HWND popup) {
        popupOpened = true;
        shownWhilePopup = Selected(source, kSourceCombo);
        EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupOk)));
      });
      EXPECT_TRUE(SimClick(GetDlgItem(source, kTrayButton)));
      EXPECT_EQ(Utf16ToUtf8(Selected(source, kSourceCombo)), c.stored == kBypass ? "Bypass Tray" : "Tray 1");
    });
    EXPECT_TRUE(popupOpened);
    const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
    if (c.answer == 0) {
      EXPECT_TRUE(boxes.empty());
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(Utf16ToUtf8(boxes[0].text), "The tray settings apply to paper fed from Paper Source \"Bypass Tray\". "
                                            "Switch the paper source to \"Bypass Tray\" now?");
      EXPECT_EQ(Utf16ToUtf8(boxes[0].caption), "Printer Settings");
      EXPECT_EQ(boxes[0].type & 0xFF, UINT(MB_YESNO | MB_ICONINFORMATION));
      EXPECT_EQ(Utf16ToUtf8(shownWhilePopup), c.stored == kBypass ? "Bypass Tray" : "Tray 1");
    }
    EXPECT_EQ(DevModeItem(output_, kSourceItem), c.stored);
  }
}

// The popup shows and stores the tray's media type and feed edge.
TEST_F(PaperSourceTabTest, TheTrayPopupStoresItsChoices) {
  AcceptAfter([&](HWND, HWND, HWND source) {
    Pick(source, kSourceCombo, u"Bypass Tray");
    SimOnDialog(kTrayPopupTemplate, [&](HWND popup) {
      Pick(popup, kFeedEdgeCombo, u"Long Edge First");
      EXPECT_EQ(Utf16ToUtf8(Selected(popup, kFeedEdgeCombo)), "Long Edge First");
      HWND media = GetDlgItem(popup, kMediaCombo);
      ASSERT_GE(SendMessageW(media, CB_GETCOUNT, 0, 0), 2);
      ASSERT_TRUE(SimPickCombo(media, 1));
      EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupOk)));
    });
    EXPECT_TRUE(SimClick(GetDlgItem(source, kTrayButton)));
    // The tab reads the popup's settings back.
    SimOnDialog(kTrayPopupTemplate, [&](HWND popup) {
      EXPECT_EQ(Utf16ToUtf8(Selected(popup, kFeedEdgeCombo)), "Long Edge First");
      EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupCancel)));
    });
    EXPECT_TRUE(SimClick(GetDlgItem(source, kTrayButton)));
  });
  EXPECT_EQ(DevModeItem(output_, kFeedEdgeItem), 1u);
  EXPECT_NE(DevModeItem(output_, kMediaItem), 0xFFFFFFFFu);
}

TEST_F(PaperSourceTabTest, PictureOfThePaperSourceTab) {
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    HWND page = ShowTab(sheet, 1);
    ASSERT_NE(page, nullptr);
    ExpectMatchesPicture(page, Fixture("paper_source_tab.png"));
    EXPECT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  });
}

}  // namespace
