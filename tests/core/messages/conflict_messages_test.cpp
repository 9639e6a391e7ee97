#include <string>
#include <vector>

#include "core/constraints/constraint_state.h"
#include "core/descriptors/item_defaults.h"
#include "core/messages/conflict_lines.h"
#include "core/messages/conflict_messages.h"
#include "core/messages/conflict_texts.h"
#include "core/messages/sheet_services.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/user/user_sim.h"
#include "tests/support/model_files.h"
#include "tests/support/printer_fixture.h"

namespace {

using printer_test::SampleSettingsTest;

// The page the boxes are shown on, and a window that carries no sheet.
const HWND kPage = reinterpret_cast<HWND>(0x1234);
const HWND kNoSheet = reinterpret_cast<HWND>(0x5678);
int g_sheet = 0;

// The user-interface module's side, as it answers for its sheets.
SheetState* SheetOf(HWND window) { return window == kPage ? reinterpret_cast<SheetState*>(&g_sheet) : nullptr; }
BOOL Metric(SheetState*, MeasurementFlags* flags) {
  *flags = {0, 0};
  return TRUE;
}
int Box(HWND window, LPCWSTR text, LPCWSTR caption, UINT style) { return MessageBoxW(window, text, caption, style); }
const SheetServices kServices{SheetOf, Metric, Box};

constexpr int kNoAnswer = 0;
constexpr UINT kQuestion = MB_OKCANCEL | MB_ICONINFORMATION;

// Printer "P1" of the sample with default settings; the test resource module's message strings
// mark each message with its number and separate its parts with "|".
class ConflictMessagesTest : public SampleSettingsTest {
 protected:
  void SetUp() override {
    SampleSettingsTest::SetUp();
    context_ = {store_, &settings_, &config_};
    state_ = CreateConstraintState();
    SetSheetServices(&kServices);
  }
  void TearDown() override {
    SetSheetServices(nullptr);
    FreeConstraintState(state_);
    SampleSettingsTest::TearDown();
  }
  void Fire(WORD type, std::initializer_list<WORD> rules, WORD checkFlags = 0) {
    ResetConstraintState(state_);
    state_->messageType = type;
    state_->checkFlags = checkFlags;
    for (WORD rule : rules)
      ASSERT_EQ(AppendUniqueItemId(rule, kFiredListInline, &state_->firedRules, &state_->firedRuleCount), 0);
  }
  // The boxes shown on the page since the last call, as "caption/buttons/icon/text" (the low
  // two digits of the style).
  static std::vector<std::u16string> Boxes() {
    std::vector<std::u16string> shown;
    for (const SimMessageBox& box : SimMessageBoxLog()) {
      EXPECT_EQ(box.owner, kPage);
      shown.push_back(box.caption + u"/" + std::u16string(1, char16_t(u'0' + (box.type & 0xF))) + u"/" +
                      std::u16string(1, char16_t(u'0' + ((box.type >> 4) & 0xF))) + u"/" + box.text);
    }
    SimMessageBoxReset();
    return shown;
  }

