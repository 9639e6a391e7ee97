// Results of the constraint records' tests.
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kRecordQuiet = 0;
inline constexpr WORD kRecordFires = 1;
inline constexpr WORD kRecordError = 2;
inline constexpr WORD kRecordCandidate = 3;  // no conditions: fires as it is
inline constexpr WORD kRecordNoMemory = 4;   // out of memory: the whole check ends with 2
