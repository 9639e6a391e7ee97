// Answers of the size checks of the constraint records' check kinds.
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kSizeFits = 0;
inline constexpr WORD kSizeConflict = 1;
inline constexpr WORD kSizeError = 2;
// Out of memory; the same number as kRecordNoMemory, since a size check's answer takes the
// place of a record's result.
inline constexpr WORD kSizeNoMemory = 4;
