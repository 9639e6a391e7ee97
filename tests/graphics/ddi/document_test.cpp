// Whole documents printed through the engine host: the job framed in the library's order, one
// library page per engine page, the page blocks of every paper source and of custom paper, a
// library failure at each step failing the job, a reset in mid-document continuing the job, and
// nothing left allocated, loaded or open after any of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "items/item_ids.h"
#include "outside/drawlib/drawlib_stream.h"
#include "platform/engine/engine_sim.h"
#include "platform/registry/registry_sim.h"
#include "items/item_ids.h"
#include "tests/graphics/ddi/document_fixture.h"

namespace {

using Strings = std::vector<std::string>;

constexpr char kUel[] = "\x1B%-12345X";

size_t Count(const Strings& calls, const std::string& name) {
  return static_cast<size_t>(std::count(calls.begin(), calls.end(), name));
}

// The value of a field "name=value" in a trace line (up to the next blank, comma or brace).
std::string Field(const std::string& line, const std::string& name) {
  const size_t at = line.find(" " + name + "=") != std::string::npos ? line.find(" " + name + "=") + 1
                                                                     : line.find("{" + name + "=") + 1;
  if (at == 0) return "";
  const size_t start = at + name.size() + 1;
  const size_t end = line.find_first_of(" ,}", start);
  return line.substr(start, end - start);
}

TEST_F(DocumentTest, OnePageDocumentIsOneJobInTheLibrarysOrder) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  const DocumentAnswers answers = PrintBlankDocument(dc, 1);
  EXPECT_TRUE(answers.started);
  EXPECT_EQ(answers.pageEnds, std::vector<BOOL>{TRUE});
  EXPECT_TRUE(answers.ended);
  const Strings expected = {"VR_Initialize",      "VR_StartJob",       "VR_SetRasterSmoothingMode",
                            "VR_SendJobHeader",   "VR_SetPatternResolution", "VR_StartPage",
                            "VR_SetColorParameter", "VR_SetAxis",      "VR_SetGraphicsMode",
                            "VR_AdjustStroke",    "VR_EndPage",
                            "VR_ShowPage",        "VR_SendJobTrailer", "VR_EndJob",
                            "VR_Finalize"};
  EXPECT_EQ(Calls(), expected) << Trace();
  EXPECT_EQ(breaches_(), 0u) << Trace();
  // A colour page is announced as colour in the colour block too.
  EXPECT_EQ(Field(Lines("VR_SetColorParameter").at(0), "mode"), "3");

  // In the spool job the job header's text follows the job's start and comes before its first
  // page; the trailer's text follows the last page and comes before the job's end.
  const std::vector<BYTE> bytes = LastSpoolJob();
  const std::string spool(bytes.begin(), bytes.end());
  auto record = [&spool](BYTE slot) { return spool.find(std::string("\x1BVR") + static_cast<char>(slot)); };
  const size_t header = spool.find(std::string(kUel) + "@PJL SET");
  const size_t trailer = spool.rfind(std::string(kUel) + "@PJL EOJ\n");
  ASSERT_NE(header, std::string::npos);
  ASSERT_NE(trailer, std::string::npos);
  EXPECT_LT(record(kVrStartJob), header);
  EXPECT_LT(header, record(kVrSetPatternResolution));
  EXPECT_LT(record(kVrSetPatternResolution), record(kVrStartPage));
  EXPECT_LT(record(kVrStartPage), record(kVrEndPage));
  EXPECT_LT(record(kVrEndPage), record(kVrShowPage));
  EXPECT_LT(record(kVrShowPage), trailer);
  EXPECT_LT(trailer, record(kVrEndJob));
  EXPECT_EQ(Lines("VR_SendJobTrailer").size(), 1u);
}

// How engine pages become sheet sides.
struct SideCase {
  const char* name;
  std::vector<std::pair<SettingItemId, std::pair<ValueTypeCode, DWORD>>> items;
  int pages;
  size_t jobs;   // library jobs begun
  size_t sides;  // library pages (sheet sides)
  size_t axes;   // page axes sent (one per engine page placed)
};

const SideCase kSideCases[] = {
    {"one page per side", {}, 3, 1, 3, 3},
    // The first side ends after its fourth page, the second is ended by the document's end.
    {"N-up 4 with 6 pages", {{kItemPagesPerSheet, {kTypeUInt16, 4}}}, 6, 1, 2, 6},
    // Empty pages are skipped: no page is begun, so the job's output never begins.
    {"empty pages skipped", {{kItemSkipEmptyPages, {kTypeFlag, 1}}}, 2, 0, 0, 0},
    // Duplex in reverse order with an odd number of sides: the last sheet gets a blank back.
    {"duplex reverse odd", {{kItemDuplex, {kTypeInt16, 2}}, {kItemReverseOrder, {kTypeFlag, 1}}}, 3, 1, 4, 4},
};

