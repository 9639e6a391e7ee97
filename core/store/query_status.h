// Statuses of the item store's caller-facing queries (their status out parameter).
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kQueryOk = 0;
inline constexpr WORD kQueryFailed = 1;
inline constexpr WORD kQueryAbsent = 2;
inline constexpr WORD kQueryNoMemory = 3;
