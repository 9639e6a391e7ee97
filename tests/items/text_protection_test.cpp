#include "items/text_protection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Encode(const std::string& plain) {
  std::vector<char> out(Base64EncodedSize(static_cast<int>(plain.size())));
  int written = -1;
  EXPECT_EQ(EncodeText(plain.data(), static_cast<int>(plain.size()), out.data(), &written, static_cast<int>(out.size())), 0);
  return std::string(out.data(), written);
}

std::string Decode(const std::string& coded, int* result = nullptr) {
  std::vector<char> out(coded.size() + 1);
  int written = 0;
  const int r = DecodeText(coded.data(), static_cast<int>(coded.size()), out.data(), &written, static_cast<int>(out.size()));
  if (result) *result = r;
  return r == 0 ? std::string(out.data(), written) : std::string();
}

std::string Base64(const std::string& bytes) {
  std::vector<char> out(Base64EncodedSize(static_cast<int>(bytes.size())));
  int written = -1;
  EXPECT_EQ(EncodeBase64(bytes.data(), static_cast<int>(bytes.size()), out.data(), &written, static_cast<int>(out.size())), 0);
  return std::string(out.data(), written);
}

std::string Unbase64(const std::string& text, int* result = nullptr) {
  std::vector<char> out(text.size() + 4, '\x7f');
  int written = 0;
  const int r = DecodeBase64(text.data(), static_cast<int>(text.size()), out.data(), &written, static_cast<int>(text.size() + 3));
  if (result) *result = r;
  return std::string(out.data(), written);
}

TEST(TextProtection, SizesFollowTheFormulas) {
  struct Case { int n, encoded, decoded; };
  for (Case c : {Case{0, 1, 1}, Case{1, 5, 1}, Case{3, 5, 1}, Case{4, 9, 4}, Case{12, 17, 10}, Case{20, 29, 16}}) {
    EXPECT_EQ(Base64EncodedSize(c.n), c.encoded) << c.n;
    EXPECT_EQ(Base64DecodedSize(c.n), c.decoded) << c.n;
  }
  EXPECT_EQ(Base64EncodedSize(-1), -10);
  EXPECT_EQ(Base64DecodedSize(-1), -10);
  EXPECT_EQ(Base64EncodedSize(0x7FFFFFFF), -10);  // would not fit an int
}

TEST(TextProtection, ScrambleIsItsOwnInverseForEveryTailLength) {
  const BYTE plain[] = {'S', 'e', 'c', 'r', 'e', 't', '-', '9', 0xE9};
  for (int n = 1; n <= 9; ++n) {
    BYTE once[9] = {};
    BYTE twice[9] = {};
    int w1 = 0, w2 = 0;
    ASSERT_EQ(ScrambleBytes(plain, n, once, &w1, n), 0);
    ASSERT_EQ(ScrambleBytes(once, n, twice, &w2, n), 0);
    EXPECT_EQ(w1, n);
    EXPECT_EQ(0, std::memcmp(twice, plain, n)) << n;
  }
  const BYTE kb[] = {'k', 'b', 't', 'q', 'k'};
  BYTE out[5];
  int w = 0;
  ASSERT_EQ(ScrambleBytes(kb, 5, out, &w, 5), 0);
  for (BYTE b : out) EXPECT_EQ(b, 0);  // the key against itself
}

TEST(TextProtection, ScrambleStopsBeforeAGroupThatDoesNotFit) {
  const BYTE in[7] = {1, 2, 3, 4, 5, 6, 7};
  BYTE out[8];
  std::memset(out, 0xEE, sizeof out);
  int written = -1;
  EXPECT_EQ(ScrambleBytes(in, 7, out, &written, 6), -3);
  EXPECT_EQ(written, 4);
  EXPECT_EQ(out[4], 0xEE);  // nothing of the refused group was written
}

TEST(TextProtection, KnownEncodings) {
  EXPECT_EQ(Base64("abc"), "YWJj");
  EXPECT_EQ(Base64("a"), "YQ==");
  EXPECT_EQ(Base64("ab"), "YWI=");
  EXPECT_EQ(Base64(std::string("\xFB\xFF\x00", 3)), "+/8A");
  // "abc" scrambled with "kbt" is 0A 00 17.
  EXPECT_EQ(Encode("abc"), "CgAX");
  EXPECT_EQ(Encode("a").size(), 4u);
  EXPECT_EQ(Encode("a").substr(2), "==");
}

