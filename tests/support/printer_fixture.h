// A sandbox with printers of the sample model (QX4500.DDD in the driver directory), opened
// through the spooler as the driver's hosts open them, and a fixed clock.
#pragma once

#include <string>
#include <vector>

#include "core/store/item_store.h"
#include "core/services/module_state.h"
#include "core/services/resource_module.h"
#include "platform/platform.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/sandbox_test.h"

namespace persist_test {

// Per-user base text of the sample model (database section 33).
inline const std::u16string kSampleUserBase = u"Software\\Qorvex\\QX-4500\\Users\\";

class PrinterTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    SYSTEMTIME clock{2024, 1, 2, 2, 3, 4, 5, 0};  // 1704164645 seconds
    SimSetClock(clock);
  }

  void TearDown() override {
    for (HANDLE h : handles_) ClosePrinter(h);
    SandboxTest::TearDown();
  }

  void AddPrinter(const std::u16string& name) {
    SimPrinterSetup setup;
    setup.name = name;
    setup.dataFile = u"QX4500.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
  }

  // Opens a printer as an administrator's tools do, or for use only.
  HANDLE Open(const std::u16string& name, ACCESS_MASK access = PRINTER_ALL_ACCESS) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    HANDLE h = nullptr;
    EXPECT_TRUE(OpenPrinterW(name.c_str(), &h, &defaults));
    if (h != nullptr) handles_.push_back(h);
    return h;
  }

  static std::string Utf8(const std::u16string& s) { return std::string(s.begin(), s.end()); }

  std::vector<HANDLE> handles_;
};

// Printer "P1" of the sample model, opened for all access, with the test resource module as
// the module instance the core takes its strings from; the printer's item store on request.
class SamplePrinterTest : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    module_ = LoadLibraryW(u"persisttest_module.qrs");
    ASSERT_NE(module_, nullptr);
    SetModuleInstance(module_);
    AddPrinter(u"P1");
    printer_ = Open(u"P1");
  }

  void TearDown() override {
    if (store_ != nullptr) CloseItemStore(store_);
    FreeResourceModule();  // what the module's detach does
    SetModuleInstance(nullptr);
    FreeLibrary(module_);
    PrinterTest::TearDown();
  }

  // Opens the printer's item store into store_, closed again at tear-down.
  void OpenStore() {
    store_ = OpenItemStore(printer_);
    ASSERT_NE(store_, nullptr);
  }

  HMODULE module_ = nullptr;
  HANDLE printer_ = nullptr;
  ItemStore* store_ = nullptr;
};

}  // namespace persist_test
