// Value texts: typed numbers with decimals, paper sizes in millimetres and inches, and the
// display texts of items on the sample model and on models whose texts are in code pages 1252
// and 932, including texts cut at the end of a short buffer.
#include <string>
#include <vector>

#include "core/messages/formatted_strings.h"
#include "core/messages/value_texts.h"
#include "core/runtime/resource_module.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/model_files.h"
#include "tests/support/rule_check_fixture.h"

namespace {

constexpr MeasurementFlags kMillimetres{0, 0};
constexpr MeasurementFlags kInches{1, 0};
constexpr MeasurementFlags kInchesOneDecimal{1, 1};

TEST(ValueTextTest, NumbersWithDecimals) {
  enum Form { kPadded, kPlain };
  const struct Case {
    Form form;
    ValueTypeCode type;
    DWORD value;
    WORD divisor;
    BOOL wholeOnly;
    int capacity;
    BOOL made;
    const char16_t* text;
  } cases[] = {
      {kPadded, kTypeInt32, 1234, 100, FALSE, 32, TRUE, u"12.34"},
      {kPadded, kTypeInt32, 1205, 100, FALSE, 32, TRUE, u"12.05"},
      {kPadded, kTypeInt32, 1200, 100, FALSE, 32, TRUE, u"12.00"},
      {kPadded, kTypeInt32, 1234, 100, TRUE, 32, TRUE, u"12"},
      {kPadded, kTypeInt32, 1005, 1000, FALSE, 32, TRUE, u"1.005"},
      {kPadded, kTypeInt32, 23, 12, FALSE, 32, TRUE, u"1.11"},     // more decimals than places: no zeros
      {kPadded, kTypeInt32, 7, 1000, FALSE, 32, TRUE, u"0.007"},
      {kPlain, kTypeInt32, 1205, 100, FALSE, 32, TRUE, u"12.5"},
      {kPlain, kTypeInt32, 125, 10, FALSE, 32, TRUE, u"12.5"},
      {kPlain, kTypeInt32, 1205, 100, TRUE, 32, TRUE, u"12"},
      {kPadded, kTypeInt16, static_cast<WORD>(-25), 10, FALSE, 32, TRUE, u"-2.5"},
      {kPadded, kTypeInt16, static_cast<WORD>(-5), 10, FALSE, 32, TRUE, u"-0.5"},   // the sign is kept
      {kPlain, kTypeInt16, static_cast<WORD>(-105), 100, FALSE, 32, TRUE, u"-1.5"},
      {kPadded, kTypeInt16, static_cast<WORD>(-5), 10, TRUE, 32, TRUE, u"0"},
      {kPadded, kTypeInt16, 0xFFFF, 1, FALSE, 32, TRUE, u"-1"},
      {kPadded, kTypeUInt16, 0xFFFF, 1, FALSE, 32, TRUE, u"65535"},
      {kPadded, kTypeUInt16, 0xFFFF, 100, FALSE, 32, TRUE, u"655.35"},
      {kPadded, kTypeUInt32, 0xFFFFFFFF, 1, FALSE, 32, TRUE, u"4294967295"},
      {kPlain, kTypeUInt32, 0xFFFFFFFF, 100, FALSE, 32, TRUE, u"42949672.95"},
      {kPadded, kTypeInt32, 0x80000000, 1, FALSE, 32, TRUE, u"-2147483648"},
      {kPadded, kTypeUInt8, 0xFF, 1, FALSE, 32, TRUE, u"255"},
      {kPadded, kTypeUInt8, 0x05, 10, FALSE, 32, TRUE, u"0.5"},
      {kPadded, kTypeFontField, static_cast<DWORD>(-7), 1, FALSE, 32, TRUE, u"-7"},
      {kPadded, kTypeFlag, 1, 1, FALSE, 32, FALSE, u""},  // types without a number text
      {kPadded, kTypeFont, 1, 1, FALSE, 32, FALSE, u""},
      {kPadded, kTypeInt32, 1234, 0, FALSE, 32, FALSE, u""},  // no divisor
      {kPadded, kTypeInt32, 1234, 100, FALSE, 4, TRUE, u"12."},  // cut at the buffer's end
      {kPlain, kTypeUInt32, 4294967295u, 1, FALSE, 5, TRUE, u"4294"},
      {kPadded, kTypeInt32, 1234, 100, FALSE, 1, TRUE, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " value " << c.value << " / " << c.divisor
                                    << (c.form == kPadded ? " padded" : " plain") << " in " << c.capacity);
    WCHAR text[33];
    std::fill(std::begin(text), std::end(text), u'#');
    const BOOL made = c.form == kPadded ? ValueToText(&c.value, c.type, c.wholeOnly, text, c.capacity, c.divisor)
                                        : ValueToTextPlain(c.wholeOnly, text, c.capacity, c.divisor, c.type, &c.value);
    EXPECT_EQ(made, c.made);
    EXPECT_EQ(std::u16string(text), c.text);
    EXPECT_EQ(text[c.capacity], u'#');  // nothing written beyond the buffer
  }
  // A string is its own text, cut like any other.
  LPCWSTR string = u"Job A";
  WCHAR text[8];
  EXPECT_TRUE(ValueToTextPlain(FALSE, text, 8, 1, kTypeString, &string));
  EXPECT_EQ(std::u16string(text), u"Job A");
  EXPECT_TRUE(ValueToText(&string, kTypeString, FALSE, text, 4, 100));
  EXPECT_EQ(std::u16string(text), u"Job");
  EXPECT_FALSE(ValueToText(nullptr, kTypeInt32, FALSE, text, 8, 1));
  EXPECT_FALSE(ValueToText(&string, kTypeInt32, FALSE, nullptr, 8, 1));
}

class ValueTextItemsTest : public RuleCheckTest {
 protected:
  std::u16string ItemText(BOOL details, SettingItemId id, const void* value, const MeasurementFlags& flags,
                          int capacity, BOOL* made, ItemStore* store) {
    std::vector<WCHAR> text(capacity + 1, u'#');
    const SettingsContext context{store, settings_.get(), config_.get()};
    *made = GetItemValueText(details, GetResourceModule(), &context, text.data(), capacity, id, value, &flags);
    EXPECT_EQ(text[capacity], u'#');
    return text.data();
  }
};

// Models whose names are in a code page: one paper list with a name of two lines, and the
// information item 327.
std::string CodePageModel(int codePage, const std::string& listName, const std::string& paperName,
                          const std::string& info) {
  return "model \"Texts\"\nversion \"T:1.0.0\"\nlevel 0x1600\ncodepage " + std::to_string(codePage) +
         "\n"
         "list 8 name=\"" + listName + "\" kind=1 default=1 choices=[1 2]\n"
         "choice 1 name=\"" + paperName + "\" value=i16:9\n"
         "choice 2 name=\"Two\\nLines\" value=i16:11\n"
         "list 327 name=\"" + info + "\" kind=1 default=1 choices=[3]\n"
         "choice 3 name=\"On\" value=u16:1\n"
         "list 298 name=\"Stamp\" kind=2 default=1 choices=[4]\n"
         "choice 4 name=\"Secret stamp\" value=str:\"Secret\"\n";
}

TEST_F(ValueTextItemsTest, ItemsValuesUnitsAndCodePages) {
  SetText(5929, u"My Paper");
  SetNumber(5889, kTypeUInt16, 1000);  // slot 0: 100 x 148 mm, 3.94 x 5.83 in (rounded)
  SetNumber(5909, kTypeUInt16, 1480);
  enum Model { kSample, kModel1252, kModel932 };
  const WORD a4 = 9, userPaper = 262, sameAsPaper = 267, bypass = 4, tray3 = 3, driverTray3 = 265, twoLines = 11;
  const WORD copies = 5, tenths = 125, unlisted = 17;
  LPCWSTR job = u"Job A";
  LPCWSTR secret = u"Secret";
  LPCWSTR empty = u"";
  const struct Case {
    const char* what;
    Model model;
    SettingItemId id;
    const void* value;
    BOOL details;
    MeasurementFlags flags;
    int capacity;
    BOOL made;
    const char16_t* text;
  } cases[] = {
      {"an item's name", kSample, 8, nullptr, FALSE, kMillimetres, 64, TRUE, u"Paper Size"},
      {"a value's name", kSample, 8, &a4, FALSE, kMillimetres, 64, TRUE, u"A4"},
      {"a user paper in millimetres", kSample, 8, &userPaper, FALSE, kMillimetres, 64, TRUE, u"My Paper 100 x 148 mm"},
      {"a user paper in inches", kSample, 8, &userPaper, FALSE, kInches, 64, TRUE, u"My Paper 3.94 x 5.83 in"},
      {"a user paper in inches, one decimal", kSample, 8, &userPaper, FALSE, kInchesOneDecimal, 64, TRUE,
       u"My Paper 3.9 x 5.8 in"},
      {"the output paper as a user paper", kSample, 262, &userPaper, FALSE, kMillimetres, 64, TRUE,
       u"My Paper 100 x 148 mm"},
      {"the output paper as the paper size", kSample, 262, &sameAsPaper, FALSE, kMillimetres, 64, TRUE,
       u"Same as Paper Size"},
      {"a number", kSample, 12, &copies, FALSE, kMillimetres, 64, TRUE, u"5"},
      {"a number in tenths", kSample, 268, &tenths, FALSE, kMillimetres, 64, TRUE, u"12.5"},
      {"a source with its custom sizes", kSample, 13, &bypass, TRUE, kMillimetres, 64, TRUE,
       u"Bypass Tray (custom sizes 90-304 x 139-1200 mm)"},
      {"a source without details", kSample, 13, &bypass, FALSE, kMillimetres, 64, TRUE, u"Bypass Tray"},
      {"a source that takes no custom size", kSample, 13, &tray3, TRUE, kMillimetres, 64, TRUE, u"Tray 3"},
      {"the driver's source named from a library", kSample, 265, &driverTray3, TRUE, kMillimetres, 64, TRUE,
       u"Tray 3"},
      {"the driver's source with details", kSample, 265, &bypass, TRUE, kMillimetres, 64, TRUE,
       u"Bypass Tray (custom sizes 90-304 x 139-1200 mm)"},
      {"a text", kSample, 5129, &job, FALSE, kMillimetres, 64, TRUE, u"Job A"},
      {"an empty text", kSample, 5129, &empty, FALSE, kMillimetres, 64, TRUE, u"(empty)"},
      {"a value the model does not list", kSample, 8, &unlisted, FALSE, kMillimetres, 64, FALSE, u""},
      {"a user paper cut at the buffer's end", kSample, 8, &userPaper, FALSE, kMillimetres, 12, TRUE,
       u"My Paper 10"},
      {"details cut at the buffer's end", kSample, 13, &bypass, TRUE, kMillimetres, 20, TRUE,
       u"Bypass Tray (custom"},
      {"a name in code page 1252", kModel1252, 8, &a4, FALSE, kMillimetres, 64, TRUE, u"Größe € A4"},
      {"an item's name in code page 1252", kModel1252, 8, nullptr, FALSE, kMillimetres, 64, TRUE, u"Papierformat"},
      {"the first line of a name", kModel1252, 8, &twoLines, FALSE, kMillimetres, 64, TRUE, u"Two"},
      {"the name of a string value", kModel1252, 298, &secret, FALSE, kMillimetres, 64, TRUE, u"Secret stamp"},
      {"an item with its suffix", kModel1252, 327, nullptr, FALSE, kMillimetres, 64, TRUE, u"Auskunft (information)"},
      {"a name in code page 932", kModel932, 8, &a4, FALSE, kMillimetres, 64, TRUE, u"Ａ４用紙"},
      {"an item's name in code page 932", kModel932, 8, nullptr, FALSE, kMillimetres, 64, TRUE, u"用紙サイズ"},
      {"an item with its suffix in code page 932", kModel932, 327, nullptr, FALSE, kMillimetres, 64, TRUE,
       u"情報 (information)"},
      {"a name in code page 932 cut", kModel932, 8, nullptr, FALSE, kMillimetres, 3, TRUE, u"用紙"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ItemStore* store = store_;
    if (c.model == kModel1252) {
      store = OpenModelText(CodePageModel(1252, "Papierformat", "Größe € A4", "Auskunft"), u"T1252.DDD");
    } else if (c.model == kModel932) {
      ASSERT_TRUE(SimSetAnsiCodePage(932));
      store = OpenModelText(CodePageModel(932, "用紙サイズ", "Ａ４用紙", "情報"), u"T932.DDD");
    }
    ASSERT_NE(store, nullptr);
    BOOL made = FALSE;
    EXPECT_EQ(ItemText(c.details, c.id, c.value, c.flags, c.capacity, &made, store), c.text);
    EXPECT_EQ(made, c.made);
    if (store != store_) CloseItemStore(store);
    SimSetAnsiCodePage(1252);
  }
}

TEST_F(ValueTextItemsTest, PaperNamesWithSizes) {
  const std::u16string longName(60, u'N');
  const struct Case {
    WORD width, length;
    LPCWSTR name;
    MeasurementFlags flags;
    const char16_t* text;
  } cases[] = {
      {2100, 2970, u"A4", kMillimetres, u"A4 210 x 297 mm"},
      {2100, 2970, u"A4", kInches, u"A4 8.27 x 11.69 in"},
      {2100, 2970, u"A4", kInchesOneDecimal, u"A4 8.2 x 11.6 in"},  // dropped, not rounded
      {2159, 2794, u"Letter", kInches, u"Letter 8.50 x 11.00 in"},
      {2159, 2794, u"Letter", kInchesOneDecimal, u"Letter 8.5 x 11.0 in"},
      {1000, 1480, u"Card", kInches, u"Card 3.94 x 5.83 in"},    // 3.937 rounds up
      {2105, 2974, u"Odd", kMillimetres, u"Odd 210 x 297 mm"},   // whole millimetres, cut
      {0, 0, u"", kMillimetres, u" 0 x 0 mm"},
      {30480, 12000, longName.c_str(), kMillimetres, nullptr},  // a long name keeps its size
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.name));
    const PaperNameSize paper{c.width, c.length, c.name};
    LPWSTR text = FormatPaperNameWithSize(GetResourceModule(), &paper, &c.flags);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text), c.text != nullptr ? c.text : longName + u" 3048 x 1200 mm");
    GlobalFree(text);
  }
  const PaperNameSize paper{2100, 2970, u"A4"};
  EXPECT_EQ(FormatPaperNameWithSize(nullptr, &paper, &kMillimetres), nullptr);
  EXPECT_EQ(FormatPaperNameWithSize(GetResourceModule(), nullptr, &kMillimetres), nullptr);
  EXPECT_EQ(FormatPaperNameWithSize(GetResourceModule(), &paper, nullptr), nullptr);
}

