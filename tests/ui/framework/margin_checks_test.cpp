// The paper-margin checks on printer "P1" of the sample: the fit of one dimension at its
// boundary, the orientation deciding which margins lie along the width, the sweep over the
// papers with a size range, and the validation of a sheet's settings with its warnings.
#include <gtest/gtest.h>

#include <string>

#include "core/database/machine_base_text.h"
#include "core/rules/paper_margins.h"
#include "core/rules/record_numbers.h"
#include "items/item_ids.h"
#include "platform/platform.h"
#include "tests/support/printer_fixture.h"
#include "ui/framework/sheet/margin_checks.h"
#include "ui/framework/sheet/sheet_validation.h"

namespace {

constexpr WORD kA4 = 9;
constexpr WORD kCustomSize = 256;  // the sample's one paper with a size range (900 x 1390 first)
constexpr UINT kReport = 711;
constexpr MeasurementFlags kMetric{0, 0};

class MarginChecksTest : public printer_test::SampleSettingsTest {
 protected:
  void SetUp() override {
    SampleSettingsTest::SetUp();
    base_ = ReadMachineBaseText(printer_);
    ASSERT_NE(base_, nullptr);
    context_.store = store_;
  }
  void TearDown() override {
    GlobalFree(base_);
    SampleSettingsTest::TearDown();
  }

  int Fit(WORD paper, WORD dimension, PaperMargins margins) {
    return CheckMarginFit(&context_, printer_, paper, dimension, &margins, nullptr, nullptr, FALSE, FALSE);
  }

  // The user's own margins of a paper, in the portrait order.
  void StoreUserMargins(WORD paper, PaperMargins margins) {
    ASSERT_EQ(WriteUserPaperMarginOriented(printer_, base_, paper, &margins, kPortrait), 1);
  }
  PaperMargins UserMargins(WORD paper) {
    PaperMargins margins{};
    EXPECT_EQ(GetPaperMargin(printer_, paper, &margins, base_, nullptr, TRUE, kPortrait), 1);
    return margins;
  }