TEST_F(DocumentTest, EnginePagesBecomeSheetSides) {
  for (const SideCase& c : kSideCases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, settings_, config_, kPrinter));
    Set(kItemColorMode, kTypeUInt8, 2);
    for (const auto& [id, value] : c.items) Set(id, value.first, value.second);
    reset_();
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(PrintBlankDocument(dc, c.pages).ended);
    const Strings calls = Calls();
    EXPECT_EQ(Count(calls, "VR_StartJob"), c.jobs) << Trace();
    EXPECT_EQ(Count(calls, "VR_StartPage"), c.sides);
    EXPECT_EQ(Count(calls, "VR_EndPage"), c.sides);
    EXPECT_EQ(Count(calls, "VR_ShowPage"), c.sides);
    EXPECT_EQ(Count(calls, "VR_SetAxis"), c.axes);
    EXPECT_EQ(breaches_(), 0u) << Trace();
    DeleteDc(dc);
  }
}

// With the model's automatic colour each page is held in the temporary job store until its
// colour is known and replayed at the side's end: the library sees the same job.
TEST_F(DocumentTest, AutomaticColourPagesAreHeldAndReplayed) {
  Set(kItemColorMode, kTypeUInt8, 0);
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(PrintBlankDocument(dc, 2).ended);
  const Strings calls = Calls();
  EXPECT_EQ(Count(calls, "VR_StartJob"), 1u) << Trace();
  EXPECT_EQ(Count(calls, "VR_StartPage"), 2u);
  EXPECT_EQ(Count(calls, "VR_EndPage"), 2u);
  EXPECT_EQ(Count(calls, "VR_ShowPage"), 2u);
  EXPECT_EQ(breaches_(), 0u) << Trace();
  // A page without colour starts as a monochrome page, in the size block and the colour block.
  for (const std::string& page : Lines("VR_StartPage")) EXPECT_EQ(Field(page, "color"), "1") << page;
  for (const std::string& block : Lines("VR_SetColorParameter")) EXPECT_EQ(Field(block, "mode"), "4") << block;
}

// The side word of each page start (1 front, 2 back) on a duplex job, in the library's order.
std::vector<std::string> Sides(const Strings& pages) {
  std::vector<std::string> sides;
  for (const std::string& page : pages) sides.push_back(Field(page.substr(page.find("page{")), "w34"));
  return sides;
}

TEST_F(DocumentTest, ReverseOrderPlaysThePagesBackLastToFirst) {
  Set(kItemDuplex, kTypeInt16, 2);  // duplex: the pages' sides tell them apart
  {
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(PrintBlankDocument(dc, 2).ended);
    EXPECT_EQ(Sides(Lines("VR_StartPage")), (std::vector<std::string>{"1", "2"})) << Trace();
    DeleteDc(dc);
  }
  reset_();
  Set(kItemReverseOrder, kTypeFlag, 1);
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(PrintBlankDocument(dc, 2).ended);
  EXPECT_EQ(Sides(Lines("VR_StartPage")), (std::vector<std::string>{"2", "1"})) << Trace();
  const Strings calls = Calls();
  EXPECT_EQ(Count(calls, "VR_StartJob"), 1u);
  EXPECT_EQ(Count(calls, "VR_ShowPage"), 2u);
  EXPECT_EQ(breaches_(), 0u) << Trace();
}

// Kept pages live in a temporary store file registered under the model's own driver key while
// the document runs; nothing of it is left once the document ends.
TEST_F(DocumentTest, KeptPagesAreRegisteredUnderTheModelsDriverKey) {
  Set(kItemReverseOrder, kTypeFlag, 1);
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  constexpr const WCHAR* kTempFiles = u"SOFTWARE\\Qorvex\\QX-4500\\TempFile";
  ASSERT_TRUE(EngineStartDoc(dc, u"Kept"));
  ASSERT_TRUE(EngineStartPage(dc));
  ASSERT_TRUE(EngineEndPage(dc));
  const std::string registered = SimRegistryDump(HKEY_LOCAL_MACHINE, kTempFiles);
  EXPECT_NE(registered.find("/"), std::string::npos) << registered;
  EXPECT_TRUE(EngineEndDoc(dc));
  EXPECT_EQ(SimRegistryDump(HKEY_LOCAL_MACHINE, kTempFiles).find("/"), std::string::npos);
}

