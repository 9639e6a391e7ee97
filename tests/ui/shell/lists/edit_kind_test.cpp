// The edit kind: the fixed-point parse of typed numbers.
#include <gtest/gtest.h>

#include "tests/ui/shell/lists/lists_fixture.h"

namespace lists_test {
namespace {

TEST(FixedPointText, TypedNumbersAndRefusals) {
  const DWORD half = kEditSigned | kEditDecimal | kEditHalfSteps;
  const DWORD plain = kEditSigned | kEditDecimal;
  const struct Case {
    const char* text;
    WORD decimals;
    DWORD flags;
    int ok;
    LONG value;
  } cases[] = {
      {"2.3", 1, half, 1, 20},          {"2.7", 1, half, 1, 25},
      {"2.5", 1, half, 1, 25},          {"2.0", 1, half, 1, 20},
      {"2.34", 1, plain, 0, 0},         {"2.34", 1, plain | kEditTolerant, 1, 23},
      {"-0.5", 1, plain, 1, -5},        {"12", 2, plain, 1, 1200},
      {".5", 1, plain, 1, 5},           {"1.", 1, plain, 1, 10},
      {"1.2.3", 1, plain, 0, 0},        {"", 1, plain, 0, 0},
      {".", 1, plain, 0, 0},            {"a.5", 1, plain, 0, 0},
      {"-1.5", 1, kEditUnsigned | kEditDecimal, 0, 0},
      {"2147483647.5", 1, plain, 0, 0}, {"429496729.5", 1, plain, 1, LONG(4294967295u)},
      {"429496729.6", 1, plain, 0, 0},  {"12345678901", 0, plain, 0, 0},
      {"2.36", 2, half, 1, 206},        {"2.74", 2, half, 1, 254},
  };
  for (const Case& c : cases) {
    LONG value = 0;
    EXPECT_EQ(ParseFixedPointText(c.text, c.decimals, c.flags, &value), c.ok) << c.text;
    if (c.ok) EXPECT_EQ(value, c.value) << c.text;
  }
}

}  // namespace
}  // namespace lists_test
