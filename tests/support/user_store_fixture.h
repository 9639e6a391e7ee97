// Fixture of the per-user store tests: a printer, the per-user key and machine base of its
// model, and the resource module with the stamp strings.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/services/module_state.h"
#include "core/services/resource_module.h"
#include "core/store/user_store.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

class UserStoreTest : public SandboxTest {
 protected:
  static constexpr const WCHAR* kPrinter = u"Rules Printer";
  // The machine registry base of the sample model (database section 30).
  static constexpr const WCHAR* kMachineBase = u"SOFTWARE\\Qorvex\\QX-4500";

  void SetUp() override {
    SandboxTest::SetUp();
    own_ = LoadLibraryW(u"rules_module.qrs");
    ASSERT_NE(own_, nullptr);
    SetModuleInstance(own_);
    AcquireResourceModule();
    ASSERT_NE(GetResourceModule(), nullptr);
    SimPrinterSetup setup;
    setup.name = kPrinter;
    setup.dataFile = u"QX4500.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
    setup.name = u"Bare Printer";  // its model database is missing
    setup.dataFile = u"MISSING.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
    PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(kPrinter, &printer_, &all));
    ASSERT_TRUE(OpenPrinterW(u"Bare Printer", &bare_, &all));
    // The per-user key: the model's per-user base and the printer's identity (made now).
    WCHAR path[kUserKeyPathChars];
    ASSERT_EQ(BuildPaperMarginKeyPath(printer_, path, kUserKeyPathChars), 1);
    userKey_ = path;
    userKey_.resize(userKey_.size() - std::u16string(u"\\Paper Margin").size());
  }

  void TearDown() override {
    ClosePrinter(printer_);
    ClosePrinter(bare_);
    ReleaseResourceModule();
    FreeLibrary(own_);
    SandboxTest::TearDown();
  }

  std::u16string UserPath(const WCHAR* subKey) const { return userKey_ + u"\\" + subKey; }
  static std::u16string MachinePath(const WCHAR* subKey) { return std::u16string(kMachineBase) + u"\\" + subKey; }
  static std::string Dump(const std::u16string& path) { return SimRegistryDump(HKEY_CURRENT_USER, path.c_str()); }
  static std::string Utf8(const std::u16string& s) { return Utf16ToUtf8(s); }

  HMODULE own_ = nullptr;
  HANDLE printer_ = nullptr;
  HANDLE bare_ = nullptr;
  std::u16string userKey_;
};
