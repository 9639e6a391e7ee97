// The printer events and the driver upgrade: a printer's stored records rewritten in this
// release's layouts, its identity made when it has none, its forms added.
#pragma once

#include "platform/base/types.h"
#include "ui/module/driver_ui.h"

struct ItemStore;

// UpgradeStoredSettings modes.
inline constexpr WORD kUpgradeFull = 1;

// Loads the printer configuration (converted from older layouts) and stores it again; loads
// the settings extension with its fax record and TMBINFO data from the printer data (or the
// model's default extension) and stores them again; makes sure a font substitution table is
// stored. 1 when all of it was written, else 0 (stores keep what the last write left).
int UpgradeStoredSettings(HANDLE printer, ItemStore* store, WORD mode);

// DrvUpgradePrinter's work: TRUE when the stored records were rewritten. FALSE with
// ERROR_INVALID_PARAMETER for a level other than 1, no record or a printer that cannot be
// opened with full access; FALSE without the model.
BOOL UpgradePrinter(DWORD level, const BYTE* info);
// DrvPrinterEvent's work. ADD_CONNECTION writes the user-mode driver value; INITIALIZE also
// rewrites the stored records and adds the missing forms. Failures are swallowed.
void HandlePrinterEvent(LPCWSTR printerName, INT event);