// A stored page whose replay fails part-way (the library refuses a drawing) still ends its
// library page before the job's trailer; the document reports the failure and the other pages
// are still replayed.
TEST_F(DocumentTest, FailedReplayEndsItsLibraryPage) {
  Set(kItemReverseOrder, kTypeFlag, 1);  // reverse order: every page is stored and replayed at the end
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  DrawCall fill;
  fill.kind = DrawKind::FillPath;
  fill.brush.kind = BrushKind::Solid;
  ASSERT_TRUE(EngineStartDoc(dc, u"Failing replay"));
  for (LONG page = 0; page < 2; ++page) {
    ASSERT_TRUE(EngineStartPage(dc));
    for (LONG i = 0; i < 3; ++i) {
      fill.path = PathRectangle({100 + 50 * i, 100, 140 + 50 * i, 140});
      EXPECT_EQ(EngineDraw(dc, fill), TRUE);
    }
    ASSERT_TRUE(EngineEndPage(dc));
  }
  fail_("VR_DrawRectangle", 2, -1);
  EXPECT_FALSE(EngineEndDoc(dc));
  const Strings calls = Calls();
  EXPECT_EQ(Count(calls, "VR_StartPage"), 2u) << Trace();
  EXPECT_EQ(Count(calls, "VR_EndPage"), 2u) << Trace();
  EXPECT_EQ(Count(calls, "VR_EndJob"), 1u) << Trace();
  EXPECT_EQ(breaches_(), 0u) << Trace();
}

// A library failure at each step of a job: the job is aborted (or never starts), every later
// step fails, DrvEndDoc reports the failure, and nothing is left behind.
struct FailureCase {
  const char* call;
  bool started;         // DrvStartDoc's answer
  bool firstPageEnded;  // the first DrvSendPage's answer
  bool libraryKeepsSession = false;  // a library that refuses to end keeps its session
};

// The case by its name in test listings (GoogleTest would print its bytes, pointers included).
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.call; }

const FailureCase kFailureCases[] = {
    {"VR_Initialize", false, false},     {"VR_StartJob", true, false},
    {"VR_SendJobHeader", true, false},   {"VR_SetPatternResolution", true, false},
    {"VR_StartPage", true, false},       {"VR_SetColorParameter", true, false},
    {"VR_SetAxis", true, false},         {"VR_EndPage", true, false},
    {"VR_ShowPage", true, false},        {"VR_SendJobTrailer", true, true},
    {"VR_EndJob", true, true},           {"VR_Finalize", true, true, true},
};

class DocumentFailure : public DocumentTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(DocumentFailure, FailsTheJobAndLeavesNothingBehind) {
  const FailureCase& c = GetParam();
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  fail_(c.call, 1, -1);
  const BOOL started = EngineStartDoc(dc, u"Failing");
  EXPECT_EQ(started != FALSE, c.started);
  if (started) {
    EXPECT_TRUE(EngineStartPage(dc));
    EXPECT_EQ(EngineEndPage(dc) != FALSE, c.firstPageEnded) << Trace();
    // A failed job refuses its later pages too.
    EngineStartPage(dc);
    EXPECT_EQ(EngineEndPage(dc) != FALSE, c.firstPageEnded);
  }
  EXPECT_FALSE(EngineEndDoc(dc)) << "the failed job is reported";
  EXPECT_EQ(liveSessions_(), c.libraryKeepsSession ? 1u : 0u);
  if (c.libraryKeepsSession) reset_();
  const Strings calls = Calls();
  // Nothing follows an aborted job's failure but the session's end.
  if (c.started && !c.firstPageEnded) {
    EXPECT_EQ(Count(calls, "VR_EndJob"), 0u) << Trace();
  }
  DeleteDc(dc);
  EXPECT_EQ(SimEngineOutstanding(), driverOnly_) << testing::PrintToString(SimEngineOutstandingList());
}

INSTANTIATE_TEST_SUITE_P(EachStep, DocumentFailure, testing::ValuesIn(kFailureCases),
                         [](const testing::TestParamInfo<FailureCase>& info) {
                           return std::string(info.param.call).substr(3);
                         });

// Each paper source of the sample model reaches the page block as its device code; the public
// item's 15 hands the choice to the driver's own source item (the model has feature 0x10).
struct SourceCase {
  SHORT defaultSource;  // dmDefaultSource (item 13)
  WORD driverSource;    // item 265
  const char* code;     // the page block's source word
};

