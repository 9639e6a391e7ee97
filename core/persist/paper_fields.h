// The paper of a device mode from its public paper fields (dmPaperSize, dmPaperLength,
// dmPaperWidth, dmFormName) matched against the spooler's forms and the model's papers, and
// the form-name item kept in step with the paper.
#pragma once

#include "core/store/item_store.h"
#include "platform/base/types.h"

// dmFields bits of the paper fields besides DM_PAPERSIZE and DM_FORMNAME (core/store/dm_fields.h).
inline constexpr DWORD DM_PAPERLENGTH = 0x4;
inline constexpr DWORD DM_PAPERWIDTH = 0x8;

// The public paper fields of a record as the resolution reads them.
struct PaperFields {
  SHORT paper;      // item 8
  SHORT width;      // item 10
  SHORT length;     // item 9
  LPCWSTR name;     // item 19, a terminated copy; NULL when empty
};

// Whether the record's header is this driver's for the store's model: dmSpecVersion, dmSize,
// dmDriverExtra, the private part's version and the model name pass their checks, tested in
// this order (the first that fails ends the test).
bool ValidateDevmodeHeaderItems(ItemStore* store, SettingsRecord* record);

// The paper the flagged fields stand for: by size (length or width flagged and both
// positive), else by form number (DM_PAPERSIZE), else by form name (DM_FORMNAME). A size
// search that fails ends the resolution. Paper 256 with a width and a length is taken by size
// only. 1 with the answer (its name a new block, FreePaperSpecName), 0 for no paper.
int ResolvePaperFromFields(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer,
                           const PaperFields* fields, DWORD flags, PaperSpec* answer);

// Resolves the source's paper fields (those of `flags`) and writes the paper's length, width,
// number and (when it has one) form name into the destination, with their dmFields bits; the
// destination NULL means the source itself. With no paper found: the source alone takes the
// paper of the printer's own device mode (CopyPrinterPaperItems); a destination stays as it
// is. FALSE when an item cannot be read or written.
BOOL ResolvePaperItems(ItemStore* store, SettingsRecord* destination, SettingsRecord* source,
                       PrinterConfiguration* config, HANDLE printer, DWORD flags);

// Brings the form name (item 19) in line with the paper (item 8): a user paper by its name
// item, a built-in form by its number, another paper by its name in the model. TRUE when the
// paper items were brought in line.
BOOL SyncFormNameItem(ItemStore* store, HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config);

// Copies items 8, 9, 10 and 19, in this order, from the device mode the printer keeps
// (PRINTER_INFO_2); stops at the first that fails (FALSE).
BOOL CopyPrinterPaperItems(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer);
