#include "core/descriptors/item_rules.h"

#include <cstring>

#include "core/common/typed_compare.h"
#include "core/descriptors/builtin_lists.h"
#include "core/descriptors/user_paper_name.h"
#include "core/stamps/stamp_records.h"
#include "core/store/dm_fields.h"
#include "core/store/item_store.h"
#include "core/system/os_generation.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

constexpr ConstantDefault kConfigurationSize{kConstDefaultValue, kTypeUInt16, -1, kPrinterConfigurationSize, nullptr};

constexpr WORD kSpecVersion = 0x0401;
constexpr WORD kDriverVersion = 20544;     // 0x5040
constexpr WORD kConfigVersion = 8514;      // 0x2142
constexpr WORD kDeviceModeSize = 220;
constexpr WORD kDriverExtra = 1328;        // 1548 - 220
constexpr SHORT kAcceptedSizes[] = {220, 1548, 212};
constexpr DWORD kNameBytes298 = 66;
constexpr DWORD kNameBytes305 = 64;
constexpr DWORD kUserPaperNameBytes = 30;
constexpr WORD kUserPaperValue = 9;  // the paper of item 8 user papers start from
constexpr WORD kOsWindows95 = 257;
constexpr WORD kOsWindowsNt4 = 513;

// A number default.
int SetNumber(ItemDefaultSlot& slot, ValueTypeCode type, DWORD value) {
  slot.type = type;
  slot.value = ItemValueCell{};
  slot.value.number = value;
  slot.size = type == kTypeInt16 || type == kTypeUInt16 ? 2 : type == kTypeUInt8 ? 1 : 4;
  return 1;
}

// A string default in a new zeroed buffer of `bytes`, holding at most bytes / 2 - 1 characters.
int SetText(ItemDefaultSlot& slot, LPCWSTR text, DWORD bytes) {
  auto* buffer = static_cast<LPWSTR>(GlobalAlloc(GPTR, bytes));
  if (buffer == nullptr) return 0;
  if (text != nullptr) lstrcpynW(buffer, text, static_cast<int>(bytes / 2));
  slot.type = kTypeString;
  slot.value = ItemValueCell{};
  slot.value.data = buffer;
  slot.size = bytes;
  return 1;
}

// No default from the database: when the record it would come from is not in the model, the
// item has none there (absent), any other status is a failure.
int NoDefault(ItemDefaultSlot& slot, WORD status) {
  slot.absent = status == kQueryAbsent;
  return 0;
}

