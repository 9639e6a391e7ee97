#include "items/codepage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class CodePage : public SandboxTest {};

const char16_t kJapanese[] = u"日本語";                 // 93FA 967B 8CEA in 932
const char kJapanese932[] = "\x93\xfa\x96\x7b\x8c\xea";

TEST_F(CodePage, ZeroAndRefusedPagesMeanTheAnsiPage) {
  EXPECT_EQ(CheckCodePage(0), 1252u);
  EXPECT_EQ(CheckCodePage(932), 932u);
  EXPECT_EQ(CheckCodePage(12345), 1252u);
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  EXPECT_EQ(CheckCodePage(0), 932u);
  EXPECT_EQ(CheckCodePage(12345), 932u);
  EXPECT_EQ(CheckCodePage(1252), 1252u);
}

TEST_F(CodePage, AllocatingConversionsRoundTripAndReportTheirLengths) {
  for (UINT acp : {1252u, 932u}) {
    ASSERT_TRUE(SimSetAnsiCodePage(acp));
    const char16_t* text = acp == 1252 ? u"Grüße €5" : kJapanese;
    const int expectBytes = acp == 1252 ? 8 : 6;
    LPSTR narrow = nullptr;
    int length = -1;
    ASSERT_EQ(WideToAnsiAlloc(&narrow, text, &length), 1);
    EXPECT_EQ(length, expectBytes);
    EXPECT_EQ(static_cast<int>(std::strlen(narrow)), expectBytes);
    LPWSTR wide = nullptr;
    int count = -1;
    ASSERT_EQ(AnsiToWideAlloc(narrow, &wide, &count), 1);
    EXPECT_EQ(count, lstrlenW(text) + 1);  // the terminator counts
    EXPECT_EQ(std::u16string(wide), std::u16string(text));
    GlobalFree(wide);
    GlobalFree(narrow);
  }
  // A chosen page: 932 bytes while the ANSI page is 1252; 12345 falls back to 1252.
  ASSERT_TRUE(SimSetAnsiCodePage(1252));
  LPSTR narrow = nullptr;
  int length = 0;
  ASSERT_EQ(WideToMultiByteCp(kJapanese, &narrow, &length, 932), 1);
  EXPECT_EQ(std::string(narrow), kJapanese932);
  LPWSTR wide = nullptr;
  int count = 0;
  ASSERT_EQ(MultiByteToWideCp(narrow, &wide, &count, 932), 1);
  EXPECT_EQ(std::u16string(wide), kJapanese);
  GlobalFree(wide);
  GlobalFree(narrow);
  ASSERT_EQ(WideToMultiByteCp(u"é", &narrow, &length, 12345), 1);
  EXPECT_EQ(std::string(narrow), "\xe9");
  GlobalFree(narrow);
}

TEST_F(CodePage, FailuresLeaveNoBlock) {
  LPSTR narrow = nullptr;
  LPWSTR wide = nullptr;
  int n = 0;
  EXPECT_EQ(WideToAnsiAlloc(&narrow, nullptr, &n), 0);
  EXPECT_EQ(AnsiToWideAlloc(nullptr, &wide, &n), 0);
  EXPECT_EQ(WideToMultiByteAlloc(0, nullptr), nullptr);
  EXPECT_EQ(MultiByteToWideAlloc(0, nullptr, &n), nullptr);
  SimFailNthAllocation(1);
  EXPECT_EQ(WideToMultiByteCp(u"abc", &narrow, &n, 0), 0);
  EXPECT_EQ(narrow, nullptr);
  SimFailNthAllocation(1);
  EXPECT_EQ(MultiByteToWideAlloc(0, "abc", &n), nullptr);
}

TEST_F(CodePage, BufferConversionCountsDoubleByteCharacters) {
  // Size query: two bytes per Japanese character plus the terminator, also when the page
  // is given as 0 under an ANSI page of 932, or as a refused page.
  EXPECT_EQ(WideToMultiByteBuffer(932, kJapanese, nullptr, 0), 7);
  EXPECT_EQ(WideToMultiByteBuffer(1252, u"abc", nullptr, 0), 4);
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  EXPECT_EQ(WideToMultiByteBuffer(0, kJapanese, nullptr, 0), 7);
  EXPECT_EQ(WideToMultiByteBuffer(12345, u"a日b", nullptr, 0), 5);
  // Writing: whole characters only, always terminated, never past the buffer.
  struct Case { const char16_t* text; int size; const char* expected; };
  const Case cases[] = {
      {kJapanese, 7, kJapanese932}, {kJapanese, 6, "\x93\xfa\x96\x7b"}, {kJapanese, 4, "\x93\xfa"},
      {kJapanese, 2, ""},           {u"a日b", 3, "a"},                   {u"a日b", 4, "a\x93\xfa"},
      {u"", 1, ""},
  };
  for (const Case& c : cases) {
    std::vector<char> buffer(c.size, '\x7f');
    const int written = WideToMultiByteBuffer(932, c.text, buffer.data(), c.size);
    EXPECT_EQ(written, static_cast<int>(std::strlen(c.expected))) << c.size;
    EXPECT_EQ(std::string(buffer.data()), c.expected) << c.size;
  }
  char one[4];
  EXPECT_EQ(WideToMultiByteBuffer(932, kJapanese, one, -1), 0);
  EXPECT_EQ(WideToMultiByteBuffer(932, kJapanese, nullptr, 4), 0);
}

TEST_F(CodePage, AllocatedMultiByteBlockHasOneSpareByte) {
  LPSTR block = WideToMultiByteAlloc(932, kJapanese);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 8u);  // 6 bytes, terminator, one more
  EXPECT_EQ(std::string(block), kJapanese932);
  GlobalFree(block);
  int count = -1;
  LPWSTR wide = MultiByteToWideAlloc(932, kJapanese932, &count);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(count, 3);  // terminator excluded
  EXPECT_EQ(GlobalSize(wide), 4 * sizeof(WCHAR));
  EXPECT_EQ(std::u16string(wide), kJapanese);
  GlobalFree(wide);
}

TEST_F(CodePage, MultiByteCountTakesLeadAndTrailAsOne) {
  EXPECT_EQ(MultiByteToWideCount(932, nullptr, kJapanese932, 0), 3);
  EXPECT_EQ(MultiByteToWideCount(1252, nullptr, kJapanese932, 0), 6);
  // A lead byte at the very end of the text: counted alone, the terminator is not passed.
  const char tail[] = {'a', '\x93', '\0'};
  std::vector<char> exact(tail, tail + sizeof tail);  // heap block of exactly three bytes
  EXPECT_EQ(MultiByteToWideCount(932, nullptr, exact.data(), 0), 2);
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  EXPECT_EQ(MultiByteToWideCount(0, nullptr, kJapanese932, 0), 3);  // 0 = ANSI page
  // Converting into a buffer: as many characters as fit before the terminator.
  WCHAR out[8];
  std::memset(out, 0x55, sizeof out);
  EXPECT_EQ(MultiByteToWideCount(932, out, kJapanese932, 3), 2);
  EXPECT_EQ(std::u16string(out), u"日本");
  EXPECT_EQ(out[3], 0x5555);  // nothing beyond the given count
  EXPECT_EQ(MultiByteToWideCount(932, out, kJapanese932, 8), 3);
  EXPECT_EQ(std::u16string(out), kJapanese);
  EXPECT_EQ(MultiByteToWideCount(932, out, exact.data(), 8), 2);
  EXPECT_EQ(out[0], u'a');
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(MultiByteToWideCount(932, out, nullptr, 8), 0);
}

}  // namespace
