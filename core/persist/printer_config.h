// The printer-wide settings: loading a printer's configuration and preparing a new printer's
// stores (the forms database: core/store/printer_forms.h).
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"
#include "platform/spooler/spooler.h"

struct ItemStore;

// Value that names the printer's user-mode driver.
inline constexpr WCHAR kUserModeDriverValue[] = u"SPLUserModePrinterDriver";

// Fills the caller's configuration: "PrinterData" merged with the calling user's per-user
// part, converted when another release stored it, else the model's defaults; then the values
// the administrator locked. 1, or 0 when not even the defaults could be built. userBase: the
// model's per-user base text when the caller has read it already (else it is read when needed).
int LoadPrinterConfiguration(HANDLE printer, PrinterConfiguration* out, ItemStore* store, LPCWSTR userBase = nullptr);
// Opens the printer by its own name with full access (PRINTER_ALL_ACCESS), for writing its
// printer data; NULL when refused, with *denied TRUE for a refusal of access.
HANDLE OpenPrinterForWriting(HANDLE printer, BOOL* denied);
// Stores the user's per-user part, and with `store` the configuration itself as "PrinterData"
// without any user's per-user values: 1 when all of it was stored. The caller's record is
// never changed.
int InitPrinterConfiguration(HANDLE printer, const PrinterConfiguration* config, BOOL store);
int SetUserModeDriverData(HANDLE printer);
int QueryStartupHook(HANDLE printer, HMODULE module, DWORD code, DWORD flag);
int RunStartupHook(HANDLE printer, HMODULE module);
