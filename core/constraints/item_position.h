// Conversions between an item's stored value and the form its control shows: positions of
// scaled items, and sizes in tenths of a millimetre shown in hundredths of an inch.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// Directions of ConvertItemPosition: 1 turns a control position into the stored value, any
// other value turns the stored value into the position.
inline constexpr WORD kPositionToValue = 1;
inline constexpr WORD kValueToPosition = 2;

// Items 268, 269, 311 and 324 (signed 16-bit values) are stored in tenths: position x 10, or
// value / 10. Items 392 to 403 hold factor x 2^(position + 3), the factor 1, 256 or 65536 by
// item; positions run from -4 (any value below the factor) up. TRUE with the result for those
// items; FALSE with the value unchanged for any other.
BOOL ConvertItemPosition(WORD mode, SettingItemId id, LONG value, LONG* result);

// A value in tenths of a millimetre in hundredths of an inch; items 268, 269 and 324 are kept
// within -19..19.
LONG ClampItemValue(LONG value, SettingItemId id);
