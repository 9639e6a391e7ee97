// The model's own font substitution table, built from the device fonts of its description
// database: for every face name a device font answers, the pair {face name, device font name}.
#pragma once

#include "core/database/database.h"
#include "platform/base/types.h"

// A new pair list (core/common/pair_list.h; GlobalAlloc, the caller frees it) of the pairs of every
// device font record in record order, each record's face names in their order; a model
// without device fonts gives the empty list. NULL when a record cannot be read, a record has
// no name or an empty face name, or memory runs out.
LPWSTR BuildFontSubTableFromData(DatabaseStream* main, DatabaseStream* linked);
