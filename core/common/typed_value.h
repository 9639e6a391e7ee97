// Typed value slots: a slot of 8 bytes that holds one value of a ValueTypeCode.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

inline constexpr DWORD kTypedValueSlotSize = 8;

// Clears the slot, then stores the value read through `value` by its type (type 6 stores the
// pointer itself): 1, or 0 for a missing argument or a type without a slot form.
int SetTypedValue(ValueTypeCode type, void* slot, const void* value);
