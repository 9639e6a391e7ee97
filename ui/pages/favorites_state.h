// The favourites of an open document sheet: the state the favourites combo and manager work
// on, and the last applied settings kept for the next opening.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/sheet/sheet_state.h"

// The favourites state of a new sheet (kept in SheetState::favorites); NULL when the sheet
// runs without favourites.
void* CreateFavoritesState(HANDLE printer, ItemStore* store);
void FreeFavoritesState(void* favorites);
// Keeps the settings the sheet applied last for the next opening: 1, or 0 on a failure.
int SaveLastAppliedSettings(SheetState* state, const SettingsRecord* settings, DWORD applied);