const SourceCase kSourceCases[] = {{7, 7, "0"},   {1, 7, "1"},  {2, 7, "2"},  {3, 7, "3"},    {257, 7, "4"},
                                   {11, 7, "5"},  {4, 7, "6"},  {5, 7, "7"},  {15, 266, "4"}, {15, 4, "6"}};

TEST_F(DocumentTest, EachPaperSourceReachesThePageBlock) {
  for (const SourceCase& c : kSourceCases) {
    SCOPED_TRACE(c.defaultSource);
    reset_();
    Set(kItemDefaultSource, kTypeInt16, static_cast<WORD>(c.defaultSource));
    Set(kItemPaperSource, kTypeUInt16, c.driverSource);
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(PrintBlankDocument(dc, 1).ended);
    const Strings pages = Lines("VR_StartPage");
    ASSERT_EQ(pages.size(), 1u) << Trace();
    EXPECT_EQ(Field(pages[0], "source"), c.code) << pages[0];
    DeleteDc(dc);
  }
}

TEST_F(DocumentTest, CustomPaperReachesThePageBlocks) {
  // A custom size of 150 x 200 mm is printed on the model's user paper (device code 254) of
  // that size: the size block in pixels at 600 dpi.
  constexpr DWORD kDmPaperSize = 0x2, kDmPaperLength = 0x4, kDmPaperWidth = 0x8, kDmFormName = 0x10000;
  Set(kItemFields, kTypeUInt32, (Number(kItemFields) & ~kDmFormName) | kDmPaperSize | kDmPaperLength | kDmPaperWidth);
  Set(kItemPaperSize, kTypeInt16, 256);
  Set(kItemPaperWidth, kTypeInt16, 1500);
  Set(kItemPaperLength, kTypeInt16, 2000);
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(PrintBlankDocument(dc, 1).ended);
  const Strings pages = Lines("VR_StartPage");
  ASSERT_EQ(pages.size(), 1u) << Trace();
  const std::string& line = pages[0];
  const size_t pageBlock = line.find("page{");
  ASSERT_NE(pageBlock, std::string::npos);
  const std::string size = line.substr(0, pageBlock);
  const std::string page = line.substr(pageBlock);
  EXPECT_EQ(Field(size, "width"), "3543") << line;  // 1500 tenths at 600 dpi, rounded
  EXPECT_EQ(Field(size, "length"), "4724") << line;
  EXPECT_EQ(Field(page, "paper"), "254") << line;
  EXPECT_EQ(Field(page, "custom"), "0") << line;
  EXPECT_EQ(Field(page, "printW"), "3543.30713") << line;
}

TEST_F(DocumentTest, ResetInMidDocumentContinuesTheJob) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Reset"));
  ASSERT_TRUE(EngineStartPage(dc));
  ASSERT_TRUE(EngineEndPage(dc));
  Set(kItemOrientation, kTypeInt16, 2);  // the second page in landscape
  std::vector<BYTE> landscape = DevMode();
  ASSERT_TRUE(EngineResetDC(dc, reinterpret_cast<DEVMODEW*>(landscape.data())));
  ASSERT_TRUE(EngineStartPage(dc));
  ASSERT_TRUE(EngineEndPage(dc));
  EXPECT_TRUE(EngineEndDoc(dc));
  const Strings calls = Calls();
  EXPECT_EQ(Count(calls, "VR_Initialize"), 1u) << Trace();
  EXPECT_EQ(Count(calls, "VR_StartJob"), 1u);
  EXPECT_EQ(Count(calls, "VR_StartPage"), 2u);
  EXPECT_EQ(Count(calls, "VR_EndJob"), 1u);
  EXPECT_EQ(breaches_(), 0u) << Trace();
  EXPECT_EQ(SimListSpoolJobs().size(), 1u);
}

TEST_F(DocumentTest, AbortedDocumentLeavesNothingOpen) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Aborted"));
  ASSERT_TRUE(EngineStartPage(dc));
  ASSERT_TRUE(EngineEndPage(dc));
  EXPECT_TRUE(EngineAbortDoc(dc));
  // A new document on the same device prints whole.
  EXPECT_TRUE(PrintBlankDocument(dc, 1).ended);
  // A device deleted in the middle of a document closes what the document holds.
  ASSERT_TRUE(EngineStartDoc(dc, u"Left open"));
  ASSERT_TRUE(EngineStartPage(dc));
  ASSERT_TRUE(EngineEndPage(dc));
  DeleteDc(dc);
  EXPECT_EQ(liveSessions_(), 0u);
  EXPECT_EQ(SimEngineOutstanding(), driverOnly_) << testing::PrintToString(SimEngineOutstandingList());
}

}  // namespace
