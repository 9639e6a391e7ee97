#include "core/persist/printer_config.h"
#include "core/store/printer_forms.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/persist/user_setting_store.h"
#include "core/runtime/module_state.h"
#include "core/store/printer_id.h"
#include "core/store/user_store.h"
#include "core/system/chunked_printer_data.h"
#include "items/item_ids.h"
#include "items/user_setting_info.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/conversion_fixture.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

class PrinterConfig : public SamplePrinterTest {
 protected:
  void SetUp() override {
    SamplePrinterTest::SetUp();
    BuildTestDefaults(defaults_.get());
    config_ = std::make_unique<PrinterConfiguration>(defaults_->config);
    const char16_t* user = u"alice";
    ASSERT_EQ(SetItemValue(kItemOtherOwnerName, nullptr, config_.get(), kTypeString, 12, &user), kItemDone);
    PutItem(nullptr, config_.get(), kItemDeviceOptionExtra, 42);
  }

  std::unique_ptr<ModelDefaults> defaults_ = std::make_unique<ModelDefaults>();
  std::unique_ptr<PrinterConfiguration> config_;
};

TEST_F(PrinterConfig, InitialisingStoresTheConfigurationWithoutTheUsersValues) {
  const PrinterConfiguration before = *config_;
  ASSERT_EQ(InitPrinterConfiguration(printer_, config_.get(), TRUE), 1);
  EXPECT_EQ(std::memcmp(&before, config_.get(), sizeof before), 0) << "the caller's record is left alone";
  auto stored = std::make_unique<PrinterConfiguration>();
  DWORD size = sizeof *stored;
  BYTE* block = stored->bytes;
  ASSERT_EQ(ReadPrinterDataValue(printer_, &size, kPrinterConfigData, &block, TRUE), 1);
  EXPECT_EQ(ItemOf(nullptr, stored.get(), kItemDeviceOptionExtra), 42u);
  EXPECT_EQ(ConfigText(stored.get(), kItemOtherOwnerName), u"Guest");
  // The user's own values are under the per-user key the identity names.
  BYTE id[kPrinterIdSize];
  ASSERT_EQ(ReadPrinterId(printer_, id), 1);
  ASSERT_EQ(HasUserSettingInfoValue(printer_), 1);
  BYTE info[kUserSettingInfoSize];
  ASSERT_EQ(LoadUserSettingInfo(printer_, info, kUserInfoBoth), 1);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(info + 432)), u"alice");
  DWORD type;
  std::vector<BYTE> driver;
  ASSERT_TRUE(SimReadPrinterData(u"P1", nullptr, kUserModeDriverValue, type, driver));
  EXPECT_EQ(type, DWORD(REG_SZ));
  EXPECT_EQ(driver.size(), 24u) << "qorvexgr.dll without its terminator";
}

TEST_F(PrinterConfig, FailedStoreReportsFailureAndLeavesTheCallersRecord) {
  const PrinterConfiguration before = *config_;
  // Identity and per-user part are stored; the configuration itself is not.
  SimFailCall("SetPrinterDataW", ERROR_DISK_FULL, 3, 1000);
  EXPECT_EQ(InitPrinterConfiguration(printer_, config_.get(), TRUE), 0);
  EXPECT_EQ(std::memcmp(&before, config_.get(), sizeof before), 0);
  EXPECT_EQ(InitPrinterConfiguration(printer_, config_.get(), FALSE), 0) << "without the store flag";
}

TEST_F(PrinterConfig, FormsAreReadByNumber) {
  LPWSTR name = nullptr;
  EXPECT_EQ(ReadFormName(printer_, 0, &name), 10);
  ASSERT_EQ(ReadFormName(printer_, 9, &name), 1);
  EXPECT_EQ(std::u16string(name), u"A4");
  GlobalFree(name);
  EXPECT_EQ(ReadFormName(printer_, 100000, &name), 2);
  EXPECT_EQ(name, nullptr);
  EXPECT_EQ(IsBuiltinForm(printer_, 9), 1);
  EXPECT_EQ(IsBuiltinForm(printer_, 0), 0);
  LPWSTR letter = GetFormNameByIndex(printer_, 1);
  ASSERT_NE(letter, nullptr);
  EXPECT_EQ(std::u16string(letter), u"Letter");
  GlobalFree(letter);
  EXPECT_EQ(PaperSizeToFormIndex(9), 9u);
  EXPECT_EQ(QueryStartupHook(printer_, nullptr, 0, 0), 0);
  EXPECT_EQ(RunStartupHook(printer_, nullptr), 1);
}

// Forms to the model's papers: a built-in form that is a paper of the model keeps its number,
// any other form is matched by name (case-sensitive) against the papers of item 8.
TEST_F(PrinterConfig, FormsMapToTheModelsPapers) {
  WCHAR userPaper[] = u"User Paper 1", postcard[] = u"Postcard", lowerCase[] = u"user paper 2";
  for (LPWSTR name : {userPaper, postcard, lowerCase}) {
    FORM_INFO_1W form{FORM_USER, name, {100000, 148000}, {0, 0, 100000, 148000}};
    ASSERT_TRUE(AddFormW(printer_, 1, reinterpret_cast<const BYTE*>(&form)));
  }
  struct Case {
    DWORD form;
    int status;
    WORD paper;
  } const cases[] = {
      {9, 1, 9},          // A4: built-in and a paper
      {118, 1, 118},      // built-in "PRC 16K Rotated" is paper 118 by number, whatever its name
      {93, 1, 118},       // built-in "PRC 16K" is no paper number: paper 118 by its name
      {2, 2, 0},          // built-in "Letter Small": no paper of that number or name
      {119, 1, 262},      // user form named as the model's first user paper
      {120, 2, 0},        // user form of a name the model lacks
      {121, 2, 0},        // names compare with case
      {122, 2, 0},        // beyond the forms
      {0, 2, 0},
  };
  for (const Case& c : cases) {
    WORD paper = 0xFFFF;
    EXPECT_EQ(MapFormToPaperId(printer_, c.form, &paper), c.status) << c.form;
    EXPECT_EQ(paper, c.paper) << c.form;
  }
  EXPECT_EQ(IsDatabasePaperSize(printer_, 9), 1);
  EXPECT_EQ(IsDatabasePaperSize(printer_, 263), 1);
  EXPECT_EQ(IsDatabasePaperSize(printer_, 2), 0);
  EXPECT_EQ(IsDatabasePaperSize(printer_, 0x10009), 0) << "compared in full, not cut to 16 bits";
}

// The enumeration failing is no mapping, never a paper id.
TEST_F(PrinterConfig, FailedFormEnumerationMapsNothing) {
  SimFailCall("EnumFormsW", ERROR_NOT_ENOUGH_MEMORY, 1, 1000);
  WORD paper = 0xFFFF;
  EXPECT_EQ(MapFormToPaperId(printer_, 93, &paper), kFormFailed);
  EXPECT_EQ(paper, 0);
}

}  // namespace
