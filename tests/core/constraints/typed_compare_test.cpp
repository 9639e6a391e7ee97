#include <gtest/gtest.h>

#include "core/common/typed_compare.h"
#include "core/constraints/rule_compare.h"

namespace {

struct TypedCase {
  ValueTypeCode type;
  DWORD a;
  DWORD b;
  SHORT expected;
};

TEST(CompareTypedValues, NumbersBySignednessOfTheirType) {
  const TypedCase cases[] = {
      {kTypeUInt8, 0xFF, 0x01, 1},            // bytes are unsigned
      {kTypeInt16, 0xFFFF, 1, -1},            // -1 < 1
      {kTypeUInt16, 0xFFFF, 1, 1},            // 65535 > 1
      {kTypeInt32, 0xFFFFFFFF, 1, -1},        {kTypeFlag, 0xFFFFFFFF, 1, -1},
      {kTypeFontField, 5, 5, 0},              {kTypeUInt32, 0xFFFFFFFF, 1, 1},
      {kTypeInt16, 0x10005, 0x20005, 0},      // only the low 16 bits count
      {7, 1, 1, 2},                           {kTypeFont, 1, 1, 2},
      {0, 1, 1, 2},                           {11, 1, 1, 2},
  };
  for (const TypedCase& c : cases)
    EXPECT_EQ(CompareTypedValues(c.type, &c.a, &c.b), c.expected) << "type " << c.type << " " << c.a << " " << c.b;
  DWORD v = 1;
  EXPECT_EQ(CompareTypedValues(kTypeInt32, nullptr, &v), 2);
  EXPECT_EQ(CompareTypedValues(kTypeInt32, &v, nullptr), 2);
}

TEST(CompareTypedValues, StringsThroughTheirAddresses) {
  LPCWSTR a = u"Letter", b = u"Letter", c = u"A4", none = nullptr;
  EXPECT_EQ(CompareTypedValues(kTypeString, &a, &b), 0);
  EXPECT_EQ(CompareTypedValues(kTypeString, &a, &c), 1);
  EXPECT_EQ(CompareTypedValues(kTypeString, &c, &a), -1);
  EXPECT_EQ(CompareTypedValues(kTypeString, &a, &none), 2);
}

struct RuleCase {
  BYTE op;
  ValueTypeCode type;
  LONG rule;
  LONG current;
  WORD expected;
};

TEST(CompareRuleValue, EveryOperatorAndType) {
  const RuleCase cases[] = {
      // equality family: 0, 1, 7, 8, 10, 11, 12
      {0, kTypeInt16, 3, 3, kRuleHolds},          {1, kTypeInt16, 3, 4, kRuleFails},
      {7, kTypeUInt16, 256, 256, kRuleHolds},     {8, kTypeUInt16, 256, 9, kRuleFails},
      {10, kTypeInt32, -5, -5, kRuleHolds},       {11, kTypeUInt8, 2, 2, kRuleHolds},
      {12, kTypeFlag, 1, 0, kRuleFails},          {2, kTypeFlag, 1, 0, kRuleHolds},
      {2, kTypeInt16, 3, 3, kRuleFails},
      // orderings: the rule value against the current value
      {3, kTypeInt16, 1, -1, kRuleHolds},         {3, kTypeUInt16, 1, 0xFFFF, kRuleFails},
      {4, kTypeInt32, 7, 7, kRuleHolds},          {5, kTypeInt32, -7, 7, kRuleHolds},
      {5, kTypeUInt32, -7, 7, kRuleFails},        {6, kTypeUInt8, 9, 9, kRuleHolds},
      {6, kTypeFontField, 10, 9, kRuleFails},     {5, kTypeUInt8, 0x01, 0xFF, kRuleHolds},
      // flags support only equality
      {3, kTypeFlag, 1, 0, kRuleUnsupported},     {6, kTypeFlag, 1, 0, kRuleUnsupported},
      // unsupported operators and types
      {9, kTypeInt16, 1, 1, kRuleUnsupported},    {13, kTypeInt16, 1, 1, kRuleUnsupported},
      {1, 7, 1, 1, kRuleBadType},                {1, kTypeFont, 1, 1, kRuleBadType},
  };
  for (const RuleCase& c : cases)
    EXPECT_EQ(CompareRuleValue(c.op, c.type, &c.rule, c.type, &c.current), c.expected)
        << "op " << int(c.op) << " type " << c.type << " " << c.rule << " vs " << c.current;
  LONG v = 1;
  EXPECT_EQ(CompareRuleValue(1, kTypeInt16, &v, kTypeUInt16, &v), kRuleTypeMismatch);
  EXPECT_EQ(CompareRuleValue(1, kTypeInt16, nullptr, kTypeInt16, &v), kRuleMissingValue);
}

TEST(CompareRuleValue, StringsOnlyEqualOrNot) {
  EXPECT_EQ(CompareRuleValue(1, kTypeString, u"Draft", kTypeString, u"Draft"), kRuleHolds);
  EXPECT_EQ(CompareRuleValue(1, kTypeString, u"Draft", kTypeString, u"draft"), kRuleFails);
  EXPECT_EQ(CompareRuleValue(2, kTypeString, u"Draft", kTypeString, u"draft"), kRuleHolds);
  EXPECT_EQ(CompareRuleValue(3, kTypeString, u"B", kTypeString, u"A"), kRuleUnsupported);
  EXPECT_EQ(CompareRuleValue(1, kTypeString, nullptr, kTypeString, u"A"), kRuleMissingValue);
}

}  // namespace
