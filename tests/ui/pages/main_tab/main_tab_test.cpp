// The document sheet's main tab through the sheet's hosts: opening and painting in each host,
// what OK stores and Cancel keeps, its rules driven through the controls, the merge without a
// window, and its picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "items/item_ids.h"
#include "tests/support/model_files.h"
#include "tests/support/sheet_fixture.h"

namespace {

using sheet_test::OpenedBy;
using sheet_test::kDevModeSize;

constexpr int kZoomOnBox = 1184, kZoomEdit = 1010, kCopiesEdit = 1011, kPaperCombo = 1006, kOutputCombo = 1008,
              kLandscape = 3837, kPortrait = 3836, kSummary = 3838, kRestore = 1090;
// Picks the combo's line with the text, as a person reads it.
void Pick(HWND page, int control, const std::u16string& text) {
  HWND combo = GetDlgItem(page, control);
  const LRESULT line = SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  ASSERT_GE(line, 0) << Utf16ToUtf8(text);
  ASSERT_TRUE(SimPickCombo(combo, int(line)));
}

std::string Fixture(const char* name) { return std::string(QV_SOURCE_DIR) + "/tests/ui/pages/main_tab/data/" + name; }

// The sample with its main-tab part edited in place.
std::u16string InstallMainTabVariant(const std::vector<ModelTextEdit>& edits, std::vector<ModelTextEdit> sampleEdits = {}) {
  std::ifstream in(QV_SOURCE_DIR "/models/sample/main_tab.txt", std::ios::binary);
  std::string part((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const ModelTextEdit& edit : edits) {
    const size_t at = part.find(edit.from);
    EXPECT_NE(at, std::string::npos) << edit.from;
    if (at != std::string::npos) part.replace(at, edit.from.size(), edit.to);
  }
  sampleEdits.push_back({"include \"sample/main_tab.txt\"", part});
  return InstallSampleVariant(sampleEdits);
}

class MainTabTest : public sheet_test::SheetTest {
 protected:
  // Opens the sheet from an application, runs `act` on the main tab and ends with OK.
  LONG AcceptAfter(const std::function<void(HWND sheet, HWND page)>& act, OpenedBy host = OpenedBy::kApplication,
                   DEVMODEW* in = nullptr) {
    DWORD result = 0;
    const LONG answer = OpenDocumentSheet(host, [&](HWND sheet) {
      HWND page = ShowTab(sheet, 0);
      ASSERT_NE(page, nullptr);
      act(sheet, page);
      EXPECT_TRUE(SimSheetPress(sheet, PSBTN_OK));
    }, in, 0, &result);
    EXPECT_EQ(result, DWORD(CPSUI_OK));
    return answer;
  }
};

// Accepting the sheet writes the output devmode and keeps the settings beyond it where the
// host that opened the sheet keeps them.
TEST_F(MainTabTest, OkWritesTheDevmodeAndStoresWhatEachHostKeeps) {
  const std::u16string userKey = printer_test::kSampleUserBase;
  for (OpenedBy host : {OpenedBy::kApplication, OpenedBy::kDefaults, OpenedBy::kPreferences}) {
    SCOPED_TRACE(sheet_test::HostName(host));
    const std::string printerDataBefore = SimDumpPrinterData(kPrinter);
    const std::string userBefore = SimRegistryDump(HKEY_CURRENT_USER, userKey.c_str());
    EXPECT_EQ(AcceptAfter([&](HWND, HWND page) { TypeInto(page, kCopiesEdit, u"3"); }, host), 1);
    EXPECT_EQ(DevModeItem(output_, kItemDevmodeSize), 220u);
    EXPECT_EQ(DevModeItem(output_, kItemCopies), 3u);
    const std::u16string sideFile = DevModeText(output_, kItemSideFile);
    const bool printerDataChanged = SimDumpPrinterData(kPrinter) != printerDataBefore;
    const bool userKeyChanged = SimRegistryDump(HKEY_CURRENT_USER, userKey.c_str()) != userBefore;
    switch (host) {
      case OpenedBy::kApplication:
        EXPECT_EQ(DevModeItem(output_, kItemPerUserExtension), 1u);
        EXPECT_NE(GetFileAttributesW(sideFile.c_str()), INVALID_FILE_ATTRIBUTES) << Utf8(sideFile);
        EXPECT_FALSE(printerDataChanged);
        break;
      case OpenedBy::kDefaults:
        EXPECT_EQ(DevModeItem(output_, kItemPerUserExtension), 0u);
        EXPECT_EQ(sideFile, u"");
        EXPECT_TRUE(printerDataChanged);
        break;
      case OpenedBy::kPreferences:
        EXPECT_EQ(DevModeItem(output_, kItemPerUserExtension), 1u);
        EXPECT_EQ(sideFile, u"");
        EXPECT_FALSE(printerDataChanged);
        EXPECT_TRUE(userKeyChanged);
        break;
    }
  }
}

TEST_F(MainTabTest, CancelChangesNothing) {
  const std::string printerData = SimDumpPrinterData(kPrinter);
  const std::string user = SimRegistryDump(HKEY_CURRENT_USER, printer_test::kSampleUserBase.c_str());
  DWORD result = 1;
  OpenDocumentSheet(OpenedBy::kDefaults, [&](HWND sheet) {
    HWND page = ShowTab(sheet, 0);
    TypeInto(page, kCopiesEdit, u"7");
    EXPECT_TRUE(SimClick(GetDlgItem(page, kLandscape)));
    EXPECT_TRUE(SimSheetPress(sheet, PSBTN_CANCEL));
  }, nullptr, 0, &result);
  EXPECT_EQ(result, DWORD(CPSUI_CANCEL));
  EXPECT_EQ(output_, std::vector<BYTE>(output_.size(), 0xCD));
  EXPECT_EQ(SimDumpPrinterData(kPrinter), printerData);
  EXPECT_EQ(SimRegistryDump(HKEY_CURRENT_USER, printer_test::kSampleUserBase.c_str()), user);
}

// The page's rules as a person meets them: each case acts on the page and reads what it shows.
TEST_F(MainTabTest, RulesHoldThroughTheControls) {
  struct Case {
    const char* name;
    std::function<void(HWND page)> act;
    int control;
    std::u16string shown;
  };
  const std::vector<Case> cases = {
      {"output same as paper shows 100", [](HWND) {}, kZoomEdit, u"100"},
      {"A4 on A3 shows the fit zoom of the printable areas", [](HWND p) { Pick(p, kOutputCombo, u"A3"); }, kZoomEdit,
       u"143"},
      {"A3 on A4 shows the fit zoom", [](HWND p) {
         Pick(p, kPaperCombo, u"A3");
         Pick(p, kOutputCombo, u"A4");
       }, kZoomEdit, u"70"},
      {"manual zoom starts from 100", [](HWND p) {
         Pick(p, kOutputCombo, u"A3");
         SimClick(GetDlgItem(p, kZoomOnBox));
       }, kZoomEdit, u"100"},
      {"unticking shows the fit zoom again", [](HWND p) {
         Pick(p, kOutputCombo, u"A3");
         SimClick(GetDlgItem(p, kZoomOnBox));
         SimClick(GetDlgItem(p, kZoomOnBox));
       }, kZoomEdit, u"143"},
      {"the summary names both papers", [](HWND p) { Pick(p, kOutputCombo, u"A3"); },
       kSummary, u"A4 on A3, 143%"},
      {"restore defaults", [](HWND p) {
         SimClick(GetDlgItem(p, kLandscape));
         TypeInto(p, kCopiesEdit, u"5");
         SimClick(GetDlgItem(p, kRestore));
       }, kCopiesEdit, u"1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::u16string shown;
    HWND focus = nullptr;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      HWND page = ShowTab(sheet, 0);
      c.act(page);
      shown = Text(page, c.control);
      focus = GetFocus() == GetDlgItem(page, kZoomEdit) ? GetFocus() : nullptr;
      SimSheetPress(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(shown, c.shown);
    if (std::string(c.name) == "manual zoom starts from 100") {
      EXPECT_NE(focus, nullptr);
    }
  }
}

TEST_F(MainTabTest, RestoreDefaultsPutsTheOrientationBack) {
  AcceptAfter([&](HWND, HWND page) {
    SimClick(GetDlgItem(page, kLandscape));
    SimClick(GetDlgItem(page, kRestore));
    EXPECT_EQ(SendDlgItemMessageW(page, kPortrait, BM_GETCHECK, 0, 0), BST_CHECKED);
  });
  EXPECT_EQ(DevModeItem(output_, kItemOrientation), 1u);
}

// The copies edit takes as many digits as the model's most copies has.
struct CopiesCase {
  std::string maximum;
  LRESULT digits;
};
void PrintTo(const CopiesCase& c, std::ostream* out) { *out << c.maximum; }

class CopiesLimitTest : public MainTabTest, public ::testing::WithParamInterface<CopiesCase> {
 protected:
  std::u16string InstallModel() override {
    return InstallMainTabVariant({{"value=i16:999", "value=i16:" + GetParam().maximum}},
                                 {{"section 4  999", "section 4  " + GetParam().maximum}});
  }
};

TEST_P(CopiesLimitTest, EditTakesTheDigitsOfTheMaximum) {
  LRESULT limit = 0;
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    limit = SendDlgItemMessageW(ShowTab(sheet, 0), kCopiesEdit, EM_GETLIMITTEXT, 0, 0);
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
  EXPECT_EQ(limit, GetParam().digits);
}

INSTANTIATE_TEST_SUITE_P(Maximums, CopiesLimitTest,
                         ::testing::Values(CopiesCase{"9", 1}, CopiesCase{"999", 3}, CopiesCase{"9999", 4}),
                         [](const auto& info) { return "Max" + info.param.maximum; });

// A model whose texts read right to left: the main tab mirrors the whole sheet frame.
class RightToLeftTest : public MainTabTest {
 protected:
  std::u16string InstallModel() override { return InstallSampleVariant({{"section 39 [0x1]", "section 39 [0x4001]"}}); }
};

TEST_F(RightToLeftTest, TheSheetFrameAndEveryChildAreMirrored) {
  std::vector<std::pair<HWND, bool>> mirrored;
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    ShowTab(sheet, 0);
    mirrored.push_back({sheet, (GetWindowLongW(sheet, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0});
    for (HWND child = GetWindow(sheet, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
      mirrored.push_back({child, (GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0});
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
  ASSERT_GT(mirrored.size(), 3u);
  for (const auto& [window, on] : mirrored) EXPECT_TRUE(on) << window;
}

TEST_F(MainTabTest, ALeftToRightModelIsNotMirrored) {
  bool mirrored = true;
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    ShowTab(sheet, 0);
    mirrored = (GetWindowLongW(sheet, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0;
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
  EXPECT_FALSE(mirrored);
}

// The icons the closed combos show beside their values, as a person changes the settings: the
// pages-per-sheet and page-order icons follow the document, the duplex icon the sheet (two
// pages on a sheet turn it).
TEST_F(MainTabTest, ValueIconsFollowTheirSettings) {
  constexpr int kPagesCombo = 1351, kOrderCombo = 1007, kDuplexCombo = 1012, kColorCombo = 1615;
  struct Case {
    const char* name;
    std::function<void(HWND page)> act;
    int control;
    WORD icon;  // 0: none drawn
  };
  const std::vector<Case> cases = {
      {"one page per sheet", [](HWND) {}, kPagesCombo, 2357},
      {"two pages, portrait", [](HWND p) { Pick(p, kPagesCombo, u"2"); }, kPagesCombo, 2358},
      {"two pages, landscape", [](HWND p) {
         SimClick(GetDlgItem(p, kLandscape));
         Pick(p, kPagesCombo, u"2");
       }, kPagesCombo, 2359},
      {"page by page has no icon", [](HWND) {}, kOrderCombo, 0},
      {"two pages left to right", [](HWND p) {
         Pick(p, kPagesCombo, u"2");
         Pick(p, kOrderCombo, u"Left to Right");
       }, kOrderCombo, 2369},
      {"one-sided on a portrait sheet", [](HWND) {}, kDuplexCombo, 2354},
      {"long edge, two pages: landscape sheet", [](HWND p) {
         Pick(p, kPagesCombo, u"2");
         Pick(p, kDuplexCombo, u"Long Edge");
       }, kDuplexCombo, 2406},
      {"short edge, four pages: portrait sheet", [](HWND p) {
         Pick(p, kPagesCombo, u"4");
         Pick(p, kDuplexCombo, u"Short Edge");
       }, kDuplexCombo, 2356},
      {"grayscale", [](HWND p) { Pick(p, kColorCombo, u"Grayscale"); }, kColorCombo, 2377},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<WORD> icons;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      HWND page = ShowTab(sheet, 0);
      c.act(page);
      HWND combo = GetDlgItem(page, c.control);
      SimPaint(combo);
      for (const SimDrawnPicture& picture : SimDrawnPictures(combo)) {
        if (picture.kind == SimDrawnPicture::Icon) icons.push_back(picture.resourceId);
      }
      SimSheetPress(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(icons, c.icon != 0 ? std::vector<WORD>{c.icon} : std::vector<WORD>{});
  }
}

// The pictures beside the settings: their bitmaps over the button face, with no magenta left;
// the device picture shows the sample's picture of the orientation in force.
TEST_F(MainTabTest, PicturesShowTheirBitmapsOverTheButtonFace) {
  constexpr int kPaperPicture = 1105, kCopiesPicture = 1761, kColorPicture = 1762, kDevicePicture = 1187;
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    HWND page = ShowTab(sheet, 0);
    for (int id : {kPaperPicture, kCopiesPicture, kColorPicture, kDevicePicture}) {
      SCOPED_TRACE(id);
      HWND control = GetDlgItem(page, id);
      ASSERT_NE(control, nullptr);
      SimPaint(control);
      HDC dc = GetDC(control);
      RECT client{};
      GetClientRect(control, &client);
      int magenta = 0, face = 0, other = 0;
      for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
          const COLORREF c = GetPixel(dc, x, y);
          if (c == RGB(255, 0, 255)) ++magenta;
          else if (c == GetSysColor(COLOR_BTNFACE)) ++face;
          else ++other;
        }
      }
      ReleaseDC(control, dc);
      EXPECT_EQ(magenta, 0);
      EXPECT_GT(face, 0);
      EXPECT_GT(other, 40);
    }
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
}

// The device picture follows the orientation: the sample's picture records show a portrait
// sheet (12 x 16 at 12, 16) or a landscape one (16 x 12 at 16, 12).
TEST_F(MainTabTest, DevicePictureFollowsTheOrientation) {
  constexpr int kDevicePicture = 1187;
  // The box around the pixels that are not the button face.
  auto drawnBox = [](HWND control) {
    SimPaint(control);
    HDC dc = GetDC(control);
    RECT client{}, box{1000, 1000, -1, -1};
    GetClientRect(control, &client);
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right; ++x) {
        if (GetPixel(dc, x, y) == GetSysColor(COLOR_BTNFACE)) continue;
        box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
               std::max<LONG>(box.bottom, y + 1)};
      }
    }
    ReleaseDC(control, dc);
    return box;
  };
  RECT portrait{}, landscape{};
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    HWND page = ShowTab(sheet, 0);
    portrait = drawnBox(GetDlgItem(page, kDevicePicture));
    SimClick(GetDlgItem(page, kLandscape));
    landscape = drawnBox(GetDlgItem(page, kDevicePicture));
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
  EXPECT_EQ(portrait.left, 12);
  EXPECT_EQ(portrait.top, 16);
  EXPECT_EQ(portrait.right, 24);
  EXPECT_EQ(portrait.bottom, 32);
  EXPECT_EQ(landscape.left, 16);
  EXPECT_EQ(landscape.top, 12);
  EXPECT_EQ(landscape.right, 32);
  EXPECT_EQ(landscape.bottom, 24);
}

TEST_F(MainTabTest, PictureOfTheMainTab) {
  OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
    ShowTab(sheet, 0);
    ExpectMatchesPicture(sheet, Fixture("main_tab.png"));
    SimSheetPress(sheet, PSBTN_CANCEL);
  });
}

}  // namespace
