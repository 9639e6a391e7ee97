// Pair lists: wide strings key, value, key, value ... each with its terminator, ended by an
// empty key (the block ends in two NUL characters). The font substitution table is one.
// Lists handed in must carry that closing empty key.
#pragma once

#include "platform/base/types.h"

// Caller to come: the font substitution page.
// The value of the first pair whose key equals key exactly, or NULL.
LPCWSTR FindPairValue(LPCWSTR list, LPCWSTR key);
// Caller to come: the font substitution page.
// A new list (GlobalAlloc; the caller frees it) with key set to value: replaced in place,
// removed when value is NULL, or appended at the end. NULL for a NULL list or key or when
// memory runs out.
LPWSTR SetPairValue(LPCWSTR list, LPCWSTR key, LPCWSTR value);
