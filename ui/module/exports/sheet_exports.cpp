// The printer's property sheets: the spooler's and applications' entries to the document and
// device sheets, and the merge of document settings without a window.
#include "core/runtime/trace_log.h"
#include "platform/base/export.h"
#include "platform/user/msgbox.h"
#include "ui/module/export_bracket.h"
#include "ui/module/sheet_hosting.h"

DLLEXPORT LONG WINAPI DrvDocumentPropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam) {
  EnterExport(u"DrvDocumentPropertySheets");
  const auto* header = reinterpret_cast<const DOCUMENTPROPERTYHEADER*>(info != nullptr ? info->lParamInit : lParam);
  const LONG result = DocumentPropertySheets(info, lParam);
  LeaveExport();
  TraceLeave(u"DrvDocumentPropertySheets RetValue = %ld, fMode = %d", result,
             header != nullptr ? static_cast<int>(header->fMode) : -1);
  return result;
}

DLLEXPORT LONG WINAPI DrvDevicePropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam) {
  EnterExport(u"DrvDevicePropertySheets");
  const LONG result = DevicePropertySheets(info, lParam);
  LeaveExport();
  TraceLeave(u"DrvDevicePropertySheets RetValue = %ld", result);
  return result;
}

DLLEXPORT LONG WINAPI DrvDocumentProperties(HWND window, HANDLE printer, LPWSTR deviceName, DEVMODEW* output,
                                            DEVMODEW* input, DWORD fMode) {
  EnterExport(u"DrvDocumentProperties");
  LONG result = static_cast<LONG>(kDocumentDevModeSize);
  if (fMode != 0 && output != nullptr) {
    result = RunDocumentProperties(fMode, window, printer, deviceName, output, input,
                                   reinterpret_cast<PFNPROPSHEETUI>(DrvDocumentPropertySheets));
    result = result > 0 ? IDOK : result == 0 ? IDCANCEL : result;
  }
  LeaveExport();
  TraceLeave(u"DrvDocumentProperties RetValue = %ld", result);
  return result;
}

DLLEXPORT LONG WINAPI DrvAdvancedDocumentProperties(HWND window, HANDLE printer, LPWSTR deviceName, DEVMODEW* output,
                                                    DEVMODEW* input) {
  EnterExport(u"DrvAdvancedDocumentProperties");
  LONG result = static_cast<LONG>(kDocumentDevModeSize);
  if (output != nullptr)
    result = RunDocumentProperties(DM_COPY | DM_PROMPT | DM_ADVANCED, window, printer, deviceName, output, input,
                                   reinterpret_cast<PFNPROPSHEETUI>(DrvDocumentPropertySheets));
  result = result > 0 ? 1 : 0;
  LeaveExport();
  TraceLeave(u"DrvAdvancedDocumentProperties RetValue = %ld", result);
  return result;
}

DLLEXPORT BOOL WINAPI PrinterProperties(HWND parent, HANDLE printer) {
  EnterExport(u"PrinterProperties");
  const BOOL result = ShowPrinterProperties(parent, printer, reinterpret_cast<PFNPROPSHEETUI>(DrvDevicePropertySheets));
  LeaveExport();
  TraceLeave(u"PrinterProperties RetValue = %d", result);
  return result;
}
