// CompareSettingsRecords over the groups of the item table.
#include "core/persist/settings_compare.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/common/typed_compare.h"
#include "core/messages/sheet_services.h"
#include "core/store/item_access.h"
#include "core/store/settings_record.h"
#include "items/item_ids.h"
#include "items/item_tables.h"

namespace {

// Items a favourite does not fix, in ascending order.
constexpr auto kNotCompared = std::to_array<SettingItemId>({
    1,    2,    3,    4,    5,    6,    9,    10,   13,   14,   17,   19,   20,   21,   22,   24,   25,
    257,  258,  260,  261,  266,  349,  365,  366,  367,  368,  369,  370,  371,  372,  374,  439,  442,
    463,  1793, 1824, 1825, 1826, 1827, 1828, 4129});
static_assert(std::is_sorted(kNotCompared.begin(), kNotCompared.end()));

// A value cell as GetItemValue fills it: a number in its own width, or a field's address.
union ValueCell {
  DWORD number;
  ULONG_PTR address;
};

// 1 when the stamp name item reads from both records; *named when either is not empty.
bool ReadStampNames(SettingsRecord* first, SettingsRecord* second, PrinterConfiguration* config, bool* named) {
  *named = false;
  for (SettingsRecord* record : {first, second}) {
    ValueCell cell{};
    ValueTypeCode type = 0;
    DWORD length = 0;
    if (GetItemValue(kItemStampName, record, config, &type, &length, &cell) != kItemDone) return false;
    const auto* text = reinterpret_cast<LPCWSTR>(cell.address);
    if (text != nullptr && text[0] != 0) *named = true;
  }
  return true;
}

// Two text fields compared up to their terminators. A field may lie at any byte offset of its
// record, so its characters are read through a copy.
bool SameFieldText(ULONG_PTR first, DWORD firstBytes, ULONG_PTR second, DWORD secondBytes) {
  auto text = [](ULONG_PTR address, DWORD bytes) {
    std::u16string copy(bytes / sizeof(char16_t), u'\0');
    if (address != 0) std::memcpy(copy.data(), reinterpret_cast<const void*>(address), copy.size() * sizeof(char16_t));
    return copy.substr(0, copy.find(u'\0'));
  };
  return text(first, firstBytes) == text(second, secondBytes);
}

}  // namespace

int CompareSettingsRecords(HWND window, SettingsRecord* first, SettingsRecord* second, PrinterConfiguration* config) {
  if (GetSheetState(window) == nullptr) return 0;
  bool stampNamed = false;
  if (!ReadStampNames(first, second, config, &stampNamed)) return 0;
  WORD area = 0;
  for (WORD group = 0; GetItemGroupArea(group, &area); ++group) {
    if (area == kAreaPrinterConfig) continue;
    for (WORD entry = 0;; ++entry) {
      const SettingItemId id = GetItemGroupEntryId(group, entry);
      if (id == 0) break;
      if (std::binary_search(kNotCompared.begin(), kNotCompared.end(), id)) continue;
      if (!stampNamed && IsItemRange297To320(id)) continue;
      ValueCell a{}, b{};
      ValueTypeCode typeA = 0, typeB = 0;
      DWORD lengthA = 0, lengthB = 0;
      if (GetItemValue(id, first, config, &typeA, &lengthA, &a) != kItemDone) return 0;
      if (typeA == kTypeFont) continue;
      if (GetItemValue(id, second, config, &typeB, &lengthB, &b) != kItemDone) return 0;
      if (typeA == kTypeString ? !SameFieldText(a.address, lengthA, b.address, lengthB)
                               : CompareTypedValues(typeA, &a, &b) != kCompareEqual)
        return 0;
    }
  }
  return 1;
}
