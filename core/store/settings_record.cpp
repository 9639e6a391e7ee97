#include "core/store/settings_record.h"

#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/memory.h"

DWORD GetSettingsRecordSize(WORD kind) {
  return kind == kShortSettingsKind ? kSettingsRecordShortSize : kSettingsRecordSize;
}

void* AllocSettingsRecord(WORD kind) { return GlobalAlloc(GPTR, GetSettingsRecordSize(kind)); }

void CopySettingsRecord(void* destination, const void* source, WORD kind) {
  std::memmove(destination, source, GetSettingsRecordSize(kind));
}

void ClearSettingsRecord(void* record, WORD kind) { std::memset(record, 0, GetSettingsRecordSize(kind)); }

int GetItemGroupArea(WORD group, WORD* area) {
  if (group >= kItemGroupCount || !area) return 0;
  *area = ItemGroupTable[group].area;
  return 1;
}

SettingItemId GetItemGroupEntryId(WORD group, WORD entry) {
  if (group >= kItemGroupCount) return 0;
  const auto& rows = ItemGroupTable[group].rows;
  return entry < rows.size() ? rows[entry].id : 0;
}
