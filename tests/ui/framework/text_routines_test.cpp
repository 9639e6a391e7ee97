// The text and number routines of the user-interface module under the ANSI code pages 1252
// and 932: number parsing, fixed-point texts, typed-text checks against the byte lists of the
// resource file, byte-bounded truncation and bounded appending.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "platform/kernel/ansi_text.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"
#include "ui/framework/text/ansi_text.h"
#include "ui/framework/text/input_validation.h"
#include "ui/framework/text/number_text.h"

namespace {

// Runs with the test resource file as the resource module and the case's ANSI code page.
class TextRoutinesTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    module_ = LoadLibraryW(u"ui_test_module.qrs");
    ASSERT_NE(module_, nullptr);
    SetModuleInstance(module_);
    AcquireResourceModule();
  }
  void TearDown() override {
    ReleaseResourceModule();
    FreeResourceModule();
    SetModuleInstance(nullptr);
    FreeLibrary(module_);
    SimSetAnsiCodePage(1252);
    SandboxTest::TearDown();
  }

  // A wide text from bytes of the current ANSI code page.
  static std::u16string Ansi(const char* bytes) { return AnsiToWide(bytes); }

  HMODULE module_ = nullptr;
};

constexpr UINT kCodePages[] = {1252, 932};

TEST_F(TextRoutinesTest, ParseInt32TextTakesSignsAndTenDigitLimits) {
  const struct Case {
    const char* text;
    int result;
    LONG value;
  } cases[] = {
      {"-2147483648", 1, LONG(0x80000000u)},
      {"+7", 1, 7},
      {"0", 1, 0},
      {"4294967295", 1, -1},
      {"2147483648", 1, LONG(0x80000000u)},
      {"0000000012", 1, 12},
      {"", 0, 0},
      {"-", 0, 0},
      {"+", 0, 0},
      {"12a", 0, 0},
      {" 12", 0, 0},
      {"99999999999", 0, 0},
      {"4294967296", 0, 0},
      {"-2147483649", 0, 0},
      {"+9999999999", 0, 0},  // the plus sign is held to the same limit
      {"+4294967295", 1, -1},
      {"\x82\x50", 0, 0},     // a double-byte digit is no digit
  };
  for (UINT codePage : kCodePages) {
    ASSERT_TRUE(SimSetAnsiCodePage(codePage));
    for (const Case& c : cases) {
      LONG value = 0;
      EXPECT_EQ(ParseInt32Text(c.text, &value), c.result) << c.text << " in " << codePage;
      if (c.result) {
        EXPECT_EQ(value, c.value) << c.text;
      }
    }
  }
  LONG value = 0;
  EXPECT_EQ(ParseInt32Text(nullptr, &value), 0);
}

