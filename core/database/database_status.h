// Statuses of the database layer.
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kDbOk = 0;
inline constexpr WORD kDbFailed = 1;  // bad argument, not loaded, unknown section, read failure
inline constexpr WORD kDbAbsent = 2;  // record type, key or position not in the directory
inline constexpr WORD kDbNoMemory = 4;  // allocation or text conversion failed
