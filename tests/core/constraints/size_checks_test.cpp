// The size tests of the constraint records against a model whose ranges are known: the media
// checks of every check kind, the custom-size check, the size operators of conditions, the
// printable sizes and the poster tile counts.
#include <functional>
#include <vector>

#include "core/constraints/constraint_records.h"
#include "core/constraints/paper_sizes.h"
#include "core/constraints/size_checks.h"
#include "core/constraints/tile_count.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"
#include "tests/support/id_lists.h"
#include "tests/support/size_model_fixture.h"

namespace {

using Tweak = std::function<void()>;

class SizeChecks : public SizeModelTest {
 protected:
  static ConstraintRecord RecordOfKind(WORD kind, WORD extraBits = 0) {
    ConstraintRecord record{};
    record.messageWord = static_cast<WORD>(kind << kMessageWordKindShift | extraBits | 1);
    return record;
  }
};

// A flag the state carried before the check: a fit clears it, a conflict keeps it.
constexpr WORD kEarlier = 0x8000;

TEST_F(SizeChecks, MediaCheckOfEveryKind) {
  const struct Case {
    const char* name;
    WORD kind;
    Tweak tweak;
    WORD result;
    WORD flags;
  } cases[] = {
      {"A4 fits the tray's custom range", 1, [] {}, 0, 0},
      {"a user paper too large for the tray", 1, [&] { Set(kItemPaperSize, 262), SetUserPaper(262, 3500, 4500); }, 1,
       kEarlier | 0x000B},
      {"a tray without custom paper takes no size", 1, [&] { Set(kItemPaperSource, 2); }, 1, kEarlier | 0x000B},
      {"source 258 hands over to item 13", 1, [&] { Set(kItemPaperSource, 258), Set(kItemDefaultSource, 2); }, 1,
       kEarlier | 0x000F},
      {"output paper given by item 262", 1, [&] { Set(kItemOutputPaper, 262), SetUserPaper(262, 900, 3000); }, 1,
       kEarlier | 0x000A},
      {"kind 2 only while item 1313 is set", 2, [&] { Set(kItemSeparateSource, 2); }, 0, 0},
      {"kind 2 against the source of item 389", 2, [&] { Set(kItemSeparateSourceOn, 1), Set(kItemSeparateSource, 2); },
       1, kEarlier | 0x0013},
      {"kind 3 against a small bin", 3, [&] { Set(kItemPaperType, 2); }, 1, kEarlier | 0x0023},
      {"kind 3 fits the bin", 3, [] {}, 0, 0},
      {"kind 5: item 410 against source 4, bins 407 and 409", 5,
       [&] {
         Set(kItemSheetPaperA, 262), SetUserPaper(262, 3500, 4500), Set(kItemSheetBeforePaper, 4),
             Set(kItemSheetAtEndPaper, 264), Set(kItemSheetListPaper, 4);
       },
       1, kEarlier | 0x0540},
      {"kind 6: item 411 against source 264, bin 408", 6,
       [&] { Set(kItemSheetBeforePaper, 4), Set(kItemSheetAtEndPaper, 264); }, 1, kEarlier | 0x0280},
      {"kind 7: item 411 in a small bin", 7, [&] { Set(kItemPaperType, 2); }, 1, kEarlier | 0x00A0},
      {"kind 8: item 410 fits bin 1", 8, [] {}, 0, 0},
      {"kind 9 only while item 332 is set", 9, [&] { Set(kItemInsertedSheetPaper, 2); }, 0, 0},
      {"kind 9 against the source of item 333", 9,
       [&] { Set(kItemInsertedSheetMode, 1), Set(kItemInsertedSheetPaper, 2); }, 1, kEarlier | 0x0803},
      {"kind 0 asks for no check", 0, [] {}, 0, 0},
      {"a paper without a record", 1, [&] { Set(kItemPaperSize, 55); }, 2, kEarlier},
      {"a source without a record", 1, [&] { Set(kItemPaperSource, 99); }, 2, kEarlier},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open("0");
    c.tweak();
    ConstraintState state{};
    state.checkFlags = kEarlier;
    const ConstraintRecord record = RecordOfKind(c.kind);
    EXPECT_EQ(CheckMediaFit(&record, kCheckModePlain, &context_, nullptr, &state), c.result);
    EXPECT_EQ(state.checkFlags, c.flags);
    // Without a state the answer is the same.
    EXPECT_EQ(CheckMediaFit(&record, kCheckModePlain, &context_, nullptr, nullptr), c.result);
  }
}

TEST_F(SizeChecks, MediaSelectionFollowsTheChangeTheModelAndTheMode) {
  // The change's value counts, not the settings': A4 fits, the user paper does not.
  SetUserPaper(262, 3500, 4500);
  const ConstraintRecord kind1 = RecordOfKind(1);
  const SHORT user = 262;
  const ItemChange change{8, kTypeInt16, &user};
  EXPECT_EQ(CheckMediaFit(&kind1, kCheckModePlain, &context_, nullptr, nullptr), 0);
  EXPECT_EQ(CheckMediaFit(&kind1, kCheckModePlain, &context_, &change, nullptr), 1);
  // A record the mode skips is not checked.
  const ConstraintRecord marked = RecordOfKind(1, kMessageWordMarked);
  EXPECT_EQ(CheckMediaFit(&marked, kCheckModeDefaults, &context_, &change, nullptr), 0);
  // Where section 26 has bit 0x10, item 265 keeps the source even at 258 (no such source).
  Set(kItemPaperSource, 258);
  Set(kItemDefaultSource, 1);
  EXPECT_EQ(CheckMediaFit(&kind1, kCheckModePlain, &context_, nullptr, nullptr), 0);
  Open("0x10");
  Set(kItemPaperSource, 258);
  Set(kItemDefaultSource, 1);
  MediaSelection selection{};
  ASSERT_TRUE(BuildMediaSelection(&context_, nullptr, &selection));
  EXPECT_EQ(selection.source, 258);
  EXPECT_EQ(selection.checkFlags, 0x08FB);
  EXPECT_EQ(CheckMediaFit(&kind1, kCheckModePlain, &context_, nullptr, nullptr), 2);
  // Unreadable settings fail the selection.
  const SettingsContext broken{store_, nullptr, &config_};
  EXPECT_FALSE(BuildMediaSelection(&broken, nullptr, &selection));
  EXPECT_EQ(CheckMediaFit(&kind1, kCheckModePlain, &broken, nullptr, nullptr), 2);
}

TEST_F(SizeChecks, CustomSizeOfAUserPaperAgainstItsRecord) {
  const struct Case {
    const char* name;
    WORD paper;
    DWORD width, length;
    WORD result;
  } cases[] = {
      {"within the record's sizes", 262, 2000, 3000, 0},
      {"the smallest size", 262, 1000, 1400, 0},
      {"narrower than the smallest", 262, 999, 3000, 1},
      {"longer than the largest", 262, 3000, 4301, 1},
      {"not a user paper", 9, 0, 0, 0},
      {"a user paper without a record", 264, 2000, 3000, 2},
  };
  const ConstraintRecord kind4 = RecordOfKind(4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Set(kItemPaperSize, c.paper);
    if (IsUserPaperId(c.paper)) SetUserPaper(c.paper, c.width, c.length);
    EXPECT_EQ(CheckCustomSizeFit(&kind4, kCheckModePlain, &context_, nullptr), c.result);
  }
}

TEST_F(SizeChecks, SizeOperatorsAgainstTheSourcesCustomRange) {
  // Source 1 takes 100 x 140 to 297 x 420 mm. A fits as it is, B only turned, C neither way.
  const struct Size {
    DWORD width, length;
  } A{2000, 3000}, B{3500, 2000}, C{5000, 5000};
  const struct Case {
    BYTE op;
    Size size;
    WORD source;
    WORD result;
    WORD flags;
  } cases[] = {
      {kOpCustomSize, A, 1, kRuleFails, 0},          {kOpCustomSize, B, 1, kRuleHolds, 0x000B},
      {kOpCustomSizeOwn, C, 1, kRuleHolds, 0x000B}, {kOpCustomSizeTurned, A, 1, kRuleHolds, 0x000B},
      {kOpCustomSizeTurned, B, 1, kRuleFails, 0},   {kOpCustomSizeEither, A, 1, kRuleFails, 0},
      {kOpCustomSizeEither, B, 1, kRuleFails, 0},   {kOpCustomSizeEither, C, 1, kRuleHolds, 0x000B},
      {kOpCustomSize, A, 2, kRuleHolds, 0x000B},  // no custom paper in that tray
      {kOpCustomSize, A, 99, kCheckFailed, 0},       // no such source
      {kOpEqual, C, 1, kRuleFails, 0},             // not a size operator
  };
  Set(kItemPaperSize, 262);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "operator " << int(c.op) << " size " << c.size.width << "x"
                                    << c.size.length << " source " << c.source);
    SetUserPaper(262, c.size.width, c.size.length);
    Set(kItemPaperSource, c.source);
    WORD flags = 0xFFFF;
    EXPECT_EQ(EvaluateSizeOperator(c.op, &context_, nullptr, &flags), c.result);
    EXPECT_EQ(flags, c.flags);
  }
  // Operator 8 measures against the source of item 389 and reports its flag.
  Set(kItemPaperSource, 1);
  Set(kItemSeparateSource, 2);
  SetUserPaper(262, A.width, A.length);
  WORD flags = 0;
  EXPECT_EQ(EvaluateSizeOperator(kOpCustomSizeSource, &context_, nullptr, &flags), kRuleHolds);
  EXPECT_EQ(flags, 0x0013);
  Set(kItemSeparateSource, 1);
  EXPECT_EQ(EvaluateSizeOperator(kOpCustomSizeSource, &context_, nullptr, &flags), kRuleFails);
  // A paper that is not user-defined never holds.
  Set(kItemPaperSize, 9);
  EXPECT_EQ(EvaluateSizeOperator(kOpCustomSizeEither, &context_, nullptr, &flags), kRuleFails);
}

