// Entry point and exported driver functions of qorvexgr.dll. The engine finds these three by
// name; every other function it reaches through the table DrvEnableDriver answers.
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "graphics/ddi/ddi_exports.h"
#include "platform/base/export.h"
#include "platform/kernel/module.h"

DLLEXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) SetModuleInstance(instance);
  if (reason == DLL_PROCESS_DETACH) {
    FreeResourceModule();
    SetModuleInstance(nullptr);
  }
  return TRUE;
}

DLLEXPORT BOOL WINAPI DrvEnableDriver(ULONG engineVersion, ULONG cj, DRVENABLEDATA* data) {
  return EnableDriverEntry(engineVersion, cj, data);
}

DLLEXPORT VOID WINAPI DrvDisableDriver() { DisableDriverEntry(); }

DLLEXPORT BOOL WINAPI DrvQueryDriverInfo(DWORD mode, PVOID buffer, DWORD cb, PDWORD needed) {
  return QueryDriverInfoEntry(mode, buffer, cb, needed);
}
