// The query exports: device capabilities, the colour profile and the job's device mode check.
#include "core/runtime/trace_log.h"
#include "platform/base/export.h"
#include "ui/module/device_queries.h"
#include "ui/module/driver_ui.h"
#include "ui/module/export_bracket.h"

DLLEXPORT DWORD WINAPI DrvDeviceCapabilities(HANDLE printer, LPWSTR /*deviceName*/, WORD capability, void* output,
                                             DEVMODEW* devMode) {
  EnterExport(u"DrvDeviceCapabilities");
  const DWORD result = AnswerDeviceCapability(printer, capability, output, devMode);
  LeaveExport();
  TraceLeave(u"DrvDeviceCapabilities RetValue = 0x%08lX, wCap = %d", result, int{capability});
  return result;
}

DLLEXPORT BOOL WINAPI DrvQueryColorProfile(HANDLE printer, DEVMODEW* devMode, ULONG queryMode, void* profileData,
                                           ULONG* size, ULONG* profileFlags) {
  EnterExport(u"DrvQueryColorProfile");
  const BOOL result = QueryColorProfile(printer, devMode, queryMode, profileData, size, profileFlags);
  LeaveExport(true);
  TraceLeave(u"DrvQueryColorProfile RetValue = %d", result);
  return result;
}

DLLEXPORT BOOL WINAPI DevQueryPrintEx(DEVQUERYPRINT_INFO* info) {
  EnterExport(u"DevQueryPrintEx");
  const BOOL result = QueryPrintDevMode(info);
  LeaveExport();
  TraceLeave(u"DevQueryPrintEx RetValue = %d", result);
  return result;
}
