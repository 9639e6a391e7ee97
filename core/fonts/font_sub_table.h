// The printer's font substitution table (a pair list of face name and device font name, see
// core/common/pair_list.h), kept as chunked printer data "FontSubTable".
#pragma once

#include "platform/base/types.h"

struct ItemStore;

// The stored table as a new global block, or NULL when none is stored or the stored bytes are
// not a well-formed pair list (an odd size, a string running past the end, no closing empty
// key, or bytes after it).
LPWSTR ReadStoredFontSubTable(HANDLE printer);
// Stores a pair list: 1 when stored. An empty table (only the closing empty key) is 2 bytes.
int StoreFontSubTable(HANDLE printer, LPCWSTR list);
// The table the model's device fonts give (BuildFontSubTableFromData over the store's two
// database streams). NULL without a store or on any failure.
LPWSTR BuildFontSubTableFromStore(ItemStore* store);
// Caller to come: the font substitution page and the graphics module's device fonts.
// The stored table, or when none is stored (or it is malformed) the one the model gives; the
// printer's ItemStore is opened for that and closed again. NULL on failure.
LPWSTR LoadFontSubTable(HANDLE printer);
// 1 when a table is stored afterwards: a stored table is kept as it is, otherwise the model's
// is built and stored.
int EnsureFontSubTable(HANDLE printer, ItemStore* store);
// Bytes of a pair list with every terminator and the closing empty key; 0 when no closing key
// comes within the largest block printer data can hold.
DWORD GetFontSubTableSize(LPCWSTR list);
