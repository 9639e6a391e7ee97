// The user-interface module's entry point.
#include "core/services/module_startup.h"
#include "platform/base/export.h"
#include "platform/base/types.h"

DLLEXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  return DllInitialize(instance, reason, reserved);
}
