// The job header of the sample model over a table of settings, the size estimate and its
// bound, the merge, duplicate and condition rules of the template walk, and the job-attribute
// library's lines (its stand-in records what it was asked).
#include <vector>

#include "items/item_ids.h"
#include "tests/core/job/job_header_fixture.h"

namespace job_test {
namespace {

// The lines of the sample's header that the defaults of "P1" give, on 2024-01-02 at 03:04
// (the fixture's clock) for the document "Report" of user "User".
const std::vector<std::string> kSampleLines = {
    "@PJL SET JOBATTR=\"@LUNA=QX-4500\"",
    "@PJL SET QTY=1",
    "@PJL SET DUPLEX=OFF",
    "@PJL SET RENDERMODE=COLOR",
    "@PJL SET JOBATTR=\"@SORT=ON\"",
    "@PJL SET JOBATTR=\"@TRAY=7\"",
    "@PJL SET JOBATTR=\"@TIMR=2024:01:03:00:00\"",  // midnight has passed: tomorrow
    "@PJL SET JOBATTR=\"@DOCN=Report\"",
    "@PJL SET JOBATTR=\"@USNM=User\"",
    "@PJL SET JOBATTR=\"@JOWN=qvuser@QVHOST;3;1;0\"",  // owner mode 3, layout 1 (one page per sheet), tray code 0
};

std::string Join(const std::vector<std::string>& lines) {
  std::string text = kUel;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The sample's lines with some replaced (by their position) and some added after a position.
std::vector<std::string> Edit(std::vector<std::pair<int, std::string>> replace,
                              std::vector<std::pair<int, std::string>> insertAfter = {}, std::vector<int> drop = {}) {
  std::vector<std::string> lines;
  for (int i = 0; i < static_cast<int>(kSampleLines.size()); ++i) {
    bool dropped = false;
    for (int d : drop) dropped |= d == i;
    std::string line = kSampleLines[i];
    for (auto& [at, text] : replace)
      if (at == i) line = text;
    if (!dropped) lines.push_back(line);
    for (auto& [at, text] : insertAfter)
      if (at == i) lines.push_back(text);
  }
  return lines;
}

TEST_F(SampleHeaderTest, DefaultsGiveTheTemplatesLines) {
  const HeaderResult header = Build();
  ASSERT_EQ(header.code, static_cast<int>(Join(kSampleLines).size())) << header.text;
  EXPECT_EQ(header.text, Join(kSampleLines));
  EXPECT_EQ(context_.bktpOffset, 0u);
  const auto calls = library_.Calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].entry, kSimJobAttrOwnerFromUserHost);
  EXPECT_EQ(calls[0].sizeIn, 47u);
}

struct SettingsCase {
  const char* what;
  std::vector<std::pair<SettingItemId, LONG>> items;
  std::vector<std::string> lines;
};

TEST_F(SampleHeaderTest, TableOfSettings) {
  const std::vector<SettingsCase> cases = {
      {"long-edge duplex: the first DUPLEX entry fails, the OR chain of the second holds",
       {{16, 2}},
       Edit({{2, "@PJL SET DUPLEX=ON"}}, {{2, "@PJL SET BINDING=LONGEDGE"}})},
      {"short-edge duplex: the second BINDING entry is skipped after the first",
       {{16, 3}},
       Edit({{2, "@PJL SET DUPLEX=ON"}}, {{2, "@PJL SET BINDING=SHORTEDGE"}})},
      {"grayscale: the COLOR alternative is skipped",
       {{270, 1}},
       Edit({{3, "@PJL SET RENDERMODE=GRAYSCALE"}})},
      {"no collation: the OFF literal merges by the attribute name", {{18, 0}},
       Edit({{4, "@PJL SET JOBATTR=\"@SORT=OFF\""}})},
      {"automatic tray: the source stands in, the bypass tray with media 1 has tray code 10",
       {{265, 258}, {13, 4}},
       Edit({{5, "@PJL SET JOBATTR=\"@TRAY=4\""}, {9, "@PJL SET JOBATTR=\"@JOWN=qvuser@QVHOST;3;1;10\""}})},
      {"paper A4, staples and punches", {{410, 9}, {320, 1}, {341, 2}},
       Edit({}, {{5, "@PJL SET JOBATTR=\"@PSIZ=A4\""}, {5, "@PJL SET JOBATTR=\"@STPL=1\""},
                 {5, "@PJL SET JOBATTR=\"@PNCH=2\""}})},
      {"number list: sorted, each once, 2 to 9998 only",
       {{1834, 17}, {1835, 3}, {1836, 0}, {1837, 17}, {1838, 1}, {1839, 10000}, {1853, 120}},
       Edit({}, {{5, "@PJL SET JOBATTR=\"@SLPG=3:17:120\""}})},
      {"delayed print at 08:30: still today", {{451, 8}, {452, 30}},
       Edit({{6, "@PJL SET JOBATTR=\"@TIMR=2024:01:02:08:30\""}})},
      {"delayed print at 03:04, the time now: today", {{451, 3}, {452, 4}},
       Edit({{6, "@PJL SET JOBATTR=\"@TIMR=2024:01:02:03:04\""}})},
      {"delayed print at 03:03: tomorrow", {{451, 3}, {452, 3}},
       Edit({{6, "@PJL SET JOBATTR=\"@TIMR=2024:01:03:03:03\""}})},
      {"an hour of 24 is no time: the entry's conditions fail", {{451, 24}}, Edit({}, {}, {6})},
      {"marked entries only", {{336, 1}, {320, 1}},
       {"@PJL SET JOBATTR=\"@LUNA=QX-4500\"", "@PJL SET QTY=1", "@PJL SET JOBATTR=\"@STPL=1\"",
        "@PJL SET JOBATTR=\"@USNM=User\"", "@PJL SET JOBATTR=\"@JOWN=qvuser@QVHOST;3;1;0\""}},
      {"owner from the owner text: mode 4, four pages per sheet, bypass tray with media 3",
       {{5127, 4}, {295, 4}, {13, 4}, {388, 3}},
       Edit({{9, "@PJL SET JOBATTR=\"@JOWN=Maria;4;4;9\""}})},
      {"booklet layout 100 and tray 3", {{5127, 1}, {295, 1}, {321, 1}, {13, 3}},
       Edit({{9, "@PJL SET JOBATTR=\"@JOWN=Maria;3;100;2\""}})},
      {"an owner mode without a rule writes no owner line", {{5127, 2}}, Edit({}, {}, {9})},
  };
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.what);
    SettingsRecord saved = settings_;
    PrinterConfiguration savedConfig = config_;
    for (auto [id, value] : c.items) PokeItem(&settings_, &config_, id, value);
    ASSERT_EQ(PutTextBytes(&settings_, &config_, kItemOwnerName, u"Maria", 12), kItemDone);
    const HeaderResult header = Build();
    EXPECT_EQ(header.text, Join(c.lines));
    EXPECT_EQ(header.code, static_cast<int>(header.text.size()));
    settings_ = saved;
    config_ = savedConfig;
  }
}

