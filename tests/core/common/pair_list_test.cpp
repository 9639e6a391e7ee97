#include "core/common/pair_list.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class PairList : public SandboxTest {};

// A pair list as one string with the separating NULs (the closing NUL of the block is the
// string's own terminator).
const std::u16string kList(u"Arial\0Helvetica\0Times New Roman\0Times\0\0", 39);

std::u16string Block(LPCWSTR list) {
  std::u16string s;
  const WCHAR* p = list;
  while (*p != 0) {
    const std::u16string key(p);
    const std::u16string value(p + key.size() + 1);
    s += key + u'\0' + value + u'\0';
    p += key.size() + value.size() + 2;
  }
  return s + u'\0';
}

TEST_F(PairList, FindsValuesByExactKey) {
  ASSERT_NE(FindPairValue(kList.c_str(), u"Arial"), nullptr);
  EXPECT_EQ(std::u16string(FindPairValue(kList.c_str(), u"Arial")), u"Helvetica");
  EXPECT_EQ(std::u16string(FindPairValue(kList.c_str(), u"Times New Roman")), u"Times");
  EXPECT_EQ(FindPairValue(kList.c_str(), u"arial"), nullptr);
  EXPECT_EQ(FindPairValue(kList.c_str(), u"Helvetica"), nullptr);  // values are not keys
  EXPECT_EQ(FindPairValue(u"", u"Arial"), nullptr);
}

TEST_F(PairList, SetReplacesRemovesAppendsOrCopies) {
  struct Case { const char16_t* key; const char16_t* value; std::u16string expected; };
  const Case cases[] = {
      {u"Arial", u"Swiss", std::u16string(u"Arial\0Swiss\0Times New Roman\0Times\0\0", 35)},
      {u"Arial", nullptr, std::u16string(u"Times New Roman\0Times\0\0", 23)},
      {u"Courier", u"Courier10", kList.substr(0, 38) + std::u16string(u"Courier\0Courier10\0\0", 19)},
      {u"Courier", nullptr, kList},
  };
  for (const Case& c : cases) {
    LPWSTR result = SetPairValue(kList.c_str(), c.key, c.value);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Block(result), c.expected) << std::string(c.key, c.key + 3);
    GlobalFree(result);
  }
  // A long pair is sized from its real length.
  const std::u16string longName(400, u'F');
  LPWSTR result = SetPairValue(kList.c_str(), longName.c_str(), longName.c_str());
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(std::u16string(FindPairValue(result, longName.c_str())), longName);
  EXPECT_EQ(GlobalSize(result), (38 + 802 + 1) * sizeof(WCHAR));
  GlobalFree(result);
  EXPECT_EQ(SetPairValue(nullptr, u"a", u"b"), nullptr);
  EXPECT_EQ(SetPairValue(kList.c_str(), nullptr, u"b"), nullptr);
  SimFailNthAllocation(1);
  EXPECT_EQ(SetPairValue(kList.c_str(), u"a", u"b"), nullptr);
}

}  // namespace
