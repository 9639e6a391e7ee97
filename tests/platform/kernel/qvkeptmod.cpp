// A module for the loader tests that declares it keeps no state, so that the loader may keep
// its image after its last FreeLibrary; its DllMain leaves a debugger line for each call. It
// also has one variable that an export changes, for the tests of a module that breaks its
// declaration: the loader must then unload it for real.
#include "platform/base/export.h"
#include "platform/kernel/debug.h"
#include "platform/kernel/module.h"
#include "platform/kernel/module_note.h"

QV_MODULE_KEEPS_NO_STATE;

namespace {
int calls = 0;
}  // namespace

DLLEXPORT BOOL DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) OutputDebugStringW(u"qvkeptmod attach");
  if (reason == DLL_PROCESS_DETACH) OutputDebugStringW(u"qvkeptmod detach");
  return TRUE;
}

// The number of calls since the module's image was mapped.
DLLEXPORT int QvKeptCountCall() { return ++calls; }