TEST_F(TextRoutinesTest, FixedPointTextsOfStoredValues) {
  const struct Case {
    DWORD value;
    WORD decimals;
    BOOL isSigned;
    DWORD flags;
    const char16_t* text;  // nullptr: refused
  } cases[] = {
      {5, 1, FALSE, kEditDecimal, u"0.5"},
      {10, 1, FALSE, kEditDecimal, u"1.0"},
      {10, 1, FALSE, kEditDecimal | kFixedPointOmitZeroFraction, u"1"},
      {15, 1, FALSE, kEditDecimal | kFixedPointOmitZeroFraction, u"1.5"},
      {DWORD(-5), 1, TRUE, kEditDecimal, u"-0.5"},
      {DWORD(-5), 1, FALSE, kEditDecimal, u"429496729.1"},
      {12345, 2, FALSE, kEditDecimal, u"123.45"},
      {5, 2, FALSE, kEditDecimal, u"0.05"},
      {0, 3, FALSE, kEditDecimal, u"0.000"},
      {DWORD(-2147483647 - 1), 1, TRUE, kEditDecimal, u"-214748364.8"},
      {4294967295u, 9, FALSE, kEditDecimal, u"4.294967295"},
      {5, 1, FALSE, 0, nullptr},
      {5, 10, FALSE, kEditDecimal, nullptr},
  };
  for (UINT codePage : kCodePages) {
    ASSERT_TRUE(SimSetAnsiCodePage(codePage));
    for (const Case& c : cases) {
      LPWSTR text = nullptr;
      const int result = FormatFixedPoint(&text, c.decimals, c.isSigned, c.flags, c.value);
      if (c.text == nullptr) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(text, nullptr);
        continue;
      }
      ASSERT_EQ(result, 1) << c.value;
      EXPECT_EQ(std::u16string(text), c.text);
      GlobalFree(text);
    }
  }
  // Number texts by value type, or fixed point with decimals.
  LPWSTR text = nullptr;
  const SHORT negative = -12;
  ASSERT_TRUE(FormatNumberText(&text, 0, TRUE, kTypeInt16, &negative));
  EXPECT_EQ(std::u16string(text), u"-12");
  GlobalFree(text);
  ASSERT_TRUE(FormatNumberText(&text, 1, TRUE, kTypeInt16, &negative));
  EXPECT_EQ(std::u16string(text), u"-1.2");
  GlobalFree(text);
  const DWORD margin = 46;
  ASSERT_TRUE(FormatNumberText(&text, 1, FALSE, kTypeUInt32, &margin));
  EXPECT_EQ(std::u16string(text), u"4.6");
  GlobalFree(text);
}

constexpr LONG kDigits[] = {9219, 0};
constexpr LONG kLetters[] = {9220, 0};
constexpr LONG kEveryByte[] = {9221, 0};
constexpr LONG kBlank[] = {9222, 0};
constexpr LONG kBadList[] = {9223, 0};
constexpr LONG kHiragana[] = {9224, 0};
constexpr LONG kWideDigits[] = {9233, 0};
constexpr LONG kEveryDouble[] = {9234, 0};
constexpr LONG kTooLong[] = {9250, 9250, 0};
constexpr LONG kNoStrings[] = {0};