TEST_F(SizeChecks, SizeRangeRecordOfTheConditionsValue) {
  // Item 8's list and its "User Paper 1" entry name the range 90 x 120 to 150 x 200 mm.
  const struct Case {
    const char* name;
    bool withValue;
    SHORT conditionValue;
    bool changeItem8;
    SHORT changeValue;
    DWORD width, length;
    WORD result;
  } cases[] = {
      {"outside the range of the entry", true, 262, false, 0, 2000, 3000, kRuleHolds},
      {"inside the range of the entry", true, 262, false, 0, 1000, 1500, kRuleFails},
      {"an entry without a range", true, 9, false, 0, 2000, 3000, kRuleFails},
      {"a value that selects no entry", true, 55, false, 0, 2000, 3000, kCheckFailed},
      {"no values, another item changes", false, 0, false, 0, 2000, 3000, kRuleFails},
      {"no values, item 8 changes: the list's range", false, 0, true, 262, 2000, 3000, kRuleHolds},
      {"the change's value is the condition's", true, 262, true, 262, 2000, 3000, kRuleHolds},
      {"the change's value is another", true, 262, true, 263, 2000, 3000, kRuleFails},
      {"the changed paper is not user-defined", true, 262, true, 9, 2000, 3000, kRuleFails},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Set(kItemPaperSize, 262);
    SetUserPaper(262, c.width, c.length);
    SetUserPaper(263, c.width, c.length);
    SHORT value = c.conditionValue;
    ItemValueElement condition{};
    condition.op = kOpSizeRange;
    condition.item = 8;
    if (c.withValue) condition.value = StoredValue{kTypeInt16, 2, 1, TRUE, FALSE, &value};
    const SHORT changed = c.changeValue;
    const ItemChange change = c.changeItem8 ? ItemChange{8, kTypeInt16, &changed} : ItemChange{271, 0, nullptr};
    WORD flags = 0xFFFF;
    EXPECT_EQ(CheckSizeRangeRecord(&context_, &change, &condition, store_->main, &flags), c.result);
    EXPECT_EQ(flags, c.result == kRuleHolds ? 0x0002 : 0);
  }
}

