// The process's default window layout (see window.h).
#include <atomic>

#include "platform/base/errors.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/window.h"

namespace {

std::atomic<DWORD> processLayout{0};

const bool registeredReset = (SimAddResetHook([] { processLayout = 0; }), true);

}  // namespace

BOOL SetProcessDefaultLayout(DWORD layout) {
  if (layout != 0 && layout != LAYOUT_RTL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  processLayout = layout;
  return TRUE;
}

BOOL GetProcessDefaultLayout(DWORD* layout) {
  if (layout == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  *layout = processLayout;
  return TRUE;
}
