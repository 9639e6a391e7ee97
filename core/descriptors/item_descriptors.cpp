// The twelve descriptor groups. Groups whose members the design lists one by one keep exactly
// those ids; groups 6, 7 and 8, whose members are not listed, hold every id the item tables
// define in their ranges.
#include "core/descriptors/item_descriptors.h"

#include <array>

#include "core/descriptors/item_rules.h"
#include "platform/base/types.h"

namespace {

struct IdRun {
  SettingItemId first;
  SettingItemId last;
};

struct RuleRange {
  SettingItemId first;
  SettingItemId last;
  const ItemInfoRecord* info;
};

constexpr RuleRange kRuleRanges[] = {
    {1, 6, &kRuleAll},          {7, 7, &kRuleCheck},        {9, 10, &kRuleAll},         {11, 11, &kRuleCheck},
    {12, 12, &kRuleAll},        {13, 13, &kRulePublic},     {15, 15, &kRuleAll},        {16, 16, &kRulePublic},
    {17, 18, &kRuleCheck},      {19, 19, &kRuleAll},        {22, 22, &kRuleAll},        {23, 23, &kRuleCheck},
    {24, 25, &kRuleNone},       {257, 259, &kRuleAll},      {298, 298, &kRuleAll},      {305, 305, &kRuleAll},
    {357, 358, &kRuleAll},      {439, 439, &kRuleDatabase}, {463, 463, &kRuleDatabase}, {1793, 1793, &kRuleAll},
    {5889, 5948, &kRuleAll},    {8202, 8202, &kRuleConstant}, {8203, 8204, &kRuleAll},
};

constexpr const ItemInfoRecord* FindRule(SettingItemId id) {
  for (const RuleRange& r : kRuleRanges)
    if (id >= r.first && id <= r.last) return r.info;
  return nullptr;
}

template <size_t N, size_t R>
constexpr std::array<ItemDescriptor, N> BuildGroup(const IdRun (&runs)[R]) {
  std::array<ItemDescriptor, N> out{};
  size_t n = 0;
  for (const IdRun& run : runs)
    for (DWORD id = run.first; id <= run.last; ++id) out[n++] = {static_cast<SettingItemId>(id), FindRule(id)};
  if (n != N) throw "descriptor count differs from the runs";  // stops compilation
  return out;
}

constexpr IdRun kGroup0[] = {{0x1001, 0x1040}, {0x1101, 0x110A}};
constexpr IdRun kGroup1[] = {{0x1201, 0x1220}};
constexpr IdRun kGroup2[] = {{0x1401, 0x1401}, {0x1403, 0x1403}, {0x1405, 0x1407}, {0x1409, 0x140C},
                             {0x140E, 0x1412}, {0x1415, 0x141E}, {0x1420, 0x144E}};
constexpr IdRun kGroup3[] = {{0x2009, 0x200F}, {0x1801, 0x182D}, {0x1901, 0x190A}, {0x1701, 0x173C}, {0x2010, 0x2013}};
constexpr IdRun kGroup4[] = {{0x0001, 0x0013}, {0x0016, 0x0019}};
constexpr IdRun kGroup5[] = {{0x0101, 0x0120}, {0x0123, 0x012F}};
constexpr IdRun kGroup6[] = {{0x0130, 0x0150}, {0x0152, 0x015A}, {0x015C, 0x015F}};
constexpr IdRun kGroup7[] = {{0x0160, 0x0179}, {0x017B, 0x018F}};
constexpr IdRun kGroup8[] = {{0x0190, 0x019E}, {0x01B3, 0x01BF}};
constexpr IdRun kGroup9[] = {{0x01C0, 0x01D1}};
constexpr IdRun kGroup10[] = {{0x0501, 0x050E}, {0x0510, 0x0560}};
constexpr IdRun kGroup11[] = {{0x0701, 0x0746}};

constexpr auto kDescriptors0 = BuildGroup<74>(kGroup0);
constexpr auto kDescriptors1 = BuildGroup<32>(kGroup1);
constexpr auto kDescriptors2 = BuildGroup<71>(kGroup2);
constexpr auto kDescriptors3 = BuildGroup<126>(kGroup3);
constexpr auto kDescriptors4 = BuildGroup<23>(kGroup4);
constexpr auto kDescriptors5 = BuildGroup<45>(kGroup5);
constexpr auto kDescriptors6 = BuildGroup<46>(kGroup6);
constexpr auto kDescriptors7 = BuildGroup<47>(kGroup7);
constexpr auto kDescriptors8 = BuildGroup<28>(kGroup8);
constexpr auto kDescriptors9 = BuildGroup<18>(kGroup9);
constexpr auto kDescriptors10 = BuildGroup<95>(kGroup10);
constexpr auto kDescriptors11 = BuildGroup<70>(kGroup11);

template <size_t N>
constexpr DescriptorArrayRow Row(DWORD group, const std::array<ItemDescriptor, N>& descriptors, ItemArea area) {
  return {group, descriptors.data(), static_cast<WORD>(N), area};
}

}  // namespace

