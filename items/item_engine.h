// The item value engine: reads and writes one setting item inside a caller's SettingsRecord
// and PrinterConfiguration. Stateless; allocates nothing; never touches memory outside the two
// records, the caller's buffers and the constant tables.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

namespace itemengine {

// Reads an item. A number or flag arrives in the value buffer in the item's exchange type
// (zero-extended), flags as 0 or 1; a string or font arrives as its offset inside its area
// (pointer-sized) and the area output says which base to add. The buffer holds at least 4 bytes
// and a pointer. Results: 0, 1 or 16; a failed read leaves the outputs as they were, except the
// area once the id's range is known.
ItemAccessResult dma_GetValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode* type, DWORD* length, void* value, ItemArea* area);

// Writes an item given in its own or its exchange type. For a number or flag the source points
// to the value; for a string or font it points to a pointer to the wide string or LOGFONTW, and
// the length is the size of the caller's buffer in bytes (92 for a font). Results: 0, 1, 2, 4,
// 8 or 16. Every check happens before any write; a linked item that cannot be recomputed leaves
// the item itself written and answers the failure.
ItemAccessResult dma_SetValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode type, DWORD length, const void* source);

}  // namespace itemengine
