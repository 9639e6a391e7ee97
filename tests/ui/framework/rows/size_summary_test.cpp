// The zoom a page states for a paper printed on another, and the size summary with its
// tooltip on the dialog framework's test sheet.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "core/descriptors/choice_list.h"
#include "items/item_ids.h"
#include "platform/platform.h"
#include "tests/ui/framework/dialog/dialog_fixture.h"
#include "ui/framework/dialog/size_summary.h"

namespace {

using namespace dialog_test;

constexpr WORD kLetter = 1;
constexpr WORD kA4 = 9;

class SizeSummaryTest : public DialogTest {};

TEST_F(SizeSummaryTest, LetterOnA4) {
  RunOnGeneralPage(WM_NOTIFY, [&](HWND, HWND, HandlerContext* context) {
    SetItem(kItemWholePaper, 1);  // whole paper: the full sizes 215.9 x 279.4 and 210 x 297 mm
    SetItem(kItemBindingShiftOn, 0);
    SetItem(kItemPageLayout, 0);
    struct Case {
      LONG shiftOn, edge, shift, poster, tiles, percent;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, 97},          // min(97.3, 106.3) rounded
        {1, 1, 200, 0, 0, 88},        // 20 mm binding on the left: 190 mm across
        {1, 4, 200, 0, 0, 97},        // at the top: 277 mm down, still wider than across
        {0, 0, 0, 1, 0x0202, 195},    // two by two tiles
    };
    for (const Case& c : cases) {
      SetItem(kItemBindingShiftOn, c.shiftOn);
      SetItem(kItemBindingEdge, c.edge);
      SetItem(kItemBindingShift, c.shift);
      SetItem(kItemPageLayout, c.poster);
      if (c.poster == 1) SetItem(kItemTileCount, c.tiles);
      LONG percent = -1;
      ASSERT_EQ(GetFitZoomPercent(context, kLetter, kA4, &percent), 1) << c.percent;
      EXPECT_EQ(percent, c.percent);
    }
    LONG percent = -1;
    EXPECT_EQ(GetFitZoomPercent(context, kLetter, 4711, &percent), 0) << "no such paper";
  });
}

const StaticTextData kStateOnly{kStaticStateOnly, 0};
const ControlRow kSummaryRow{kDuplexText, 0, nullptr, kKindStaticText, SizeSummaryRow, &kStateOnly, kNoControl,
                             kNoString, nullptr};

std::u16string ControlText(HWND dialog, int id) {
  WCHAR text[512] = {};
  GetDlgItemTextW(dialog, id, text, 512);
  return text;
}

// The summary row on the General page with letter paper at 100%: the row initialised, and a
// refresh that answers the summary's tooltip text.
class SummaryRowTest : public SizeSummaryTest {
 protected:
  // The cached paper choices, and the position of "Letter" among them.
  ChoiceList* Init(HWND general, HandlerContext* context, LONG* letter) {
    ChoiceList* papers = nullptr;
    EXPECT_EQ(GetOrLoadChoiceList(general, resources_, store_, kItemPaperSize, &papers), 0);
    SetItem(kItemPaperSize, kLetter);
    SetItem(kItemOutputPaper, kSameAsPaper);
    SetItem(kItemPagesPerSheet, 1);
    SetItem(kItemPageLayout, 0);
    SetItem(kItemZoomOn, 0);
    DispatchToRows(context, WM_INITDIALOG, 0, 0, &kSummaryRow, 1, 0);
    EXPECT_NE(sheet_.sheetTooltip, nullptr);
    *letter = 0;
    for (; papers != nullptr && *letter < papers->count; ++*letter)
      if (std::u16string(papers->choices[*letter].name) == u"Letter") break;
    EXPECT_LT(*letter, papers != nullptr ? papers->count : 0);
    return papers;
  }
  std::u16string Refresh(HandlerContext* context) {
    DispatchToRows(context, WM_REFRESHCONTROLS, 0, 0, &kSummaryRow, 1, 0);
    for (const SimTool& tool : SimToolTipTools(sheet_.sheetTooltip))
      if (tool.id == UINT_PTR(kDuplexText)) return tool.text;
    return u"<no tool>";
  }
};

