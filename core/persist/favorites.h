// The user's favourites of a printer, under "Favorite" in the per-user key: the index list
// "UserIndex" (16-bit numbers ended by 0) and per favourite n the key "UserSel%02d" with
// "DEVMODE" (the full SettingsRecord), "Name", "Comment" and "Flag".
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

struct ItemStore;

// Flag of a preset favourite; the user's own favourites carry 1.
inline constexpr DWORD kPresetFavoriteFlag = 0;
// Room of the name and comment outputs of LoadFavorite in characters, terminator included.
inline constexpr DWORD kFavoriteNameChars = 40;
inline constexpr DWORD kFavoriteCommentChars = 256;

// Writes what is given of favourite `number` (record, name, comment, flag): 1, or 0 at the
// first failing write (the values written before it stay).
int SaveFavorite(HANDLE printer, WORD number, const SettingsRecord* record, LPCWSTR name, LPCWSTR comment,
                 const DWORD* flag);
// Stores `count` favourite numbers followed by the closing 0.
int SaveFavoriteIndex(HANDLE printer, const WORD* list, WORD count);
// Caller to come: the favourites page.
// Reads the index into the caller's list of `capacity` entries; the list always ends with a
// 0 inside it. Answers the number of favourites read (0 when none are stored).
WORD LoadFavoriteIndex(HANDLE printer, WORD* list, WORD capacity);

// Caller to come: the favourites page.
// Reads what is asked of favourite `number`; 1, or 0 with the outputs unchanged. The record is
// exactly one stored SettingsRecord, converted to the current layout. When it was saved for
// another model than `current`'s: a preset favourite makes the model's presets again (with an
// index list of `capacity` numbers) and is read anew; any other favourite fails. Name and
// comment must fit kFavoriteNameChars and kFavoriteCommentChars; the flag is a 4-byte
// REG_DWORD. The configuration is not needed: the conversion reads the printer's own.
int LoadFavorite(HANDLE printer, SettingsRecord* current, const PrinterConfiguration* config, WORD number,
                 SettingsRecord* record, LPWSTR name, LPWSTR comment, DWORD* flag, WORD capacity);
// Makes the preset favourites of the model: choice n of the database's list 36888, for every
// choice but the last, becomes favourite n with flag 0 (see favorite_presets.cpp). The
// numbers go into the caller's list of `capacity` entries, ended by 0, and are stored as the
// index; *position becomes 0. 1, or 0 at the first failure.
int CreatePresetFavorites(HANDLE printer, ItemStore* store, LPCWSTR deviceName, WORD* list, BYTE* position,
                          WORD capacity);
