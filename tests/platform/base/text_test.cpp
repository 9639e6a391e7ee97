#include "platform/base/text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

std::u16string FormatW(const char16_t* format, ...) {
  WCHAR buffer[WSPRINTF_LIMIT + 16];
  va_list args;
  va_start(args, format);
  int n = wvsprintfW(buffer, format, args);
  va_end(args);
  EXPECT_EQ(n, lstrlenW(buffer));
  return std::u16string(buffer, n);
}

std::string FormatA(const char* format, ...) {
  char buffer[WSPRINTF_LIMIT + 16];
  va_list args;
  va_start(args, format);
  int n = wvsprintfA(buffer, format, args);
  va_end(args);
  return std::string(buffer, n);
}

TEST(Text, LengthCopyAndCompareFollowThePlatform) {
  EXPECT_EQ(lstrlenW(nullptr), 0);
  EXPECT_EQ(lstrlenW(u"abc"), 3);
  WCHAR buffer[8];
  EXPECT_EQ(lstrcpynW(buffer, u"abcdefghij", 4), buffer);
  EXPECT_EQ(std::u16string(buffer), u"abc");
  lstrcpynW(buffer, u"xy", 8);
  EXPECT_EQ(std::u16string(buffer), u"xy");
  buffer[0] = u'Q';
  lstrcpynW(buffer, u"abc", 0);  // nothing written
  EXPECT_EQ(buffer[0], u'Q');
  EXPECT_EQ(lstrcpyW(nullptr, u"a"), nullptr);
  lstrcpyW(buffer, u"ab");
  lstrcatW(buffer, u"cd");
  EXPECT_EQ(std::u16string(buffer), u"abcd");

  struct Case {
    const char16_t* a;
    const char16_t* b;
    int cmp;
    int cmpi;
  } cases[] = {
      {u"abc", u"abc", 0, 0},      {u"abc", u"ABC", 1, 0},  {u"ab", u"abc", -1, -1},
      {nullptr, u"a", -1, -1},     {nullptr, nullptr, 0, 0}, {u"a", nullptr, 1, 1},
      {u"\u00e9t\u00e9", u"\u00c9T\u00c9", 1, 0},          {u"\u0436", u"\u0416", 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lstrcmpW(c.a, c.b), c.cmp);
    EXPECT_EQ(lstrcmpiW(c.a, c.b), c.cmpi);
  }
  EXPECT_EQ(lstrcmpiA("Hello", "hELLO"), 0);
  EXPECT_LT(lstrcmpA("a", "b"), 0);
}

TEST(Text, CrtRoutinesOnSixteenBitText) {
  EXPECT_EQ(wcslen(u"hello"), 5u);
  EXPECT_EQ(wcsncmp(u"abcd", u"abXY", 2), 0);
  EXPECT_EQ(_wcsicmp(u"Qorvex.DLL", u"qorvex.dll"), 0);
  EXPECT_EQ(_wcsnicmp(u"ABCx", u"abcy", 3), 0);
  const WCHAR* path = u"C:\\dir\\file.ext";
  EXPECT_EQ(wcsrchr(path, u'\\'), path + 6);
  EXPECT_EQ(wcschr(path, u'.'), path + 11);
  EXPECT_EQ(wcschr(path, u'\0'), path + 15);
  EXPECT_EQ(wcsstr(path, u"file"), path + 7);
  EXPECT_EQ(wcsstr(path, u"none"), nullptr);

  WCHAR padded[6];
  wcsncpy(padded, u"ab", 6);
  EXPECT_EQ(padded[2], 0);
  EXPECT_EQ(padded[5], 0);

  WCHAR text[] = u" one, two,,three ";
  WCHAR* context = nullptr;
  std::u16string tokens;
  for (WCHAR* t = wcstok(text, u", ", &context); t != nullptr; t = wcstok(nullptr, u", ", &context))
    tokens += std::u16string(t) + u"|";
  EXPECT_EQ(tokens, u"one|two|three|");

  struct Number {
    const char16_t* text;
    int base;
    ULONG value;
    size_t consumed;
  } numbers[] = {
      {u"  42xyz", 10, 42, 4},  {u"0x1F", 0, 31, 4},       {u"017", 0, 15, 3},
      {u"ff", 16, 255, 2},      {u"99999999999", 10, 0xFFFFFFFFu, 11},
      {u"-1", 10, 0xFFFFFFFFu, 2}, {u"zz", 10, 0, 0},      {u"0x", 16, 0, 1},
  };
  for (const Number& n : numbers) {
    WCHAR* end = nullptr;
    EXPECT_EQ(wcstoul(n.text, &end, n.base), n.value) << std::string(n.text, n.text + wcslen(n.text));
    EXPECT_EQ(static_cast<size_t>(end - n.text), n.consumed);
  }
  EXPECT_EQ(_wtoi(u"  -123abc"), -123);
  EXPECT_EQ(_wtoi(u"abc"), 0);
  EXPECT_EQ(_wtoi(u"99999999999"), 2147483647);
  EXPECT_EQ(_wtoi(nullptr), 0);

  WCHAR drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
  _wsplitpath(u"C:\\Windows\\System32\\qorvexui.dll", drive, dir, name, ext);
  EXPECT_EQ(std::u16string(drive), u"C:");
  EXPECT_EQ(std::u16string(dir), u"\\Windows\\System32\\");
  EXPECT_EQ(std::u16string(name), u"qorvexui");
  EXPECT_EQ(std::u16string(ext), u".dll");
  _wsplitpath(u"dir.d/file", nullptr, dir, name, ext);
  EXPECT_EQ(std::u16string(dir), u"dir.d/");
  EXPECT_EQ(std::u16string(name), u"file");
  EXPECT_EQ(std::u16string(ext), u"");
}

