// The labels of rows: the accelerator placed in a label, a label string of the resources and
// a setting item's name from the sample's description database.
#include <gtest/gtest.h>

#include <string>

#include "tests/ui/framework/dialog/dialog_fixture.h"
#include "ui/framework/dialog/row_labels.h"

namespace dialog_test {
namespace {

constexpr LONG kPatternC = 9002, kSuffix = 9003, kLabelString = 9004, kPatternWithoutLetter = 9005;
constexpr int kLabelSize = 257;

using LabelTest = DialogTest;

struct AcceleratorCase {
  const char16_t* label;
  LONG pattern;
  LONG suffix;
  const char16_t* extra;
  const char16_t* expected;
};

TEST_F(LabelTest, AcceleratorPlacedBeforeTheFirstLetterInEitherCase) {
  const AcceleratorCase cases[] = {
      {u"Color Mode", kPatternC, kSuffix, nullptr, u"&Color Mode..."},
      {u"Scale", kPatternC, kNoString, nullptr, u"S&cale"},
      // Without the letter: the extra text, then the pattern, then the suffix.
      {u"Paper", kPatternC, kSuffix, u" [A4]", u"Paper [A4] (&c)..."},
      // A marker at the end of the pattern names no letter.
      {u"Copies", kPatternWithoutLetter, kNoString, nullptr, u"Copies (&"},
      {u"Copies", kNoString, kNoString, nullptr, u"Copies"},
      {u"", kPatternC, kSuffix, nullptr, u" (&c)..."},
  };
  for (const AcceleratorCase& c : cases) {
    WCHAR text[kLabelSize];
    ASSERT_EQ(FormatAcceleratorLabel(resources_, text, kLabelSize, c.label, c.pattern, c.suffix, c.extra), 1);
    EXPECT_EQ(std::u16string(text), c.expected) << std::u16string(c.label).size();
  }
  WCHAR text[kLabelSize];
  EXPECT_EQ(FormatAcceleratorLabel(nullptr, text, kLabelSize, u"Copies", kPatternC, kSuffix, nullptr), 0);
  EXPECT_EQ(FormatAcceleratorLabel(resources_, nullptr, kLabelSize, u"Copies", kPatternC, kSuffix, nullptr), 0);
}

TEST_F(LabelTest, LongNamesAreCutToTheOutput) {
  const std::u16string name(400, u'x');
  WCHAR text[kLabelSize];
  text[kLabelSize - 1] = u'#';
  ASSERT_EQ(FormatAcceleratorLabel(resources_, text, kLabelSize, name.c_str(), kPatternC, kSuffix, nullptr), 1);
  EXPECT_EQ(std::u16string(text), name.substr(0, kLabelSize - 1));
  WCHAR small[8];
  ASSERT_EQ(FormatAcceleratorLabel(resources_, small, 8, u"Collate", kPatternC, kSuffix, nullptr), 1);
  EXPECT_EQ(std::u16string(small), u"&Collat");
}

TEST_F(LabelTest, LabelStringsOfTheResources) {
  WCHAR text[kLabelSize];
  ASSERT_EQ(FormatLabelById(resources_, text, kLabelSize, kLabelString, kPatternC, kSuffix, u"!"), 1);
  EXPECT_EQ(std::u16string(text), u"&Color printing!...");
  EXPECT_EQ(FormatLabelById(resources_, text, kLabelSize, kNoString, kPatternC, kSuffix, nullptr), 0);
  EXPECT_EQ(FormatLabelById(nullptr, text, kLabelSize, kLabelString, kPatternC, kSuffix, nullptr), 0);
}

TEST_F(LabelTest, ItemNamesFromTheDescriptionDatabase) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND general, HandlerContext*) {
    WCHAR text[kLabelSize];
    ASSERT_EQ(FormatItemLabel(general, text, kLabelSize, 270, kPatternC, kSuffix, nullptr), 1);
    EXPECT_EQ(std::u16string(text), u"&Color Mode...");
    // An item the database does not name, and a window without a sheet.
    EXPECT_EQ(FormatItemLabel(general, text, kLabelSize, 40000, kPatternC, kSuffix, nullptr), 0);
    EXPECT_EQ(FormatItemLabel(nullptr, text, kLabelSize, 270, kPatternC, kSuffix, nullptr), 0);
  });
}

}  // namespace
}  // namespace dialog_test