int GiveDefault(ItemStore* store, SettingItemId id, ItemDefaultSlot& slot) {
  WORD status = 0;
  switch (id) {
    case kItemDeviceName: {
      // Without a device name the name stays empty (the rest of the record is still filled).
      WCHAR name[kDeviceNameChars + 1] = {};
      if (slot.deviceName != nullptr) lstrcpynW(name, slot.deviceName, kDeviceNameChars + 1);
      return SetText(slot, name, kDeviceNameBytes);
    }
    case kItemSpecVersion: return SetNumber(slot, kTypeUInt16, kSpecVersion);
    case kItemDriverVersion:
    case kItemLayoutVersion:
    case kItemExtensionVersion:
    case kItemConfigRelease: return SetNumber(slot, kTypeUInt16, kDriverVersion);
    case kItemDevmodeSize: return SetNumber(slot, kTypeUInt16, kDeviceModeSize);
    case kItemDriverExtra: return SetNumber(slot, kTypeUInt16, kDriverExtra);
    case kItemFields: {
      DWORD mask = 0;
      return ComputeDmFields(store, &mask, 1) == 1 ? SetNumber(slot, kTypeUInt32, mask) : 0;
    }
    case kItemPaperLength:
    case kItemPaperWidth: {
      WORD width = 0, length = 0;
      if (GetDefaultPaperSize(store, kItemPaperSize, &width, &length, &status) != 1) return NoDefault(slot, status);
      return SetNumber(slot, kTypeInt16, id == kItemPaperLength ? length : width);
    }
    case kItemCopies: return SetNumber(slot, kTypeInt16, 1);
    case kItemColor: {
      void* value = nullptr;
      ValueTypeCode type = 0;
      const bool one = QueryItemDefault(store, kItemMonochromeDefault, &value, &type, &status) == 1 &&
                       type != kTypeString && reinterpret_cast<ULONG_PTR>(value) == 1;
      if (status == kQueryOk) ReleaseItemDefault(value, type);
      return SetNumber(slot, kTypeInt16, one ? 1 : 2);
    }
    case kItemFormName: {
      LPWSTR name = GetDefaultPaperName(store, kItemPaperSize, &status);
      if (name == nullptr) return NoDefault(slot, status);
      const int done = SetText(slot, name, kDeviceNameBytes);
      GlobalFree(name);
      return done;
    }
    case kItemIcmMethod: return SetNumber(slot, kTypeUInt32, 1);
    case kItemDriverRelease:
    case kItemConfigLayoutVersion: return SetNumber(slot, kTypeUInt16, kConfigVersion);
    case kItemModelName: {
      LPWSTR name = GetModelName(store, &status);
      if (name == nullptr) return 0;
      slot.type = kTypeString;
      slot.value = ItemValueCell{};
      slot.value.data = name;
      slot.size = static_cast<DWORD>(lstrlenW(name)) * 2 + 2;
      return 1;
    }
    case kItemStampChoice: return SetText(slot, nullptr, kNameBytes298);
    case kItemStampFace: return SetText(slot, nullptr, kNameBytes305);
    case kItemJobInfoFont: {
      auto* font = static_cast<LOGFONTW*>(GlobalAlloc(GPTR, sizeof(LOGFONTW)));
      if (font == nullptr) return 0;
      if (!LoadDefaultFontRecord(font)) {
        GlobalFree(font);
        return 0;
      }
      slot.type = kTypeFont;
      slot.value = ItemValueCell{};
      slot.value.data = font;
      slot.size = kLogFontSize;
      return 1;
    }
    case kItemJobInfoFace: {
      LOGFONTW font;
      return LoadDefaultFontRecord(&font) ? SetText(slot, font.lfFaceName, kDeviceNameBytes) : 0;
    }
    default: break;
  }
  if (id >= kItemUserPaperWidth && id < kItemUserPaperName) {
    WORD width = 0, length = 0;
    // A model without that paper gives the user papers no default size.
    if (GetPaperSizeOfValue(store, kItemPaperSize, kUserPaperValue, &width, &length, nullptr, nullptr, &status) != 1)
      return NoDefault(slot, status);
    return SetNumber(slot, kTypeUInt16, id < kItemUserPaperLength ? width : length);
  }
  if (id >= kItemUserPaperName && id < kItemUserPaperName + kUserPaperSlots) {
    WCHAR name[kUserPaperNameBytes / 2] = {};
    if (FormatUserPaperName(id - kItemUserPaperName, name, static_cast<int>(kUserPaperNameBytes / 2)) != 1) return 0;
    return SetText(slot, name, kUserPaperNameBytes);
  }
  return 0;
}

// A value equal to any member of the set, compared under the given type.
template <size_t N, typename T>
int IsMember(const ItemValueCell* value, ValueTypeCode type, const T (&members)[N]) {
  for (T member : members) {
    ItemValueCell cell{};
    std::memcpy(&cell, &member, sizeof member);
    if (CompareTypedValues(type, value, &cell) == kCompareEqual) return 1;
  }
  return 0;
}

int IsPositive(const ItemValueCell* value) {
  const SHORT zero = 0;
  return CompareTypedValues(kTypeInt16, value, &zero) == kCompareGreater;
}