TEST_F(SizeChecks, RecordsFireOnTheSizeChecksThroughTheEngine) {
  // Rule 1 checks the paper against the tray (kind 1), rule 2 the user paper against its range.
  ConstraintState* state = CreateConstraintState();
  ASSERT_NE(state, nullptr);
  const WORD on = 1;
  const HANDLE printer = reinterpret_cast<HANDLE>(1);
  ASSERT_EQ(CheckSettingChange(kCheckModePlain, printer, store_, &settings_, &config_, nullptr, kItemPrintMode,
                               kTypeUInt16, &on, state, nullptr, 0),
            kCheckDone);
  EXPECT_EQ(state->firedRuleCount, 0);
  Set(kItemPaperSize, 262);
  SetUserPaper(262, 2980, 3000);  // too wide for the tray, outside the size range
  ASSERT_EQ(CheckSettingChange(kCheckModePlain, printer, store_, &settings_, &config_, nullptr, kItemPrintMode,
                               kTypeUInt16, &on, state, nullptr, 0),
            kCheckDone);
  EXPECT_EQ(std::vector<WORD>(state->firedRules, state->firedRules + state->firedRuleCount),
            (std::vector<WORD>{1, 2}));
  EXPECT_EQ(state->messageType, 5);
  EXPECT_EQ(state->checkFlags, 0x000B);
  EXPECT_EQ(std::vector<WORD>(state->related, state->related + state->relatedCount),
            (std::vector<WORD>{265, 262, 8, 13}));
  FreeConstraintState(state);
}

