// The direct-fax cover page: the destination taken from a send list, and the texts the four
// layout tables place for a table of settings (variants, modes, name-only entries, the prefix
// before the fax number, a long number set smaller, wrapped and limited lines, double-byte
// texts).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "graphics/job/cover_page.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

template <size_t N>
void SetText(WCHAR (&field)[N], const std::u16string& text) {
  std::fill(std::begin(field), std::end(field), WCHAR{0});
  std::copy_n(text.begin(), std::min(text.size(), N), field);
}

struct Placed {
  int x, y, size;
  std::u16string text;
  bool operator==(const Placed&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Placed& p) {
  std::string t;
  for (char16_t c : p.text) t += c < 0x80 ? char(c) : '?';
  return os << "{" << p.x << ", " << p.y << ", " << p.size << ", \"" << t << "\"}";
}

class CoverPageTest : public GraphicsModuleTest {
 protected:
  void SetUp() override {
    GraphicsModuleTest::SetUp();
    if (HasFatalFailure()) return;
    entry_ = {};
    SetText(entry_.entry.number, u"5551234");
    entry_.entry.dialKind = 2;
    SetText(entry_.entry.name, u"Branch office");
    SetText(entry_.entry.secondText, u"Second floor");
    SetText(entry_.firstText, u"Figures");
    SetText(entry_.secondText, u"A\r\nB\r\nC\r\nD");
    info_ = {};
    info_.title = u"Quarterly";
    info_.company = 1;
    info_.honorific = 2;
    info_.numberPrefix = 1;
    info_.sender[0] = u"Alice";
    info_.sender[1] = u"Accounts";
    info_.sender[2] = u"555-0100";
    info_.sender[3] = u"555-0199";
    extras_ = {u"00", u"9"};
  }
  std::vector<Placed> Build() { return Build(entry_, info_); }
  std::vector<Placed> Build(const ExtendedFaxDestination& entry, const CoverInformation& info) {
    CoverTextItem items[kMaxCoverTexts];
    int count = -1;
    EXPECT_EQ(BuildCoverTexts(&entry, &info, &extras_, items, &count), 1);
    std::vector<Placed> placed;
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(items[i].fontSlot, 1);
      placed.push_back({items[i].x, items[i].y, items[i].size, items[i].text});
    }
    return placed;
  }
  ExtendedFaxDestination entry_{};
  CoverInformation info_{};
  CoverExtras extras_{};
};

TEST_F(CoverPageTest, FirstVariantPlacesEveryTable) {
  const std::vector<Placed> expected = {
      {1698, 518, 100, u"FAX"},  // right-aligned: 3 bytes of half the size
      {1239, 518, 100, u"Quarterly"},
      {350, 680, 110, u"To:"},
      {680, 669, 145, u"Branch office"},
      {1708, 676, 120, u"Corp."},
      {680, 762, 90, u"Second floor"},
      {1687, 762, 90, u"Attn"},
      {350, 870, 90, u"Fax:"},
      {680, 864, 120, u"005551234"},  // the prefix of selector 2
      {350, 1021, 110, u"From:"},
      {680, 1010, 145, u"Alice"},
      {680, 1101, 90, u"Accounts"},
      {350, 1335, 90, u"Tel:"},
      {680, 1323, 140, u"555-0100"},
      {350, 1418, 90, u"Fax:"},
      {680, 1406, 140, u"555-0199"},
      {350, 1650, 100, u"Re:"},
      {680, 1640, 130, u"Figures"},
      {350, 1744, 90, u"Note:"},
      {680, 1744, 110, u"A"},  // CR LF ends each line: 4.9 mm apart
      {680, 1793, 110, u"B"},
      {680, 1842, 110, u"C"},
      {680, 1891, 110, u"D"},
  };
  EXPECT_EQ(Build(), expected);
}

