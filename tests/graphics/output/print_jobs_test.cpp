// Spool jobs of the graphics module: bounded writes to a printer handle, a further "RAW" job
// for a later pass, and closing it.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/output/print_jobs.h"
#include "tests/graphics/output/spool_fixture.h"

namespace {

class PrintJobs : public SpoolTest {};

TEST_F(PrintJobs, WriteToPrinterCutsLargeWritesIntoPieces) {
  struct Case {
    DWORD length;
    std::vector<DWORD> pieces;
  };
  const Case cases[] = {
      {2500000, {1000000, 1000000, 500000}},
      {1000000, {1000000}},
      {1000001, {1000000, 1}},
      {17, {17}},
      {0, {}},
  };
  std::vector<BYTE> bytes(2500000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<BYTE>(i * 7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const DWORD id = StartEngineJob();
    DWORD written = 99;
    EXPECT_TRUE(WriteToPrinter(printer_, bytes.data(), c.length, &written));
    EXPECT_EQ(written, c.length);
    EXPECT_EQ(WriteSizes(id), c.pieces);
    EndDocPrinter(printer_);
    EXPECT_EQ(SimReadSpoolJob(id), std::vector<BYTE>(bytes.begin(), bytes.begin() + c.length));
  }
}

TEST_F(PrintJobs, WriteToPrinterFailures) {
  std::vector<BYTE> bytes(2500000, 0x33);
  DWORD written = 99;
  EXPECT_FALSE(WriteToPrinter(nullptr, bytes.data(), 10, &written));
  EXPECT_EQ(written, 0u);
  const DWORD id = StartEngineJob();
  EXPECT_FALSE(WriteToPrinter(printer_, nullptr, 10, &written));
  EXPECT_TRUE(WriteToPrinter(printer_, nullptr, 0, &written));
  EXPECT_TRUE(WriteSizes(id).empty());

  // A piece before the last that is not taken whole ends the call: FALSE, 0 written.
  SimLimitPrinterWrites(999999, 2);
  EXPECT_FALSE(WriteToPrinter(printer_, bytes.data(), 2500000, &written));
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(WriteSizes(id), (std::vector<DWORD>{1000000, 1000000}));
  // A failed piece.
  SimFailCall("WritePrinter", ERROR_WRITE_FAULT, 3);
  EXPECT_FALSE(WriteToPrinter(printer_, bytes.data(), 2500000, &written));
  EXPECT_EQ(written, 0u);
  // A short last piece is the last piece's answer: TRUE, and the total shows what was taken.
  SimLimitPrinterWrites(10, 3);
  EXPECT_TRUE(WriteToPrinter(printer_, bytes.data(), 2500000, &written));
  EXPECT_EQ(written, 2000010u);
  EndDocPrinter(printer_);
}

TEST_F(PrintJobs, RawJobForALaterPassIsOpenedAndClosed) {
  const DWORD engineJob = StartEngineJob();
  HANDLE pass = OpenRawPrintJob(printer_, nullptr, u"Report (copy 2)");
  ASSERT_NE(pass, nullptr);
  EXPECT_NE(pass, printer_);
  auto jobs = SimListSpoolJobs();
  ASSERT_EQ(jobs.size(), 2u);
  const SimSpoolJob& job = jobs[1];
  EXPECT_EQ(job.printer, kPrinter);
  EXPECT_EQ(job.document, u"Report (copy 2)");
  EXPECT_EQ(job.datatype, u"RAW");
  DWORD written = 0;
  EXPECT_TRUE(WriteToPrinter(pass, "pass", 4, &written));
  EXPECT_TRUE(ClosePrintJob(pass));
  EXPECT_EQ(CallNames(job.id), (std::vector<std::string>{"StartDocPrinterW", "StartPagePrinter", "WritePrinter",
                                                          "EndPagePrinter", "EndDocPrinter"}));
  EXPECT_EQ(Job(job.id).state, SimJobState::Complete);
  EXPECT_EQ(SimOpenPrinterHandleCount(), 1u);
  // The engine's job saw none of it.
  EXPECT_EQ(CallNames(engineJob), (std::vector<std::string>{"StartDocPrinterW", "StartPagePrinter"}));
  EndDocPrinter(printer_);
}

TEST_F(PrintJobs, RawJobThatCannotStartLeavesNothingOpen) {
  struct Case {
    const char* function;
    size_t jobs;  // jobs the spooler holds afterwards
  };
  for (const Case& c : {Case{"GetPrinterW", 0}, Case{"OpenPrinterW", 0}, Case{"StartDocPrinterW", 0},
                        Case{"StartPagePrinter", 1}}) {
    SCOPED_TRACE(c.function);
    SimFailCall(c.function, ERROR_NOT_ENOUGH_MEMORY);
    const size_t before = SimListSpoolJobs().size();
    EXPECT_EQ(OpenRawPrintJob(printer_, nullptr, u"Pass"), nullptr);
    EXPECT_EQ(SimOpenPrinterHandleCount(), 1u);
    auto jobs = SimListSpoolJobs();
    ASSERT_EQ(jobs.size(), before + c.jobs);
    if (c.jobs) {
      EXPECT_EQ(jobs.back().state, SimJobState::Aborted);
    }
  }
}

TEST_F(PrintJobs, ClosePrintJobCallsAllThreeAndReportsAnyFailure) {
  EXPECT_FALSE(ClosePrintJob(nullptr));
  HANDLE pass = OpenRawPrintJob(printer_, nullptr, u"Pass");
  ASSERT_NE(pass, nullptr);
  const DWORD id = SimListSpoolJobs().back().id;
  SimFailCall("EndPagePrinter", ERROR_INVALID_HANDLE);
  EXPECT_FALSE(ClosePrintJob(pass));
  EXPECT_EQ(CallNames(id), (std::vector<std::string>{"StartDocPrinterW", "StartPagePrinter", "EndPagePrinter",
                                                      "EndDocPrinter"}));
  EXPECT_EQ(Job(id).state, SimJobState::Complete);
  EXPECT_EQ(SimOpenPrinterHandleCount(), 1u);
  EXPECT_EQ(AttachPrinterHandle(printer_), printer_);
  EXPECT_TRUE(HasFileHandle(printer_));
  EXPECT_FALSE(HasFileHandle(nullptr));
}

}  // namespace
