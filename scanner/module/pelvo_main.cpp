// The data source module's entry point: module-wide state is set up at attach and released at
// detach.
#include "platform/base/export.h"
#include "platform/kernel/module.h"

#include "scanner/color_transform.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/system_routines.h"

DLLEXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (instance == nullptr) return FALSE;
    g_Instance = instance;
    LoadLocaleText(instance);
    LoadFilterLibrary();
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    UnloadFilterLibrary();
    FreeDeviceBandBuffer();
    UnloadLocaleText();
    ReleaseColorTransform();
  }
  return TRUE;
}
