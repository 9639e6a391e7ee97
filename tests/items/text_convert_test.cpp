#include <gtest/gtest.h>

#include <string>

#include "items/text_protection.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class ConvertEncoded : public SandboxTest {
 protected:
  std::u16string Convert(int mode, const char16_t* text) {
    LPWSTR out = nullptr;
    if (ConvertEncodedText(mode, text, &out) != 1) return u"<failed>";
    std::u16string s(out);
    GlobalFree(out);
    return s;
  }
};

TEST_F(ConvertEncoded, RoundTripsUnderTheAnsiPage) {
  for (UINT acp : {1252u, 932u}) {
    ASSERT_TRUE(SimSetAnsiCodePage(acp));
    for (const char16_t* text : {u"abc", u"x", u"Kontonummer 12-34 ÄÖÜ", u"ファクス 03-1234-5678"}) {
      // Each text only under the page that can represent it.
      if ((acp == 1252 && text[0] == u'フ') || (acp == 932 && text[0] == u'K')) continue;
      const std::u16string coded = Convert(kConvertEncode, text);
      ASSERT_NE(coded, u"<failed>");
      EXPECT_EQ(Convert(kConvertDecode, coded.c_str()), text) << acp;
    }
  }
}

TEST_F(ConvertEncoded, EncodedFormIsBase64OfTheScrambledAnsiBytes) {
  EXPECT_EQ(Convert(kConvertEncode, u"abc"), u"CgAX");
  EXPECT_EQ(Convert(kConvertDecode, u"Cg AX\r\n"), u"abc");
  // Japanese text encodes its 932 bytes: six bytes give eight characters.
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  EXPECT_EQ(Convert(kConvertEncode, u"日本語").size(), 8u);
}

TEST_F(ConvertEncoded, FailuresGiveNoString) {
  LPWSTR out = nullptr;
  EXPECT_EQ(ConvertEncodedText(kConvertEncode, u"", &out), 0);
  EXPECT_EQ(ConvertEncodedText(kConvertEncode, nullptr, &out), 0);
  EXPECT_EQ(ConvertEncodedText(kConvertDecode, u"Q", &out), 0);  // a single character cannot decode
  EXPECT_EQ(ConvertEncodedText(kConvertEncode, u"abc", nullptr), 0);
  for (int nth = 1; nth <= 3; ++nth) {
    SimFailNthAllocation(nth);
    EXPECT_EQ(ConvertEncodedText(kConvertEncode, u"abcdef", &out), 0) << nth;
  }
  EXPECT_EQ(out, nullptr);
}

}  // namespace
