// Values of a proposed change: the change's own value when it names the item and carries one,
// otherwise the item's current value in the settings. Used by the built-in rules and the size,
// tile and range checks, which judge a setting as it would be after the change.
#pragma once

#include "core/constraints/setting_change.h"
#include "platform/base/types.h"

// The item's value in a cell with its type: the change's value when the change names the item
// and carries a value (no more bytes than GetValueTypeSize of the change's type), else the
// item read from the settings; a string arrives as its address. The change may be NULL.
// FALSE for a missing argument, a read failure or an invalid type code.
BOOL ReadChangeOrItemCell(const SettingsContext* context, const ItemChange* change, SettingItemId id,
                          ValueTypeCode* type, ItemValueCell* cell);

// Copies `byteCount` bytes of the item's value into `destination`: the change's value when the
// change names the item and carries a value, else the item read from the settings (a string
// arrives as its address, so ask for sizeof(LPCWSTR) bytes). No more bytes are taken than the
// value has (GetValueTypeSize of its type); the rest of the destination is zeroed. The change
// may be NULL. FALSE for a missing argument, a read failure or an invalid type code.
BOOL ReadChangeOrItemValue(const SettingsContext* context, const ItemChange* change, SettingItemId id,
                           DWORD byteCount, void* destination);

// The same value as a number: widened by its type (types 2, 4 and 10 signed, 1, 3, 5 and 8
// unsigned). FALSE for strings, fonts and failures.
BOOL ReadChangeOrItemNumber(const SettingsContext* context, const ItemChange* change, SettingItemId id,
                            LONGLONG* number);

// A value held at `value` in the given type as a number, as above; FALSE for other types.
BOOL NumberOfTypedValue(ValueTypeCode type, const void* value, LONGLONG* number);
