// The tray rules' conditions against a device query's apply list: one condition per operator
// and type, and the walk over clauses and either-or groups.
#include <gtest/gtest.h>

#include <vector>

#include "ui/pages/device_conditions.h"

namespace {

constexpr ConditionResult T = ConditionResult::kTrue;
constexpr ConditionResult F = ConditionResult::kFalse;
constexpr ConditionResult U = ConditionResult::kUndecidable;

WCHAR gFinisher[] = u"Finisher B";

// Items 100..107 hold one value of each type the conditions know.
const ConfigEntry kApply[] = {
    {100, 2, 2, {.number = 0xFFFE}},      // signed 16: -2
    {101, 3, 2, {.number = 0xFFFE}},      // unsigned 16: 65534
    {102, 4, 4, {.number = 0xFFFFFFFF}},  // signed 32: -1
    {103, 5, 4, {.number = 0xFFFFFFFF}},  // unsigned 32
    {104, 8, 1, {.number = 7}},           // unsigned 8
    {105, 1, 4, {.number = 9}},           // 32-bit, equality only
    {106, 6, 22, {.text = gFinisher}},    // text
    {107, 10, 4, {.number = 0x80000000}}, // signed 32: minimum
    {108, 3, 4, {.number = 5}},           // size does not fit the type
};

TrayCondition Number(SettingItemId item, ValueTypeCode type, WORD comparison, DWORD constant, WORD connector = 1) {
  return {item, type, comparison, connector, true, constant, nullptr};
}

struct ConditionCase {
  const char* name;
  TrayCondition condition;
  ConditionResult expected;
};

const ConditionCase kConditionCases[] = {
    {"SignedLessThanZeroConstantGreater", Number(100, 2, 3, 0), T},
    {"SignedEqualNegative", Number(100, 2, 1, 0xFFFE), T},
    {"UnsignedLargeValueConstantGreaterIsFalse", Number(101, 3, 3, 0), F},
    {"UnsignedLessOrEqual", Number(101, 3, 6, 65534), T},
    {"Signed32ConstantLessOrEqualMinusOne", Number(102, 4, 6, 0xFFFFFFFF), T},
    {"Signed32ConstantGreaterOrEqualZero", Number(102, 4, 4, 0), T},
    {"Unsigned32ConstantLess", Number(103, 5, 5, 1), T},
    {"Unsigned32ConstantGreaterIsFalse", Number(103, 5, 3, 1), F},
    {"ByteNotEqual", Number(104, 8, 2, 6), T},
    {"ByteEqual", Number(104, 8, 1, 7), T},
    {"Type10SignedMinimum", Number(107, 10, 5, 0), F},
    {"Type10ConstantGreaterThanMinimum", Number(107, 10, 3, 0), T},
    {"Number32Equal", Number(105, 1, 1, 9), T},
    {"Number32NotEqual", Number(105, 1, 2, 9), F},
    {"Number32KnowsNoOrder", Number(105, 1, 3, 9), U},
    {"OperatorsSevenToTwelveButNineAreEqual", Number(104, 8, 11, 7), T},
    {"OperatorSevenUnequalIsFalse", Number(104, 8, 7, 8), F},
    {"OperatorNineUnknown", Number(104, 8, 9, 7), U},
    {"OperatorZeroUnknown", Number(104, 8, 0, 7), U},
    {"OperatorThirteenUnknown", Number(104, 8, 13, 7), U},
    {"MissingEntry", Number(199, 8, 1, 7), U},
    {"TypeDiffers", Number(104, 3, 1, 7), U},
    {"SizeDoesNotFitType", Number(108, 3, 1, 5), U},
    {"NoConstantIsFalse", {104, 8, 1, 1, false, 7, nullptr}, F},
    {"TextEqual", {106, 6, 1, 1, true, 0, u"Finisher B"}, T},
    {"TextNotEqual", {106, 6, 2, 1, true, 0, u"Finisher A"}, T},
    {"TextEqualDiffers", {106, 6, 1, 1, true, 0, u"Finisher"}, F},
    {"TextKnowsNoOrder", {106, 6, 4, 1, true, 0, u"Finisher B"}, U},
    {"TextWithoutConstantIsFalse", {106, 6, 1, 1, true, 0, nullptr}, F},
};

TEST(DeviceConditionTest, OneCondition) {
  for (const ConditionCase& c : kConditionCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EvaluateCondition(c.condition, kApply), c.expected);
  }
}

// Conditions on item 104 (value 7): true with constant 7, false with 8, undecidable with
// operator 9.
TrayCondition Yes(WORD connector) { return Number(104, 8, 1, 7, connector); }
TrayCondition No(WORD connector) { return Number(104, 8, 1, 8, connector); }
TrayCondition Unknown(WORD connector) { return Number(104, 8, 9, 7, connector); }

struct ListCase {
  const char* name;
  std::vector<TrayCondition> conditions;
  ConditionResult expected;
};

TEST(DeviceConditionTest, ConditionLists) {
  const ListCase cases[] = {
      {"EmptyListHolds", {}, T},
      {"SingleTrue", {Yes(1)}, T},
      {"SingleFalse", {No(1)}, F},
      {"AndBothTrue", {Yes(1), Yes(3)}, T},
      {"AndOneFalse", {Yes(1), No(3)}, F},
      {"FirstOfEitherOrTrueSkipsTheRest", {Yes(2), Unknown(2), Unknown(3)}, T},
      {"FirstTwoFalseThirdDecidesTrue", {No(2), No(2), Yes(3)}, T},
      {"FirstTwoFalseThirdDecidesFalse", {No(2), No(2), No(3)}, F},
      {"SecondOfEitherOrTrue", {No(2), Yes(2), Unknown(4)}, T},
      {"FalseClauseThenTrueClause", {No(1), Unknown(3), Yes(4)}, T},
      {"TrueClauseEndsTheWalk", {Yes(3), Unknown(1)}, T},
      {"FalseClauseThenFalseClause", {Yes(1), No(3), No(4)}, F},
      {"UnknownMetMakesListUndecidable", {Yes(1), Unknown(3)}, U},
      {"FalseWithoutLaterEndResumesAfterIt", {No(1), Yes(1)}, T},
      {"EitherOrGroupThenAnd", {No(2), Yes(1), No(3)}, F},
      {"EitherOrGroupClosedThenAndHolds", {Yes(2), No(1), Yes(3)}, T},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EvaluateConditionList(c.conditions, kApply), c.expected);
  }
}

// Source 1 sits on tray 2 with option 104 at 7, else on tray 3; source 3 only under a rule
// that cannot be evaluated; source 4 under a rule without conditions.
TEST(DeviceConditionTest, SourceTrayIndex) {
  const TrayCondition optionAbsent[] = {No(1)};
  const TrayCondition optionPresent[] = {Yes(1)};
  const TrayCondition unknown[] = {Unknown(1)};
  const SourceTrayPair absentPairs[] = {{1, 3}, {2, 5}};
  const SourceTrayPair presentPairs[] = {{1, 2}};
  const SourceTrayPair unknownPairs[] = {{3, 4}};
  const SourceTrayPair alwaysPairs[] = {{4, 6}, {1, 9}};
  const TrayRule rules[] = {
      {optionAbsent, absentPairs}, {unknown, unknownPairs}, {optionPresent, presentPairs}, {{}, alwaysPairs}};
  struct {
    WORD source;
    WORD tray;
  } const cases[] = {{1, 2}, {2, 0}, {3, 0}, {4, 6}, {7, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(FindSourceTrayIndex(c.source, rules, kApply), c.tray);
  }
}

}  // namespace
