// qorvexui.dll loaded by name as the spooler and GDI load it, with the exports they bind, over
// printer "P1" of the sample model.
#pragma once

#include <string>

#include "platform/platform.h"
#include "tests/support/printer_fixture.h"
#include "ui/module/driver_ui.h"

struct QorvexUiExports {
  HMODULE module = nullptr;
  DrvDeviceCapabilitiesProc deviceCapabilities = nullptr;
  DrvQueryColorProfileProc queryColorProfile = nullptr;
  DevQueryPrintExProc devQueryPrintEx = nullptr;
  DrvPrinterEventProc printerEvent = nullptr;
  DrvConvertDevModeProc convertDevMode = nullptr;
  DrvUpgradePrinterProc upgradePrinter = nullptr;
};

// Loads the module named by the printer's driver (DRIVER_INFO_2.pConfigFile) and binds every
// export; false (with a gtest failure) when any is missing.
bool LoadQorvexUi(HANDLE printer, QorvexUiExports* dll);
void UnloadQorvexUi(QorvexUiExports* dll);

class UiModuleTest : public printer_test::PrinterTest {
 protected:
  static constexpr const WCHAR* kPrinter = u"P1";

  void SetUp() override;
  void TearDown() override;

  // The resource file was loaded and freed as often: no export left a reference behind.
  static void ExpectResourceModuleReleased();

  QorvexUiExports ui_;
  HANDLE printer_ = nullptr;
};
