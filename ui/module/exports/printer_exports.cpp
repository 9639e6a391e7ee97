// The spooler's printer exports: printer events, device-mode conversion and the upgrade.
#include "core/persist/devmode_worker.h"
#include "core/runtime/trace_log.h"
#include "platform/base/export.h"
#include "ui/module/driver_ui.h"
#include "ui/module/export_bracket.h"
#include "ui/module/printer_upgrade.h"

DLLEXPORT BOOL WINAPI DrvPrinterEvent(LPWSTR printerName, INT event, DWORD /*flags*/, LPARAM /*lParam*/) {
  EnterExport(u"DrvPrinterEvent");
  HandlePrinterEvent(printerName, event);
  LeaveExport();
  TraceLeave(u"DrvPrinterEvent");
  return TRUE;
}

DLLEXPORT BOOL WINAPI DrvConvertDevMode(LPWSTR printerName, DEVMODEW* input, DEVMODEW* output, LONG* size,
                                        DWORD mode) {
  EnterExport(u"DrvConvertDevMode");
  BOOL result = FALSE;
  if (printerName != nullptr && size != nullptr) {
    const int converted = ConvertDevModeWorker(printerName, input, output, size, mode);
    result = converted == kDevModeUpgraded || converted == kDevModeCopied || converted == kDevModeDefaults;
  }
  LeaveExport(true);
  TraceLeave(u"DrvConvertDevMode RetValue = %d", result);
  return result;
}

DLLEXPORT BOOL WINAPI DrvUpgradePrinter(DWORD level, LPBYTE info) {
  EnterExport(u"DrvUpgradePrinter");
  const BOOL result = UpgradePrinter(level, info);
  LeaveExport(true);
  TraceLeave(u"DrvUpgradePrinter RetValue = %d", result);
  return result;
}