TEST_F(SampleHeaderTest, DelayedPrintTimeMovesAcrossMonthAndYearEnds) {
  struct Case {
    SYSTEMTIME now;
    LONG hour, minute;
    const char* line;
  };
  const Case cases[] = {
      {{2023, 12, 0, 31, 23, 0, 0, 0}, 1, 0, "@TIMR=2024:01:01:01:00"},
      {{2024, 2, 4, 29, 9, 0, 0, 0}, 8, 30, "@TIMR=2024:03:01:08:30"},
      {{2024, 2, 4, 29, 8, 30, 0, 0}, 8, 30, "@TIMR=2024:02:29:08:30"},
  };
  for (const Case& c : cases) {
    SimSetClock(c.now);
    Put(kItemDelayHour, c.hour);
    Put(kItemDelayMinute, c.minute);
    const HeaderResult header = Build();
    EXPECT_NE(header.text.find(std::string("@PJL SET JOBATTR=\"") + c.line + "\"\n"), std::string::npos)
        << c.line << "\n" << header.text;
  }
}

TEST_F(SampleHeaderTest, OneTimeTextReachesOneJobOnly) {
  char memo[49] = "Deliver to room 4";
  ASSERT_EQ(PutTextBytes(&settings_, &config_, kItemOneTimeText, memo, sizeof memo), kItemDone);
  HeaderResult first = Build();
  EXPECT_NE(first.text.find("@PJL SET JOBATTR=\"@MEMO=Deliver to room 4\"\n"), std::string::npos) << first.text;
  HeaderResult second = Build();
  EXPECT_EQ(second.text, Join(kSampleLines));
  // A text that fills the field is cut to 48 bytes.
  ItemLocation field{};
  ASSERT_EQ(LocateItem(kItemOneTimeText, &settings_, &config_, &field), kItemDone);
  std::memset(field.address, 'x', 49);
  EXPECT_NE(Build().text.find("@MEMO=" + std::string(48, 'x') + "\"\n"), std::string::npos);
  // Switched off by item 1321: nothing, and the text stays.
  ASSERT_EQ(PutTextBytes(&settings_, &config_, kItemOneTimeText, memo, sizeof memo), kItemDone);
  Put(kItemMonitorOn, 1);
  EXPECT_EQ(Build().text, Join(kSampleLines));
  EXPECT_EQ(Build().text, Join(kSampleLines));
}

