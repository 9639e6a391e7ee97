// What an accepted sheet stores: the document sheet's output devmode and, by the host that
// opened it, its extension and per-user settings; the device sheet's configuration.
#pragma once

#include "platform/base/types.h"
#include "platform/comctl/compstui.h"
#include "platform/comctl/printer_sheets.h"
#include "ui/framework/sheet/sheet_state.h"

// Finishes the document sheet's SET_RESULT: 1, or -1 on a failure (nothing to write into, a
// printer that cannot be opened, a store that failed).
LONG StoreDocumentSheetResult(PROPSHEETUI_INFO* info, const SETRESULT_INFO* result, DOCUMENTPROPERTYHEADER* header);
// Stores the edited configuration unless the stored one is newer, and the publishing values:
// TRUE, or FALSE without sheet data or when the configuration could not be stored.
BOOL SaveDeviceSettings(PageData* data);