TEST_F(TextRoutinesTest, TypedTextAgainstTheByteLists) {
  const struct Case {
    UINT codePage;
    const char* text;  // bytes of the code page
    const LONG* single;
    const LONG* wide;
    const LONG* forbidden;
    const LONG* forbiddenWide;
    DWORD flags;
    WORD decimals;
    int valid;
  } cases[] = {
      {1252, "123", kDigits, nullptr, nullptr, nullptr, kEditNumeric, 0, 1},
      {1252, "12a", kDigits, nullptr, nullptr, nullptr, kEditNumeric, 0, 0},
      {1252, "-12", kDigits, nullptr, nullptr, nullptr, kEditNumeric | kEditSigned, 0, 1},
      {1252, "+12", kDigits, nullptr, nullptr, nullptr, kEditNumeric | kEditSigned, 0, 1},
      {1252, "-12", kDigits, nullptr, nullptr, nullptr, kEditNumeric | kEditUnsigned, 0, 0},
      {1252, "-12", kDigits, nullptr, nullptr, nullptr, kEditNumeric, 0, 0},  // the sign meets the ranges
      {1252, "-", kDigits, nullptr, nullptr, nullptr, kEditNumeric | kEditSigned, 0, 0},
      {1252, "1.5", kDigits, nullptr, nullptr, nullptr, kEditDecimal, 1, 1},
      {1252, "1.55", kDigits, nullptr, nullptr, nullptr, kEditDecimal, 1, 0},
      {1252, "1.55", kDigits, nullptr, nullptr, nullptr, kEditDecimal | kEditTolerant, 1, 1},
      {1252, "1.5.5", kDigits, nullptr, nullptr, nullptr, kEditDecimal | kEditTolerant, 1, 0},
      {1252, ".", kDigits, nullptr, nullptr, nullptr, kEditDecimal, 1, 0},
      {1252, "", kDigits, nullptr, nullptr, nullptr, kEditNumeric, 0, 0},
      {1252, "", kDigits, nullptr, nullptr, nullptr, kEditNumeric | kEditTolerant, 0, 1},
      {1252, "Ab", kLetters, nullptr, nullptr, nullptr, 0, 0, 1},
      {1252, "A b", kLetters, nullptr, nullptr, nullptr, 0, 0, 0},
      {1252, "A b", kEveryByte, nullptr, kBlank, nullptr, 0, 0, 0},   // forbidden blank
      {1252, "A\xE9", kEveryByte, nullptr, kBlank, nullptr, 0, 0, 1},
      {1252, "   ", nullptr, nullptr, nullptr, nullptr, kEditNotBlank, 0, 0},
      {1252, " a ", nullptr, nullptr, nullptr, nullptr, kEditNotBlank, 0, 1},
      {1252, "\t \r", nullptr, nullptr, nullptr, nullptr, kEditNotBlank, 0, 0},
      {1252, "abc", kNoStrings, nullptr, nullptr, nullptr, 0, 0, 0},  // an empty range list allows nothing
      {1252, "abc", nullptr, nullptr, kNoStrings, nullptr, 0, 0, 1},  // an empty forbidden list forbids nothing
      {1252, "1", kBadList, nullptr, nullptr, nullptr, 0, 0, 0},      // not a byte list
      {1252, "1", kTooLong, nullptr, nullptr, nullptr, 0, 0, 0},      // joined beyond 256 characters
      // Code page 932: double-byte characters against the double-byte lists.
      {932, "\x82\x50\x82\x51", kDigits, kWideDigits, nullptr, nullptr, kEditNumeric, 0, 1},
      {932, "1\x82\x51", kDigits, kWideDigits, nullptr, nullptr, kEditNumeric, 0, 1},
      {932, "\x82\xA0", kEveryByte, kWideDigits, nullptr, nullptr, 0, 0, 0},   // outside every range
      {932, "\x82\xA0", kEveryByte, nullptr, nullptr, nullptr, 0, 0, 1},      // no double-byte list
      {932, "\x82\xA0", kEveryByte, kEveryDouble, nullptr, kHiragana, 0, 0, 0},  // forbidden
      {932, "\x82\xA2", kEveryByte, kEveryDouble, nullptr, kHiragana, 0, 0, 1},
      {932, "\x81\x40", nullptr, nullptr, nullptr, nullptr, kEditNotBlank, 0, 0},   // the double-byte blank
      {932, "\x81\x40" "a", nullptr, nullptr, nullptr, nullptr, kEditNotBlank, 0, 1},
      {932, "-\x82\x50", kDigits, kWideDigits, nullptr, nullptr, kEditNumeric | kEditSigned, 0, 1},
      {932, "\x82\x50.5", kDigits, kWideDigits, nullptr, nullptr, kEditDecimal, 1, 1},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SimSetAnsiCodePage(c.codePage));
    const std::u16string text = Ansi(c.text);
    EXPECT_EQ(ValidateInputText(text.c_str(), c.single, c.wide, c.forbidden, c.forbiddenWide, c.flags, c.decimals),
              c.valid)
        << "'" << c.text << "' in " << c.codePage;
  }
}

