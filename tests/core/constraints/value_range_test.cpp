// The range check of numeric controls (fixed ranges of the font items, list ranges of the
// model), the stamp requests and the answers by control kind.
#include <gtest/gtest.h>

#include <string>

#include "core/constraints/value_range.h"
#include "items/item_ids.h"
#include "tests/support/rule_check_fixture.h"
#include "tests/support/model_files.h"

namespace {

// Ranges the sample model does not have: items whose shown values are positions (268) or sizes
// (303, 268), and a range stored in fewer bytes than its values (269).
const char kRangeModel[] = R"(model "Ranges"
version "T:1.0.0"
level 0x1600
list 268 name="Offset" kind=4 default=0 choices=[1 2 3]
list 303 name="Margin" kind=4 default=0 choices=[4 5 6]
list 269 name="Short" kind=4 default=0 choices=[7 8 9]
choice 1 name="Minimum" value=u16:20
choice 2 name="Maximum" value=u16:190
choice 3 name="Step" value=u16:10
choice 4 name="Minimum" value=u16:0
choice 5 name="Maximum" value=u16:254
choice 6 name="Step" value=u16:1
choice 7 name="Minimum" value=u8:0
choice 8 name="Maximum" value=u8:9
choice 9 name="Step" value=u8:1
)";

class ValueRange : public RuleCheckTest {
 protected:
  // Opens the range model as a second store.
  ItemStore* OpenRangeModel() { return OpenModelText(kRangeModel, u"RANGE.DDD"); }
  static std::u16string Text(const RangeCheckResult& r) { return r.text; }
};

struct RangeCase {
  const char* name;
  SettingItemId id;
  ValueTypeCode type;
  DWORD value;
  WORD flags;
  LONG unitMode;
  LONG decimals;
  WORD status;
  // When out of range:
  const char16_t* text = u"";
  LONG minimum = 0;
  LONG maximum = 0;
  WORD scale = 0;
  LONG integerFlag = 0;
  WORD valueType = 0;
};

void ExpectRange(const RangeCase& c, WORD status, WORD kind, const RangeCheckResult& r) {
  SCOPED_TRACE(c.name);
  ASSERT_EQ(status, c.status);
  if (status != kControlShowMessage) return;
  EXPECT_EQ(kind, 2);
  EXPECT_EQ(std::u16string(r.text), c.text);
  EXPECT_EQ(r.minimum, c.minimum);
  EXPECT_EQ(r.maximum, c.maximum);
  EXPECT_EQ(r.scale, c.scale);
  EXPECT_EQ(r.integerFlag, c.integerFlag);
  EXPECT_EQ(r.valueType, c.valueType);
}

RangeCheckResult Input(const RangeCase& c) {
  RangeCheckResult r{};
  lstrcpyW(r.text, u"stale");
  r.flags = c.flags;
  r.unitMode = c.unitMode;
  r.decimals = c.decimals;
  return r;
}

TEST_F(ValueRange, FixedAndListRangesOfTheSample) {
  constexpr const char16_t* kWhole = u"Enter a whole number from %d to %d.";
  constexpr const char16_t* kTenths = u"Enter a value from %d to %d.";
  const RangeCase cases[] = {
      {"385 shown in points", 385, kTypeUInt16, 300, 4, 0, 0, 11, kWhole, 5, 24, 1, 1, kTypeUInt16},
      {"385 in range", 385, kTypeUInt16, 240, 4, 0, 0, 9},
      {"385 as unsigned", 385, kTypeInt16, 0xFFFF, 4, 0, 0, 11, kWhole, 5, 24, 1, 1, kTypeInt16},
      {"306 in range", 306, kTypeFontField, 7, 4, 0, 0, 9},
      {"306 too large", 306, kTypeFontField, 601, 4, 0, 0, 11, kWhole, 7, 600, 1, 1, kTypeFontField},
      {"359 too small", 359, kTypeFontField, 4, 4, 0, 0, 11, kWhole, 5, 24, 1, 1, kTypeFontField},
      {"359 in range", 359, kTypeFontField, 24, 4, 0, 0, 9},
      {"309 below", 309, kTypeFontField, DWORD(-901), 4, 0, 0, 11, kTenths, -900, 900, 10, 1, kTypeFontField},
      {"311 at the top", 311, kTypeFontField, 900, 4, 0, 0, 9},
      {"no fixed range", 274, kTypeInt16, 0, 4, 0, 0, 1},
      {"list in range", 274, kTypeInt16, DWORD(-3), 0, 0, 0, 9},
      {"list above", 274, kTypeInt16, 4, 0, 0, 0, 11, u"", -3, 3, 1, 1, kTypeInt32},
      {"list below", 274, kTypeInt16, DWORD(-4), 0, 0, 0, 11, u"", -3, 3, 1, 1, kTypeInt32},
      {"decimals need a conversion", 274, kTypeInt16, 4, 0, 0, 2, 11, u"", -3, 3, 1, 1, kTypeInt32},
      {"positions with decimals", 274, kTypeInt16, 4, 1, 0, 2, 11, u"", -3, 3, 100, 0, kTypeInt32},
      {"units with decimals", 274, kTypeInt16, 4, 2, 0, 7, 11, u"", -3, 3, 10000, 0, kTypeInt32},
      {"scale without poster", 263, kTypeUInt16, 9999, 0, 0, 0, 9},
  };
  for (const RangeCase& c : cases) {
    RangeCheckResult r = Input(c);
    WORD kind = 0;
    const ItemChange change{c.id, c.type, &c.value};
    const WORD status = CheckValueRange(&context_, &change, state_, &kind, &r);
    ExpectRange(c, status, kind, r);
  }
  // Item 263 is checked against its list (25 to 400) once item 1281 is set.
  SetNumber(kItemZoomOn, kTypeFlag, 1);
  const DWORD scale = 100, tooLarge = 500;
  const ItemChange change{263, kTypeUInt16, &scale};
  const ItemChange outside{263, kTypeUInt16, &tooLarge};
  RangeCheckResult r{};
  WORD kind = 0;
  EXPECT_EQ(CheckValueRange(&context_, &change, state_, &kind, &r), kControlProceed);
  EXPECT_EQ(CheckValueRange(&context_, &outside, state_, &kind, &r), kControlShowMessage);
  EXPECT_EQ(r.maximum, 400);
  const ItemChange none{274, kTypeInt16, nullptr};
  EXPECT_EQ(CheckValueRange(&context_, &none, state_, &kind, &r), kControlRefused);
  EXPECT_EQ(CheckValueRange(nullptr, &change, state_, &kind, &r), kCheckFailed);
  EXPECT_EQ(CheckValueRange(&context_, nullptr, state_, &kind, &r), kCheckFailed);
  EXPECT_EQ(CheckValueRange(&context_, &change, nullptr, &kind, &r), kCheckFailed);
  EXPECT_EQ(CheckValueRange(&context_, &change, state_, nullptr, &r), kCheckFailed);
  EXPECT_EQ(CheckValueRange(&context_, &change, state_, &kind, nullptr), kCheckFailed);
}

