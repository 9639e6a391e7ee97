// The only way the printer modules read and write one setting item: GetItemValue and
// SetItemValue over the item engine, with number accessors and predicates on item ids.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// Reads an item. The value buffer holds at least 4 bytes and a pointer. A string (6) or font
// (9) arrives as the address of the field inside the caller's own record. Returns the
// engine's result (0 done).
ItemAccessResult GetItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode* type, DWORD* length, void* value);
// Writes an item with the arguments of dma_SetValue; returns the engine's result.
ItemAccessResult SetItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode type, DWORD length, const void* source);

// The item as an unsigned 32-bit number when it reads with the size of the expected type
// (1, 4, 5: 4 bytes; 2, 3: 2; 8: 1); 0 on any failure. A text (type 6) has an address that
// does not fit 32 bits: it answers 0 as well; read texts with GetItemValue.
DWORD GetItemNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id,
                    ValueTypeCode expectedType);
// Writes a number in the given type and that type's size; -1 for a missing SettingsRecord,
// else 0 whether or not the engine took it. Types without a number form (6, 9 and unknown
// codes) write nothing.
int SetItemNumberV(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, ValueTypeCode type,
                   DWORD value);

// 1 for ids 297 to 320 and 1286 to 1288.
int IsItemRange297To320(SettingItemId id);
// The 20 user-defined papers: ids 262-266 and 287-301, indexes 0-19 (0xFFFF otherwise).
int IsUserPaperId(SettingItemId id);
WORD UserPaperIdToIndex(SettingItemId id);
// Caller to come: the property-sheet pages.
WORD UserPaperIndexToId(WORD index);
// 1 for the width and length items of the user-defined papers, ids 5889 to 5928.
int IsCustomItemId(SettingItemId id);
