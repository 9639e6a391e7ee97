// The public id map, written as runs (public a..b -> item c, c+1, ...) and expanded at compile
// time into one pair list per range.
#include "items/public_id_map.h"
#include "platform/base/types.h"

#include <algorithm>

namespace {

struct PublicIdRun {
  BYTE range;
  PublicItemId first;
  PublicItemId last;
  SettingItemId firstItem;
};

struct RangeBounds {
  PublicItemId first;
  PublicItemId last;
};

constexpr RangeBounds kRangeBounds[kPublicIdRangeCount] = {
    {0x001, 0x019}, {0x101, 0x12F}, {0x130, 0x15F}, {0x160, 0x18F}, {0x190, 0x1BF},
    {0x1001, 0x1010}, {0x1C1, 0x200}, {0x3C1, 0x3C1}, {0x201, 0x22A}, {0x301, 0x32A},
    {0x381, 0x3A0}, {0x401, 0x44E}, {0x501, 0x613}, {0x9001, 0x9008},
};

constexpr PublicIdRun kPublicIdRuns[] = {
    {0, 0x001, 0x019, 0x001},
    {1, 0x101, 0x120, 0x101}, {1, 0x121, 0x122, 0x728}, {1, 0x123, 0x12F, 0x123},
    {2, 0x130, 0x150, 0x130}, {2, 0x151, 0x151, 0x725}, {2, 0x152, 0x15A, 0x152}, {2, 0x15B, 0x15B, 0x727},
    {2, 0x15C, 0x15F, 0x15C},
    {3, 0x160, 0x179, 0x160}, {3, 0x17A, 0x17A, 0x726}, {3, 0x17B, 0x18F, 0x17B},
    {4, 0x190, 0x19E, 0x190}, {4, 0x19F, 0x1B2, 0x72A}, {4, 0x1B3, 0x1BF, 0x1B3},
    {5, 0x1001, 0x1008, 0x1C0}, {5, 0x1009, 0x1010, 0x1CA},
    {6, 0x1C1, 0x1CE, 0x501}, {6, 0x1CF, 0x1CF, 0x1021}, {6, 0x1D0, 0x1F3, 0x510}, {6, 0x1F4, 0x200, 0x537},
    {7, 0x3C1, 0x3C1, 0x544},
    {8, 0x201, 0x224, 0x701}, {8, 0x225, 0x228, 0x73F}, {8, 0x229, 0x22A, 0x745},
    {9, 0x301, 0x320, 0x1001}, {9, 0x321, 0x32A, 0x1101},
    {10, 0x381, 0x3A0, 0x1201},
    {11, 0x401, 0x401, 0x1401}, {11, 0x402, 0x402, 0x535}, {11, 0x403, 0x403, 0x1403}, {11, 0x404, 0x404, 0x534},
    {11, 0x405, 0x407, 0x1405}, {11, 0x408, 0x408, 0x536}, {11, 0x409, 0x40C, 0x1409}, {11, 0x40D, 0x40D, 0x1C8},
    {11, 0x40E, 0x412, 0x140E}, {11, 0x413, 0x414, 0x743}, {11, 0x415, 0x41E, 0x1415}, {11, 0x41F, 0x41F, 0x1C9},
    {11, 0x420, 0x44E, 0x1420},
    {12, 0x501, 0x501, 0x2009}, {12, 0x511, 0x512, 0x200A}, {12, 0x51B, 0x51E, 0x200C}, {12, 0x51F, 0x528, 0x1701},
    {12, 0x529, 0x532, 0x1715}, {12, 0x533, 0x53C, 0x1729}, {12, 0x53D, 0x587, 0x1801}, {12, 0x588, 0x591, 0x1901},
    {12, 0x592, 0x595, 0x2010}, {12, 0x596, 0x59F, 0x170B}, {12, 0x600, 0x609, 0x171F}, {12, 0x60A, 0x613, 0x1733},
    // The secret-string items.
    {13, 0x9001, 0x9003, 0x1427}, {13, 0x9004, 0x9004, 0x1437}, {13, 0x9005, 0x9005, 0x742},
    {13, 0x9006, 0x9007, 0x143D}, {13, 0x9008, 0x9008, 0x1441},
};

constexpr std::array<PublicIdPair, kPublicIdPairCount> ExpandPublicIdRuns() {
  std::array<PublicIdPair, kPublicIdPairCount> pairs{};
  size_t n = 0;
  for (const PublicIdRun& run : kPublicIdRuns)
    for (size_t k = 0; k <= size_t(run.last - run.first); ++k)
      pairs[n++] = {PublicItemId(run.first + k), SettingItemId(run.firstItem + k)};
  if (n != kPublicIdPairCount) throw "public id pair count";
  return pairs;
}

constexpr std::array<PublicIdPair, kPublicIdPairCount> kPublicIdPairs = ExpandPublicIdRuns();

// Runs follow range order, lie inside their range and ascend, so a range's pairs can be
// searched by halves.
constexpr bool RunsAreOrdered() {
  for (size_t i = 0; i < std::size(kPublicIdRuns); ++i) {
    const PublicIdRun& run = kPublicIdRuns[i];
    if (run.first > run.last || run.first < kRangeBounds[run.range].first || run.last > kRangeBounds[run.range].last)
      return false;
    if (i > 0) {
      const PublicIdRun& before = kPublicIdRuns[i - 1];
      if (run.range < before.range || (run.range == before.range && run.first <= before.last)) return false;
      if (run.range > before.range + 1) return false;
    }
  }
  return true;
}
static_assert(RunsAreOrdered());

constexpr std::array<PublicIdRange, kPublicIdRangeCount> BuildPublicIdMap() {
  std::array<PublicIdRange, kPublicIdRangeCount> map{};
  size_t start = 0;
  for (size_t r = 0; r < kPublicIdRangeCount; ++r) {
    size_t count = 0;
    for (const PublicIdRun& run : kPublicIdRuns)
      if (run.range == r) count += run.last - run.first + 1u;
    map[r] = {kRangeBounds[r].first, kRangeBounds[r].last,
              std::span<const PublicIdPair>(kPublicIdPairs.data() + start, count)};
    start += count;
  }
  return map;
}

}  // namespace

constexpr std::array<PublicIdRange, kPublicIdRangeCount> PublicIdMap = BuildPublicIdMap();

SettingItemId MapPublicItemId(PublicItemId id) {
  for (const PublicIdRange& range : PublicIdMap) {
    if (id < range.first || id > range.last) continue;
    const auto pair = std::lower_bound(range.pairs.begin(), range.pairs.end(), id,
                                       [](const PublicIdPair& p, PublicItemId v) { return p.publicId < v; });
    return pair != range.pairs.end() && pair->publicId == id ? pair->itemId : 0;
  }
  return 0;
}
