// Option lists and tooltips: the key and paper tables, column fitting at three widths, texts
// shortened inside their column, the option list on the test popup, the device picture's
// tools, and kept pictures of the popup with its lists closed and a combo box open.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/comctl/comctl_sim.h"
#include "platform/comctl/tooltip.h"
#include "tests/ui/framework/lists/lists_fixture.h"

namespace lists_test {
namespace {

// The kept pictures of the popup; rewrite them after an intended change with
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_ui_lists --gtest_filter='*Picture*'
std::string Fixture(const char* name) { return std::string(QV_SOURCE_DIR) + "/tests/ui/framework/lists/data/" + name; }
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

TEST(OptionTables, KeysPapersAndRanges) {
  SettingItemId item = 0;
  EXPECT_EQ(MapOptionKeyToItem(13, &item), 1);
  EXPECT_EQ(item, 6401);
  EXPECT_EQ(MapOptionKeyToItem(17, &item), 1);
  EXPECT_EQ(item, 6405);
  EXPECT_EQ(MapOptionKeyToItem(12, &item), 0);
  const WORD outside[] = {4096, 6190, 6400, 0};
  const WORD inside[] = {18, 6160, 0};
  EXPECT_EQ(HasDeviceOptionItem(outside), 0);
  EXPECT_EQ(HasDeviceOptionItem(inside), 1);
  LONG index = 0;
  EXPECT_EQ(GetUserPaperEntry(&index, nullptr, nullptr, nullptr, nullptr, nullptr), 1);
  EXPECT_EQ(index, kUserPaperCount);
  WORD paper = 0;
  index = 0;
  EXPECT_EQ(GetUserPaperEntry(&index, nullptr, &paper, nullptr, nullptr, nullptr), 0) << "a count with an output";
  index = 21;
  PrinterConfiguration config{};
  EXPECT_EQ(GetUserPaperEntry(&index, &config, &paper, nullptr, nullptr, nullptr), 0);
  const struct {
    LONG index;
    WORD paper;
  } papers[] = {{1, 262}, {5, 266}, {6, 287}, {20, 301}};
  for (const auto& p : papers) {
    index = p.index;
    DWORD width = 0;
    ASSERT_EQ(GetUserPaperEntry(&index, &config, &paper, &width, nullptr, nullptr), 1) << p.index;
    EXPECT_EQ(paper, p.paper);
  }
}

TEST(OptionColumns, FitAtThreeWidths) {
  // Sums: wide 300, medium 210, narrow 150.
  const OptionColumnWidths columns[kOptionColumns] = {{{100, 80, 60}}, {{80, 60, 40}}, {{30, 0, 0}}, {{90, 70, 50}}};
  const struct Case {
    int width;
    int expected[kOptionColumns];
  } cases[] = {
      {600, {200, 160, 60, 180}},  // a wide list spreads the wide widths over it
      {255, {90, 70, 15, 80}},     // half-way between the medium and wide sums
      {210, {80, 60, 0, 70}},      // exactly the medium sum
      {75, {30, 20, 0, 25}},       // narrower than every level: the narrow widths scaled down
  };
  for (const Case& c : cases) {
    int out[kOptionColumns] = {};
    FitColumnWidths(columns, c.width, out);
    for (int n = 0; n < kOptionColumns; ++n) EXPECT_EQ(out[n], c.expected[n]) << c.width << " column " << n;
  }
}

// Columns with pixels darker than the background.
std::vector<bool> InkedColumns(HDC dc, int width, int height) {
  std::vector<bool> inked(size_t(width), false);
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      if ((GetPixel(dc, x, y) & 0xFF) < 0x80) inked[size_t(x)] = true;
    }
  }
  return inked;
}

TEST(OptionColumns, LongTextEndsWithTheEllipsisInsideItsColumn) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 200, 20);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT all{0, 0, 200, 20};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetBkMode(dc, TRANSPARENT);
  EXPECT_EQ(DrawTextEllipsis(2, 10, dc, nullptr, 70, u"Large Capacity Tray with a very long name"), 1);
  std::vector<bool> inked = InkedColumns(dc, 200, 20);
  int last = -1;
  for (int x = 0; x < 200; ++x) {
    if (inked[size_t(x)]) last = x;
  }
  EXPECT_GT(last, 40) << "most of the column is used";
  EXPECT_LT(last, 70) << "nothing is drawn past the column";
  // A text that fits is drawn whole; an empty text ends the shortening.
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(DrawTextEllipsis(2, 10, dc, nullptr, 12, u"Tray"), 1);
  EXPECT_EQ(DrawTextEllipsis(2, 10, dc, nullptr, 190, u""), 1);
  SelectObject(dc, oldFont);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

using OptionListTest = ListsTest;

TEST_F(OptionListTest, DevicePictureToolsOnlyForPresentCapabilities) {
  RunPopup([&](HWND dialog) {
    EXPECT_EQ(AddDevicePictureTooltips(dialog), 0) << "no tip data";
    HWND tooltip = CreateTooltipWindow(dialog, 200);
    ASSERT_NE(tooltip, nullptr);
    auto* tips = static_cast<PictureTipData*>(GlobalAlloc(GPTR, sizeof(PictureTipData)));
    tips->tooltip = tooltip;
    tips->capabilities = 0x1 | 0x800 | 0x2000;
    sheet_.pictureTipData = tips;
    EXPECT_EQ(AddDevicePictureTooltips(dialog), 1);
    std::vector<UINT_PTR> ids;
    for (const SimTool& tool : SimToolTipTools(tooltip)) {
      ids.push_back(tool.id);
      EXPECT_EQ(tool.flags & TTF_SUBCLASS, UINT(TTF_SUBCLASS));
      EXPECT_EQ(tool.hwnd, dialog);
    }
    EXPECT_EQ(ids, (std::vector<UINT_PTR>{1, 272, 4}));
    EXPECT_EQ(UpdateTooltipText(dialog, tooltip, 4, TTF_SUBCLASS, u"Finisher"), 1);
    EXPECT_EQ(UpdateTooltipText(dialog, tooltip, 4, TTF_SUBCLASS, nullptr), 0);
    EXPECT_EQ(SetTooltipRect(dialog, tooltip, 4, TTF_SUBCLASS, 1, 2, 30, 40), 1);
    for (const SimTool& tool : SimToolTipTools(tooltip)) {
      if (tool.id != 4) continue;
      EXPECT_EQ(tool.text, u"Finisher");
      EXPECT_EQ(tool.rect.right, 30);
    }
    EXPECT_EQ(FreePictureTipData(&sheet_), 1);
    EXPECT_EQ(sheet_.pictureTipData, nullptr);
    EXPECT_EQ(FreePictureTipData(&sheet_), 0);
    DestroyWindow(tooltip);
    ClosePopup(dialog, false);
  });
}

TEST_F(OptionListTest, PictureOfThePopupWithListsClosedAndOpen) {
  RunPopup([&](HWND dialog) {
    HWND options = GetDlgItem(dialog, kOptionList);
    EXPECT_EQ(Lines(options).size(), 8u);
    ReferenceImage closed;
    ASSERT_TRUE(SimWindowPicture(dialog, closed));
    ExpectMatchesFixture(closed, "lists_closed.png");
    HWND combo = GetDlgItem(dialog, kColorCombo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ReferenceImage open;
    ASSERT_TRUE(SimWindowPicture(dialog, open));
    ExpectMatchesFixture(open, "lists_open.png");
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    ClosePopup(dialog, false);
  });
}

}  // namespace
}  // namespace lists_test