TEST_F(SampleHeaderTest, MonitorJobIdAndDocumentName) {
  context_.monitorFlag = 1;
  std::snprintf(context_.monitorJobId, sizeof context_.monitorJobId, "%s", "QDM-0042");
  context_.documentName = u"Quarterly report";  // 16 characters: no DNAME attribute
  const HeaderResult header = Build();
  EXPECT_EQ(header.text, Join(Edit({}, {{7, "@PJL SET JOBATTR=\"@MJID=QDM-0042\""}}, {7})));
}

TEST_F(SampleHeaderTest, EstimateAndItsBound) {
  // 2048 + 9 + 20 (JOBATTR) + 84 + 66 + 178 + 718.
  EXPECT_EQ(EstimateJobHeaderSize(store_->main, store_->linked), 3123);
  const int length = static_cast<int>(Join(kSampleLines).size());
  EXPECT_EQ(Build(length).code, length);
  EXPECT_EQ(Build(length - 1).code, kJobHeaderFull);
  EXPECT_EQ(Build(5).code, kJobHeaderFull);
}

// ---- Models built in-process ----------------------------------------------------------------

TEST_F(ModelHeaderTest, EmptyTemplateGivesTheUelAlone) {
  Open(0, "");
  EXPECT_EQ(Build().text, kUel);
  EXPECT_EQ(Build().code, 9);
}

TEST_F(ModelHeaderTest, TemplateThatOutgrowsItsEstimateFailsCleanly) {
  std::string lines;
  for (int i = 1; i <= 40; ++i)
    lines += "jobtemplate " + std::to_string(i) + " item=0 key=\"@PJL COMMENT" + std::to_string(i) + "=\" value=\"" +
             std::string(100, 'v') + "\"\n";
  Open(0, lines, "section 2 1\n");
  const int estimate = EstimateJobHeaderSize(&main_, &linked_);
  ASSERT_GT(estimate, 0);
  ASSERT_LT(estimate, 40 * 100);
  EXPECT_EQ(Build().code, kJobHeaderFull);
  // Keys of 14 characters for entries 1-9, 15 for 10-40; each line ends in a line feed.
  EXPECT_EQ(Build(8000).code, 9 + 9 * (14 + 100 + 1) + 31 * (15 + 100 + 1));
}

TEST_F(ModelHeaderTest, EstimateBySectionsAndFeatures) {
  struct Case {
    DWORD features;
    std::string header;
    int estimate;
  };
  const Case cases[] = {
      {0, "", 512 + 9 + 84 + 47 + 178 + 718},
      {0x40000, "", 512 + 9 + 20 + 84 + 66 + 178 + 718},
      {0x4000000 | 0x4 | 0x8 | 0x200000, "", 512 + 9 + 107 + 18 + 28 + 47 + 47 + 178 + 718},
      {0x40000 | 0x4000000, "", 512 + 9 + 20 + 125 + 66 + 178 + 718},
      {0, "section 23 1\nsection 24 3\nsection 25 100\n", 512 + 9 + 84 + 47 + 178 + 3 * 121 + 718},
      {0, "section 23 1\nsection 24 0\nsection 25 100\n", kJobHeaderSizeMissing},
      {0, "section 2 0\n", kJobHeaderSizeMissing},
  };
  for (const Case& c : cases) {
    Open(c.features, "", c.header);
    EXPECT_EQ(EstimateJobHeaderSize(&main_, &linked_), c.estimate) << c.features << " " << c.header;
  }
}

struct ConditionCase {
  const char* what;
  std::string when;
  std::vector<std::pair<SettingItemId, LONG>> items;
  int code;  // > 0: the entry is written; 0: skipped; < 0: the header's code
};

