// The printer's property sheets hosted through the common property-sheet component: the
// merge of document settings without a window, the component's run, and the callback that
// builds, answers and ends a sheet.
#pragma once

#include "platform/base/types.h"
#include "platform/comctl/compstui.h"
#include "platform/comctl/printer_sheets.h"
#include "ui/module/tab_lists.h"

// The size of the device mode the module writes.
inline constexpr DWORD kDocumentDevModeSize = 1548;

// The document settings of the header's printer merged with its input devmode into its output
// devmode, without a window: 1548 without fMode or output, 1 merged (or nothing asked), -1 on a
// failure, also when the caller's output buffer is smaller than what would be written.
LONG MergeDocumentSettings(DOCUMENTPROPERTYHEADER* header);
// Runs the component's sheet with the provider: its answer, -1 when the component cannot be had.
LONG CallCommonPropertySheetUI(HWND owner, PFNPROPSHEETUI provider, LPARAM lParam, DWORD* result);
// The document properties of an application: the sheet (DM_PROMPT, its result value, -1 when it
// cannot run) or the merge.
LONG RunDocumentProperties(DWORD fMode, HWND window, HANDLE printer, LPWSTR deviceName, DEVMODEW* output,
                           DEVMODEW* input, PFNPROPSHEETUI provider);
// The component's callback for a sheet (kDeviceSheet or kDocumentSheet): 1 handled, 0 for
// SET_RESULT (the caller finishes it), -1 on a failure.
LONG PropertySheetCallback(void* header, int sheetKind, PROPSHEETUI_INFO* info, LPARAM lParam,
                           LPFNPSPCALLBACKW pageCallback);
// Every page may be created.
UINT PropertyPageCallback(HWND window, UINT message, PROPSHEETPAGEW* page);
// The work of the two page providers.
LONG DocumentPropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam);
LONG DevicePropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam);
// The device sheet of a printer, with permission when the caller may write printer data: TRUE
// when the sheet ended with a result.
BOOL ShowPrinterProperties(HWND parent, HANDLE printer, PFNPROPSHEETUI provider);
