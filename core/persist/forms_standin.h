// STAND-IN for the form look-up by number or name of the device-mode field merge, kept here
// until its real code lands. Remove this file when it does.
#pragma once

#include "core/persist/form_matching.h"
#include "platform/base/types.h"

// The form at position query->id (method 4) or named query->name (method 1, case-sensitive),
// made printable by MatchFormToPaper: 1 with the paper as that leaves it and the name of the
// form at its position, or {256, the form's size, no name} when it is not printable. The name
// is a new block (FreePaperSpecName). 0 when no form is found or the forms cannot be read.
int MatchFormByIndexOrName(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer,
                           WORD method, const PaperSpec* query, PaperSpec* answer);
