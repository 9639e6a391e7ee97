#include "core/common/format_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Format(const char16_t* pattern, std::initializer_list<FormatArg> args, int size = 64) {
  WCHAR out[128];
  const int n = FormatText(out, size, pattern, args);
  EXPECT_EQ(n, static_cast<int>(std::u16string(out).size()));
  return out;
}

TEST(FormatText, DirectivesAndPositions) {
  struct Case { const char16_t* pattern; std::u16string expected; };
  const Case cases[] = {
      {u"%2s-%1s", u"b-a"},
      {u"%s and %s", u"a and b"},
      {u"100%%", u"100%"},
      {u"%S[%s]", u"[b]"},          // %S takes a without printing it
      {u"%D%s", u"b"},
      {u"50% off %q", u"50% off %q"},  // other percent signs are text
      {u"%9s!", u"%9s!"},             // names an argument beyond the directive count
      {u"tail %", u"tail %"},
  };
  for (const Case& c : cases) EXPECT_EQ(Format(c.pattern, {u"a", u"b"}), c.expected) << std::string(c.pattern, c.pattern + 3);
  EXPECT_EQ(Format(u"%d pages, %s", {12, u"duplex"}), u"12 pages, duplex");
  EXPECT_EQ(Format(u"%d", {-7}), u"-7");
  EXPECT_EQ(Format(u"%1d/%1d", {1, 2}), u"1/2");  // every directive naming an index takes the next value
}

TEST(FormatText, MissingArgumentsPrintTheirDirective) {
  EXPECT_EQ(Format(u"%s-%s-%d", {u"only"}), u"only-%s-%d");
  EXPECT_EQ(Format(u"%s", {}), u"%s");
  EXPECT_EQ(Format(u"%s", {static_cast<LPCWSTR>(nullptr)}), u"");
}

TEST(FormatText, PiecesThatDoNotFitAreLeftOut) {
  EXPECT_EQ(Format(u"%s:%s", {u"long text", u"x"}, 6), u":x");
  EXPECT_EQ(Format(u"abcdef", {}, 6), u"");
  EXPECT_EQ(Format(u"abcde", {}, 6), u"abcde");
  WCHAR out[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(FormatText(out, 0, u"a", {}), 0);
  EXPECT_EQ(out[0], u'x');  // nothing written without room
  EXPECT_EQ(FormatText(nullptr, 4, u"a", {}), 0);
  EXPECT_EQ(FormatText(out, 4, nullptr, {}), 0);
}

TEST(FormatText, PatternLimits) {
  // Ten directives: the tenth is plain text.
  EXPECT_EQ(Format(u"%s%s%s%s%s%s%s%s%s%s", {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10"}),
            u"123456789%s");
  // Twenty pieces at most: after the nineteenth the rest of the pattern is one literal piece.
  // Each "%%" is a piece of its own; 25 of them give 19 single percent signs, then the
  // remaining six pairs are copied as they stand.
  const std::u16string pattern(50, u'%');
  EXPECT_EQ(Format(pattern.c_str(), {}, 128), std::u16string(19 + 12, u'%'));
}

}  // namespace