TEST_F(ModelHeaderTest, ConditionsConnectorsAndOperators) {
  const std::vector<ConditionCase> cases = {
      {"c1 or c2: first holds", "[(13 = i16:1 or) (13 = i16:2 end)]", {{13, 1}}, 1},
      {"c1 or c2: second holds", "[(13 = i16:1 or) (13 = i16:2 end)]", {{13, 2}}, 1},
      {"c1 or c2: neither", "[(13 = i16:1 or) (13 = i16:2 end)]", {{13, 3}}, 0},
      {"c1 and c2", "[(13 = i16:1 and) (16 = i16:2 end)]", {{13, 1}, {16, 2}}, 1},
      {"c1 and c2: the second fails", "[(13 = i16:1 and) (16 = i16:2 end)]", {{13, 1}, {16, 1}}, 0},
      {"a failing group, then an alternative that holds", "[(13 = i16:1 end) (16 = i16:2 end)]", {{13, 5}, {16, 2}},
       1},
      {"constant > item", "[(13 > i16:5 end)]", {{13, 4}}, 1},
      {"constant > item, equal", "[(13 > i16:5 end)]", {{13, 5}}, 0},
      {"constant >= item", "[(13 >= i16:5 end)]", {{13, 5}}, 1},
      {"constant < item", "[(13 < i16:-2 end)]", {{13, -1}}, 1},
      {"constant <= item, signed", "[(13 <= i16:-2 end)]", {{13, -3}}, 0},
      {"unsigned byte compare", "[(451 < u8:100 end)]", {{451, 200}}, 1},
      {"operator 7 compares for equality", "[(13 7 i16:4 end)]", {{13, 4}}, 1},
      {"a flag with =", "[(4099 = flag:1 end)]", {{4099, 1}}, 1},
      {"a flag with > is refused", "[(4099 > flag:1 end)]", {}, kJobConditionOperatorRefused},
      {"operator 9", "[(13 9 i16:4 end)]", {}, kJobConditionBadOperator},
      {"the condition's type differs from the item's", "[(13 = u16:4 end)]", {}, kJobConditionTypeDiffers},
      {"an item id outside the tables", "[(700 = i16:4 end)]", {}, kJobItemUnknown},
  };
  for (const ConditionCase& c : cases) {
    SCOPED_TRACE(c.what);
    Open(0, "jobtemplate 1 item=0 when=" + c.when + " key=\"@PJL SET X=\" value=\"Y\"\n");
    settings_ = {};
    for (auto [id, value] : c.items) Put(id, value);
    const HeaderResult header = Build();
    if (c.code < 0) {
      EXPECT_EQ(header.code, c.code);
    } else {
      EXPECT_EQ(header.text, kUel + (c.code > 0 ? "@PJL SET X=Y\n" : ""));
    }
  }
}

TEST_F(ModelHeaderTest, TextConditionsCompareWholeTexts) {
  Open(0,
       "jobtemplate 1 item=0 when=[(5121 = str:\"Maria\" end)] key=\"A=\" value=\"1\"\n"
       "jobtemplate 2 item=0 when=[(5121 != str:\"Maria\" end)] key=\"B=\" value=\"2\"\n"
       "jobtemplate 3 item=0 when=[(5121 > str:\"Maria\" end)] key=\"C=\" value=\"3\"\n");
  PutText(kItemOwnerName, u"Maria");
  EXPECT_EQ(Build().code, kJobConditionOperatorRefused);
  Open(0,
       "jobtemplate 1 item=0 when=[(5121 = str:\"Maria\" end)] key=\"A=\" value=\"1\"\n"
       "jobtemplate 2 item=0 when=[(5121 != str:\"Mari\" end)] key=\"B=\" value=\"2\"\n");
  EXPECT_EQ(Build().text, kUel + "A=1\nB=2\n");
}