TEST_F(ValueRange, ShownPositionsAndUnits) {
  ItemStore* ranges = OpenRangeModel();
  ASSERT_NE(ranges, nullptr);
  const SettingsContext context{ranges, settings_.get(), config_.get()};
  const RangeCase cases[] = {
      {"stored tenths", 268, kTypeUInt16, 200, 0, 0, 0, 11, u"", 20, 190, 1, 1, kTypeInt32},
      {"positions", 268, kTypeUInt16, 200, 1, 0, 0, 11, u"", 2, 19, 1, 1, kTypeInt32},
      {"clamped inches", 268, kTypeUInt16, 200, 2, 1, 0, 11, u"", 8, 19, 1, 1, kTypeInt32},
      {"inches", 303, kTypeUInt16, 255, 2, 1, 2, 11, u"", 0, 100, 100, 0, kTypeInt32},
      {"units need mode 1", 303, kTypeUInt16, 255, 2, 0, 0, 11, u"", 0, 254, 1, 1, kTypeInt32},
      {"inside", 303, kTypeUInt16, 254, 2, 1, 0, 9},
      {"values shorter than read", 269, kTypeUInt16, 5, 0, 0, 0, 1},
      {"32-bit values of 16", 303, kTypeUInt32, 5, 0, 0, 0, 1},
  };
  for (const RangeCase& c : cases) {
    RangeCheckResult r = Input(c);
    WORD kind = 0;
    const ItemChange change{c.id, c.type, &c.value};
    const WORD status = CheckValueRange(&context, &change, state_, &kind, &r);
    ExpectRange(c, status, kind, r);
  }
  CloseItemStore(ranges);
}

TEST_F(ValueRange, ControlKindsAndStampRequests) {
  WORD kind = 0;
  RangeCheckResult r{};
  const DWORD inside = 0;
  const DWORD outside = 9;
  const ItemChange brightness{274, kTypeInt16, &inside};
  const ItemChange tooBright{274, kTypeInt16, &outside};
  // Kind 12 shows a notice for a value in range, the range message otherwise; kind 8 passes it.
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &brightness, state_, 12, &kind, &r), kControlShowMessage);
  EXPECT_EQ(kind, 1);
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &tooBright, state_, 12, &kind, &r), kControlShowMessage);
  EXPECT_EQ(kind, 2);
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &brightness, state_, 8, &kind, &r), kControlProceed);
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &tooBright, state_, 8, &kind, &r), kControlShowMessage);
  EXPECT_EQ(kind, 2);

  const ItemChange stampList{272, kTypeUInt16, &inside};
  const ItemChange add{0x9001, 0, nullptr};
  const ItemChange other{297, 0, nullptr};
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &stampList, state_, 16, &kind, &r), kControlProceed);
  FillStamps(31);
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &add, state_, 16, &kind, &r), kControlRefused);
  FillStamps(32);
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &add, state_, 16, &kind, &r), kControlShowMessage);
  EXPECT_EQ(kind, 3);
  EXPECT_EQ(CheckConstraintByKind(nullptr, &context_, &add, state_, 16, &kind, &r), kCheckFailed);
  EXPECT_EQ(CheckConstraintByKind(bare_, &context_, &add, state_, 16, &kind, &r), kCheckFailed);
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &other, state_, 16, &kind, &r), kCheckFailed);

  const struct {
    WORD control;
    WORD status;
    WORD kind;
  } kinds[] = {{1, 3, 1}, {4, 11, 1}, {36, 11, 1}, {132, 11, 1}, {68, 11, 4}, {100, 11, 4}, {2, 1, 1}, {0, 1, 1}};
  for (const auto& k : kinds) {
    kind = 0;
    EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &add, state_, k.control, &kind, &r), k.status) << k.control;
    EXPECT_EQ(kind, k.kind) << k.control;
  }
  EXPECT_EQ(CheckConstraintByKind(printer_, nullptr, &add, state_, 1, &kind, &r), kCheckFailed);
  EXPECT_EQ(CheckConstraintByKind(printer_, &context_, &add, state_, 1, nullptr, &r), kCheckFailed);
}

}  // namespace