TEST_F(TextRoutinesTest, ByteBoundedTruncationAndAppending) {
  const struct Truncation {
    UINT codePage;
    const char* text;
    DWORD bytes;
    const char* kept;
  } truncations[] = {
      {1252, "abcd", 3, "abc"},
      {1252, "abcd", 4, "abcd"},
      {1252, "abcd", 0, ""},
      {1252, "\xE9t\xE9", 2, "\xE9t"},
      {932, "ab\x82\xA0", 3, "ab"},       // the third byte is a lead byte: two bytes kept
      {932, "ab\x82\xA0", 4, "ab\x82\xA0"},
      {932, "\x82\xA0" "c", 1, ""},
      {932, "\x82\xA0" "c", 3, "\x82\xA0" "c"},
  };
  for (const Truncation& t : truncations) {
    ASSERT_TRUE(SimSetAnsiCodePage(t.codePage));
    std::u16string text = Ansi(t.text);
    ASSERT_EQ(TruncateToBytes(t.bytes, text.data()), 1);
    EXPECT_EQ(std::u16string(text.c_str()), Ansi(t.kept)) << t.text << " to " << t.bytes;
    EXPECT_LE(GetAnsiByteLength(text.c_str()), t.bytes);
  }

  const struct Append {
    const char16_t* text;
    const char16_t* addition;
    int chars;
    const char16_t* result;
  } appends[] = {
      {u"hello", u"xyz", 8, u"helloxy"},  // three added to five in eight: two fit
      {u"hello", u"xyz", 9, u"helloxyz"},
      {u"hello", u"", 6, u"hello"},
      {u"", u"abc", 2, u"a"},
  };
  for (const Append& a : appends) {
    std::vector<WCHAR> buffer(a.chars + 4, u'#');
    std::u16string initial = a.text;
    std::copy(initial.c_str(), initial.c_str() + initial.size() + 1, buffer.begin());
    EXPECT_EQ(AppendBounded(buffer.data(), a.addition, a.chars), 1);
    EXPECT_EQ(std::u16string(buffer.data()), a.result);
    EXPECT_EQ(buffer[a.chars], u'#');  // nothing beyond the buffer's size
  }
  WCHAR full[6] = u"hello";
  EXPECT_EQ(AppendBounded(full, u"x", 5), 0);  // no room left at all
}

TEST_F(TextRoutinesTest, ConversionsAndSmallTextPieces) {
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  const std::u16string japanese = Ansi("a\x82\xA0");
  EXPECT_EQ(GetAnsiByteLength(japanese.c_str()), 3);
  LPSTR narrow = nullptr;
  DWORD length = 0;
  ASSERT_EQ(WideToNarrow(japanese.c_str(), &narrow, &length), 1);
  EXPECT_EQ(std::string(narrow), "a\x82\xA0");
  EXPECT_EQ(length, 3u);
  LPWSTR wide = nullptr;
  ASSERT_EQ(NarrowToWide(narrow, &wide, &length), 1);
  EXPECT_EQ(std::u16string(wide), japanese);
  EXPECT_EQ(length, 2u);
  GlobalFree(narrow);
  GlobalFree(wide);

  // "@" removed; the double-byte blank whose trail byte is "@" kept whole.
  std::u16string text = Ansi("a@\x81\x40" "b@");
  ASSERT_EQ(RemoveCharacters(text.data(), u"@"), 1);
  EXPECT_EQ(std::u16string(text.c_str()), Ansi("a\x81\x40" "b"));

  ASSERT_TRUE(SimSetAnsiCodePage(1252));
  LPWSTR part = nullptr;
  ASSERT_EQ(ExtractDelimited(&part, &length, u"Tray (A4 (plain))", u'(', u')'), 1);
  EXPECT_EQ(std::u16string(part), u"A4 (plain)");
  GlobalFree(part);
  ASSERT_EQ(ExtractDelimited(&part, &length, u"x()", u'(', u')'), 1);
  EXPECT_EQ(length, 0u);
  GlobalFree(part);
  EXPECT_EQ(ExtractDelimited(&part, &length, u"x", u'(', u')'), 0);
  EXPECT_EQ(ExtractDelimited(&part, &length, u"x(y", u'(', u')'), 0);

  WCHAR name[] = u"Letter (8.5 x 11 in)";
  CutAtLastParenthesis(name);
  EXPECT_EQ(std::u16string(name), u"Letter ");
  EXPECT_EQ(std::u16string(GetFileNamePart(u"C:\\dir\\file.txt")), u"file.txt");
  EXPECT_EQ(std::u16string(GetFileNamePart(u"file.txt")), u"file.txt");
}

}  // namespace
