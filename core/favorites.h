// The user's favourites of a printer, under "Favorite" in the per-user key: the index list
// "UserIndex" (16-bit numbers ended by 0) and per favourite n the key "UserSel%02d" with
// "DEVMODE" (the full SettingsRecord), "Name", "Comment" and "Flag".
#pragma once

#include "dataaccess/setting_records.h"
#include "platform/base/types.h"

// Writes what is given of favourite `number` (record, name, comment, flag): 1, or 0 at the
// first failing write (the values written before it stay).
int SaveFavorite(HANDLE printer, WORD number, const SettingsRecord* record, LPCWSTR name, LPCWSTR comment,
                 const DWORD* flag);
// Stores `count` favourite numbers followed by the closing 0.
int SaveFavoriteIndex(HANDLE printer, const WORD* list, WORD count);
// Reads the index into the caller's list of `capacity` entries; the list always ends with a
// 0 inside it. Answers the number of favourites read (0 when none are stored).
WORD LoadFavoriteIndex(HANDLE printer, WORD* list, WORD capacity);
