#include "graphics/device/pdev_settings.h"

#include <cstring>

#include "core/store/item_access.h"
#include "items/item_ids.h"

namespace {

// The value slot of one read: a number zero-extended, or a text's address. A failed read
// leaves it zero.
ULONG_PTR ReadPdevSetting(Pdev* pdev, SettingItemId id, ValueTypeCode* type) {
  ULONG_PTR value = 0;
  DWORD length = 0;
  *type = 0;
  if (GetItemValue(id, &pdev->settings, pdev->config, type, &length, &value) != kItemDone) return 0;
  return value;
}

}  // namespace

WORD GetPdevSettingWord(Pdev* pdev, SettingItemId id) {
  ValueTypeCode type;
  return static_cast<WORD>(ReadPdevSetting(pdev, id, &type));
}

DWORD GetPdevSettingDword(Pdev* pdev, SettingItemId id) {
  ValueTypeCode type;
  return static_cast<DWORD>(ReadPdevSetting(pdev, id, &type));
}

LPCWSTR GetPdevSettingString(Pdev* pdev, SettingItemId id) {
  ValueTypeCode type;
  const ULONG_PTR value = ReadPdevSetting(pdev, id, &type);
  return type == kTypeString ? reinterpret_cast<LPCWSTR>(value) : nullptr;
}

LONG GetDeviceResolution(Pdev* pdev) {
  const LONG resolution = static_cast<SHORT>(GetPdevSettingWord(pdev, kItemResolution));
  return resolution > 0 ? resolution : kFallbackResolution;
}

LONG GetDeviceScale(Pdev* pdev) {
  const LONG scale = static_cast<SHORT>(GetPdevSettingWord(pdev, kItemScale));
  return scale > 0 ? scale : kFallbackScale;
}

void CopySettingsExtension(SettingsRecord* destination, const SettingsRecord* source) {
  std::memcpy(destination->bytes + kSettingsExtensionOffset, source->bytes + kSettingsExtensionOffset,
              kSettingsExtensionSize);
}
