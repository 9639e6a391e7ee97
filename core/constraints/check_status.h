// Statuses of the constraint routines: checks of a setting change, defaults and their
// resolution.
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kCheckDone = 0;
inline constexpr WORD kCheckFailed = 1;
inline constexpr WORD kCheckNoMemory = 2;
inline constexpr WORD kCheckRefused = 3;   // nothing was applied
inline constexpr WORD kCheckApplied = 4;   // some value was written
inline constexpr WORD kCheckNoRule = 6;   // no rule applies to the item