TEST(Text, CaseMapping) {
  WCHAR text[] = u"abc\u00e9\u00ff\u0105\u03b1\u0436\uff41";
  CharUpperW(text);
  EXPECT_EQ(std::u16string(text), u"ABC\u00c9\u0178\u0104\u0391\u0416\uff21");
  CharLowerW(text);
  EXPECT_EQ(std::u16string(text), u"abc\u00e9\u00ff\u0105\u03b1\u0436\uff41");
  // One character in the low word of the pointer.
  LPWSTR one = CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(u'q')));
  EXPECT_EQ(reinterpret_cast<ULONG_PTR>(one), static_cast<ULONG_PTR>(u'Q'));
  EXPECT_TRUE(IsCharAlphaW(u'\u3042'));
  EXPECT_FALSE(IsCharAlphaW(u'1'));
  EXPECT_TRUE(IsCharAlphaNumericW(u'1'));
}

TEST(Text, WsprintfConversions) {
  struct Case {
    std::u16string got;
    std::u16string want;
  } cases[] = {
      {FormatW(u"%d|%ld|%i", -5, 2147483647, 0), u"-5|2147483647|0"},
      {FormatW(u"%u|%lu", 4294967295u, 7u), u"4294967295|7"},
      {FormatW(u"%x|%X|%08X|%#x|%#X", 255u, 255u, 0xABCu, 26u, 26u), u"ff|FF|00000ABC|0x1a|0X1A"},
      {FormatW(u"%02d|%04d|%-4d|%4d|%05d", 7, 42, 3, 3, -42), u"07|0042|3   |   3|-0042"},
      {FormatW(u"%.3d|%5.3d", 7, 7), u"007|  007"},
      {FormatW(u"%s|%ls|%hs|%S", u"wide", u"also", "narrow", "cap"), u"wide|also|narrow|cap"},
      {FormatW(u"%c%c%hc%C", u'\u00e9', u'x', 'n', 'N'), u"\u00e9xnN"},
      {FormatW(u"[%5s][%-5s][%.2s]", u"ab", u"ab", u"abcdef"), u"[   ab][ab   ][ab]"},
      {FormatW(u"%s", static_cast<const char16_t*>(nullptr)), u"(null)"},
      {FormatW(u"100%%"), u"100%"},
      {FormatW(u"%I64d|%I64u|%llx", -5000000000LL, 10000000000ULL, 0x123456789ULL), u"-5000000000|10000000000|123456789"},
      {FormatW(u"%p", reinterpret_cast<void*>(0x12ABu)), u"00000000000012AB"},
      {FormatW(u"%f|%y", 1, 2), u"f|y"},  // no floating point; unknown letters print as such
      {FormatW(u"%hs", "caf\xe9"), u"caf\u00e9"},  // narrow text through code page 1252
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);

  EXPECT_EQ(FormatA("%s|%ls|%d|%c", "narrow", u"wide", -1, 'z'), "narrow|wide|-1|z");
  EXPECT_EQ(FormatA("%S", u"\u00e9\u4e00"), "\xe9?");  // unmappable wide text becomes '?'
}

TEST(Text, WsprintfStopsAtThePlatformLimit) {
  std::u16string longText(3000, u'a');
  std::u16string out = FormatW(u"%s", longText.c_str());
  EXPECT_EQ(out.size(), static_cast<size_t>(WSPRINTF_LIMIT - 1));
  std::u16string padded = FormatW(u"%2000d", 1);
  EXPECT_EQ(padded.size(), static_cast<size_t>(WSPRINTF_LIMIT - 1));
}

TEST(Text, Utf8RoundTripAndInvalidInput) {
  std::u16string text = u"a\u00e9\u4e00\U0001F600";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf8ToUtf16("\xff" "a" "\xc3"), u"\ufffda\ufffd");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xd800')), "\xef\xbf\xbd");
}

}  // namespace