const DescriptorRangeRow ItemDescriptorRanges[kDescriptorGroupCount + 1] = {
    {5, 0x0101, 0x012F}, {6, 0x0130, 0x015F}, {7, 0x0160, 0x018F}, {8, 0x0190, 0x01BF}, {9, 0x01C0, 0x01D1},
    {10, 0x0501, 0x0560}, {11, 0x0701, 0x0746}, {0, 0x1001, 0x110A}, {1, 0x1201, 0x1220}, {2, 0x1401, 0x144E},
    {3, 0x1601, 0x2013}, {4, 0x0001, 0x0019}, {kDescriptorGroupEnd, 0, 0},
};

const DescriptorArrayRow ItemDescriptorArrays[kDescriptorGroupCount + 1] = {
    Row(5, kDescriptors5, kAreaSettings),      Row(6, kDescriptors6, kAreaSettings),
    Row(7, kDescriptors7, kAreaSettings),      Row(8, kDescriptors8, kAreaSettings),
    Row(9, kDescriptors9, kAreaSettings),      Row(10, kDescriptors10, kAreaSettings),
    Row(11, kDescriptors11, kAreaExtension),   Row(0, kDescriptors0, kAreaPrinterConfig),
    Row(1, kDescriptors1, kAreaPrinterConfig), Row(2, kDescriptors2, kAreaPrinterConfig),
    Row(3, kDescriptors3, kAreaPrinterConfig), Row(4, kDescriptors4, kAreaSettings),
    {kDescriptorGroupEnd, nullptr, 0, 0},
};

BOOL GetGroupDescriptors(DWORD group, std::span<const ItemDescriptor>* descriptors, ItemArea* area) {
  for (const DescriptorArrayRow* row = ItemDescriptorArrays; row->group != kDescriptorGroupEnd; ++row)
    if (row->group == group) {
      if (descriptors != nullptr) *descriptors = {row->descriptors, row->count};
      if (area != nullptr) *area = row->area;
      return TRUE;
    }
  return FALSE;
}

const ItemDescriptor* FindItemDescriptor(SettingItemId id) {
  for (const DescriptorRangeRow* range = ItemDescriptorRanges; range->group != kDescriptorGroupEnd; ++range) {
    if (id < range->first || id > range->last) continue;
    std::span<const ItemDescriptor> descriptors;
    if (!GetGroupDescriptors(range->group, &descriptors, nullptr)) continue;
    for (const ItemDescriptor& d : descriptors)
      if (d.id == id) return &d;
  }
  return nullptr;
}

bool ItemSupportsOperation(const ItemDescriptor* descriptor, WORD operation) {
  return descriptor != nullptr && descriptor->info != nullptr && (descriptor->info->operations & operation) != 0;
}
