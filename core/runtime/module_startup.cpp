// The user-interface module's start-up entry, called from its DllMain.
#include "core/runtime/module_startup.h"

#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/runtime/trace_log.h"
#include "platform/base/types.h"

#if defined(QV_BUILD_UI)
BOOL DllInitialize(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == kDllProcessAttach) {
    for (int slot = 0; slot < kLockSlotCount; ++slot) InitLock(slot);
    SetModuleInstance(instance);
    TraceEnter(u"DllInitialize_ATTACH");
    TraceLeave(u"DllInitialize_ATTACH");
  } else if (reason == kDllProcessDetach) {
    FreeResourceModule();
    for (int slot = 0; slot < kLockSlotCount; ++slot) DeleteLock(slot);
    TraceEnter(u"DllInitialize_DETACH");
    TraceLeave(u"DllInitialize_DETACH");
  }
  return TRUE;
}
#endif