TEST_F(ValueTextItemsTest, UserPaperSizesAndSourceRanges) {
  SetNumber(5890, kTypeUInt16, 2159);  // slot 1 (paper 263): letter
  SetNumber(5910, kTypeUInt16, 2794);
  const SettingsContext context{store_, settings_.get(), config_.get()};
  const struct {
    WORD paper;
    MeasurementFlags flags;
    BOOL made;
    const char16_t* text;
  } sizes[] = {
      {262, kMillimetres, TRUE, u"210 x 297 mm"},  // the slot's defaults: A4
      {263, kMillimetres, TRUE, u"215 x 279 mm"},
      {263, kInches, TRUE, u"8.50 x 11.00 in"},
      {263, kInchesOneDecimal, TRUE, u"8.5 x 11.0 in"},
      {9, kMillimetres, FALSE, u""},  // not a user paper
  };
  for (const auto& s : sizes) {
    SCOPED_TRACE(s.paper);
    WCHAR text[64] = u"stale";
    EXPECT_EQ(UserPaperSizeText(&s.flags, GetResourceModule(), &context, s.paper, text, 64), s.made);
    EXPECT_EQ(std::u16string(text), s.text);
  }
  const struct {
    WORD type, key;
    BOOL made;
    const char16_t* text;
  } ranges[] = {
      {5, 4, TRUE, u" (custom sizes 90-304 x 139-1200 mm)"},
      {5, 260, FALSE, u""},  // has a range but takes no custom paper
      {5, 1, FALSE, u""},
      {6, 1, FALSE, u""},    // an output tray without a range
      {5, 99, FALSE, u""},   // no such source
      {7, 4, FALSE, u""},    // not a source's record type
  };
  for (const auto& r : ranges) {
    SCOPED_TRACE(r.key);
    WCHAR text[64] = u"stale";
    EXPECT_EQ(SourceDetailsText(GetResourceModule(), store_, r.type, r.key, text, 64), r.made);
    EXPECT_EQ(std::u16string(text), r.text);
  }
}

