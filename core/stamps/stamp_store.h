// The stamp store: the user's stamps as REG_BINARY values of the printer's per-user "Stamps"
// key, one StampRecord per value named by the stamp's name. The key is created on first use,
// copied from the machine-wide template when the model has one, else filled with the six
// built-in stamps. A stamp is known by the name inside its record, not by its value name.
// Results: STAMP_* (stamp_records.h).
#pragma once

#include "core/stamps/stamp_records.h"
#include "platform/base/types.h"
#include "platform/registry/registry.h"

// A key that holds this many binary values accepts no new stamp (built-in copies count).
inline constexpr DWORD kMaxStoredStamps = 32;

// The machine-wide template path (kind 0: "Stamps", kind 1: "Stamps\Others" below the
// machine registry base of the printer's model) as a new global block: 1, or 99.
WORD BuildStampsMachinePath(HANDLE printer, LPWSTR* path, WORD kind);
// Opens the user's stamps key, creating and filling it on first use: 1, 8 or 99. A key that
// could not be filled completely is removed again, so the next use starts afresh.
WORD OpenStampsKey(HKEY* key, HANDLE printer);
// Creates the stamps key and "Stamps\Others" with "Stamp Version" and the six built-in stamps:
// 1 with the stamps key open, 10 (both keys removed again) or 99.
WORD CreateStampsKey(HKEY* key, HANDLE printer);

// The operations below read the key value by value. A value that does not fit a 65-character
// name and a 308-byte record is not a stamp: it is skipped. Only a REG_BINARY value of exactly
// 308 bytes whose name ends within its field is a stamp that a name can find.

// The number of binary values: 1, 9, or the open's result.
WORD CountUserStamps(HANDLE printer, DWORD* count);
// The names of the stored stamps (at most 32), as GetBuiltInStampNames gives the built-in
// ones (which answer when the key cannot be opened): 1, 9, 12 or 99.
WORD GetStampNames(HANDLE printer, LPWSTR buffer, DWORD* count, DWORD* size);
// Caller to come: the stamp pages.
// No name: the default stamp. Built-in only: the built-in stamp of the name, else the default.
// Otherwise the stored stamp of the name (99 when none), or the built-in one when the key
// cannot be opened (8 when none has the name). 1, 8, 9 or 99.
WORD LoadStampRecord(HANDLE printer, LPCWSTR name, StampRecord* record, BOOL builtInOnly);
// 1 stored, 3 a built-in name, 99 not stored, 8 or 9.
WORD FindUserStamp(HANDLE printer, LPCWSTR name);
// Caller to come: the stamp pages.
// Deletes the first stored stamp of the name: 1, 3 a built-in name, 99 not stored, 11, or 8.
WORD DeleteUserStamp(HANDLE printer, LPCWSTR name);
// Caller to come: the stamp pages.
// Whether a new stamp of this name may be added: 1 (also for no name), 2 the name exists (or
// is built-in; any value whose data starts with the name counts, whatever its type), 4 the
// key is full, 8, 9 or 99.
WORD CanAddUserStamp(HANDLE printer, LPCWSTR name);
// Caller to come: the stamp pages.
// Writes the record as the value named by its name, when the name exists or the key is not
// full: 1, 4, 10 (the key unchanged), 8, 9 or 99 (no record, or an empty or unterminated name).
WORD StoreUserStamp(HANDLE printer, const StampRecord* record);
// Caller to come: the stamp pages.
// Compares the stored stamp of the record's name with the record (text, colour, settings and
// font, the font's quality aside): 1 the same, 7 different, 6 not stored, 8, 9 or 99.
WORD CompareUserStamp(HANDLE printer, const StampRecord* record);
