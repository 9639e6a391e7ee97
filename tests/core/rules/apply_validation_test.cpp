#include <string>

#include "core/descriptors/item_defaults.h"
#include "core/rules/apply_validation.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/model_files.h"
#include "tests/support/printer_fixture.h"

namespace {

using printer_test::SampleSettingsTest;

// The report string of the tests' resource module.
constexpr UINT kReport = 711;

// Printer "P1" of the sample with default settings, validated as a sheet is applied.
class ApplyValidationTest : public SampleSettingsTest {
 protected:
  void SetUp() override {
    SampleSettingsTest::SetUp();
    module_ = GetResourceModule();
  }
  LONG Get(SettingItemId id) {
    ItemValueCell cell{};
    ValueTypeCode type = 0;
    DWORD length = 0;
    EXPECT_EQ(GetItemValue(id, &settings_, &config_, &type, &length, &cell), kItemDone) << id;
    return type == kTypeInt16 ? static_cast<SHORT>(cell.word) : length == 2 ? cell.word : length == 1 ? cell.byte
                                                                                                       : cell.number;
  }
  WORD Validate(BOOL checkForms, std::u16string* report) {
    LPWSTR text = nullptr;
    const WORD result = ValidateAllSettings(checkForms, module_, printer_, store_, &settings_, &config_, kReport,
                                            &kMetric, &text);
    *report = text != nullptr ? std::u16string(text) : u"(none)";
    GlobalFree(text);
    return result;
  }
  void AddForm(const char16_t* name, LONG width, LONG length) {
    FORM_INFO_1W form{0, const_cast<LPWSTR>(name), {width, length}, {0, 0, width, length}};
    ASSERT_TRUE(AddFormW(printer_, 1, reinterpret_cast<const BYTE*>(&form)));
  }

  static constexpr MeasurementFlags kMetric{0, 0};
  HMODULE module_ = nullptr;
};

TEST_F(ApplyValidationTest, PapersRulesAndTheReport) {
  AddForm(u"Envelope 6 3/4", 92075, 165100);  // named like one of the model's papers (119)
  AddForm(u"Poster Board", 500000, 700000);   // no paper of the model (120)
  const struct Case {
    const char* what;
    BOOL checkForms;
    std::vector<std::pair<SettingItemId, LONG>> settings;
    WORD result;
    std::u16string report;
    LONG paper;  // item 8 afterwards
  } cases[] = {
      {"nothing to change", TRUE, {}, 3, u"(none)", 9},
      {"an unknown paper becomes the default", FALSE, {{8, 4321}}, 4, u"R711|[Paper Size=A4]", 9},
      {"a server form named like a model paper", TRUE, {{8, 119}}, 3, u"(none)", 38},
      {"a server form of no model paper", TRUE, {{8, 120}}, 4, u"R711|[Paper Size=A4]", 9},
      {"forms not checked", FALSE, {{8, 119}}, 4, u"R711|[Paper Size=A4]", 9},
      {"a built-in form of a model paper", TRUE, {{8, 11}}, 3, u"(none)", 11},
      {"a job held without a user text is printed", TRUE, {{334, 2}}, 4, u"R711|[Job Type=Normal Print]", 9},
      {"a secure job too", TRUE, {{334, 1}}, 4, u"R711|[Job Type=Normal Print]", 9},
      {"a delayed job stays", TRUE, {{334, 4}}, 3, u"(none)", 9},
      // The sample's rule on envelopes hangs on the list of item 16, not on its values: at
      // apply time only the rules of the values count.
      {"an envelope printed on both sides", TRUE, {{8, 20}, {16, 2}}, 3, u"(none)", 20},
      {"an unknown paper and a job type", FALSE, {{8, 4321}, {334, 2}}, 4,
       u"R711|[Paper Size=A4][Job Type=Normal Print]", 9},
  };
  const SettingsRecord defaults = settings_;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings_ = defaults;
    for (const auto& [id, value] : c.settings) Put(id, value);
    std::u16string report;
    EXPECT_EQ(Validate(c.checkForms, &report), c.result);
    EXPECT_EQ(report, c.report);
    EXPECT_EQ(Get(kItemPaperSize), c.paper);
  }
  // The orientation's rules are evaluated with the other orientation: it comes back as it was.
  settings_ = defaults;
  Put(kItemOrientation, 2);
  std::u16string report;
  EXPECT_EQ(Validate(TRUE, &report), 3);
  EXPECT_EQ(Get(kItemOrientation), 2);
}

