// Entry point and engine exports of qorvexdata.dll.
#include "items/item_engine.h"
#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/module_note.h"

// The item engine keeps nothing between calls and this module has no variables of its own,
// so the graphics module's load of it for each first device context can reuse its image.
QV_MODULE_KEEPS_NO_STATE;

DLLEXPORT BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

DLLEXPORT ItemAccessResult WINAPI dma_GetValue(SettingItemId id, SettingsRecord* settings,
                                               PrinterConfiguration* config, ValueTypeCode* type, DWORD* length,
                                               void* value, ItemArea* area) {
  return itemengine::dma_GetValue(id, settings, config, type, length, value, area);
}

DLLEXPORT ItemAccessResult WINAPI dma_SetValue(SettingItemId id, SettingsRecord* settings,
                                               PrinterConfiguration* config, ValueTypeCode type, DWORD length,
                                               const void* source) {
  return itemengine::dma_SetValue(id, settings, config, type, length, source);
}
