// Conversion of stored settings against the printer's model: the model's defaults are built
// from its database, then the converters of settings_conversion.h run over them.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

struct ItemStore;

// Converts a stored device mode of `storedSize` bytes present into the caller's 1548-byte
// output for the printer of that name: 1 copied, 2 defaults, 0 upgraded, -1 when not even the
// defaults could be built. A record rebuilt from a layout below 0x5003 leaves its converted
// extension as the printer's "N_Dev" (keeping a fax record and TMBINFO data stored there).
int ConvertOldSettings(const BYTE* stored, DWORD storedSize, BYTE* out, LPCWSTR printerName, ItemStore* store);
// Converts a stored printer configuration: 1 copied, 2 defaults, 0 upgraded, -1 failure.
int ConvertPrinterConfiguration(const PrinterConfiguration* stored, PrinterConfiguration* out, ItemStore* store);
// Converts the printer's stored full record in place (its first 1548 bytes): 1, else 0.
int ConvertStoredSettingsRecord(HANDLE printer, SettingsRecord* record);
