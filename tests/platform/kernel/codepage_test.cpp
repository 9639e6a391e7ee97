#include "platform/kernel/codepage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class CodePages : public SandboxTest {};

std::u16string ToWide(UINT page, const std::string& bytes, DWORD flags = 0) {
  WCHAR out[64] = {};
  int n = MultiByteToWideChar(page, flags, bytes.data(), static_cast<int>(bytes.size()), out, 64);
  return std::u16string(out, n > 0 ? n : 0);
}

std::string ToBytes(UINT page, const std::u16string& text, BOOL* usedDefault = nullptr) {
  char out[64] = {};
  int n = WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), out, 64, nullptr, usedDefault);
  return std::string(out, n > 0 ? n : 0);
}

TEST_F(CodePages, Page1252FromOurOwnTable) {
  // Including the five bytes the C library's converter refuses.
  struct Case {
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {"\x80", u"\u20ac"}, {"\x81", u"\u0081"}, {"\x8d", u"\u008d"}, {"\x8f", u"\u008f"},
      {"\x90", u"\u0090"}, {"\x9d", u"\u009d"}, {"\x9f", u"\u0178"}, {"\xe9", u"\u00e9"},
      {"\x8a\x9a", u"\u0160\u0161"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToWide(1252, c.bytes, MB_ERR_INVALID_CHARS), c.text);
    EXPECT_EQ(ToBytes(1252, c.text), c.bytes);
  }
  BOOL used = FALSE;
  EXPECT_EQ(ToBytes(CP_ACP, u"a\u4e00b", &used), "a?b");
  EXPECT_TRUE(used);
  char out[8];
  EXPECT_EQ(WideCharToMultiByte(1252, 0, u"\u4e00", 1, out, 8, "*", &used), 1);
  EXPECT_EQ(out[0], '*');
}

TEST_F(CodePages, SizeQueriesAndBufferProtocol) {
  // -1 counts the terminator; an output size of 0 asks for the size.
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, nullptr, 0), 3);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abc", -1, nullptr, 0, nullptr, nullptr), 4);
  WCHAR small[2];
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, small, 2), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  char bytes[2];
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"abc", -1, bytes, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  struct Bad {
    std::function<int()> call;
    DWORD error;
  } bad[] = {
      {[&] { return MultiByteToWideChar(CP_ACP, 0, nullptr, 3, small, 2); }, ERROR_INVALID_PARAMETER},
      {[&] { return MultiByteToWideChar(CP_ACP, 0, "a", 0, small, 2); }, ERROR_INVALID_PARAMETER},
      {[&] { return MultiByteToWideChar(CP_ACP, 0, "a", 1, nullptr, 2); }, ERROR_INVALID_PARAMETER},
      {[&] { return MultiByteToWideChar(12345, 0, "a", 1, small, 2); }, ERROR_INVALID_PARAMETER},
      {[&] { return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED | MB_COMPOSITE, "a", 1, small, 2); }, ERROR_INVALID_FLAGS},
      {[&] { return MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", 1, small, 2); }, ERROR_INVALID_FLAGS},
      {[&] { return WideCharToMultiByte(CP_UTF8, 0, u"a", 1, bytes, 2, "?", nullptr); }, ERROR_INVALID_PARAMETER},
      {[&] { return WideCharToMultiByte(CP_ACP, WC_ERR_INVALID_CHARS, u"a", 1, bytes, 2, nullptr, nullptr); }, ERROR_INVALID_FLAGS},
      {[&] { return WideCharToMultiByte(CP_ACP, 0, u"a", -2, bytes, 2, nullptr, nullptr); }, ERROR_INVALID_PARAMETER},
  };
  for (const Bad& b : bad) {
    SetLastError(0);
    EXPECT_EQ(b.call(), 0);
    EXPECT_EQ(GetLastError(), b.error);
    SetLastError(0);
  }
}

