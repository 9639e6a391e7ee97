// UserSettingInfo: the per-user part of the PrinterConfiguration as one 980-byte block
// (little-endian), exchanged by qorvexdata and kept per user by the printer modules.
#pragma once

#include <array>
#include <span>

#include "items/item_tables.h"
#include "platform/base/types.h"

inline constexpr DWORD kUserSettingInfoSize = 980;
inline constexpr WORD kUserSettingInfoVersion = 3;
// Version 2 is the first 556 bytes of version 3.
inline constexpr DWORD kUserSettingInfoV2Size = 556;
inline constexpr DWORD kUserSettingModelNameOffset = 8;
inline constexpr DWORD kUserSettingModelNameChars = 32;

// The three field lists: 1 the 16-bit items at 2-6, 2 the first field block (74-427), 3 the
// second (432-977). Each row's offset is its place in the block, its byte length the field's
// size (for numbers the size of the type).
extern const std::array<std::span<const ItemLayoutRow>, 3> UserSettingFieldTable;

// Brings a block of version 1, 2 or 3 into the version-3 layout of the 980-byte output. Bytes
// the input does not carry stay as they were in the output. False for any other version.
// Reads at most the input's own size for its version (980, 556 or 484 bytes).
bool ConvertUserSettingInfo(const BYTE* input, BYTE* output);
