// Conversion of a device mode that another driver release or model wrote into this release's
// 1548-byte device mode, and the printer's own default device mode loaded the same way. The
// user-interface module's conversion export and the core's settings loads share the worker.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

struct ItemStore;

// Modes of ConvertDevModeWorker (the spooler's fMode values).
inline constexpr DWORD CDM_CONVERT = 0x01;
inline constexpr DWORD CDM_CONVERT351 = 0x02;
inline constexpr DWORD CDM_DRIVER_DEFAULT = 0x04;

// Results of ConvertDevModeWorker.
inline constexpr int kDevModeUpgraded = 1;      // an older layout rebuilt item by item
inline constexpr int kDevModeCopied = 2;        // this release's layout copied
inline constexpr int kDevModeDefaults = 3;      // the model's defaults in its place
inline constexpr int kDevModeTooSmall = -1;     // *size set to what is needed
inline constexpr int kDevModeFailed = -2;

// Bytes of a device mode up to and including dmDriverExtra: what must be present before its
// own length can be read.
inline constexpr DWORD kDevModeLengthFields = 72;

// The bytes a device mode says it holds: dmSize + dmDriverExtra.
DWORD GetDevModeExtent(const DEVMODEW* mode);

// CDM_CONVERT: converts `input` (dmSize + dmDriverExtra bytes, read within them) into the
// 1548-byte `output`; CDM_DRIVER_DEFAULT: writes the model's defaults with the form name of
// the default paper into `output`. *size below 1548: -1 with *size = 1548 and
// ERROR_INSUFFICIENT_BUFFER; otherwise *size becomes 1548. No size: -2 with
// ERROR_INVALID_PARAMETER. Other modes, a printer that cannot be opened, a model that cannot
// be read and missing device modes: -2.
int ConvertDevModeWorker(LPCWSTR printerName, const DEVMODEW* input, DEVMODEW* output, LONG* size, DWORD mode);

// The printer's PRINTER_INFO_2 (a new block, GlobalFree) whose pDevMode points at `settings`,
// into which the printer's stored device mode was converted (*size bytes, the short form) and
// the administrator's locked values applied; *converted = TRUE. NULL for a missing argument, a
// printer without a device mode or a conversion that failed (the record then holds what the
// conversion left).
LPBYTE LoadPrinterDocumentSettings(HANDLE printer, ItemStore* store, SettingsRecord* settings, DWORD* size,
                                   BOOL* converted);