// A model whose values carry rules that force other values at apply time.
const char kApplyModel[] = R"(model "Apply"
version "T:1.0.0"
level 0x1600
sizerange 1 first=2100x2970 second=2100x2970
sizerange 2 first=1048x2413 second=1048x2413
paper 9 name="A4" code=8 size=1 limits=1 margins=1
paper 20 name="Envelope #10" code=16 size=2 limits=1 margins=1
source 1 name="Tray 1" range=1 papers=[9 20] attributes=[0 0]
source 3 name="Tray 3" range=1 papers=[9] attributes=[0]
list 8 name="Paper Size" kind=1 default=1 choices=[1 2]
choice 1 name="A4" reftype=10 refkey=9 value=i16:9
choice 2 name="Envelope #10" reftype=10 refkey=20 value=i16:20
list 16 name="Two-sided Printing" kind=1 default=1 choices=[3 4]
choice 3 name="Off" value=i16:1
choice 4 name="Long Edge" rules=[1] value=i16:2
list 265 name="Paper Source" kind=1 default=1 choices=[5 6]
choice 5 name="Tray 1" reftype=5 refkey=1 value=u16:1
choice 6 name="Tray 3" reftype=5 refkey=3 rules=[2] value=u16:3
list 334 name="Job Type" kind=1 default=1 choices=[7 8 9]
choice 7 name="Normal Print" value=u16:0
choice 8 name="Secure Print" value=u16:1
choice 9 name="Sample Print" value=u16:2
rule 1 watch=(16 = i16:2) msgword=1 message="Envelopes one side." when=[(8 = i16:20 end)] force=[(16 = i16:1)]
rule 2 watch=(265 = u16:3) msgword=1 message="Tray 3 is closed." when=[(16 = i16:1 end)] force=[(265 = u16:1)]
)";

TEST_F(ApplyValidationTest, ForcedValuesAndTheSuppressedReport) {
  ItemStore* model = OpenModelText(kApplyModel, u"APPLY.DDD");
  ASSERT_NE(model, nullptr);
  const struct Case {
    const char* what;
    std::vector<std::pair<SettingItemId, LONG>> settings;
    WORD result;
    std::u16string report;
  } cases[] = {
      {"an envelope printed on one side", {{8, 20}, {16, 2}, {265, 1}}, 4, u"R711|[Two-sided Printing=Off]"},
      {"two-sided A4 stays", {{8, 9}, {16, 2}, {265, 1}}, 3, u"(none)"},
      {"the closed tray changes first: no report", {{8, 9}, {16, 1}, {265, 3}, {334, 2}}, 3, u"(none)"},
      {"an envelope and the closed tray", {{8, 20}, {16, 2}, {265, 3}}, 4,
       u"R711|[Two-sided Printing=Off][Paper Source=Tray 1]"},
  };
  const SettingsRecord defaults = settings_;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings_ = defaults;
    for (const auto& [id, value] : c.settings) Put(id, value);
    LPWSTR text = nullptr;
    EXPECT_EQ(ValidateAllSettings(FALSE, module_, printer_, model, &settings_, &config_, kReport, &kMetric, &text),
              c.result);
    EXPECT_EQ(text != nullptr ? std::u16string(text) : u"(none)", c.report);
    GlobalFree(text);
  }
  CloseItemStore(model);
}

TEST_F(ApplyValidationTest, FailuresHalfWayKeepTheOrientation) {
  // Each allocation in turn fails: the validation fails or completes, and the orientation is
  // always what it was (the sandbox checks that nothing leaks).
  const SettingsRecord defaults = settings_;
  int failures = 0;
  for (int n = 1; n < 400; ++n) {
    settings_ = defaults;
    Put(kItemOrientation, 2);
    Put(kItemPaperSize, 4321);
    SimFailNthAllocation(n);
    std::u16string report;
    const WORD result = Validate(TRUE, &report);
    SimFailNthAllocation(0);
    EXPECT_TRUE(result == 1 || result == 2 || result == 4) << n;
    if (result != 4) ++failures;
    EXPECT_EQ(Get(kItemOrientation), 2) << n;
  }
  EXPECT_GT(failures, 0);
  std::u16string report;
  LPWSTR text = reinterpret_cast<LPWSTR>(1);
  EXPECT_EQ(ValidateAllSettings(TRUE, nullptr, printer_, store_, &settings_, &config_, kReport, nullptr, &text), 1);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(ValidateAllSettings(TRUE, module_, printer_, nullptr, &settings_, &config_, kReport, nullptr, &text), 1);
}

TEST_F(ApplyValidationTest, TileCountAtApplyTime) {
  LPWSTR text = nullptr;
  EXPECT_EQ(ValidateItemOnApply(module_, TRUE, store_, &settings_, &config_, &kMetric, &text), kTilesFit);
  EXPECT_EQ(text, nullptr);
  Put(kItemPageLayout, 1);
  Put(kItemZoomOn, 1);
  Put(kItemTileCount, 0x0101);
  Put(kItemZoomPercent, 200);
  EXPECT_EQ(ValidateItemOnApply(module_, TRUE, store_, &settings_, &config_, &kMetric, &text), kTilesDoNotFit);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text).substr(0, 5), u"A713|");
  EXPECT_EQ(GlobalSize(text), 1024u);
  GlobalFree(text);
  EXPECT_EQ(ValidateItemOnApply(module_, FALSE, store_, &settings_, &config_, &kMetric, &text), kCheckFailed);
  EXPECT_EQ(ValidateItemOnApply(nullptr, TRUE, store_, &settings_, &config_, &kMetric, &text), kCheckFailed);
}

}  // namespace