TEST_F(ModelHeaderTest, MergingRunsOfTheSameKey) {
  const std::string pair =
      "jobtemplate 1 item=0 when=[(13 = i16:1 end)] key=\"@PJL SET TRAY=\" value=\"ONE\"\n"
      "jobtemplate 2 item=0 when=[(13 = i16:2 end)] key=\"@PJL SET TRAY=\" value=\"TWO\"\n";
  Open(0, pair);
  Put(kItemDefaultSource, 1);
  EXPECT_EQ(Build().text, kUel + "@PJL SET TRAY=ONE\n");
  Put(kItemDefaultSource, 2);
  EXPECT_EQ(Build().text, kUel + "@PJL SET TRAY=TWO\n");
  // A condition that cannot be read in the second entry shows whether it was evaluated: the
  // first entry wrote, so the second is skipped unevaluated.
  Open(0,
       "jobtemplate 1 item=0 when=[(13 = i16:1 end)] key=\"@PJL SET TRAY=\" value=\"ONE\"\n"
       "jobtemplate 2 item=0 when=[(4099 > flag:1 end)] key=\"@PJL SET TRAY=\" value=\"TWO\"\n");
  Put(kItemDefaultSource, 1);
  EXPECT_EQ(Build().text, kUel + "@PJL SET TRAY=ONE\n");
  // Separated by an entry with another key: both are evaluated.
  Open(0,
       "jobtemplate 1 item=0 when=[(13 = i16:1 end)] key=\"@PJL SET TRAY=\" value=\"ONE\"\n"
       "jobtemplate 2 item=0 key=\"@PJL SET OTHER=\" value=\"X\"\n"
       "jobtemplate 3 item=0 when=[(13 = i16:1 end)] key=\"@PJL SET TRAY=\" value=\"ONE\"\n");
  EXPECT_EQ(Build().text, kUel + "@PJL SET TRAY=ONE\n@PJL SET OTHER=X\n@PJL SET TRAY=ONE\n");
}

TEST_F(ModelHeaderTest, JobAttrEntries) {
  const DWORD kJobAttr = 0x40000;
  // Item entries merge by their value text, literals by their attribute name.
  Open(kJobAttr,
       "jobtemplate 1 item=16 when=[(16 = i16:9 end)] key=\"@PJL SET JOBATTR=\" value=\"@DPLX=\"\n"
       "jobtemplate 2 item=13 key=\"@PJL SET JOBATTR=\" value=\"@DPLX=\"\n"
       "jobtemplate 3 item=0 key=\"@PJL SET JOBATTR=\" value=\"\\\"@DPLX=0\\\"\"\n"
       "jobtemplate 4 item=5121 key=\"@PJL SET OWNER=\"\n"
       "jobtemplate 5 item=13 key=\"@PJL SET PLAIN=\"\n");
  Put(kItemDefaultSource, 6);
  PutText(kItemOwnerName, u"Jo");
  EXPECT_EQ(Build().text, kUel + "@PJL SET JOBATTR=\"@DPLX=6\"\n@PJL SET OWNER=\"Jo\"\n@PJL SET PLAIN=6\n");
  // A JOBATTR literal without "=" in its value.
  Open(kJobAttr, "jobtemplate 1 item=0 key=\"@PJL SET JOBATTR=\" value=\"\\\"@NONAME\\\"\"\n");
  EXPECT_EQ(Build().code, kJobAttrLiteralWithoutName);
  // A composed key longer than 135 characters.
  Open(kJobAttr, "jobtemplate 1 item=13 key=\"@PJL SET JOBATTR=\" value=\"@" + std::string(120, 'K') + "=\"\n");
  EXPECT_EQ(Build().code, kJobKeyTooLong);
}

TEST_F(ModelHeaderTest, EntryErrors) {
  Open(0, "jobtemplate 1 item=0 key=\"@PJL SET X=\"\n");
  EXPECT_EQ(Build().code, kJobLiteralWithoutValue);
  Open(0, "jobtemplate 1 item=0 value=\"X\"\n");
  EXPECT_EQ(Build().code, kJobEntryWithoutKey);
}

TEST_F(ModelHeaderTest, MarkedEntriesOnlyNeedTheFlagWord) {
  const std::string lines =
      "jobtemplate 1 item=0 key=\"A=\" value=\"1\" flags=1\n"
      "jobtemplate 2 item=0 key=\"B=\" value=\"2\"\n"
      "jobtemplate 3 item=0 key=\"B=\" value=\"3\" flags=1\n";
  Open(0, lines);
  Put(kItemSaveToFile, 1);
  // Entry 2 is marked: it counts as written, so entry 3 with the same key is skipped.
  EXPECT_EQ(Build().text, kUel + "A=1\n");
  Put(kItemSaveToFile, 0);
  EXPECT_EQ(Build().text, kUel + "A=1\nB=2\n");
}

// ---- The job-attribute library --------------------------------------------------------------