TEST_F(CoverPageTest, TableOfSettings) {
  struct Case {
    const char* what;
    std::function<void(ExtendedFaxDestination*, CoverInformation*)> change;
    std::vector<Placed> destinationRows;  // the items after the heading, up to "From:"
  };
  const Case cases[] = {
      {"no company, honorific or prefix; selector 1",
       [](ExtendedFaxDestination* e, CoverInformation* i) {
         i->company = 0;
         i->honorific = 3;
         i->numberPrefix = 0;
         e->entry.dialKind = 1;
       },
       {{350, 680, 110, u"To:"}, {680, 669, 145, u"Branch office"}, {680, 762, 90, u"Second floor"},
        {350, 870, 90, u"Fax:"}, {680, 864, 120, u"5551234"}}},
      {"selector 1 with the prefix switch: item 5143",
       [](ExtendedFaxDestination* e, CoverInformation* i) {
         i->company = 2;
         i->honorific = 1;
         e->entry.dialKind = 1;
       },
       {{350, 680, 110, u"To:"}, {680, 669, 145, u"Branch office"}, {1708, 676, 120, u"Dept."},
        {680, 762, 90, u"Second floor"}, {1687, 762, 90, u"Esq."}, {350, 870, 90, u"Fax:"},
        {680, 864, 120, u"95551234"}}},
      {"several destinations (mode 1): the recipient text only",
       [](ExtendedFaxDestination*, CoverInformation* i) {
         i->mode = 1;
         i->recipient = u"All branches";
       },
       {{350, 680, 110, u"To:"}, {680, 669, 145, u"All branches"}}},
      {"a name-only entry: neither the fax caption nor the number",
       [](ExtendedFaxDestination* e, CoverInformation*) { e->entry.kind = 1; },
       {{350, 680, 110, u"To:"}, {680, 669, 145, u"Branch office"}, {1708, 676, 120, u"Corp."},
        {680, 762, 90, u"Second floor"}, {1687, 762, 90, u"Attn"}}},
      {"a fax number of 60 digits is set at 101 to fit 107 mm",
       [](ExtendedFaxDestination* e, CoverInformation* i) {
         i->numberPrefix = 0;
         i->company = 0;
         i->honorific = 0;
         SetText(e->entry.number, std::u16string(60, u'7'));
         SetText(e->entry.secondText, u"");
       },
       {{350, 680, 110, u"To:"}, {680, 669, 145, u"Branch office"}, {350, 870, 90, u"Fax:"},
        {680, 864, 101, std::u16string(60, u'7')}}},
      {"a second text of 52 bytes wraps into its two lines of 40",
       [](ExtendedFaxDestination* e, CoverInformation* i) {
         i->numberPrefix = 0;
         i->company = 0;
         i->honorific = 0;
         SetText(e->entry.secondText, std::u16string(40, u'a') + std::u16string(40, u'b') + u"cc");
       },
       {{350, 680, 110, u"To:"}, {680, 669, 145, u"Branch office"}, {680, 762, 90, std::u16string(40, u'a')},
        {680, 802, 90, std::u16string(40, u'b')}, {350, 870, 90, u"Fax:"}, {680, 864, 120, u"5551234"}}},
  };
  for (const Case& c : cases) {
    ExtendedFaxDestination entry = entry_;
    CoverInformation info = info_;
    c.change(&entry, &info);
    const std::vector<Placed> all = Build(entry, info);
    std::vector<Placed> rows;
    for (size_t i = 2; i < all.size() && all[i].text != u"From:"; ++i) rows.push_back(all[i]);
    EXPECT_EQ(rows, c.destinationRows) << c.what;
  }
}

TEST_F(CoverPageTest, SecondVariantUsesTheOtherStrings) {
  info_.kind = 1;
  const std::vector<Placed> placed = Build();
  std::vector<std::u16string> texts;
  for (const Placed& p : placed) texts.push_back(p.text);
  const std::vector<std::u16string> expected = {
      u"FACSIMILE", u"Quarterly",   u"Recipient:", u"Branch office", u"Second floor", u"Fax no.:",
      u"005551234", u"Sender:",     u"Alice",      u"Accounts",      u"Phone:",       u"555-0100",
      u"Fax no.:",  u"555-0199",    u"Subject:",   u"Figures",       u"Message:",     u"A",
      u"B",         u"C",           u"D"};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(placed[0], (Placed{1592, 518, 100, u"FACSIMILE"}));
  EXPECT_EQ(placed[1], (Placed{1557, 518, 100, u"Quarterly"}));
}

