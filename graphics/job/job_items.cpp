#include "graphics/job/job_items.h"

#include "core/store/effective_values.h"
#include "core/store/item_access.h"
#include "graphics/ddi/data_access.h"  // up: the module's item access binding
#include "graphics/device/pdev_settings.h"
#include "platform/base/text.h"

LONG ReadJobItem(Pdev* pdev, SettingItemId id) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ULONG_PTR cell = 0;
  if (GetItemValue(id, &pdev->settings, pdev->config, &type, &length, &cell) != kItemDone) return 0;
  if (type == kTypeInt16) return static_cast<SHORT>(cell);
  if (length == 1) return static_cast<BYTE>(cell);
  if (length == 2) return static_cast<WORD>(cell);
  return static_cast<LONG>(static_cast<DWORD>(cell));
}

DWORD ReadEffectiveJobItem(Pdev* pdev, SettingItemId id) {
  return GetEffectiveItemNumber(&pdev->settings, pdev->config, id);
}

BOOL WriteJobItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG value) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ULONG_PTR old = 0;
  if (GetItemValue(id, settings, config, &type, &length, &old) != kItemDone) return FALSE;
  return SetItemNumberResult(settings, config, id, type, static_cast<DWORD>(value)) == kItemDone;
}

LPCWSTR ReadJobItemText(Pdev* pdev, SettingItemId id) { return GetPdevSettingString(pdev, id); }

int CopyItemText(SettingsRecord* destination, SettingsRecord* source, PrinterConfiguration* config, SettingItemId id) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ULONG_PTR cell = 0;
  if (GetItemValue(id, source, config, &type, &length, &cell) != kItemDone || type != kTypeString) return -1;
  const auto* text = reinterpret_cast<LPCWSTR>(cell);
  const DWORD bytes = static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR));
  return SetItemValue(id, destination, config, kTypeString, bytes, &text) == kItemDone ? 0 : -1;
}
