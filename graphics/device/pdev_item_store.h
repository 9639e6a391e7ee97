// An item store over database streams a device already holds open: the device keeps its
// model's description database for its whole life, and its queries need no second copy.
#pragma once

#include "core/database/database.h"
#include "core/store/item_store.h"

// A new ItemStore holding byte copies of the two stream records (the database bytes stay
// shared with their owner) and no PolicyList; NULL when either stream is missing or no memory
// is left. FreeItemStore frees it without touching the shared bytes.
ItemStore* ItemStoreFromStreams(const DatabaseStream* main, const DatabaseStream* linked);
