// The data of one open property sheet: the PageData the sheet's pages share, with its
// SheetState (printer, item store, names, favourites) and the settings set the pages edit.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/sheet/sheet_state.h"

struct ItemStore;

// Closes an item store the sheet code opened for one call.
struct ItemStoreCloser {
  void operator()(ItemStore* store) const;
};

// The application's devmode as a full record (zero-filled around what it gives); FALSE when
// its size field (item 4) does not validate, and such a devmode is ignored by the merges.
bool ReadInputDevMode(ItemStore* store, const DEVMODEW* input, SettingsRecord* record);
// Merges an input devmode whose size validates into the settings; FALSE when the merge refuses
// it. A missing or unrecognised devmode leaves the settings as they are.
bool MergeInputDevMode(HANDLE printer, ItemStore* store, const DEVMODEW* input, SettingsRecord* settings,
                       PrinterConfiguration* config);

// The sheet data of a printer's sheet, from the printer's document settings merged with the
// input devmode when given; NULL when anything fails (nothing is left allocated).
PageData* CreateSheetData(HANDLE printer, const DEVMODEW* input, DWORD fMode);
// Frees the SheetState with everything it owns, then the PageData; the pointer is cleared.
void FreeSheetData(PageData** data);