  SettingsContext context_{};
  ConstraintState* state_ = nullptr;
};

TEST_F(ConflictMessagesTest, EveryMessageTypeWithItsBoxAndAnswer) {
  Put(kItemColorMode, 1);   // grayscale: rule 6 holds
  Put(kItemPaperSize, 20);  // an envelope: rule 1 holds
  const WORD light = 1;
  const SHORT longEdge = 2;
  const ItemChange toner{271, kTypeUInt16, &light};
  const ItemChange tonerNoValue{271, kTypeUInt16, nullptr};
  const ItemChange duplex{16, kTypeInt16, &longEdge};
  const std::u16string caption = u"Printer Settings";
  const struct Case {
    const char* what;
    WORD type;
    std::vector<WORD> rules;
    const ItemChange* change;
    HWND window;
    int answer;  // scripted; kNoAnswer leaves the box unscripted (closed: Cancel)
    WORD result;
    std::u16string box;  // "" for no box; else "style/icon/text"
  } cases[] = {
      {"nothing to say", 0, {6}, &toner, kPage, kNoAnswer, 9, u""},
      {"a refusal the page shows itself", 4, {6}, &toner, kPage, kNoAnswer, 9, u""},
      {"notice types go ahead", 9, {3}, &toner, kPage, kNoAnswer, 9, u""},
      {"refused", 1, {6}, &toner, kPage, kNoAnswer, 1, u""},
      {"hidden", 6, {6}, &toner, kPage, kNoAnswer, 1, u""},
      {"warning", 2, {6}, &toner, kPage, IDOK, 3, u"0/3/W701|Toner Save|Light|[Color Mode=Grayscale]"},
      {"warning without a value", 2, {6}, &tonerNoValue, kPage, IDOK, 3,
       u"0/3/W724|Toner Save|[Color Mode=Grayscale]"},
      {"question accepted", 3, {1}, &duplex, kPage, IDOK, 9,
       u"1/4/Q705|Two-sided Printing|Long Edge|[Paper Size=Envelope #10]|[Two-sided Printing=Off]"},
      {"question cancelled", 3, {1}, &duplex, kPage, IDCANCEL, 3,
       u"1/4/Q705|Two-sided Printing|Long Edge|[Paper Size=Envelope #10]|[Two-sided Printing=Off]"},
      {"question closed", 3, {1}, &duplex, kPage, kNoAnswer, 3,
       u"1/4/Q705|Two-sided Printing|Long Edge|[Paper Size=Envelope #10]|[Two-sided Printing=Off]"},
      {"question of two rules", 3, {1, 6}, &duplex, kPage, IDOK, 9,
       u"1/4/Q705|Two-sided Printing|Long Edge|[Paper Size=Envelope #10][Color Mode=Grayscale]|"
       u"[Two-sided Printing=Off]"},
      {"requirement without a position condition asks nothing", 5, {1}, &duplex, kPage, IDOK, 3, u""},
      {"type 7", 7, {6}, &toner, kPage, IDOK, 10, u"0/3/T710|Toner Save|[Color Mode=Grayscale]"},
      {"type 8 accepted", 8, {1}, &duplex, kPage, IDOK, 9,
       u"1/4/Q705|Two-sided Printing|Long Edge|[Paper Size=Envelope #10]|[Two-sided Printing=Off]"},
      {"type 8 cancelled", 8, {1}, &duplex, kPage, IDCANCEL, 10,
       u"1/4/Q705|Two-sided Printing|Long Edge|[Paper Size=Envelope #10]|[Two-sided Printing=Off]"},
      {"value change 10", 10, {}, &toner, kPage, IDOK, 3, u"0/3/V708|Toner Save|Light"},
      {"value change 11", 11, {}, &toner, kPage, IDOK, 3, u"0/3/V708|Toner Save|Light"},
      {"value change 12", 12, {}, &toner, kPage, IDOK, 3, u"0/3/V4733|Toner Save|Light"},
      {"value change 13", 13, {}, &toner, kPage, IDOK, 3, u"0/3/V4733|Toner Save|Light"},
      {"a question without a sheet", 3, {1}, &duplex, kNoSheet, IDOK, 3, u""},
      {"type 8 without a sheet", 8, {1}, &duplex, kNoSheet, IDOK, 10, u""},
      {"type 7 without a sheet", 7, {6}, &toner, kNoSheet, IDOK, 10, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetConstraintState(state_);
    state_->messageType = c.type;
    for (WORD rule : c.rules)
      ASSERT_EQ(AppendUniqueItemId(rule, kFiredListInline, &state_->firedRules, &state_->firedRuleCount), 0);
    if (c.answer != kNoAnswer) SimMessageBoxAnswer(c.answer);
    EXPECT_EQ(ShowConstraintMessage(c.window, &context_, c.change, nullptr, nullptr, state_), c.result);
    const std::vector<std::u16string> boxes = Boxes();
    if (c.box.empty()) {
      EXPECT_TRUE(boxes.empty());
    } else {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0], caption + u"/" + c.box);
    }
  }
}

