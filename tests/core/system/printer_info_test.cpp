#include "core/system/printer_info.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/kernel_sim.h"
#include "platform/platform.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/printer_fixture.h"

namespace {

class PrinterInfo : public printer_test::PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    AddPrinter(u"P1", u"model.dat");
    printer_ = Open(u"P1", PRINTER_ACCESS_USE);
  }
  HANDLE printer_ = nullptr;
};

TEST_F(PrinterInfo, BlocksHoldTheSpoolersAnswer) {
  LPBYTE info = GetPrinterInfo(printer_, 2);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(std::u16string(reinterpret_cast<PRINTER_INFO_2W*>(info)->pPrinterName), u"P1");
  GlobalFree(info);
  LPBYTE driver = GetDriverInfo(printer_, 2);
  ASSERT_NE(driver, nullptr);
  const std::u16string dataFile(reinterpret_cast<DRIVER_INFO_2W*>(driver)->pDataFile);
  EXPECT_EQ(dataFile.substr(dataFile.size() - 9), u"model.dat");
  GlobalFree(driver);
}

TEST_F(PrinterInfo, FailuresLeaveNoBlock) {
  EXPECT_EQ(GetPrinterInfo(nullptr, 2), nullptr);
  SimFailCall("GetPrinterW", ERROR_ACCESS_DENIED);  // the size query fails otherwise
  EXPECT_EQ(GetPrinterInfo(printer_, 2), nullptr);
  SimFailCall("GetPrinterW", ERROR_ACCESS_DENIED, 2);  // the real call fails
  EXPECT_EQ(GetPrinterInfo(printer_, 2), nullptr);
  SimFailCall("GetPrinterDriverW", ERROR_ACCESS_DENIED, 2);
  EXPECT_EQ(GetDriverInfo(printer_, 2), nullptr);
  SimFailNthAllocation(1);
  EXPECT_EQ(GetDriverInfo(printer_, 2), nullptr);
}

}  // namespace