TEST_F(CodePages, DoubleBytePagesThroughIconv) {
  struct Case {
    UINT page;
    std::string bytes;
    std::u16string text;
  } cases[] = {
      {932, "\x82\xa0\x8c\x78", u"\u3042\u8b66"},  // hiragana a, "warning" first character
      {932, "\xb1", u"\uff71"},                    // half-width katakana
      {936, "\xc4\xe3\xba\xc3", u"\u4f60\u597d"},
      {949, "\xc7\xd1", u"\ud55c"},
      {950, "\xa4\xa4", u"\u4e2d"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToWide(c.page, c.bytes, MB_ERR_INVALID_CHARS), c.text) << c.page;
    EXPECT_EQ(ToBytes(c.page, c.text), c.bytes) << c.page;
  }
  // A lead byte at the end of the input is an invalid sequence.
  EXPECT_EQ(ToWide(932, "a\x82"), u"a\u30fb");
  WCHAR out[4];
  EXPECT_EQ(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, "a\x82", 2, out, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  // A double-byte character is never split by a short output buffer.
  char bytes[3] = {'x', 'x', 'x'};
  EXPECT_EQ(WideCharToMultiByte(932, 0, u"a\u3042", 2, bytes, 2, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(bytes[1], 'x');
  EXPECT_EQ(WideCharToMultiByte(932, 0, u"a\u3042", 2, nullptr, 0, nullptr, nullptr), 3);
}

TEST_F(CodePages, AnsiPageLeadBytesAndCpInfo) {
  EXPECT_EQ(GetACP(), 1252u);
  EXPECT_FALSE(IsDBCSLeadByte(0x82));
  EXPECT_TRUE(SimSetAnsiCodePage(932));
  EXPECT_EQ(GetACP(), 932u);
  EXPECT_EQ(GetOEMCP(), 932u);
  EXPECT_TRUE(IsDBCSLeadByte(0x82));
  EXPECT_TRUE(IsDBCSLeadByte(0xE0));
  EXPECT_FALSE(IsDBCSLeadByte(0xA0));
  EXPECT_FALSE(IsDBCSLeadByte('a'));
  EXPECT_EQ(ToWide(CP_ACP, "\x82\xa0"), u"\u3042");
  const char* text = "\x82\xa0z";
  EXPECT_EQ(CharNextA(text), text + 2);
  EXPECT_EQ(CharPrevA(text, text + 2), text);
  EXPECT_TRUE(IsDBCSLeadByteEx(949, 0xB0));
  EXPECT_FALSE(IsDBCSLeadByteEx(12345, 0x82));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  CPINFO info;
  EXPECT_TRUE(GetCPInfo(932, &info));
  EXPECT_EQ(info.MaxCharSize, 2u);
  EXPECT_EQ(info.DefaultChar[0], '?');
  EXPECT_EQ(info.LeadByte[0], 0x81);
  EXPECT_EQ(info.LeadByte[1], 0x9F);
  EXPECT_EQ(info.LeadByte[2], 0xE0);
  EXPECT_EQ(info.LeadByte[3], 0xFC);
  EXPECT_EQ(info.LeadByte[4], 0);
  EXPECT_TRUE(GetCPInfo(1252, &info));
  EXPECT_EQ(info.MaxCharSize, 1u);
  EXPECT_FALSE(GetCPInfo(12345, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(SimSetAnsiCodePage(12345));
  EXPECT_EQ(GetACP(), 932u);
  SimReset();
  EXPECT_EQ(GetACP(), 1252u);
}

TEST_F(CodePages, Utf8) {
  EXPECT_EQ(ToWide(CP_UTF8, "a\xc3\xa9\xe4\xb8\x80"), u"a\u00e9\u4e00");
  EXPECT_EQ(ToWide(CP_UTF8, "a\xff"), u"a\ufffd");
  WCHAR out[4];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xff", 2, out, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
  EXPECT_EQ(ToBytes(CP_UTF8, u"\u00e9"), "\xc3\xa9");
  char bytes[8];
  std::u16string lone(1, u'\xd800');
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone.data(), 1, bytes, 8, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

}  // namespace
