// The user-interface module's entry point: the core's start-up, and the sheet services the
// core reaches this module's property sheets through.
#include "core/runtime/module_startup.h"
#include "platform/base/export.h"
#include "platform/base/types.h"
#include "ui/framework/sheet/sheet_state.h"

DLLEXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  const BOOL result = DllInitialize(instance, reason, reserved);
  if (reason == kDllProcessAttach) RegisterSheetServices(true);
  if (reason == kDllProcessDetach) RegisterSheetServices(false);
  return result;
}
