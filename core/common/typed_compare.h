// The typed value comparison used wherever the driver compares two setting values.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

inline constexpr SHORT kCompareEqual = 0;
inline constexpr SHORT kCompareGreater = 1;
inline constexpr SHORT kCompareLess = -1;
inline constexpr SHORT kCompareNotComparable = 2;

// Compares the values the two references point at by their type: 0 equal, 1 first greater,
// -1 first less, 2 when a reference is missing or the type is not comparable (7, 9 and codes
// outside the table). For type 6 each reference points at the string's address, and a missing
// string also gives 2. Callers treat 2 as a difference.
SHORT CompareTypedValues(ValueTypeCode type, const void* first, const void* second);