TEST_F(ConflictMessagesTest, ExtraTextsCheckFlagItemsNoticeAndChangeList) {
  Put(kItemColorMode, 1);
  Put(kItemPaperSource, 4);
  const WORD light = 1;
  const ItemChange toner{271, kTypeUInt16, &light};
  // Extra texts follow the lines; items a size check flagged follow the conditions, with the
  // paper source's custom sizes.
  Fire(3, {6}, 0x0001 | 0x0008);
  SimMessageBoxAnswer(IDOK);
  EXPECT_EQ(ShowConstraintMessage(kPage, &context_, &toner, u"<more>", u"<forced>", state_), 9);
  std::vector<std::u16string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], u"Printer Settings/1/4/Q705|Toner Save|Light|[Color Mode=Grayscale]<more>[Paper Size=A4]"
                      u"[Paper Source=Bypass Tray (custom sizes 90-304 x 139-1200 mm)]|<forced>");

  // The notice lists the forced values of the fired rules of message type 9 only.
  Fire(3, {6, 3});
  EXPECT_EQ(ShowConflictNotice(kPage, &context_, state_), kConflictNoticeShown);
  boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], u"Printer Settings/0/4/R711|[Two-sided Printing=Off]");
  Fire(3, {6});
  EXPECT_EQ(ShowConflictNotice(kPage, &context_, state_), kConflictNoticeShown);
  EXPECT_TRUE(Boxes().empty());

  // The change list: each item once, never 443.
  const WORD ids[] = {8, 443, 16, 8};
  SimMessageBoxAnswer(IDOK);
  EXPECT_EQ(ConfirmConflictChanges(kPage, store_, &settings_, &config_, ids, 4), 0);
  SimMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(ConfirmConflictChanges(kPage, store_, &settings_, &config_, ids, 4), kConflictCancelled);
  boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1], u"Printer Settings/1/4/C712|[Paper Size=A4][Two-sided Printing=Off]");
  const WORD hidden[] = {346, 348, 8205, 443};
  EXPECT_EQ(ConfirmConflictChanges(kPage, store_, &settings_, &config_, hidden, 4), 0);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ConfirmConflictChanges(kNoSheet, store_, &settings_, &config_, ids, 4), kCheckFailed);
  EXPECT_EQ(ConfirmConflictChanges(kPage, nullptr, &settings_, &config_, ids, 4), kCheckFailed);

  // The range warning.
  EXPECT_EQ(ShowConflictWarning(kPage, &context_, 10, 0, kItemColorTripleFirst, nullptr, kTypeInt16, -35, 35), 0);
  EXPECT_EQ(ShowConflictWarning(kPage, &context_, 1, 1, kItemColorTripleFirst, u"Lightness", kTypeInt16, -3, 3), 0);
  EXPECT_EQ(ShowConflictWarning(kNoSheet, &context_, 1, 1, kItemColorTripleFirst, u"Lightness", kTypeInt16, -3, 3), 1);
  boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], u"Printer Settings/0/3/W700|Brightness|-3.5|3.5");
  EXPECT_EQ(boxes[1], u"Printer Settings/0/3/W700|Lightness|-3|3");
}

TEST_F(ConflictMessagesTest, TileCountWhileEditing) {
  Put(kItemPageLayout, 1);
  Put(kItemZoomOn, 1);
  Put(kItemTileCount, 0x0202);
  Put(kItemZoomPercent, 200);
  const WORD one = 0x0101, four = 0x0202;
  const ItemChange tooFew{296, kTypeUInt16, &one};
  const ItemChange fits{296, kTypeUInt16, &four};
  EXPECT_EQ(ResolveItemConflict(kPage, &context_, &fits), kConflictGoAhead);
  // The sample names no tile item: no text can be made, which counts as closed without OK.
  SimMessageBoxAnswer(IDOK);
  EXPECT_EQ(ResolveItemConflict(kPage, &context_, &tooFew), kCheckRefused);
  EXPECT_TRUE(Boxes().empty());
  SimMessageBoxReset();
  // The texts with a name and value given: the lines of the items that have names.
  const WORD items[] = {8, 262, 296, 1281, 0};
  const struct Case {
    WORD flags;
    std::u16string text;
  } cases[] = {
      {0, u"E716|Tiles|1 x 1|[Paper Size=A4][Output Paper=Same as Paper Size][Manual Zoom=On]"},
      {1, u"E715|Tiles|1 x 1|[Paper Size=A4][Output Paper=Same as Paper Size][Manual Zoom=On]"},
      {2, u"A714|[Paper Size=A4][Output Paper=Same as Paper Size][Manual Zoom=On]"},
      {3, u"A713|[Paper Size=A4][Output Paper=Same as Paper Size][Manual Zoom=On]"},
  };
  for (const Case& c : cases) {
    LPWSTR text = BuildTileCountText(c.flags, GetResourceModule(), &context_, &tooFew, u"Tiles", u"1 x 1", items,
                                     nullptr);
    ASSERT_NE(text, nullptr) << c.flags;
    EXPECT_EQ(std::u16string(text), c.text);
    GlobalFree(text);
  }
  const WORD unnamed[] = {296, 0};
  EXPECT_EQ(BuildTileCountText(3, GetResourceModule(), &context_, &tooFew, nullptr, nullptr, unnamed, nullptr), nullptr);
}