TEST(TextProtection, EncodeAndDecodeRoundTrip) {
  for (const std::string& plain : std::vector<std::string>{"a", "ab", "abc", "abcd", "account-42", std::string("\x00\x01\xFF\x80", 4),
                                  std::string(200, 'q')}) {
    EXPECT_EQ(Decode(Encode(plain)), plain);
  }
}

TEST(TextProtection, DecodingSkipsWhitespaceAnywhere) {
  const std::string coded = Encode("fax 0123 456");
  const std::string plain = Decode(coded);
  ASSERT_EQ(plain, "fax 0123 456");
  for (std::size_t at = 0; at <= coded.size(); ++at) {
    for (const char* blank : {" ", "\r\n", "\t\v\f"}) {
      std::string spaced = coded;
      spaced.insert(at, blank);
      EXPECT_EQ(Decode(spaced), plain) << at;
    }
  }
}

TEST(TextProtection, ShortFinalGroupsFollowTheStoredFormRules) {
  EXPECT_EQ(Unbase64("YWJ"), "a");      // three characters without "=": one byte
  EXPECT_EQ(Unbase64("YW=="), "a");
  EXPECT_EQ(Unbase64("YWI="), "ab");
  EXPECT_EQ(Unbase64("YWJjYQ"), "abc");   // a final group of two characters yields nothing
  EXPECT_EQ(Unbase64("YWJjY"), "abc");
  EXPECT_EQ(Unbase64("YQ==YWJj"), "a");  // padding ends the text
  // Characters outside the alphabet count as 255, kept to 8 bits.
  EXPECT_EQ(Unbase64("*A=="), std::string(1, static_cast<char>(0xFC)));
  int r = 1;
  EXPECT_EQ(Unbase64(std::string("YW\0Jj", 5), &r), "");  // stops at a terminator
  EXPECT_EQ(r, 0);
}

TEST(TextProtection, DecodingReadsNothingBeyondTheGivenLength) {
  // A heap block of exactly the given length: ASan reports any read past it.
  for (int n = 1; n <= 9; ++n) {
    std::vector<char> exact(n, 'Q');
    std::vector<BYTE> out(n + 3);
    int written = 0;
    EXPECT_EQ(DecodeBase64(exact.data(), n, out.data(), &written, n + 3), 0);
    EXPECT_LE(written, (n + 3) / 4 * 3);
  }
}

TEST(TextProtection, BadArgumentsGetTheirCodes) {
  char out[16] = {};
  int w = 0;
  struct Case { const char* name; int result, expected; };
  const Case cases[] = {
      {"encode null input", EncodeText(nullptr, 3, out, &w, 16), -1},
      {"encode null output", EncodeText("abc", 3, nullptr, &w, 16), -1},
      {"encode null count", EncodeText("abc", 3, out, nullptr, 16), -1},
      {"encode zero length", EncodeText("abc", 0, out, &w, 16), -2},
      {"encode negative capacity", EncodeText("abc", 3, out, &w, -1), -2},
      {"encode too small", EncodeText("abc", 3, out, &w, 3), -3},
      {"base64 one byte capacity 3", EncodeBase64("a", 1, out, &w, 3), -3},
      {"decode one character", DecodeText("Q", 1, out, &w, 16), -3},
      {"decode too small", DecodeBase64("YWJjYWJj", 8, out, &w, 5), -3},
      {"decode null", DecodeBase64(nullptr, 4, out, &w, 16), -1},
      {"decode negative", DecodeText("YWJj", -4, out, &w, 16), -2},
      {"decode blanks only", DecodeText("    ", 4, out, &w, 16), -2},
      {"scramble zero capacity", ScrambleBytes("abc", 3, out, &w, 0), -2},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
  // Decoding into a block too small for the plain text.
  const std::string coded = Encode("abcdef");
  EXPECT_EQ(DecodeText(coded.data(), static_cast<int>(coded.size()), out, &w, 4), -3);
  EXPECT_EQ(w, 4);
}

}  // namespace
