// The spooler stand-in as the printer modules and hosts use it: information calls with the
// size-query protocol, printer data with access checks, forms in form-number order, spool
// jobs with their byte log, and scripted failures.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/kernel/kernel_sim.h"
#include "platform/registry/registry.h"
#include "platform/registry/registry_sim.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/sandbox_test.h"

namespace {

class SpoolerTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    SimPrinterSetup setup;
    setup.name = u"Office P1";
    setup.dataFile = u"sample.ddd";
    setup.devMode.assign(1548, 0x5A);
    ASSERT_TRUE(SimAddPrinter(setup));
  }

  HANDLE Open(ACCESS_MASK access = PRINTER_ALL_ACCESS) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    HANDLE printer = nullptr;
    EXPECT_TRUE(OpenPrinterW(u"office p1", &printer, &defaults));
    return printer;
  }

  // The two-call protocol: a size query that fails with ERROR_INSUFFICIENT_BUFFER, then the call.
  template <typename Call>
  std::vector<BYTE> QueryInfo(Call call) {
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(call(nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> buffer(needed);
    EXPECT_FALSE(call(buffer.data(), needed - 1, &needed));
    EXPECT_TRUE(call(buffer.data(), needed, &needed));
    return buffer;
  }

  static bool Inside(const std::vector<BYTE>& buffer, const void* p) {
    auto* b = static_cast<const BYTE*>(p);
    return b >= buffer.data() && b < buffer.data() + buffer.size();
  }
};

TEST_F(SpoolerTest, PrinterAndDriverInformation) {
  HANDLE printer = Open(PRINTER_ACCESS_USE);
  auto info2 = QueryInfo([&](BYTE* b, DWORD cb, DWORD* n) { return GetPrinterW(printer, 2, b, cb, n); });
  auto* p2 = reinterpret_cast<PRINTER_INFO_2W*>(info2.data());
  EXPECT_EQ(std::u16string(p2->pPrinterName), u"Office P1");
  EXPECT_EQ(std::u16string(p2->pDatatype), u"RAW");
  ASSERT_TRUE(p2->pDevMode && Inside(info2, p2->pDevMode) && Inside(info2, reinterpret_cast<BYTE*>(p2->pDevMode) + 1547));
  EXPECT_EQ(reinterpret_cast<BYTE*>(p2->pDevMode)[1547], 0x5A);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(p2->pDevMode) % 8, 0u);

  auto info1 = QueryInfo([&](BYTE* b, DWORD cb, DWORD* n) { return GetPrinterW(printer, 1, b, cb, n); });
  EXPECT_EQ(std::u16string(reinterpret_cast<PRINTER_INFO_1W*>(info1.data())->pName), u"Office P1");

  auto driver = QueryInfo([&](BYTE* b, DWORD cb, DWORD* n) { return GetPrinterDriverW(printer, nullptr, 2, b, cb, n); });
  auto* d2 = reinterpret_cast<DRIVER_INFO_2W*>(driver.data());
  std::u16string directory = SimDriverDirectory();
  EXPECT_EQ(std::u16string(d2->pDataFile), directory + u"\\sample.ddd");
  std::u16string driverPath = d2->pDriverPath;
  EXPECT_EQ(driverPath.substr(0, directory.size()), directory);
  EXPECT_NE(driverPath.find(u".DLL"), std::u16string::npos);
  EXPECT_TRUE(Inside(driver, d2->pConfigFile));

  DWORD needed = 0;
  BYTE small[8];
  EXPECT_FALSE(GetPrinterW(printer, 3, small, sizeof small, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
  EXPECT_FALSE(GetPrinterDriverW(printer, nullptr, 2, nullptr, 4096, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_USER_BUFFER));
  EXPECT_TRUE(ClosePrinter(printer));
  EXPECT_FALSE(ClosePrinter(printer));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(GetPrinterW(printer, 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SpoolerTest, DriverInformationLevelThreeAddsFilesAndDataType) {
  ASSERT_TRUE(SimRemovePrinter(u"Office P1"));
  SimPrinterSetup setup;
  setup.name = u"Office P1";
  setup.dataFile = u"sample.ddd";
  setup.helpFile = u"qorvex.hlp";
  setup.dependentFiles = {u"qorvexdata.dll", u"C:\\Shared\\extra.dat"};
  ASSERT_TRUE(SimAddPrinter(setup));
  HANDLE printer = Open(PRINTER_ACCESS_USE);
  auto level3 = QueryInfo([&](BYTE* b, DWORD cb, DWORD* n) { return GetPrinterDriverW(printer, nullptr, 3, b, cb, n); });
  auto level2 = QueryInfo([&](BYTE* b, DWORD cb, DWORD* n) { return GetPrinterDriverW(printer, nullptr, 2, b, cb, n); });
  auto* d3 = reinterpret_cast<DRIVER_INFO_3W*>(level3.data());
  auto* d2 = reinterpret_cast<DRIVER_INFO_2W*>(level2.data());
  EXPECT_LT(level2.size(), level3.size());
  // The fields the two levels share answer alike.
  EXPECT_EQ(d3->cVersion, d2->cVersion);
  for (auto [a, b] : {std::pair{d3->pName, d2->pName}, {d3->pEnvironment, d2->pEnvironment},
                      {d3->pDriverPath, d2->pDriverPath}, {d3->pDataFile, d2->pDataFile},
                      {d3->pConfigFile, d2->pConfigFile}})
    EXPECT_EQ(std::u16string(a), std::u16string(b));
  std::u16string directory = SimDriverDirectory();
  ASSERT_TRUE(Inside(level3, d3->pHelpFile));
  EXPECT_EQ(std::u16string(d3->pHelpFile), directory + u"\\qorvex.hlp");
  EXPECT_EQ(d3->pMonitorName, nullptr);
  ASSERT_TRUE(Inside(level3, d3->pDefaultDataType));
  EXPECT_EQ(std::u16string(d3->pDefaultDataType), u"RAW");
  // The dependent files: one terminated name after the other, then an empty one.
  ASSERT_TRUE(Inside(level3, d3->pDependentFiles));
  std::vector<std::u16string> files;
  for (LPCWSTR p = d3->pDependentFiles; *p; p += files.back().size() + 1) {
    ASSERT_TRUE(Inside(level3, p));
    files.emplace_back(p);
  }
  EXPECT_EQ(files, (std::vector<std::u16string>{directory + u"\\qorvexdata.dll", u"C:\\Shared\\extra.dat"}));
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterDriverW(printer, nullptr, 4, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
  ClosePrinter(printer);
}

TEST_F(SpoolerTest, OpenChecksNameAndAdministratorSwitch) {
  HANDLE printer = reinterpret_cast<HANDLE>(1);
  EXPECT_FALSE(OpenPrinterW(u"No Such Printer", &printer, nullptr));
  EXPECT_EQ(printer, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

  SimRegistrySetAdministrator(FALSE);
  PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
  EXPECT_FALSE(OpenPrinterW(u"Office P1", &printer, &all));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ASSERT_TRUE(OpenPrinterW(u"Office P1", &printer, nullptr));
  DWORD one = 1;
  // A handle with use access only may read but not write printer data or forms.
  EXPECT_EQ(SetPrinterDataW(printer, u"Permission", REG_DWORD, reinterpret_cast<BYTE*>(&one), 4),
            static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(DeletePrinterDataW(printer, u"Permission"), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  FORM_INFO_1W form{FORM_USER, const_cast<LPWSTR>(u"Mine"), {1000, 1000}, {0, 0, 1000, 1000}};
  EXPECT_FALSE(AddFormW(printer, 1, reinterpret_cast<BYTE*>(&form)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ClosePrinter(printer);
  EXPECT_EQ(SimDumpPrinterData(u"Office P1"), "");
}

TEST_F(SpoolerTest, PrinterDataSizeQueriesAndKeys) {
  HANDLE printer = Open();
  const BYTE data[5] = {1, 2, 3, 4, 5};
  ASSERT_EQ(SetPrinterDataW(printer, u"Blob", REG_BINARY, data, 5), static_cast<DWORD>(ERROR_SUCCESS));
  DWORD type = 0, needed = 0;
  EXPECT_EQ(GetPrinterDataW(printer, u"BLOB", &type, nullptr, 0, &needed), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(needed, 5u);
  BYTE out[8] = {};
  EXPECT_EQ(GetPrinterDataW(printer, u"Blob", &type, out, 4, &needed), static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(out[0], 0) << "a short buffer receives nothing";
  EXPECT_EQ(GetPrinterDataW(printer, u"blob", &type, out, sizeof out, &needed), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(std::memcmp(out, data, 5), 0);
  EXPECT_EQ(GetPrinterDataW(printer, u"Missing", &type, out, sizeof out, &needed),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetPrinterDataW(printer, u"Blob", &type, out, sizeof out, nullptr), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // Values under another key do not show through the driver data key, and the other way round.
  const BYTE yes = 1;
  ASSERT_EQ(SetPrinterDataExW(printer, u"DsDriver", u"printDuplexSupported", REG_BINARY, &yes, 1),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetPrinterDataW(printer, u"printDuplexSupported", &type, out, 8, &needed),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetPrinterDataExW(printer, u"dsdriver", u"printDuplexSupported", &type, out, 8, &needed),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(GetPrinterDataExW(printer, u"PrinterDriverData", u"Blob", &type, out, 8, &needed),
            static_cast<DWORD>(ERROR_SUCCESS));

  DWORD number = 0x301;
  ASSERT_TRUE(SimSeedPrinterData(u"Office P1", nullptr, u"PrinterDataSize", REG_DWORD,
                                 {reinterpret_cast<BYTE*>(&number), 4}));
  EXPECT_EQ(SimDumpPrinterData(u"Office P1"),
            "[DsDriver]\n\"printDuplexSupported\" = REG_BINARY 01\n"
            "[PrinterDriverData]\n\"Blob\" = REG_BINARY 01 02 03 04 05\n\"PrinterDataSize\" = REG_DWORD 0x00000301\n");

  EXPECT_EQ(DeletePrinterDataW(printer, u"BLOB"), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(DeletePrinterDataW(printer, u"Blob"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  std::vector<BYTE> stored;
  EXPECT_FALSE(SimReadPrinterData(u"Office P1", nullptr, u"Blob", type, stored));
  EXPECT_TRUE(SimReadPrinterData(u"Office P1", u"DsDriver", u"printDuplexSupported", type, stored));
  ClosePrinter(printer);
}

TEST_F(SpoolerTest, EnumPrinterDataListsTheDriverKey) {
  HANDLE printer = Open();
  const BYTE blob[3] = {7, 8, 9};
  SetPrinterDataW(printer, u"A", REG_BINARY, blob, 3);
  SetPrinterDataW(printer, u"LongerName", REG_BINARY, blob, 1);
  SetPrinterDataExW(printer, u"DsDriver", u"Hidden", REG_BINARY, blob, 3);
  DWORD nameBytes = 0, dataBytes = 0, type = 0;
  ASSERT_EQ(EnumPrinterDataW(printer, 0, nullptr, 0, &nameBytes, &type, nullptr, 0, &dataBytes),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(nameBytes, 22u);  // "LongerName" with its terminator
  EXPECT_EQ(dataBytes, 3u);
  WCHAR name[16];
  BYTE data[4];
  EXPECT_EQ(EnumPrinterDataW(printer, 0, name, 2, &nameBytes, &type, data, 4, &dataBytes),
            static_cast<DWORD>(ERROR_MORE_DATA));
  ASSERT_EQ(EnumPrinterDataW(printer, 1, name, sizeof name, &nameBytes, &type, data, 4, &dataBytes),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(std::u16string(name), u"LongerName");
  EXPECT_EQ(dataBytes, 1u);
  EXPECT_EQ(EnumPrinterDataW(printer, 2, name, sizeof name, &nameBytes, &type, data, 4, &dataBytes),
            static_cast<DWORD>(ERROR_NO_MORE_ITEMS));
  ClosePrinter(printer);
}

TEST_F(SpoolerTest, ScriptedFailureChangesNothing) {
  HANDLE printer = Open();
  const BYTE data[2] = {1, 2};
  SimFailCall("SetPrinterDataW", ERROR_WRITE_FAULT, 2);
  EXPECT_EQ(SetPrinterDataW(printer, u"One", REG_BINARY, data, 2), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(SetPrinterDataW(printer, u"Two", REG_BINARY, data, 2), static_cast<DWORD>(ERROR_WRITE_FAULT));
  EXPECT_EQ(SetPrinterDataW(printer, u"Three", REG_BINARY, data, 2), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(SimCallCount("SetPrinterDataW"), 3);
  DWORD type, needed;
  EXPECT_EQ(GetPrinterDataW(printer, u"Two", &type, nullptr, 0, &needed), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  SimFailCall("GetFormW", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_FALSE(GetFormW(printer, u"A4", 1, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  ClosePrinter(printer);
}

TEST_F(SpoolerTest, FormsStandInFormNumberOrder) {
  HANDLE printer = Open();
  DWORD needed = 0, count = 7;
  EXPECT_FALSE(EnumFormsW(printer, 1, nullptr, 0, &needed, &count));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(count, 0u);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumFormsW(printer, 1, buffer.data(), needed, &needed, &count));
  ASSERT_EQ(count, 118u);
  auto* forms = reinterpret_cast<FORM_INFO_1W*>(buffer.data());
  struct Expected {
    DWORD number;
    std::u16string name;
    LONG width, length;
  };
  for (const Expected& e : {Expected{1, u"Letter", 215900, 279400}, Expected{5, u"Legal", 215900, 355600},
                            Expected{9, u"A4", 210000, 297000}, Expected{11, u"A5", 148000, 210000},
                            Expected{13, u"B5 (JIS)", 182000, 257000}, Expected{70, u"A6", 105000, 148000},
                            Expected{118, u"PRC Envelope #10 Rotated", 458000, 324000}}) {
    const FORM_INFO_1W& form = forms[e.number - 1];
    EXPECT_EQ(std::u16string(form.pName), e.name);
    EXPECT_EQ(form.Flags, static_cast<DWORD>(FORM_BUILTIN));
    EXPECT_EQ(form.Size.cx, e.width);
    EXPECT_EQ(form.Size.cy, e.length);
    EXPECT_EQ(form.ImageableArea.right, e.width);
  }

  FORM_INFO_1W mine{FORM_USER, const_cast<LPWSTR>(u"Custom Paper 1"), {100000, 200000}, {0, 0, 100000, 200000}};
  ASSERT_TRUE(AddFormW(printer, 1, reinterpret_cast<BYTE*>(&mine)));
  EXPECT_FALSE(AddFormW(printer, 1, reinterpret_cast<BYTE*>(&mine)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  auto form = QueryInfo([&](BYTE* b, DWORD cb, DWORD* n) { return GetFormW(printer, u"custom paper 1", 1, b, cb, n); });
  EXPECT_EQ(reinterpret_cast<FORM_INFO_1W*>(form.data())->Flags, static_cast<DWORD>(FORM_USER));
  EXPECT_EQ(reinterpret_cast<FORM_INFO_1W*>(form.data())->Size.cy, 200000);
  EXPECT_FALSE(GetFormW(printer, u"No Such Form", 1, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FORM_NAME));
  EXPECT_EQ(needed, 0u);
  ClosePrinter(printer);
}

TEST_F(SpoolerTest, SpoolJobsKeepTheirBytesAndWriteLog) {
  HANDLE printer = Open(PRINTER_ACCESS_USE);
  DWORD written = 9;
  EXPECT_FALSE(WritePrinter(printer, "x", 1, &written));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SPL_NO_STARTDOC));
  EXPECT_EQ(written, 0u);

  DOC_INFO_1W emf{const_cast<LPWSTR>(u"Doc"), nullptr, const_cast<LPWSTR>(u"NT EMF 1.008")};
  EXPECT_EQ(StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&emf)), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATATYPE));

  DOC_INFO_1W doc{const_cast<LPWSTR>(u"Report"), nullptr, const_cast<LPWSTR>(u"RAW")};
  DWORD id = StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&doc));
  ASSERT_NE(id, 0u);
  EXPECT_EQ(StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&doc)), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_STATE));
  EXPECT_TRUE(StartPagePrinter(printer));
  EXPECT_TRUE(WritePrinter(printer, "abc", 3, &written));
  EXPECT_EQ(written, 3u);
  SimFailCall("WritePrinter", ERROR_WRITE_FAULT);
  EXPECT_FALSE(WritePrinter(printer, "lost", 4, &written));
  EXPECT_TRUE(WritePrinter(printer, "defgh", 5, &written));
  EXPECT_TRUE(EndPagePrinter(printer));
  EXPECT_TRUE(EndDocPrinter(printer));
  EXPECT_FALSE(EndDocPrinter(printer));

  // A second job on another handle is left open when its handle closes.
  HANDLE other = Open(PRINTER_ACCESS_USE);
  DOC_INFO_1W toFile{const_cast<LPWSTR>(u"ToFile"), const_cast<LPWSTR>(u"C:\\out\\job.prn"), nullptr};
  DWORD second = StartDocPrinterW(other, 1, reinterpret_cast<BYTE*>(&toFile));
  ASSERT_EQ(second, id + 1);
  EXPECT_TRUE(WritePrinter(other, "zz", 2, &written));
  ClosePrinter(other);
  // An aborted job keeps what was written before.
  DWORD third = StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&doc));
  EXPECT_TRUE(WritePrinter(printer, "q", 1, &written));
  EXPECT_TRUE(AbortPrinter(printer));
  EXPECT_FALSE(WritePrinter(printer, "r", 1, &written));
  ClosePrinter(printer);

  auto jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(jobs[2].state, SimJobState::Aborted);
  EXPECT_EQ(SimReadSpoolJob(third), std::vector<BYTE>{'q'});
  EXPECT_EQ(jobs[0].document, u"Report");
  EXPECT_EQ(jobs[0].state, SimJobState::Complete);
  EXPECT_EQ(jobs[0].pages, 1u);
  EXPECT_EQ(jobs[0].writes, (std::vector<DWORD>{3, 5}));
  std::vector<BYTE> bytes = SimReadSpoolJob(id);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abcdefgh");
  EXPECT_EQ(jobs[1].state, SimJobState::LeftOpen);
  EXPECT_EQ(jobs[1].spoolFile, u"C:\\out\\job.prn");
  bytes = SimReadSpoolJob(second);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "zz");
  EXPECT_TRUE(SimReadSpoolJob(99).empty());
}

TEST_F(SpoolerTest, JobCallsAreLoggedWithFailuresAndShortWrites) {
  HANDLE printer = Open(PRINTER_ACCESS_USE);
  DOC_INFO_1W doc{const_cast<LPWSTR>(u"Log"), nullptr, nullptr};
  DWORD id = StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&doc));
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(StartPagePrinter(printer));
  DWORD written = 0;
  // The second and third writes take at most 3 bytes; the others take everything.
  SimLimitPrinterWrites(3, 2, 2);
  EXPECT_TRUE(WritePrinter(printer, "abcdef", 6, &written));
  EXPECT_EQ(written, 6u);
  EXPECT_TRUE(WritePrinter(printer, "ghijk", 5, &written));
  EXPECT_EQ(written, 3u);
  EXPECT_TRUE(WritePrinter(printer, "lm", 2, &written));
  EXPECT_EQ(written, 2u);
  EXPECT_TRUE(WritePrinter(printer, "nopq", 4, &written));
  EXPECT_EQ(written, 4u);
  SimLimitPrinterWrites(0);
  EXPECT_TRUE(WritePrinter(printer, "rs", 2, &written));
  EXPECT_EQ(written, 0u);
  SimFailCall("WritePrinter", ERROR_DISK_FULL);
  EXPECT_FALSE(WritePrinter(printer, "tuvw", 4, &written));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(written, 0u);
  SimFailCall("EndPagePrinter", ERROR_INVALID_HANDLE);
  EXPECT_FALSE(EndPagePrinter(printer));
  EXPECT_TRUE(EndPagePrinter(printer));
  // A close that fails keeps the handle and its job; the next close ends both.
  SimFailCall("ClosePrinter", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_FALSE(ClosePrinter(printer));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(SimOpenPrinterHandleCount(), 1u);
  EXPECT_TRUE(EndDocPrinter(printer));
  EXPECT_TRUE(ClosePrinter(printer));

  auto jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 1u);
  std::vector<SimJobCall> expected = {
      {"StartDocPrinterW", TRUE, 0, 0}, {"StartPagePrinter", TRUE, 0, 0}, {"WritePrinter", TRUE, 6, 6},
      {"WritePrinter", TRUE, 5, 3},     {"WritePrinter", TRUE, 2, 2},     {"WritePrinter", TRUE, 4, 4},
      {"WritePrinter", TRUE, 2, 0},     {"WritePrinter", FALSE, 4, 0},    {"EndPagePrinter", FALSE, 0, 0},
      {"EndPagePrinter", TRUE, 0, 0},   {"ClosePrinter", FALSE, 0, 0},    {"EndDocPrinter", TRUE, 0, 0}};
  EXPECT_EQ(jobs[0].calls, expected);
  EXPECT_EQ(jobs[0].writes, (std::vector<DWORD>{6, 3, 2, 4, 0}));
  std::vector<BYTE> bytes = SimReadSpoolJob(id);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abcdefghilmnopq");
  EXPECT_EQ(jobs[0].state, SimJobState::Complete);
}

}  // namespace
