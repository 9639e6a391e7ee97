#include "core/descriptors/option_item_sets.h"
#include "platform/base/types.h"

namespace {

struct OptionItemSet {
  WORD code;
  SettingItemId items[kOptionSetItemCount];  // the fourth and fifth: custom width and length
};

constexpr OptionItemSet kOptionItemSets[] = {
    {1, {0x1801, 0x1810, 0x181F, 0x182E, 0x183D}},   {269, {0x1802, 0x1811, 0x1820, 0x182F, 0x183E}},
    {272, {0x1803, 0x1812, 0x1821, 0x1830, 0x183F}}, {3, {0x1804, 0x1813, 0x1822, 0x1831, 0x1840}},
    {270, {0x1805, 0x1814, 0x1823, 0x1832, 0x1841}}, {271, {0x1806, 0x1815, 0x1824, 0x1833, 0x1842}},
};

}  // namespace

int FindOptionItemSet(WORD code, SettingItemId items[kOptionSetItemCount]) {
  if (items == nullptr) return 0;
  for (const OptionItemSet& set : kOptionItemSets) {
    if (set.code != code) continue;
    for (int i = 0; i < kOptionSetItemCount; ++i) items[i] = set.items[i];
    return 1;
  }
  return 0;
}

int GetCustomSizeItems(SettingItemId firstItem, SettingItemId* widthItem, SettingItemId* lengthItem) {
  if (widthItem == nullptr || lengthItem == nullptr) return 0;
  for (const OptionItemSet& set : kOptionItemSets) {
    if (set.items[0] != firstItem) continue;
    *widthItem = set.items[3];
    *lengthItem = set.items[4];
    return 1;
  }
  return 0;
}
