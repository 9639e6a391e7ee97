// What the module writes into the spooler for printer "P1": the publishing values from the
// printer configuration, and a paper's spooler form with its imageable area inside the
// paper's margins.
#include <gtest/gtest.h>

#include <vector>

#include "core/database/dbrecords.h"
#include "items/item_ids.h"
#include "platform/platform.h"
#include "tests/support/printer_fixture.h"
#include "ui/module/printer_data.h"

namespace {

class PrinterDataTest : public printer_test::SampleSettingsTest {
 protected:
  BYTE DsValue(const WCHAR* name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_TRUE(SimReadPrinterData(kPrinter, kDsDriverKey, name, type, data)) << Utf8(name);
    EXPECT_EQ(type, DWORD{REG_BINARY});
    EXPECT_EQ(data.size(), 1u);
    return data.empty() ? 0xEE : data[0];
  }
};

TEST_F(PrinterDataTest, PublishingValuesFollowTheConfiguration) {
  const struct Case {
    LONG duplex, staple, staple2, unit;
    BYTE duplexValue, staplingValue;
  } cases[] = {
      {1, 0, 0, 1, 1, 0},
      {0, 1, 0, 1, 0, 1},
      {0, 0, 1, 1, 0, 1},
      {0, 1, 1, 0, 0, 0},  // a stapler without the unit
      {1, 1, 0, 2, 1, 0},
  };
  for (const Case& c : cases) {
    Put(kItemModelOptions, c.duplex);
    Put(kItemStapler, c.staple);
    Put(kItemStaplerSecond, c.staple2);
    Put(kItemFinisher, c.unit);
    EXPECT_EQ(WriteDsDriverData(printer_, &config_), 1);
    EXPECT_EQ(DsValue(kDsDuplexValue), c.duplexValue);
    EXPECT_EQ(DsValue(kDsStaplingValue), c.staplingValue);
  }
  // A refused write makes the answer 0; the other value is still written.
  SimFailCall("SetPrinterDataExW", ERROR_ACCESS_DENIED);
  const int before = SimCallCount("SetPrinterDataExW");
  EXPECT_EQ(WriteDsDriverData(printer_, &config_), 0);
  EXPECT_EQ(SimCallCount("SetPrinterDataExW"), before + 2);
}

TEST_F(PrinterDataTest, FormOfAPaperWithUnequalMargins) {
  PaperRecord paper{};
  paper.h.type = 10;
  paper.h.key = 3;  // not a user paper: the record's own size
  paper.size = {0, 2000, 3000};
  paper.margin1 = {0, 40, 50};   // left, top
  paper.margin2 = {0, 60, 70};   // right, bottom
  ASSERT_TRUE(AddDriverForm(u"Odd Margins", reinterpret_cast<DatabaseRecord*>(&paper), printer_));
  BYTE buffer[256] = {};
  DWORD needed = 0;
  ASSERT_TRUE(GetFormW(printer_, u"Odd Margins", 1, buffer, sizeof buffer, &needed));
  const auto* form = reinterpret_cast<const FORM_INFO_1W*>(buffer);
  EXPECT_EQ(form->Flags, 0u);
  EXPECT_EQ(form->Size.cx, 200000);
  EXPECT_EQ(form->Size.cy, 300000);
  EXPECT_EQ(form->ImageableArea.left, 4000);
  EXPECT_EQ(form->ImageableArea.top, 5000);
  EXPECT_EQ(form->ImageableArea.right, 200000 - 6000);
  EXPECT_EQ(form->ImageableArea.bottom, 300000 - 7000);
  // A user paper makes an A4 form whatever its record says.
  paper.h.key = 262;
  ASSERT_TRUE(AddDriverForm(u"User Form", reinterpret_cast<DatabaseRecord*>(&paper), printer_));
  ASSERT_TRUE(GetFormW(printer_, u"User Form", 1, buffer, sizeof buffer, &needed));
  EXPECT_EQ(form->Size.cx, 210000);
  EXPECT_EQ(form->Size.cy, 297000);
  EXPECT_EQ(form->ImageableArea.bottom, 297000 - 7000);
  // An existing name is not added again.
  EXPECT_FALSE(AddDriverForm(u"User Form", reinterpret_cast<DatabaseRecord*>(&paper), printer_));
}

}  // namespace
