// Module instance, module directory cache and the user-interface module's start-up entry.
#include "core/runtime/module_state.h"

#include "core/runtime/lock_slots.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/module.h"

namespace {

// Characters GetModuleFileNameW may fill: a path of up to 260 characters and a terminator.
constexpr DWORD kModulePathChars = MAX_PATH + 1;

HINSTANCE g_instance = nullptr;
WCHAR g_directory[MAX_PATH + 1] = {};
bool g_directoryKnown = false;

// Reads the module's file name and keeps everything up to its last backslash.
bool LoadModuleDirectory() {
  WCHAR path[kModulePathChars] = {};
  const DWORD n = GetModuleFileNameW(g_instance, path, kModulePathChars);
  // A name that filled the whole buffer was cut short: its directory is not known.
  if (n == 0 || n >= kModulePathChars) return false;
  WCHAR* slash = wcsrchr(path, u'\\');
  if (slash != nullptr) {
    slash[1] = 0;
  } else {
    path[0] = 0;
  }
  lstrcpynW(g_directory, path, MAX_PATH + 1);
  g_directoryKnown = true;
  return true;
}

}  // namespace

void SetModuleInstance(HINSTANCE instance) {
  LockSlotGuard lock(kLockModule);
  g_instance = instance;
}

HINSTANCE GetModuleInstance() {
  LockSlotGuard lock(kLockModule);
  return g_instance;
}

int GetModuleDirectory(LPWSTR buffer, DWORD bufferBytes) {
  if (buffer == nullptr || bufferBytes < kModuleDirectoryBufferBytes) return 0;
  LockSlotGuard lock(kLockModule);
  if (!g_directoryKnown && !LoadModuleDirectory()) return 0;
  const DWORD chars = bufferBytes / sizeof(WCHAR);
  lstrcpynW(buffer, g_directory, static_cast<int>(chars));
  buffer[chars - 1] = 0;
  return 1;
}
