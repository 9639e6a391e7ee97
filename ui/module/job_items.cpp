// Reading the job's setting items (job_items.h).
#include "ui/module/job_items.h"

#include <cstring>

#include "core/constraints/change_values.h"
#include "core/descriptors/item_descriptors.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"

bool ReadJobNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG* value) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  LONGLONG number = 0;
  if (GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone || !NumberOfTypedValue(type, &cell, &number))
    return false;
  *value = static_cast<LONG>(number);
  return true;
}

LONG JobNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG fallback) {
  LONG value = fallback;
  return ReadJobNumber(settings, config, id, &value) ? value : fallback;
}

bool ReadJobText(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LPWSTR buffer, DWORD chars) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  buffer[0] = 0;
  if (GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone || type != kTypeString ||
      cell.data == nullptr)
    return false;
  // The field's own length bounds the copy: a stored text may lack its terminator.
  const DWORD fieldChars = length / sizeof(WCHAR);
  const auto* text = static_cast<const WCHAR*>(cell.data);
  DWORD n = 0;
  while (n + 1 < chars && n < fieldChars && text[n] != 0) {
    buffer[n] = text[n];
    ++n;
  }
  buffer[n] = 0;
  return true;
}

bool ReadJobFont(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LOGFONTW* font) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(id, settings, config, &type, &length, &cell) != kItemDone || type != kTypeFont ||
      cell.data == nullptr || length < sizeof(LOGFONTW))
    return false;
  std::memcpy(font, cell.data, sizeof(LOGFONTW));
  return true;
}
