// The two screen parameter records (indexes 1000 and 1001 of group 100): four entries of
// two single-precision factors and up to eight groups of six words, then the entry count.
#pragma once

#include <array>
#include <cstddef>

#include "platform/base/types.h"
#include "screening/table_bytes.h"

namespace screening {

inline constexpr std::size_t kScreenGroupsPerEntry = 8;
inline constexpr std::size_t kScreenEntriesPerRecord = 4;
inline constexpr std::size_t kScreenEntrySize = 12 + kScreenGroupsPerEntry * 24;             // 204
inline constexpr std::size_t kScreenParamRecordSize = kScreenEntriesPerRecord * kScreenEntrySize + 4;  // 820
static_assert(kScreenEntrySize == 204 && kScreenParamRecordSize == 820);

inline constexpr DWORD kNoValue = 0xFFFFFFFF;

struct ScreenGroup {
  DWORD w1, w2, w3, w4, w5, w6;
};

// One entry as it is written down: the groups in use, and the group that fills every slot
// beyond them.
struct ScreenEntrySource {
  DWORD count;
  std::array<ScreenGroup, kScreenGroupsPerEntry> used;
  ScreenGroup unused;
};

struct ScreenRecordSource {
  float factor1;
  float factor2;
  std::array<ScreenEntrySource, kScreenEntriesPerRecord> entries;
};

inline constexpr ScreenGroup kEmptyGroup{kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue};
// Record 1000 keeps w2 = 1 in the unused groups of its entries 2 and 3.
inline constexpr ScreenGroup kEmptyGroupW2One{kNoValue, 1, kNoValue, kNoValue, kNoValue, kNoValue};

inline constexpr ScreenRecordSource kScreenRecord1000{
    0.5f,
    5.4f,
    {{
        {1, {{{600, 1, 31, 0x80000003, kNoValue, kNoValue}}}, kEmptyGroup},
        {2,
         {{{400, 1, 31, 31, kNoValue, kNoValue}, {600, 1, 31, 31, kNoValue, kNoValue}}},
         kEmptyGroup},
        {4,
         {{{1000, 1, kNoValue, kNoValue, kNoValue, kNoValue},
           {1400, 1, kNoValue, kNoValue, kNoValue, kNoValue},
           {1800, 1, kNoValue, kNoValue, kNoValue, kNoValue},
           {2200, 1, kNoValue, kNoValue, kNoValue, kNoValue}}},
         kEmptyGroupW2One},
        {2,
         {{{1500, 1, kNoValue, kNoValue, 1, 2}, {0, 1, kNoValue, kNoValue, 2, 4}}},
         kEmptyGroupW2One},
    }},
};

inline constexpr ScreenRecordSource kScreenRecord1001{
    0.5f,
    1.4f,
    {{
        {1, {{{600, 8, 31, 0x80000003, kNoValue, kNoValue}}}, kEmptyGroup},
        {0, {}, kEmptyGroup},
        {6,
         {{{400, 8, kNoValue, kNoValue, kNoValue, kNoValue},
           {600, 8, kNoValue, kNoValue, kNoValue, kNoValue},
           {1000, 8, kNoValue, kNoValue, kNoValue, kNoValue},
           {1400, 8, kNoValue, kNoValue, kNoValue, kNoValue},
           {1800, 8, kNoValue, kNoValue, kNoValue, kNoValue},
           {2200, 8, kNoValue, kNoValue, kNoValue, kNoValue}}},
         kEmptyGroup},
        {2,
         {{{1500, 8, kNoValue, kNoValue, 1, 2}, {0, 8, kNoValue, kNoValue, 2, 3}}},
         kEmptyGroup},
    }},
};

// Lays a record out byte by byte: per entry the two factors, the count and eight groups
// (the unused ones filled), and the entry count at the end.
constexpr std::array<BYTE, kScreenParamRecordSize> BuildScreenParamRecord(const ScreenRecordSource& source) {
  std::array<BYTE, kScreenParamRecordSize> bytes{};
  for (std::size_t e = 0; e < kScreenEntriesPerRecord; ++e) {
    const ScreenEntrySource& entry = source.entries[e];
    if (entry.count > kScreenGroupsPerEntry) throw "an entry holds at most eight groups";
    const std::size_t base = e * kScreenEntrySize;
    PutFloat(bytes, base, source.factor1);
    PutFloat(bytes, base + 4, source.factor2);
    PutDword(bytes, base + 8, entry.count);
    for (std::size_t g = 0; g < kScreenGroupsPerEntry; ++g) {
      const ScreenGroup& group = g < entry.count ? entry.used[g] : entry.unused;
      const DWORD words[6] = {group.w1, group.w2, group.w3, group.w4, group.w5, group.w6};
      for (std::size_t w = 0; w < 6; ++w) PutDword(bytes, base + 12 + g * 24 + w * 4, words[w]);
    }
  }
  PutDword(bytes, kScreenEntriesPerRecord * kScreenEntrySize, kScreenEntriesPerRecord);
  return bytes;
}

inline constexpr std::array<BYTE, kScreenParamRecordSize> kScreenParams1000 = BuildScreenParamRecord(kScreenRecord1000);
inline constexpr std::array<BYTE, kScreenParamRecordSize> kScreenParams1001 = BuildScreenParamRecord(kScreenRecord1001);

}  // namespace screening