TEST_F(ConflictMessagesTest, LinkedStampTexts) {
  const WORD on = 1, off = 0;
  LinkedItemConflict out{};
  const ItemChange poster{296, kTypeUInt16, &on};
  const ItemChange stampOn{321, kTypeUInt8, &on};
  const ItemChange stampOff{321, kTypeUInt8, &off};
  const ItemChange other{16, kTypeInt16, &on};
  // No stamp chosen: nothing to say.
  EXPECT_EQ(BuildLinkedItemConflictText(GetResourceModule(), &context_, &poster, &out), 0);
  EXPECT_EQ(out.pairCount, 0);
  const char16_t* stamp = u"Draft";
  ASSERT_EQ(SetItemValue(kItemStampName, &settings_, &config_, kTypeString, 12, &stamp), kItemDone);
  for (const ItemChange* change : {&poster, &stampOn}) {
    ASSERT_EQ(BuildLinkedItemConflictText(GetResourceModule(), &context_, change, &out), 0);
    EXPECT_EQ(std::u16string(out.conditionText), u"\n\tStamp : Draft");
    EXPECT_EQ(std::u16string(out.forcedText), u"\n\tStamp : No Stamp");
    ASSERT_EQ(out.pairCount, 2);
    WORD room[kChangedListInline];
    WORD* changed = room;
    WORD count = 0;
    EXPECT_EQ(ApplyItemValuePairs(&context_, &changed, &count, out.pairCount, out.pairs), kCheckApplied);
    EXPECT_EQ(count, 2);
    FreeLinkedItemConflict(&out);
    ASSERT_EQ(SetItemValue(kItemStampName, &settings_, &config_, kTypeString, 12, &stamp), kItemDone);
  }
  EXPECT_EQ(BuildLinkedItemConflictText(GetResourceModule(), &context_, &stampOff, &out), 0);
  EXPECT_EQ(out.conditionText, nullptr);
  EXPECT_EQ(BuildLinkedItemConflictText(GetResourceModule(), &context_, &other, &out), 1);
}

TEST(ConflictLines, BoundedListsTakeNoMoreThanTheirRoom) {
  RememberedIds ids{};
  for (WORD id = 1; id <= kRememberedIdCount; ++id) EXPECT_TRUE(AddIdToBoundedList(ids.ids, kRememberedIdCount, id));
  EXPECT_TRUE(AddIdToBoundedList(ids.ids, kRememberedIdCount, 5));  // already held
  EXPECT_FALSE(AddIdToBoundedList(ids.ids, kRememberedIdCount, 99));
  EXPECT_FALSE(IsIdInList(ids.ids, 99));
  EXPECT_TRUE(IsIdInList(ids.ids, kRememberedIdCount));
  EXPECT_EQ(ids.ids[kRememberedIdCount], 0);
  EXPECT_FALSE(AddIdToBoundedList(ids.ids, kRememberedIdCount, 0));
}

}  // namespace

namespace {

// A model whose names are hidden ("!") or span two lines, and a rule on the staple position.
const char kLinesModel[] = R"(model "Lines"
version "T:1.0.0"
level 0x1600
list 271 name="Toner Save" kind=1 default=1 choices=[1 2]
choice 1 name="Off" value=u16:0
choice 2 name="On" rules=[1 2] value=u16:1
list 270 name="!Colour Mode" kind=1 default=1 choices=[3 4]
choice 3 name="Auto" value=u16:0
choice 4 name="Gray" value=u16:1
list 320 name="Staple\x0DPosition" kind=1 default=1 choices=[5 6]
choice 5 name="Off" value=u16:0
choice 6 name="Top Left" value=u16:3
rule 1 watch=(271 = u16:1) msgword=3 message="Hidden colour and a staple." when=[(270 = u16:1 and) (320 = u16:3 end)]
    force=[(320 = u16:0) (270 = u16:0)]
rule 2 watch=(271 = u16:1) msgword=5 message="The staple goes." when=[(320 = u16:3 end)] force=[(320 = u16:0)]
)";

TEST_F(ConflictMessagesTest, HiddenNamesFirstLinesAndTheStaplePosition) {
  ItemStore* lines = OpenModelText(kLinesModel, u"LINES.DDD");
  ASSERT_NE(lines, nullptr);
  const SettingsContext context{lines, &settings_, &config_};
  Put(kItemColorMode, 1);
  Put(kItemPagesPerSheet, 1);
  Put(kItemStaplePosition, 3);
  const WORD on = 1;
  const ItemChange toner{271, kTypeUInt16, &on};
  Fire(3, {1});
  SimMessageBoxAnswer(IDOK);
  EXPECT_EQ(ShowConstraintMessage(kPage, &context, &toner, nullptr, nullptr, state_), 9);
  Fire(5, {2});
  SimMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(ShowConstraintMessage(kPage, &context, &toner, nullptr, nullptr, state_), kCheckRefused);
  Fire(5, {2});
  SimMessageBoxAnswer(IDOK);
  EXPECT_EQ(ShowConstraintMessage(kPage, &context, &toner, nullptr, nullptr, state_), 9);
  const std::vector<std::u16string> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  // The hidden item has no line; a name shows its first line only.
  EXPECT_EQ(boxes[0], u"Printer Settings/1/4/Q705|Toner Save|On|[Staple=Top Left]|[Staple=Off]");
  EXPECT_EQ(boxes[1], u"Printer Settings/1/4/R709|Toner Save|On|Top Left|[Staple=Off]");
  EXPECT_EQ(boxes[2], boxes[1]);
  CloseItemStore(lines);
}

}  // namespace
