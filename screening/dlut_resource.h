// The optional lookup-table resource of the screening module (type 1000, name 101):
//   "DLUT", count1, count1 x 32-bit item offsets (from the resource start),
//   count2, count2 x 32-bit item numbers (one-based positions in the offset list);
// each item is "dlt4", four further bytes, then its data. All numbers little-endian.
#pragma once

#include <cstddef>
#include <span>

#include "platform/base/types.h"

namespace screening {

inline constexpr WORD kDlutResourceType = 1000;
inline constexpr WORD kDlutResourceName = 101;
inline constexpr std::size_t kDlutItemHeaderSize = 8;  // "dlt4" and four further bytes

// Answers the address of the data of the item that entry `index` of the item-number list
// names, or null when the resource is malformed or the index or item number is out of range.
// Every count and offset is checked against the bytes of the resource before it is used.
const BYTE* FindDlutItem(std::span<const BYTE> resource, INT index);

}  // namespace screening