TEST_F(CoverPageTest, LinesNeverPassTheirLimits) {
  // A comment of 30 lines fills the 16 lines of its row; the cover stays within 40 items.
  std::u16string comment;
  for (int i = 0; i < 30; ++i) comment += u"line\r\n";
  SetText(entry_.secondText, comment + std::u16string(200, u'x'));
  const std::vector<Placed> placed = Build();
  EXPECT_EQ(placed.size(), 19u + 16u);
  EXPECT_EQ(placed.back(), (Placed{680, 1744 + 15 * 49, 110, u"line"}));

  WCHAR lines[kMaxCoverTexts][kCoverTextChars + 1];
  int count = 0;
  EXPECT_EQ(WrapCoverText(u"abcdefghij", 4, 2, lines, &count), 1);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(std::u16string(lines[0]), u"abcd");
  EXPECT_EQ(std::u16string(lines[1]), u"efgh");
  EXPECT_EQ(WrapCoverText(u"ab\r\n\r\ncd\r\n", 4, 5, lines, &count), 1);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(std::u16string(lines[1]), u"");
  EXPECT_EQ(std::u16string(lines[2]), u"cd");
}

TEST_F(CoverPageTest, DoubleByteTextsWrapWithoutSplittingACharacter) {
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  WCHAR lines[kMaxCoverTexts][kCoverTextChars + 1];
  int count = 0;
  // "a" and three kana: 1 + 2 + 2 + 2 bytes; four bytes per line.
  EXPECT_EQ(WrapCoverText(u"a\u3042\u3044\u3046", 4, 5, lines, &count), 1);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(std::u16string(lines[0]), u"a\u3042");
  EXPECT_EQ(std::u16string(lines[1]), u"\u3044\u3046");
  // A right-aligned heading counts bytes: two kana are four bytes.
  CoverLayoutRow row{1, 0, 1, 1, 0, 100, 1750, 518, 0, 1, 0};
  CoverTextItem items[kMaxCoverTexts];
  int placed = 0;
  ASSERT_EQ(PlaceCoverText(u"\u3042\u3044", &row, items, &placed), 1);
  EXPECT_EQ(items[0].x, 1750 - 70);
}

TEST_F(CoverPageTest, DestinationFromTheSendList) {
  std::vector<BYTE> blob(GetFaxRecordSize(2));
  FaxListHeader header{};
  std::memcpy(header.tag, kFaxRecordTag, sizeof kFaxRecordTag);
  header.count = 2;
  SetText(header.firstText, u"Head");
  SetText(header.secondText, u"Note");
  std::memcpy(blob.data(), &header, sizeof header);
  FaxDestination d{};
  SetText(d.number, u"222");
  std::memcpy(blob.data() + GetFaxRecordSize(1), &d, sizeof d);
  ExtendedFaxDestination out{};
  ASSERT_EQ(LoadFaxDestination(blob.data(), DWORD(blob.size()), 1, &out), 1);
  EXPECT_EQ(std::u16string(out.entry.number), u"222");
  EXPECT_EQ(std::u16string(out.firstText), u"Head");
  EXPECT_EQ(std::u16string(out.secondText), u"Note");
  EXPECT_EQ(LoadFaxDestination(blob.data(), DWORD(blob.size()), 2, &out), 0);
  EXPECT_EQ(LoadFaxDestination(blob.data(), DWORD(blob.size()) - 1, 0, &out), 0);
  EXPECT_EQ(LoadFaxDestination(nullptr, 0, 0, &out), 0);
}

}  // namespace
