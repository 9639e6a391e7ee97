// What the spooler and GDI hand the user-interface module through its exports: the records of
// the printer-driver interface (the property sheets' headers are the common controls') and the
// exports' own declarations.
#pragma once

#include "platform/base/types.h"
#include "platform/comctl/printer_sheets.h"

// DevQueryPrintEx's record.
struct DEVQUERYPRINT_INFO {
  WORD cbSize;
  WORD Level;
  HANDLE hPrinter;
  DEVMODEW* pDevMode;
  LPWSTR pszErrorStr;
  DWORD cchErrorStr;
  DWORD cchNeeded;
};

// DrvUpgradePrinter level 1.
struct DRIVER_UPGRADE_INFO_1W {
  LPWSTR pPrinterName;
  LPWSTR pOldDriverDirectory;
};

// DrvPrinterEvent events.
inline constexpr INT PRINTER_EVENT_ADD_CONNECTION = 1;
inline constexpr INT PRINTER_EVENT_DELETE_CONNECTION = 2;
inline constexpr INT PRINTER_EVENT_INITIALIZE = 3;
inline constexpr INT PRINTER_EVENT_DELETE = 4;

// DrvQueryColorProfile: the device's profile, and what the answer holds (its flags are a
// 32-bit FLONG).
inline constexpr ULONG QCP_DEVICEPROFILE = 0;
inline constexpr ULONG QCP_PROFILEDISK = 2;

// The exports as the spooler and GDI bind them by name.
using DrvDeviceCapabilitiesProc = DWORD (*)(HANDLE printer, LPWSTR deviceName, WORD capability, void* output,
                                            DEVMODEW* devMode);
using DrvQueryColorProfileProc = BOOL (*)(HANDLE printer, DEVMODEW* devMode, ULONG queryMode, void* profileData,
                                          ULONG* size, ULONG* profileFlags);
using DevQueryPrintExProc = BOOL (*)(DEVQUERYPRINT_INFO* info);
using DrvPrinterEventProc = BOOL (*)(LPWSTR printerName, INT event, DWORD flags, LPARAM lParam);
using DrvConvertDevModeProc = BOOL (*)(LPWSTR printerName, DEVMODEW* input, DEVMODEW* output, LONG* size,
                                       DWORD mode);
using DrvUpgradePrinterProc = BOOL (*)(DWORD level, LPBYTE info);