TEST_F(SummaryRowTest, TooltipTakesOnlySummariesBelowTheByteLimit) {
  RunOnGeneralPage(WM_NOTIFY, [&](HWND, HWND general, HandlerContext* context) {
    LONG letter = 0;
    ChoiceList* papers = Init(general, context, &letter);
    ASSERT_NE(papers, nullptr);
    EXPECT_EQ(Refresh(context), u"Letter (100%)");
    EXPECT_EQ(ControlText(general, kDuplexText), u"Letter (100%)");
    // A paper name of 70 double-byte characters: 140 bytes, shown but no tooltip.
    ASSERT_TRUE(SimSetAnsiCodePage(932));
    const std::u16string wide(70, u'\x3042');
    LPWSTR old = papers->choices[letter].name;
    papers->choices[letter].name = const_cast<LPWSTR>(wide.c_str());
    EXPECT_EQ(Refresh(context), u"Letter (100%)") << "the long summary is not the tooltip";
    EXPECT_EQ(ControlText(general, kDuplexText), wide + u" (100%)");
    EXPECT_EQ(std::u16string(sheet_.sizeSummary), u"Letter (100%)");
    papers->choices[letter].name = old;
    SimSetAnsiCodePage(1252);
    ReleaseChoiceList(general, kItemPaperSize);
  });
}

TEST_F(SummaryRowTest, TooltipLimitAtItsEdgeAndLongSummariesShownWhole) {
  RunOnGeneralPage(WM_NOTIFY, [&](HWND, HWND general, HandlerContext* context) {
    LONG letter = 0;
    ChoiceList* papers = Init(general, context, &letter);
    ASSERT_NE(papers, nullptr);
    LPWSTR old = papers->choices[letter].name;
    // " (100%)" adds 7 bytes: a name of 120 gives 127 bytes and becomes the tooltip; names of
    // 121 (128 bytes) and 200 leave that tooltip, and every summary is shown whole.
    const std::u16string fits = std::u16string(120, u'L') + u" (100%)";
    for (const size_t chars : {120, 121, 200}) {
      const std::u16string name(chars, u'L');
      papers->choices[letter].name = const_cast<LPWSTR>(name.c_str());
      EXPECT_EQ(Refresh(context), fits) << chars;
      EXPECT_EQ(ControlText(general, kDuplexText), name + u" (100%)") << chars;
    }
    papers->choices[letter].name = old;
    ReleaseChoiceList(general, kItemPaperSize);
  });
}

}  // namespace

namespace {

TEST_F(SizeSummaryTest, ResolutionItemsFollowTheTonerItems) {
  RunOnGeneralPage(WM_NOTIFY, [&](HWND, HWND, HandlerContext* context) {
    struct Case {
      SettingItemId changed;
      LONG item271, item443, resolution;  // resolution 0: items 20 and 21 keep 1234
    };
    const Case cases[] = {
        {kItemPrintMode, 0, 0, 300},        {kItemPrintMode, 257, 1, 0},        {kItemResolutionLock, 257, 1, 600},
        {kItemResolutionLock, 776, 0, 600}, {kItemResolutionLock, 264, 1, 300}, {kItemResolutionLock, 0, 1, 0},
    };
    sheet_.featureWords[0] |= 0x80000;
    for (const Case& c : cases) {
      SetItem(kItemPrintMode, c.item271);
      SetItem(kItemResolutionLock, c.item443);
      SetItem(kItemResolution, 1234);
      SetItem(kItemYResolution, 1234);
      EXPECT_EQ(CheckResolutionItems(context, c.changed), c.resolution != 0 ? 1 : 0);
      const LONG expected = c.resolution != 0 ? c.resolution : 1234;
      EXPECT_EQ(Item(kItemResolution), expected) << c.changed << " " << c.item271 << " " << c.item443;
      EXPECT_EQ(Item(kItemYResolution), expected);
    }
    sheet_.featureWords[0] &= ~DWORD{0x80000};
    SetItem(kItemResolutionLock, 0);
    EXPECT_EQ(CheckResolutionItems(context, kItemPrintMode), 0) << "without the feature nothing follows";
    EXPECT_EQ(Item(kItemResolution), 1234);
  });
}

}  // namespace
