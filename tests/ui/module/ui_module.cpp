#include "tests/ui/module/ui_module.h"

#include <gtest/gtest.h>

#include "core/system/printer_info.h"

namespace {

template <typename Proc>
bool Bind(HMODULE module, const char* name, Proc* proc) {
  *proc = reinterpret_cast<Proc>(GetProcAddress(module, name));
  EXPECT_NE(*proc, nullptr) << name;
  return *proc != nullptr;
}

}  // namespace

bool LoadQorvexUi(HANDLE printer, QorvexUiExports* dll) {
  BYTE buffer[1024] = {};
  DWORD needed = 0;
  EXPECT_TRUE(GetPrinterDriverW(printer, nullptr, 2, buffer, sizeof buffer, &needed));
  const auto* driver = reinterpret_cast<const DRIVER_INFO_2W*>(buffer);
  dll->module = LoadLibraryW(driver->pConfigFile);
  EXPECT_NE(dll->module, nullptr) << SimModuleLastLoadMessage();
  if (dll->module == nullptr) return false;
  bool bound = Bind(dll->module, "DrvDeviceCapabilities", &dll->deviceCapabilities);
  bound &= Bind(dll->module, "DrvQueryColorProfile", &dll->queryColorProfile);
  bound &= Bind(dll->module, "DevQueryPrintEx", &dll->devQueryPrintEx);
  bound &= Bind(dll->module, "DrvPrinterEvent", &dll->printerEvent);
  bound &= Bind(dll->module, "DrvConvertDevMode", &dll->convertDevMode);
  bound &= Bind(dll->module, "DrvUpgradePrinter", &dll->upgradePrinter);
  return bound;
}

void UnloadQorvexUi(QorvexUiExports* dll) {
  if (dll->module != nullptr) {
    EXPECT_TRUE(FreeLibrary(dll->module));
  }
  dll->module = nullptr;
}

void UiModuleTest::SetUp() {
  PrinterTest::SetUp();
  AddPrinter(kPrinter);
  printer_ = Open(kPrinter);
  ASSERT_NE(printer_, nullptr);
  ASSERT_TRUE(LoadQorvexUi(printer_, &ui_));
}

void UiModuleTest::TearDown() {
  UnloadQorvexUi(&ui_);
  PrinterTest::TearDown();
}

void UiModuleTest::ExpectResourceModuleReleased() {
  EXPECT_GT(SimModuleLoadCount(u"qorvexstr.qrs"), 0);
  EXPECT_EQ(SimModuleLoadCount(u"qorvexstr.qrs"), SimModuleFreeCount(u"qorvexstr.qrs"));
}
