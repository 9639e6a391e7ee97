// A data-access module for the graphics module's tests whose dma_GetValue throws, as a broken
// data-access module might.
#include <stdexcept>

#include "items/item_tables.h"
#include "items/setting_records.h"
#include "platform/base/export.h"
#include "platform/base/types.h"

DLLEXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

DLLEXPORT ItemAccessResult WINAPI dma_GetValue(SettingItemId, SettingsRecord*, PrinterConfiguration*,
                                               ValueTypeCode* type, DWORD*, void*, ItemArea*) {
  *type = kTypeString;
  throw std::runtime_error("item table damaged");
}

DLLEXPORT ItemAccessResult WINAPI dma_SetValue(SettingItemId, SettingsRecord*, PrinterConfiguration*, ValueTypeCode,
                                               DWORD, const void*) {
  return kItemDone;
}
