// Results of the stamp store's operations.
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kStampDone = 1;
inline constexpr WORD kStampNameExists = 2;
inline constexpr WORD kStampBuiltIn = 3;
inline constexpr WORD kStampKeyFull = 4;
inline constexpr WORD kStampNotStored = 6;
inline constexpr WORD kStampDiffers = 7;
inline constexpr WORD kStampNoKey = 8;
inline constexpr WORD kStampEnumFailed = 9;
inline constexpr WORD kStampWriteFailed = 10;
inline constexpr WORD kStampDeleteFailed = 11;
inline constexpr WORD kStampBufferTooSmall = 12;
inline constexpr WORD kStampBadArgument = 99;  // also: not found, or no memory
