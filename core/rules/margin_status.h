// Results of the paper-margin store (16-bit).
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kMarginsIntoFirst = 1;
inline constexpr WORD kMarginsIntoSecond = 2;  // Results (16-bit).
inline constexpr SHORT kMarginDone = 1;
inline constexpr SHORT kMarginKeyFailed = -1;  // the per-user key cannot be opened or created
inline constexpr SHORT kMarginNoValue = -2;  // the user has no (valid) value for the paper
inline constexpr SHORT kMarginWriteFailed = -3;
inline constexpr SHORT kMarginNoPathCopy = -4;
inline constexpr SHORT kMarginBadArgument = -5;  // orientation or direction not 1 or 2; empty table to store
inline constexpr SHORT kMarginMissing = -100;  // no table, no row, no path, or no memory

// The table: rows of 20 bytes {u16 paper id, 2 bytes 0, four u32 margins in stored order},
// little-endian, exactly as the printer data holds them; rows keep the order they were added.
inline constexpr DWORD kMarginRowBytes = 20;