int CheckValue(ItemStore* store, WORD operation, SettingItemId id, const ItemValueCell* value) {
  const bool strict = operation == kItemOpCheck;
  switch (id) {
    case kItemSpecVersion: return IsMember(value, kTypeInt16, {static_cast<SHORT>(kSpecVersion)});
    case kItemDriverVersion:
    case kItemLayoutVersion:
    case kItemExtensionVersion:
    case kItemConfigRelease: return IsMember(value, kTypeInt16, {static_cast<SHORT>(kDriverVersion)});
    case kItemDevmodeSize: return IsMember(value, kTypeInt16, kAcceptedSizes);
    case kItemDriverExtra: return IsMember(value, kTypeInt16, {static_cast<SHORT>(kDriverExtra)});
    case kItemOrientation: return IsMember(value, kTypeInt16, {SHORT{1}, SHORT{2}});
    case kItemScale: return IsPositive(value);
    case kItemCopies: {
      if (!strict) return IsPositive(value);
      const SHORT low = 1, high = static_cast<SHORT>(GetMaxCopies(store));
      return CompareTypedValues(kTypeInt16, value, &low) != kCompareLess &&
             CompareTypedValues(kTypeInt16, value, &high) != kCompareGreater &&
             CompareTypedValues(kTypeInt16, value, &low) != kCompareNotComparable;
    }
    case kItemDefaultSource: return strict ? 0 : IsPositive(value);
    case kItemColor: return IsMember(value, kTypeInt16, {SHORT{1}, SHORT{2}});
    case kItemDuplex: return strict ? 0 : IsMember(value, kTypeInt16, {SHORT{1}, SHORT{2}, SHORT{3}});
    case kItemTrueTypeOption: return IsMember(value, kTypeInt16, {SHORT{1}, SHORT{2}, SHORT{3}, SHORT{4}});
    case kItemCollate: return IsMember(value, kTypeInt16, {SHORT{0}, SHORT{1}});
    case kItemIcmMethod:
    case kItemIcmIntent: {
      WORD generation = 0;
      if (GetOsGeneration(&generation) != 1) return 0;
      if (generation == kOsWindows95 || generation == kOsWindowsNt4) return 1;
      return IsMember(value, kTypeUInt32, {DWORD{1}, DWORD{2}, DWORD{3}, DWORD{4}});
    }
    case kItemMediaKind:
    case kItemDitherType: return 1;
    case kItemDriverRelease:
    case kItemConfigLayoutVersion: return IsMember(value, kTypeInt16, {static_cast<SHORT>(kConfigVersion)});
    case kItemModelName: {
      WORD status = 0;
      LPWSTR name = GetModelName(store, &status);
      if (name == nullptr) return 0;
      const int equal = CompareTypedValues(kTypeString, value, &name) == kCompareEqual;
      GlobalFree(name);
      return equal;
    }
    default: return 0;  // the items whose stored value is always reported invalid
  }
}

}  // namespace

constexpr DWORD kChecks = kItemOpCheck | kItemOpCheckpublic;
const ItemInfoRecord kRuleAll{nullptr, HandleBuiltinItem, kItemOpAll};
const ItemInfoRecord kRuleCheck{nullptr, HandleBuiltinItem, kChecks};
const ItemInfoRecord kRulePublic{nullptr, HandleBuiltinItem, kItemOpCheckpublic};
const ItemInfoRecord kRuleNone{nullptr, HandleBuiltinItem, 0};
const ItemInfoRecord kRuleDatabase{nullptr, nullptr, 0};
const ItemInfoRecord kRuleConstant{&kConfigurationSize, nullptr, kItemOpAll};

int HandleBuiltinItem(ItemStore* store, WORD operation, SettingItemId id, ItemValueSlot* slot) {
  if (slot == nullptr) return 0;
  switch (operation) {
    case kItemOpDefault: return GiveDefault(store, id, slot->defaults);
    case kItemOpCheck:
    case kItemOpCheckpublic: return slot->check.value != nullptr && CheckValue(store, operation, id, slot->check.value);
#if defined(QV_BUILD_UI)
    // Choice lists exist only in the user-interface module.
    case kItemOpListheader:
    case kItemOpListentry: return BuildBuiltinListPart(store, operation, id, slot);
#endif
    default: return 0;
  }
}
