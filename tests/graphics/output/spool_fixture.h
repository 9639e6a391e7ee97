// Test fixture of the graphics module's output: printer "P1" of the sample model, opened as the
// engine opens it, with the engine's own spool job started on request, and views of the
// spooler's job log.
#pragma once

#include <string>
#include <vector>

#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/graphics/graphics_fixture.h"

class SpoolTest : public GraphicsModuleTest {
 protected:
  static constexpr const WCHAR* kPrinter = u"P1";

  void SetUp() override {
    GraphicsModuleTest::SetUp();
    if (HasFatalFailure()) return;
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
    ASSERT_TRUE(OpenPrinterW(kPrinter, &printer_, nullptr));
  }

  void TearDown() override {
    if (printer_ != nullptr) ClosePrinter(printer_);
    GraphicsModuleTest::TearDown();
  }

  // The engine's job on printer_, with its first page begun.
  DWORD StartEngineJob() {
    DOC_INFO_1W doc{const_cast<LPWSTR>(u"Engine Document"), nullptr, nullptr};
    const DWORD id = StartDocPrinterW(printer_, 1, reinterpret_cast<const BYTE*>(&doc));
    EXPECT_NE(id, 0u);
    EXPECT_TRUE(StartPagePrinter(printer_));
    return id;
  }

  static SimSpoolJob Job(DWORD id) {
    for (const SimSpoolJob& job : SimListSpoolJobs())
      if (job.id == id) return job;
    ADD_FAILURE() << "no job " << id;
    return {};
  }

  // The sizes every WritePrinter call of the job asked for, in order.
  static std::vector<DWORD> WriteSizes(DWORD id) {
    std::vector<DWORD> sizes;
    for (const SimJobCall& call : Job(id).calls)
      if (call.function == "WritePrinter") sizes.push_back(call.asked);
    return sizes;
  }

  // The job calls by name, in order.
  static std::vector<std::string> CallNames(DWORD id) {
    std::vector<std::string> names;
    for (const SimJobCall& call : Job(id).calls) names.push_back(call.function);
    return names;
  }

  HANDLE printer_ = nullptr;
};
