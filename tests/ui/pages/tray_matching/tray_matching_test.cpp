// A device tray's dimensions and media name matched with the model's papers and media types.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/kernel/memory.h"
#include "ui/pages/tray_matching.h"

namespace {

// A4 and Letter of the database; 262 is a user paper's id and is never taken as a database one.
const PaperSize kDatabasePapers[] = {{262, 2100, 2970}, {9, 2100, 2970}, {1, 2159, 2794}, {12, 2100, 2970}};
const PaperSize kUserPapers[] = {{263, 2105, 2968}, {264, 1000, 1480}};
const WORD kSourceTakesA4[] = {9, 1};
const WORD kSourceTakesLetter[] = {1};
constexpr SourcePapers Source(std::span<const WORD> papers) { return {900, 1270, 3000, 4320, papers}; }

struct PaperCase {
  const char* name;
  LONG feed;
  LONG crossFeed;
  std::span<const WORD> sourcePapers;
  std::span<const PaperSize> userPapers;
  TrayPaper expected;
};

TEST(TrayMatchingTest, Papers) {
  const PaperCase cases[] = {
      {"DatabasePaperListedBySource", 297000, 210000, kSourceTakesA4, kUserPapers, {9, 2100, 2970}},
      {"DatabasePaperNotListedFallsToUserPaper", 210000, 297000, kSourceTakesLetter, kUserPapers, {263, 2100, 2970}},
      {"SourceWithoutListFallsToUserPaper", 210000, 297000, {}, kUserPapers, {263, 2100, 2970}},
      {"NoUserPaperGivesCustomSize", 210000, 297000, kSourceTakesLetter, {}, {275, 2100, 2970}},
      {"UserPaperWithinTolerance", 149000, 99200, kSourceTakesA4, kUserPapers, {264, 992, 1490}},
      {"UserPaperJustOutsideTolerance", 148000, 101001, kSourceTakesA4, kUserPapers, {275, 1010, 1480}},
      {"CustomBelowMinimum", 89900, 130000, kSourceTakesA4, kUserPapers, {273, 899, 1300}},
      {"CustomAboveMaximum", 100000, 432100, kSourceTakesA4, kUserPapers, {273, 1000, 4321}},
      {"CustomAtTheLimits", 90000, 432000, kSourceTakesA4, kUserPapers, {275, 900, 4320}},
      {"NegativeWidth", -1, 297000, kSourceTakesA4, kUserPapers, {273, 0, 0}},
      {"NegativeLength", 210000, -5, kSourceTakesA4, kUserPapers, {273, 0, 0}},
      {"HugeSizeIsOutOfRange", 0x7FFFFFFF, 0x7FFFFFFF, kSourceTakesA4, kUserPapers, {273, 21474836, 21474836}},
  };
  for (const PaperCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TrayPaper paper = MatchTrayPaper(c.feed, c.crossFeed, kDatabasePapers, c.userPapers, Source(c.sourcePapers));
    EXPECT_EQ(paper.paper, c.expected.paper);
    EXPECT_EQ(paper.width, c.expected.width);
    EXPECT_EQ(paper.length, c.expected.length);
  }
}

const MediaType kMediaTypes[] = {
    {1, u"Plain"}, {5, u"Thick"}, {13, u"Custom 1"}, {14, u"Custom (2)"}, {15, u"Thick"}, {20, u"Custom 1(x)"},
};

struct MediaCase {
  const char* name;
  const WCHAR* tray;
  WORD expected;
  const WCHAR* customName;  // nullptr: none
};

TEST(TrayMatchingTest, Media) {
  const MediaCase cases[] = {
      {"PlainEqual", u"Plain", 1, nullptr},
      {"EqualNameTakesFirstType", u"Thick", 5, nullptr},
      {"CustomWithText", u"Custom 1(Recycled blue)", 13, u"Recycled blue"},
      {"CustomTextUpToLastParenthesis", u"Custom 1(A (light))", 13, u"A (light)"},
      {"CustomTypeNameWithParenthesis", u"Custom (2)(Labels)", 14, u"Labels"},
      {"CustomEmptyTextGivesNoName", u"Custom 1()", 13, nullptr},
      {"CustomMissingCloseGivesUnknown", u"Custom 1(Recycled", 28, nullptr},
      {"CustomNameAloneDoesNotMatch", u"Custom 1", 28, nullptr},
      {"CustomNameWithSpaceBeforeParenthesis", u"Custom 1 (x)", 28, nullptr},
      {"PrefixOfPlainDoesNotMatch", u"Plain paper", 28, nullptr},
      {"Empty", u"", 28, nullptr},
      {"Missing", nullptr, 28, nullptr},
  };
  for (const MediaCase& c : cases) {
    SCOPED_TRACE(c.name);
    LPWSTR custom = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(MatchTrayMedia(c.tray, kMediaTypes, &custom), c.expected);
    if (c.customName == nullptr) {
      EXPECT_EQ(custom, nullptr);
    } else {
      ASSERT_NE(custom, nullptr);
      EXPECT_EQ(std::u16string(custom), c.customName);
    }
    if (custom != nullptr) GlobalFree(custom);
  }
}

}  // namespace