TEST_F(SizeChecks, PrintableSizes) {
  WORD width = 0, length = 0;
  // A standard paper prints on its record's smallest size.
  ASSERT_EQ(GetPrintableSize(&context_, 9, &width, &length), 1);
  EXPECT_EQ(width, 2000);
  EXPECT_EQ(length, 2870);
  // A user paper: its size less both margins, kept within its record's sizes.
  ASSERT_EQ(GetPrintableSize(&context_, 262, &width, &length), 1);
  EXPECT_EQ(width, 2000 - 50 - 30);
  EXPECT_EQ(length, 3000 - 40 - 20);
  SetUserPaper(262, 60, 9000);  // narrower than its margins, longer than the largest size
  ASSERT_EQ(GetPrintableSize(&context_, 262, &width, &length), 1);
  EXPECT_EQ(width, 1000);
  EXPECT_EQ(length, 4300);
  EXPECT_EQ(GetPrintableSize(&context_, 264, &width, &length), 0);  // no record
  EXPECT_EQ(GetPaperSizeById(&context_, 9, &width, &length), kDbOk);
  EXPECT_EQ(width, 2100);
  EXPECT_EQ(GetPaperSizeById(&context_, 55, &width, &length), kDbAbsent);
}

TEST_F(SizeChecks, PosterTileCounts) {
  const struct Case {
    const char* name;
    WORD tiles, scale, output;
    WORD poster;
    DWORD posterSet;
    WORD result;
  } cases[] = {
      {"2 x 2 at 100 %: a column and a row stay empty", 0x0202, 100, 267, 1, 1, kTilesTooMany},
      {"1 x 1 at 200 %: the page does not fit", 0x0101, 200, 267, 1, 1, kTilesTooFew},
      {"1 x 1 at 100 %", 0x0101, 100, 267, 1, 1, 0},
      {"2 x 2 at 150 %", 0x0202, 150, 267, 1, 1, 0},
      {"onto a user paper with less printable width", 0x0101, 100, 262, 1, 1, kTilesTooFew},
      {"poster printing off (321)", 0x0101, 200, 267, 0, 1, 0},
      {"poster printing off (1281)", 0x0101, 200, 267, 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Set(kItemTileCount, c.tiles);
    Set(kItemZoomPercent, c.scale);
    Set(kItemOutputPaper, c.output);
    Set(kItemPageLayout, c.poster);
    Set(kItemZoomOn, c.posterSet);
    WORD* items = reinterpret_cast<WORD*>(1);
    EXPECT_EQ(CheckTileCount(&context_, nullptr, &items), c.result);
    if (c.result == 0) {
      EXPECT_EQ(items, nullptr);
    } else {
      EXPECT_EQ(ZeroEndedIds(items), (std::vector<WORD>{8, 262, 296, 1281, 263, 0}));
    }
    GlobalFree(items);
  }
  // The change's tiles count and the changed item is left out of the answer.
  Set(kItemZoomOn, 1);
  Set(kItemTileCount, 0x0202);
  Set(kItemZoomPercent, 200);
  const WORD one = 0x0101;
  const ItemChange change{296, kTypeUInt16, &one};
  WORD* items = nullptr;
  EXPECT_EQ(CheckTileCount(&context_, &change, &items), kTilesTooFew);
  EXPECT_EQ(ZeroEndedIds(items), (std::vector<WORD>{8, 262, 1281, 263, 0}));
  GlobalFree(items);
  // Sizes and scale near their limits do not overflow: 255 x 255 tiles of 6 m cannot hold a
  // page of 6 m at 600 times.
  Set(kItemPaperSize, 77);
  Set(kItemOutputPaper, 267);
  Set(kItemTileCount, 0xFFFF);
  Set(kItemZoomPercent, 60000);
  EXPECT_EQ(CheckTileCount(&context_, nullptr, &items), kTilesTooFew);
  GlobalFree(items);
  // Unreadable settings and papers without records fail.
  Set(kItemPaperSize, 55);
  EXPECT_EQ(CheckTileCount(&context_, nullptr, &items), kCheckFailed);
  EXPECT_EQ(items, nullptr);
  EXPECT_EQ(CheckTileCount(&context_, nullptr, nullptr), kCheckFailed);
}

}  // namespace
