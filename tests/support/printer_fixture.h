// The printer fixtures: a sandbox with printers of the sample model (QX4500.DDD in the driver
// directory) opened through the spooler as the driver's hosts open them and a fixed clock
// (PrinterTest); with the test module as the core's module instance and printer "P1"
// (SamplePrinterTest); with the model's default settings of "P1" in German number formats and
// the resource module in use (SampleSettingsTest); with the per-user key of "P1" and a printer
// whose model database is missing (UserStoreTest).
#pragma once

#include <string>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "core/store/user_store.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/platform.h"
#include "platform/spooler/spooler.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/sandbox_test.h"

namespace printer_test {

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

  void AddPrinter(const std::u16string& name, const std::u16string& dataFile = u"QX4500.DDD") {
    SimPrinterSetup setup;
    setup.name = name;
    setup.dataFile = dataFile;
    ASSERT_TRUE(SimAddPrinter(setup));
  }

  // Opens a printer as an administrator's tools do, or for use only; closed at tear-down.
  HANDLE Open(const std::u16string& name, ACCESS_MASK access = PRINTER_ALL_ACCESS) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    HANDLE h = nullptr;
    EXPECT_TRUE(OpenPrinterW(name.c_str(), &h, &defaults));
    if (h != nullptr) handles_.push_back(h);
    return h;
  }

  static std::string Utf8(const std::u16string& s) { return Utf16ToUtf8(s); }

  std::vector<HANDLE> handles_;
};

// Printer "P1" of the sample model, opened for all access, with the test resource module as
// the module instance the core takes its strings from; the printer's item store on request.
class SamplePrinterTest : public PrinterTest {
 protected:
  static constexpr const WCHAR* kPrinter = u"P1";

  void SetUp() override {
    PrinterTest::SetUp();
    module_ = LoadLibraryW(u"printer_test_module.qrs");
    ASSERT_NE(module_, nullptr);
    SetModuleInstance(module_);
    AddPrinter(kPrinter);
    printer_ = Open(kPrinter);
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

// "P1" with its item store open, the resource module in use, the country set to 49 and
// settings_ and config_ filled with the model's defaults.
class SampleSettingsTest : public SamplePrinterTest {
 protected:
  void SetUp() override {
    SamplePrinterTest::SetUp();
    SimSetLocaleInfo(LOCALE_ICOUNTRY, u"49");
    OpenStore();
    AcquireResourceModule();
    ASSERT_TRUE(ApplyDataFileDefaults(store_, &settings_, &config_, kPrinter));
  }
  void TearDown() override {
    ReleaseResourceModule();
    SamplePrinterTest::TearDown();
  }
  // Writes a number item in its own type.
  void Put(SettingItemId id, LONG value) {
    ItemLocation location{};
    DWORD size = 0;
    ASSERT_EQ(LocateItem(id, &settings_, &config_, &location), kItemDone);
    ASSERT_TRUE(GetValueTypeSize(location.row->type, &size));
    ASSERT_EQ(SetItemValue(id, &settings_, &config_, location.row->type, size, &value), kItemDone) << id;
  }

  SettingsRecord settings_{};
  PrinterConfiguration config_{};
};

// "P1" with its per-user key named (its identity made now) and the resource module in use; a
// second printer, "Bare Printer", whose model database is missing.
class UserStoreTest : public SamplePrinterTest {
 protected:
  // The machine registry base of the sample model (database section 30).
  static constexpr const WCHAR* kMachineBase = u"SOFTWARE\\Qorvex\\QX-4500";

  void SetUp() override {
    SamplePrinterTest::SetUp();
    if (HasFatalFailure()) return;
    AcquireResourceModule();
    ASSERT_NE(GetResourceModule(), nullptr);
    SimPrinterSetup setup;
    setup.name = u"Bare Printer";
    setup.dataFile = u"MISSING.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
    bare_ = Open(u"Bare Printer");
    WCHAR path[kUserKeyPathChars];
    ASSERT_EQ(BuildPaperMarginKeyPath(printer_, path, kUserKeyPathChars), 1);
    userKey_ = path;
    userKey_.resize(userKey_.size() - std::u16string(u"\\Paper Margin").size());
  }

  void TearDown() override {
    ReleaseResourceModule();
    SamplePrinterTest::TearDown();
  }

  std::u16string UserPath(const WCHAR* subKey) const { return userKey_ + u"\\" + subKey; }
  static std::u16string MachinePath(const WCHAR* subKey) { return std::u16string(kMachineBase) + u"\\" + subKey; }
  static std::string Dump(const std::u16string& path) { return SimRegistryDump(HKEY_CURRENT_USER, path.c_str()); }

  HANDLE bare_ = nullptr;
  std::u16string userKey_;
};

}  // namespace printer_test