  LPWSTR base_ = nullptr;
  SettingsContext context_{nullptr, &settings_, &config_};
};

TEST_F(MarginChecksTest, OneDimensionFitsOnlyBelowThePaperSize) {
  const struct Case {
    LONG orientation;
    WORD dimension;
    PaperMargins margins;  // in the orientation's order
    int fit;
  } cases[] = {
      // Portrait A4 (2100 x 2970): the third and fourth margins lie along the width.
      {kPortrait, kMarginWidth, {{0, 0, 1050, 1050}}, kMarginsDoNotFit},
      {kPortrait, kMarginWidth, {{0, 0, 1050, 1049}}, kMarginsFit},
      {kPortrait, kMarginWidth, {{2000, 2000, 0, 0}}, kMarginsFit},
      {kPortrait, kMarginLength, {{1485, 1485, 0, 0}}, kMarginsDoNotFit},
      {kPortrait, kMarginLength, {{1485, 1484, 0, 0}}, kMarginsFit},
      // Landscape: the first and second lie along the paper's width.
      {kLandscape, kMarginWidth, {{0, 0, 1050, 1050}}, kMarginsFit},
      {kLandscape, kMarginWidth, {{1050, 1050, 0, 0}}, kMarginsDoNotFit},
      {kLandscape, kMarginWidth, {{1050, 1049, 0, 0}}, kMarginsFit},
      {kLandscape, kMarginLength, {{0, 0, 1485, 1485}}, kMarginsDoNotFit},
      {kLandscape, kMarginLength, {{1485, 1485, 0, 0}}, kMarginsFit},
  };
  for (const Case& c : cases) {
    Put(kItemOrientation, c.orientation);
    EXPECT_EQ(Fit(kA4, c.dimension, c.margins), c.fit)
        << "orientation " << c.orientation << " dimension " << c.dimension << " margins " << c.margins.margin[0]
        << "," << c.margins.margin[1] << "," << c.margins.margin[2] << "," << c.margins.margin[3];
  }
  EXPECT_EQ(CheckMarginFit(&context_, printer_, kA4, 2, nullptr, nullptr, nullptr, FALSE, FALSE), kMarginCheckFailed);
  EXPECT_EQ(Fit(4321, kMarginWidth, {{0, 0, 1, 1}}), kMarginCheckFailed);  // no such paper
}

TEST_F(MarginChecksTest, StoredMarginsAgainstANewSize) {
  Put(kItemOrientation, kPortrait);
  Put(kItemPerUserMargins, 1);
  StoreUserMargins(kA4, {{100, 100, 300, 300}});
  const struct Case {
    WORD dimension;
    DWORD size;
    int fit;
  } cases[] = {
      {kMarginWidth, 601, kMarginsFit},  {kMarginWidth, 600, kMarginsDoNotFit},
      {kMarginLength, 201, kMarginsFit}, {kMarginLength, 200, kMarginsDoNotFit},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckPaperSizeMargins(&context_, printer_, nullptr, kA4, c.dimension, c.size, TRUE), c.fit)
        << c.dimension << " " << c.size;
  // A margin changed on a page against the paper's own size.
  const PaperMargins shown{{100, 100, 300, 300}};
  EXPECT_EQ(CheckPaperSizeMargins(&context_, printer_, &shown, kA4, 3, 1799, FALSE), kMarginsFit);
  EXPECT_EQ(CheckPaperSizeMargins(&context_, printer_, &shown, kA4, 3, 1800, FALSE), kMarginsDoNotFit);
  EXPECT_EQ(CheckPaperSizeMargins(&context_, printer_, &shown, kA4, 0, 2870, FALSE), kMarginsDoNotFit);
}

TEST_F(MarginChecksTest, SweepListsThePapersWithARangeThatDoNotFit) {
  Put(kItemOrientation, kPortrait);
  WORD ids[kMarginSweepPapers];
  EXPECT_EQ(CheckAllPaperMargins(printer_, &settings_, &config_, store_, TRUE, ids), kMarginsFit);
  EXPECT_EQ(ids[0], 0);
  // The custom size is 900 wide at its smallest: 450 on each side leaves nothing.
  StoreUserMargins(kCustomSize, {{0, 0, 450, 450}});
  StoreUserMargins(kA4, {{0, 0, 1050, 1050}});  // A4 has no range: not swept
  EXPECT_EQ(CheckAllPaperMargins(printer_, &settings_, &config_, store_, TRUE, ids), kMarginsDoNotFit);
  EXPECT_EQ(ids[0], kCustomSize);
  EXPECT_EQ(ids[1], 0);
  // The printer's table, not the user's values, without the per-user flag.
  EXPECT_EQ(CheckAllPaperMargins(printer_, &settings_, &config_, store_, FALSE, ids), kMarginsFit);
  EXPECT_EQ(CheckAllPaperMargins(printer_, &settings_, &config_, nullptr, TRUE, ids), kMarginCheckFailed);
}

TEST_F(MarginChecksTest, ApplyValidationResetsOversizedMarginsAndQueuesWarnings) {
  Put(kItemOrientation, kPortrait);
  Put(kItemPerUserMargins, 1);
  StoreUserMargins(kCustomSize, {{0, 0, 450, 450}});
  PendingWarnings* pending = nullptr;
  HMODULE module = GetResourceModule();

  // Without a window and with the user's own margins: swept, reset, told.
  ASSERT_EQ(ValidateSheetOnApply(module, printer_, store_, &settings_, &config_, FALSE, 0, TRUE, kReport, &kMetric,
                                 nullptr, &pending),
            1);
  ASSERT_NE(pending, nullptr);
  int missing = -1;
  const std::u16string warning = GetPendingWarning(pending, 0, &missing);
  EXPECT_EQ(missing, 0);
  EXPECT_NE(warning.find(u"Custom Size (90"), std::u16string::npos) << std::string(warning.begin(), warning.end());
  EXPECT_EQ(GetPendingWarning(pending, 1, &missing), nullptr);
  EXPECT_EQ(GetPendingWarning(pending, 2, &missing), nullptr);
  EXPECT_EQ(missing, 1);
  EXPECT_EQ(FreePendingWarnings(&pending), 1);
  EXPECT_EQ(pending, nullptr);
  const PaperMargins reset = UserMargins(kCustomSize);
  for (DWORD m : reset.margin) EXPECT_EQ(m, kDefaultMargin);

  // Both the whole-settings report and the margins in warning 0.
  StoreUserMargins(kCustomSize, {{0, 0, 450, 450}});
  Put(kItemPaperSize, 4321);  // an unknown paper becomes the default
  ASSERT_EQ(ValidateSheetOnApply(module, printer_, store_, &settings_, &config_, FALSE, kValidateAllSettings, TRUE,
                                 kReport, &kMetric, nullptr, &pending),
            1);
  ASSERT_NE(pending, nullptr);
  const std::u16string both = GetPendingWarning(pending, 0, &missing);
  EXPECT_EQ(both.rfind(u"R711|", 0), 0u);
  EXPECT_NE(both.find(u"Custom Size"), std::u16string::npos);
  FreePendingWarnings(&pending);

  // Margins that are the printer's are not swept without a window.
  StoreUserMargins(kCustomSize, {{0, 0, 450, 450}});
  Put(kItemPerUserMargins, 0);
  ASSERT_EQ(ValidateSheetOnApply(module, printer_, store_, &settings_, &config_, FALSE, 0, TRUE, kReport, &kMetric,
                                 nullptr, &pending),
            1);
  EXPECT_EQ(pending, nullptr);
  EXPECT_EQ(UserMargins(kCustomSize).margin[2], 450u);
  EXPECT_EQ(GetPendingWarning(nullptr, 0, &missing), nullptr);
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(FreePendingWarnings(nullptr), 0);
}

TEST_F(MarginChecksTest, ResetWritesThePrintersTableWithoutThePerUserFlag) {
  Put(kItemOrientation, kPortrait);
  const WORD ids[kMarginSweepPapers] = {kCustomSize};
  ASSERT_EQ(ResetPaperMargins(printer_, &context_, FALSE, ids), 1);
  PaperMarginTable* table = LoadPaperMarginTable(printer_);
  ASSERT_NE(table, nullptr);
  PaperMargins row{};
  EXPECT_EQ(FindPaperMargin(table, kCustomSize, &row), 1);
  for (DWORD m : row.margin) EXPECT_EQ(m, kDefaultMargin);
  FreePaperMarginTable(table);
  LONG perUser = -1;
  ASSERT_TRUE(ReadItemLong(&settings_, &config_, kItemPerUserMargins, &perUser));
  EXPECT_EQ(perUser, 0);
}

}  // namespace
