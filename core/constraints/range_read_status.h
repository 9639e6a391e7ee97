// Answers of the custom-size range reads of paper sources and output bins.
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kRangeRead = 0;
inline constexpr WORD kRangeFailed = 1;
inline constexpr WORD kRangeNoMemory = 2;
inline constexpr WORD kRangeNoCustomPaper = 7;  // the record does not offer paper 262
