// The text of each item attribute by its type or its own rule: papers and user papers, feed
// edge, copies, texts without leading zeros, document and owner names, and the type rules.
#include "core/descriptors/user_paper_name.h"
#include "items/item_ids.h"
#include "tests/core/job/job_header_fixture.h"

namespace job_test {
namespace {

class AttributeTest : public ModelHeaderTest {
 protected:
  // The header of a template with one item entry "K=" (not in JOBATTR mode).
  HeaderResult One(SettingItemId item, DWORD features = 0) {
    Open(features, "jobtemplate 1 item=" + std::to_string(item) + " key=\"K=\"\n");
    return Build();
  }
  std::string Line(SettingItemId item, DWORD features = 0) {
    const HeaderResult r = One(item, features);
    EXPECT_GE(r.code, 0) << item;
    return r.text.size() > kUel.size() ? r.text.substr(kUel.size()) : "";
  }
};

TEST_F(AttributeTest, ValuesByType) {
  struct Case {
    SettingItemId item;
    LONG value;
    std::string line;
  };
  const Case cases[] = {
      {4099, 1, "K=ON\n"},       {4099, 0, "K=OFF\n"},     {13, -7, "K=-7\n"},        {265, 65535, "K=65535\n"},
      {8205, -1, "K=4294967295\n"}, {451, 200, "K=200\n"},  {5127, 3, "K=3\n"},
  };
  for (const Case& c : cases) {
    settings_ = {};
    config_ = {};
    Put(c.item, c.value);
    EXPECT_EQ(Line(c.item), c.line) << c.item;
  }
  PutText(kItemOwnerName, u"Jo Doe");
  EXPECT_EQ(Line(kItemOwnerName), "K=Jo Doe\n");
  EXPECT_EQ(One(700).code, kJobItemUnknown);
}

TEST_F(AttributeTest, PaperNames) {
  const std::pair<LONG, std::string> cases[] = {{9, "A4"},     {8, "A3"},         {70, "A6"},         {1, "INCH85_11"},
                                                {261, "SRA3"}, {258, "16KAI"},    {43, "HAGAKI"}};
  for (const auto& [paper, name] : cases) {
    PokeItem(&settings_, &config_, kItemSheetPaperA, paper);
    EXPECT_EQ(Line(kItemSheetPaperA), "K=" + name + "\n");
  }
  PokeItem(&settings_, &config_, kItemSheetPaperA, 4);
  EXPECT_EQ(One(kItemSheetPaperA).code, kJobValueRuleFailed) << "a paper without a name";
}

TEST_F(AttributeTest, UserPaperSizeFromItsForm) {
  WCHAR name[64] = {};
  ASSERT_EQ(FormatUserPaperName(0, name, 64), 1);
  FORM_INFO_1W form{FORM_USER, name, {210000, 297000}, {0, 0, 210000, 297000}};
  ASSERT_TRUE(AddFormW(printer_, 1, reinterpret_cast<BYTE*>(&form)));
  PokeItem(&settings_, &config_, kItemSheetPaperA, 262);
  PokeItem(&settings_, &config_, kItemSheetListPaper, 4);
  PokeItem(&settings_, &config_, kItemSheetFeedEdgeA, 2);
  EXPECT_EQ(Line(kItemSheetPaperA), "K=UNFIXED:210:297\n") << "short edge first: width first";
  PokeItem(&settings_, &config_, kItemSheetFeedEdgeA, 1);
  EXPECT_EQ(Line(kItemSheetPaperA), "K=UNFIXED:297:210\n");
  PokeItem(&settings_, &config_, kItemSheetListPaper, 264);
  PokeItem(&settings_, &config_, kItemSheetFeedEdgeB, 2);
  EXPECT_EQ(Line(kItemSheetPaperA), "K=UNFIXED:210:297\n") << "item 409 = 264: the feed is item 413";
  PokeItem(&settings_, &config_, kItemSheetListPaper, 7);
  EXPECT_EQ(One(kItemSheetPaperA).code, kJobValueRuleFailed);
  PokeItem(&settings_, &config_, kItemSheetListPaper, 4);
  PokeItem(&settings_, &config_, kItemSheetPaperA, 263);  // slot 1 has no form
  EXPECT_EQ(One(kItemSheetPaperA).code, kJobValueRuleFailed);
}

TEST_F(AttributeTest, FeedEdge) {
  PokeItem(&settings_, &config_, kItemBypassFeedEdge, 2);
  EXPECT_EQ(Line(kItemBypassFeedEdge), "K=SEF\n");
  EXPECT_EQ(Line(kItemSheetFeedEdgeA), "K=SEF\n") << "no tray pair is (1, 4): item 438 decides";
  PokeItem(&settings_, &config_, kItemSheetAtEnd, 1);
  PokeItem(&settings_, &config_, kItemSheetAtEndPaper, 4);
  PokeItem(&settings_, &config_, kItemSheetFeedEdgeA, 1);
  EXPECT_EQ(Line(kItemSheetFeedEdgeA), "K=LEF\n") << "pair (405, 408): item 412 decides";
  PokeItem(&settings_, &config_, kItemSheetFeedEdgeA, 2);
  EXPECT_EQ(Line(kItemSheetFeedEdgeA), "K=SEF\n");
}

// One copy is asked for exactly when the driver repeats the collated pages itself; a job saved
// as a file and a job the driver does not collate keep their copies.
TEST_F(AttributeTest, CopiesAsOneWhenTheDriverCollates) {
  struct Case {
    const char* name;
    DWORD features;
    std::vector<std::pair<SettingItemId, LONG>> items;
    const char* line;
  };
  const Case cases[] = {
      {"driver collation", 0x10000, {}, "K=1\n"},
      {"with the one-copy feature", 0x10000 | 0x20000, {}, "K=1\n"},
      {"an older device still collated by the driver", 0x10000, {{8205, 0x01010902}}, "K=1\n"},
      {"device collation on, its options off", 0x10000, {{1344, 1}}, "K=1\n"},
      {"device collation on with an option", 0x10000, {{1344, 1}, {4123, 1}}, "K=5\n"},
      {"an option without device collation", 0x10000, {{4099, 1}}, "K=1\n"},
      {"uncollated", 0x10000, {{18, 0}}, "K=5\n"},
      {"saved as a file: the item's own value, which such a job leaves out", 0x10000 | 0x20000, {{336, 1}}, ""},
      {"no driver collation on the model", 0x20000, {}, "K=5\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PokeItem(&settings_, &config_, kItemCopies, 5);
    PokeItem(&settings_, &config_, kItemCollate, 1);
    PokeItem(&settings_, &config_, kItemStreamVersion, 0x01010903);
    for (SettingItemId id : {336, 1344, 4099, 4123}) Put(id, 0);
    for (const auto& [id, value] : c.items) {
      if (id == 8205 || id == 18) PokeItem(&settings_, &config_, id, value);
      else Put(id, value);
    }
    EXPECT_EQ(Line(kItemCopies, c.features), c.line);
  }
}

TEST_F(AttributeTest, TextWithoutLeadingZeros) {
  PutText(kItemZeroPaddedNumber, u"0042");
  EXPECT_EQ(Line(kItemZeroPaddedNumber), "K=42\n");
  PutText(kItemZeroPaddedNumber, u"000");
  EXPECT_EQ(Line(kItemZeroPaddedNumber), "K=\n");
}

TEST_F(AttributeTest, DocumentNames) {
  struct Case {
    const char16_t* name;
    DWORD features;
    std::string line;
  };
  const Case cases[] = {
      {u"Report", 0, "K=Report\n"},
      {u"Twelve chars", 0, "K=Twelve chars\n"},
      {u"Thirteen char", 0, ""},
      {u"Thirteen char", 0x2, "K=Thirteen char\n"},
      {u"A name of more than twenty-four bytes", 0x2, "K=A name of more than twen\n"},
      {u"   ", 0x2, ""},
      {u"Tab\there", 0x2, ""},
      {u"", 0, ""},
  };
  for (const Case& c : cases) {
    context_.documentName = c.name;
    EXPECT_EQ(Line(kItemJobDocumentName, c.features), c.line) << Utf16ToUtf8(c.name);
  }
  // Item 1831 by item 335: the item's own text, the document name, or a refused mode.
  context_.documentName = u"Doc";
  PutText(kItemDocumentName, u"From item");
  EXPECT_EQ(Line(kItemDocumentName), "K=From item\n");
  PokeItem(&settings_, &config_, kItemDocumentNameMode, 1);
  EXPECT_EQ(Line(kItemDocumentName), "K=Doc\n");
  PokeItem(&settings_, &config_, kItemDocumentNameMode, 2);
  EXPECT_EQ(One(kItemDocumentName).code, kJobDocumentNameModeBad);
}

TEST_F(AttributeTest, DoubleByteDocumentNameIsCutWithoutSplittingACharacter) {
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  // Eleven double-byte characters and three single bytes: 25 bytes, cut at 24 keeps the
  // eleven characters and two bytes.
  context_.documentName = u"日本語の文書名前です。ABC";
  EXPECT_EQ(Line(kItemJobDocumentName, 0x2).size(), 2 + 24 + 1u);
  context_.documentName = u"ABC日本語の文書名前です。";
  const std::string line = Line(kItemJobDocumentName, 0x2);
  EXPECT_EQ(line.size(), 2 + 3 + 20 + 1u) << "the last character would end at byte 25";
  context_.documentName = u"日本";
  EXPECT_EQ(Line(kItemJobDocumentName, 0), "") << "double-byte characters need feature 0x2";
  context_.documentName = u"　";  // the double-byte blank only
  EXPECT_EQ(Line(kItemJobDocumentName, 0x2), "");
  SimSetAnsiCodePage(1252);
}

TEST_F(AttributeTest, OwnerName) {
  struct Case {
    const char16_t* user;
    std::string line;
  };
  const Case cases[] = {
      {u"maria", "K=maria\n"},
      {u"bad\x01name", "K=UnknownUser\n"},
      {u"   ", "K=UnknownUser\n"},
  };
  for (const Case& c : cases) {
    SimSetUserName(c.user);
    EXPECT_EQ(Line(kItemJobOwner), c.line) << Utf16ToUtf8(c.user);
  }
  SimSetUserName(std::u16string(300, u'u'));
  EXPECT_EQ(Line(kItemJobOwner), "K=" + std::string(255, 'u') + "\n");
}

}  // namespace
}  // namespace job_test