constexpr char kLibraryEntry[] = "jobtemplate 1 item=0 key=\"%LIB\"\n";

TEST_F(ModelHeaderTest, LibraryLinesByFeature) {
  context_.useAttributeLibrary = 1;
  struct Case {
    DWORD features;
    std::string text;
  };
  const Case cases[] = {
      // Owner only: mode 3 (owner mode item 0), layout 0, tray 11 (tray item 0).
      {0, "@JOWN=qvuser@QVHOST;3;0;11\n"},
      // N-up first (pages per sheet 0 has no code: an empty line), then host address, owner
      // mode 5, host name.
      {0x4 | 0x8 | 0x200000, "\n@HOAD=192.0.2.45\n@JOWN=qvuser@QVHOST;5;0;0\n@HONM=QVHOST\n"},
      {0x40000 | 0x8, "@PJL SET JOBATTR=\"@HOAD=192.0.2.45\"\n@PJL SET JOBATTR=\"@JOWN=qvuser@QVHOST;1;0;0\"\n"},
  };
  for (const Case& c : cases) {
    Open(c.features, kLibraryEntry);
    EXPECT_EQ(Build().text, kUel + c.text) << c.features;
  }
}

TEST_F(ModelHeaderTest, NupCodes) {
  context_.useAttributeLibrary = 1;
  Open(0x4, kLibraryEntry);
  struct Case {
    LONG booklet, tiles, pages;
    DWORD code;
  };
  const Case cases[] = {{2, 0, 4, 1},     {1, 0x0202, 1, 8},  {1, 0x0303, 1, 10}, {1, 0x0404, 1, 11},
                        {1, 0x0505, 2, 1}, {0, 0, 1, 0},       {0, 0, 4, 2},       {0, 0, 8, 4},
                        {0, 0, 16, 6},     {0, 0, 32, 12}};
  for (const Case& c : cases) {
    library_.Free();
    library_.Load();
    Put(kItemPageLayout, c.booklet);
    Put(kItemTileCount, c.tiles);
    Put(kItemPagesPerSheet, c.pages);
    const HeaderResult header = Build();
    EXPECT_EQ(header.text.find("@NUPL=" + std::to_string(c.code) + "\n"), 9u) << header.text;
    const auto calls = library_.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].args[0], c.code);
    EXPECT_EQ(calls[0].sizeIn, 18u);
  }
}

TEST_F(ModelHeaderTest, TrayCodes) {
  context_.useAttributeLibrary = 1;
  struct Case {
    DWORD features;
    LONG source, tray, media;
    DWORD code;
  };
  const Case cases[] = {
      {0, 0, 7, 0, 0},     {0, 0, 1, 0, 1},     {0, 0, 3, 0, 2},    {0, 0, 265, 0, 3},  {0, 0, 266, 0, 4},
      {0, 0, 267, 0, 5},   {0, 0, 2, 0, 6},     {0, 0, 257, 0, 7},  {0, 0, 99, 0, 11},  {0, 0, 4, 3, 9},
      {0, 0, 260, 7, 10},  {0, 0, 4, 5, 8},     {0, 3, 258, 0, 2},  {0x10, 1, 7, 0, 1}, {0x10, 15, 7, 0, 0},
  };
  for (const Case& c : cases) {
    Open(c.features, kLibraryEntry);
    library_.Free();
    library_.Load();
    Put(kItemDefaultSource, c.source);
    Put(kItemPaperSource, c.tray);
    Put(kItemMediaType, c.media);
    Build();
    const auto calls = library_.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[2], c.code) << c.source << " " << c.tray << " " << c.media;
  }
}

TEST_F(ModelHeaderTest, OwnerPromptAndOwnerTexts) {
  context_.useAttributeLibrary = 1;
  const DWORD kPrompt = 0x2000000;
  Open(kPrompt, kLibraryEntry);
  PutText(kItemOwnerName, u"Main owner");
  PutText(kItemOtherOwnerName, u"Alt owner");
  PutText(kItemPromptGroup1Key, u"Prompted");
  Put(kItemPrompt, 1);
  EXPECT_EQ(Build().text, kUel + "@JOWN=Prompted;3;0;11\n");
  Put(kItemPromptGroup, 1);
  EXPECT_EQ(Build().text, kUel + "@JOWN=UnknownUser;3;0;11\n");
  Put(kItemPrompt, 0);
  Put(kItemOwnerMode, 5);
  EXPECT_EQ(Build().text, kUel + "@JOWN=Main owner;3;0;11\n");
  Put(kItemOwnerSetSwitch, 1);
  Put(kItemOwnerModeAlt, 6);
  EXPECT_EQ(Build().text, kUel + "@JOWN=Alt owner;4;0;11\n");
  const auto calls = library_.Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[3].entry, kSimJobAttrOwnerFromInput);
  EXPECT_STREQ(calls[3].owner, "Alt owner");
}