TEST_F(ValueTextItemsTest, SettingLinesAndFormattedStrings) {
  SetText(5129, u"");
  SetNumber(13, kTypeInt16, 4);
  const SettingsContext context{store_, settings_.get(), config_.get()};
  const struct {
    SettingItemId id;
    const char16_t* text;  // NULL: no line
  } lines[] = {
      {7, u"Orientation: Portrait"},
      {13, u"Paper Source: Bypass Tray"},  // no details in a setting line
      {5129, nullptr},                     // an item without a name in the model
      {0x7FFF, nullptr},
  };
  for (const auto& l : lines) {
    SCOPED_TRACE(l.id);
    LPWSTR text = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(FormatItemSettingText(&text, GetResourceModule(), &context, l.id, &kMillimetres), l.text != nullptr);
    EXPECT_EQ(text == nullptr ? u"<none>" : std::u16string(text), l.text != nullptr ? l.text : u"<none>");
    GlobalFree(text);
  }
  // A formatted text must stay shorter than its capacity less one.
  const struct {
    int capacity;
    UINT id;
    const char16_t* text;
  } strings[] = {
      {0, kStringSettingLine, u"Size: A4"},
      {10, kStringSettingLine, u"Size: A4"},
      {9, kStringSettingLine, nullptr},
      {64, 9999, nullptr},  // no such string
  };
  for (const auto& f : strings) {
    SCOPED_TRACE(f.capacity);
    LPWSTR text = nullptr;
    EXPECT_EQ(LoadFormattedString(GetResourceModule(), &text, f.capacity, f.id, {u"Size", u"A4"}), f.text != nullptr);
    EXPECT_EQ(text == nullptr ? u"<none>" : std::u16string(text), f.text != nullptr ? f.text : u"<none>");
    GlobalFree(text);
  }
}

}  // namespace
