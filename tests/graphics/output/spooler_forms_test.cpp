// The spooler's forms as the graphics module reads them, and the driver directory.
#include <gtest/gtest.h>

#include <string>

#include "core/store/form_status.h"
#include "graphics/device/spooler_forms.h"
#include "graphics/output/driver_directory.h"
#include "tests/graphics/output/spool_fixture.h"

namespace {

class SpoolerForms : public SpoolTest {};

TEST_F(SpoolerForms, FormSizesInTenthsOfAMillimetre) {
  struct Case {
    const WCHAR* name;
    DWORD index;
    int status;
    WORD size[6];
  };
  const Case cases[] = {
      {u"A4", 0, kFormDone, {2100, 2970, 0, 0, 2100, 2970}},
      {nullptr, 9, kFormDone, {2100, 2970, 0, 0, 2100, 2970}},
      // Letter: 215900 x 279400 thousandths round to 2159 x 2794.
      {u"letter", 0, kFormDone, {2159, 2794, 0, 0, 2159, 2794}},
      // Envelope #9: 98425 x 225425 thousandths; A3 Extra 322000 x 445000.
      {nullptr, 19, kFormDone, {984, 2254, 0, 0, 984, 2254}},
      {u"A3 Extra", 0, kFormDone, {3220, 4450, 0, 0, 3220, 4450}},
      {u"No Such Form", 0, kFormNotFound, {}},
      {nullptr, 119, kFormNotFound, {}},
      {nullptr, 0, kFormNoMemory, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    WORD size[6] = {7, 7, 7, 7, 7, 7};
    ASSERT_EQ(GetFormSize(printer_, c.name, c.index, size), c.status);
    if (c.status == kFormDone) {
      for (int i = 0; i < 6; ++i) EXPECT_EQ(size[i], c.size[i]) << i;
    }
  }
}

TEST_F(SpoolerForms, FormsByNameAndByIndex) {
  // A user form with a name longer than the indexed block holds.
  const std::u16string longName = u"A user paper with a rather long name of 45 ch";
  HANDLE admin = nullptr;
  PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  ASSERT_TRUE(OpenPrinterW(kPrinter, &admin, &all));
  FORM_INFO_1W user{FORM_USER, const_cast<LPWSTR>(longName.c_str()), {100000, 150000}, {1000, 2000, 99000, 149000}};
  ASSERT_TRUE(AddFormW(admin, 1, reinterpret_cast<BYTE*>(&user)));
  ClosePrinter(admin);

  FORM_INFO_1W* form = nullptr;
  ASSERT_EQ(GetFormByName(printer_, longName.c_str(), &form), kFormDone);
  EXPECT_EQ(std::u16string(form->pName), longName);
  EXPECT_EQ(form->ImageableArea.left, 1000);
  GlobalFree(form);

  ASSERT_EQ(GetFormByIndex(printer_, 119, &form), kFormDone);
  auto* block = reinterpret_cast<BYTE*>(form);
  EXPECT_EQ(GlobalSize(form), kIndexedFormBlockSize);
  EXPECT_EQ(reinterpret_cast<BYTE*>(form->pName), block + sizeof(FORM_INFO_1W));
  EXPECT_EQ(std::u16string(form->pName), longName.substr(0, 31));
  EXPECT_EQ(form->Size.cy, 150000);
  GlobalFree(form);
  WORD size[6];
  ASSERT_EQ(GetFormSize(printer_, nullptr, 119, size), kFormDone);
  EXPECT_EQ(size[2], 10);
  EXPECT_EQ(size[5], 1490);

  // Failures hand out nothing.
  form = reinterpret_cast<FORM_INFO_1W*>(block);
  SimFailCall("GetFormW", ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetFormByName(printer_, u"A4", &form), kFormNotFound);
  EXPECT_EQ(form, nullptr);
  SimFailCall("GetFormW", ERROR_INVALID_HANDLE, 2);
  EXPECT_EQ(GetFormByName(printer_, u"A4", &form), kFormFailed);
  EXPECT_EQ(GetFormByName(printer_, nullptr, &form), kFormNoMemory);
  SimFailNthAllocation(1);
  EXPECT_EQ(GetFormByName(printer_, u"A4", &form), kFormNoMemory);
  SimFailCall("EnumFormsW", ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetFormByIndex(printer_, 9, &form), kFormFailed);
  EXPECT_EQ(form, nullptr);

  // Only built-in forms have a built-in position; the name must match exactly.
  EXPECT_EQ(FindBuiltinFormIndex(printer_, u"A4"), 9u);
  EXPECT_EQ(FindBuiltinFormIndex(printer_, u"Letter"), 1u);
  EXPECT_EQ(FindBuiltinFormIndex(printer_, u"a4"), 0u);
  EXPECT_EQ(FindBuiltinFormIndex(printer_, longName.c_str()), 0u);
  EXPECT_EQ(FindBuiltinFormIndex(printer_, nullptr), 0u);
}

TEST_F(SpoolerForms, DriverDirectoryEndsBeforeTheDriverFile) {
  struct Case {
    std::u16string driverFile;
    const WCHAR* directory;  // NULL: none
  };
  const std::u16string driverDirectory = std::u16string(SimDriverDirectory()) + u"\\";
  const Case cases[] = {
      {u"qorvexgr.DLL", driverDirectory.c_str()},
      {u"C:\\Drivers\\x64\\qorvexgr.dll", u"C:\\Drivers\\x64\\"},
      {u"C:\\Old.Dll\\x64\\qorvexgr.dll", u"C:\\"},
      {u"C:\\Drivers\\qorvexgr.drv", nullptr},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(n);
    SimPrinterSetup setup;
    setup.name = u"Printer " + std::u16string(1, static_cast<char16_t>(u'A' + n++));
    setup.dataFile = u"QX4500.DDD";
    setup.driverFile = c.driverFile;
    ASSERT_TRUE(SimAddPrinter(setup));
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(setup.name.c_str(), &printer, nullptr));
    LPWSTR directory = GetDriverDirectory(printer);
    if (c.directory == nullptr) {
      EXPECT_EQ(directory, nullptr);
    } else {
      ASSERT_NE(directory, nullptr);
      EXPECT_EQ(std::u16string(directory), c.directory);
      GlobalFree(directory);
    }
    ClosePrinter(printer);
  }
  SimFailCall("GetPrinterDriverW", ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetDriverDirectory(printer_), nullptr);
}

}  // namespace