TEST_F(ModelHeaderTest, LibraryFailures) {
  context_.useAttributeLibrary = 1;
  // A function that answers 0: the owner ends the header, a host address only drops its line.
  Open(0x8, kLibraryEntry);
  library_.SetAnswer(kSimJobAttrHostAddress, 0, nullptr);
  EXPECT_EQ(Build().text, kUel + "@JOWN=qvuser@QVHOST;1;0;0\n");
  library_.SetAnswer(kSimJobAttrOwnerFromUserHost, 0, nullptr);
  EXPECT_EQ(Build().code, kJobLibraryFailed);
  // An answer that fills its buffer without a terminator is read to the buffer's end only.
  library_.SetAnswer(kSimJobAttrOwnerFromUserHost, 1, std::string(60, 'o').c_str());
  EXPECT_EQ(Build().text, kUel + std::string(47, 'o') + "\n");
  // Without a library name, or without the library.
  Open(0, kLibraryEntry, "section 20 \"\"\n");
  EXPECT_EQ(Build().code, kJobLibraryFailed);
  Open(0, kLibraryEntry, "section 20 \"nosuch.dll\"\n");
  EXPECT_EQ(Build().code, kJobLibraryFailed);
  // The switch off: the library is never asked.
  context_.useAttributeLibrary = 0;
  EXPECT_EQ(Build().text, kUel);
}

TEST_F(ModelHeaderTest, MissingExports) {
  context_.useAttributeLibrary = 1;
  struct Case {
    const char* entry;
    DWORD features;
    int code;
  };
  const Case cases[] = {
      {"DHGetVJCLStringOfNup", 0x4, kJobLibraryFailed},
      {"DHGetVJCLStringOfJobOwnerStringFromUserHostName", 0, kJobLibraryFailed},
      {"DHGetVJCLStringOfHostNameEx", 0x200000, kJobLibraryFailed},
      // A missing host-address function drops only that line.
      {"DHGetVJCLStringOfHostAddress", 0x8, 9 + 26},
  };
  for (const Case& c : cases) {
    Open(c.features, kLibraryEntry, std::string("section 20 \"qvjobattr_without_") + c.entry + ".dll\"\n");
    Put(kItemPagesPerSheet, 1);
    EXPECT_EQ(Build().code, c.code) << c.entry;
  }
  Open(0, kLibraryEntry, "section 20 \"qvjobattr_without_DHGetVJCLStringOfJobOwnerFromInputA.dll\"\n");
  Put(kItemOwnerMode, 1);
  EXPECT_EQ(Build().code, kJobLibraryFailed);
}

TEST_F(ModelHeaderTest, BktpReservationAndValue) {
  const DWORD kBktp = 0x4000000;
  const std::string lines = "jobtemplate 1 item=0 key=\"A=\" value=\"1\"\n" + std::string(kLibraryEntry);
  Open(kBktp | 0x40000, lines);
  Put(kItemPageLayout, 2);
  Put(kItemBookletOutput, 1);
  Put(kItemBookletHeaderSwitch, 1);
  HeaderResult header = Build();
  EXPECT_EQ(header.text, kUel + "A=1\n" + std::string(38, ' ') + "\n");
  EXPECT_EQ(context_.bktpOffset, 9u + 4u);
  context_.bktpValue = 321;
  EXPECT_EQ(Build().text, kUel + "A=1\n@PJL SET JOBATTR=\"@BKTP=321\"\n");
  EXPECT_EQ(context_.bktpOffset, 0u);
  Open(kBktp, lines);
  EXPECT_EQ(Build().text, kUel + "A=1\n@BKTP=321\n");
  context_.bktpValue = 0;
  EXPECT_EQ(Build().text, kUel + "A=1\n" + std::string(20, ' ') + "\n");
  Put(kItemBookletHeaderSwitch, 0);
  EXPECT_EQ(Build().text, kUel + "A=1\n");
}

}  // namespace
}  // namespace job_test
