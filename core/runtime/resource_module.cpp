// Resource module loading and use count, guarded by the module lock slot (re-entrant:
// GetModuleDirectory and GetModuleInstance take it again).
#include "core/runtime/resource_module.h"

#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/module.h"
#include "platform/kernel/resource.h"

namespace {

// The resource file is loaded as data from the module's own directory.
constexpr DWORD kResourceLoadFlags = DONT_RESOLVE_DLL_REFERENCES | LOAD_WITH_ALTERED_SEARCH_PATH;
// Bytes of the directory buffer handed to GetModuleDirectory.
constexpr DWORD kDirectoryBufferBytes = 522;

HMODULE g_resourceModule = nullptr;
DWORD g_useCount = 0;

// Loads the resource module; the caller holds the module slot.
HMODULE LoadResourceModuleFile() {
  WCHAR name[MAX_PATH] = {};
  if (LoadStringW(GetModuleInstance(), kResourceModuleNameString, name, MAX_PATH) <= 0) return nullptr;
  WCHAR directory[kDirectoryBufferBytes / sizeof(WCHAR)] = {};
  if (!GetModuleDirectory(directory, kDirectoryBufferBytes)) return nullptr;
  if (lstrlenW(directory) + lstrlenW(name) > MAX_PATH) return nullptr;
  WCHAR path[MAX_PATH + 1] = {};
  lstrcpyW(path, directory);
  lstrcatW(path, name);
  return LoadLibraryExW(path, nullptr, kResourceLoadFlags);
}

}  // namespace

void AcquireResourceModule() {
  LockSlotGuard lock(kLockModule);
  if (g_useCount > 0) {
    ++g_useCount;
    return;
  }
  g_resourceModule = LoadResourceModuleFile();
  if (g_resourceModule != nullptr) g_useCount = 1;
}

void ReleaseResourceModule() {
  LockSlotGuard lock(kLockModule);
  if (g_useCount == 0) return;
  if (g_useCount == 1) {
    if (g_resourceModule != nullptr) FreeLibrary(g_resourceModule);
    g_resourceModule = nullptr;
  }
  --g_useCount;
}

void FreeResourceModule() {
  LockSlotGuard lock(kLockModule);
  if (g_resourceModule != nullptr) FreeLibrary(g_resourceModule);
  g_resourceModule = nullptr;
  g_useCount = 0;
}

HMODULE GetResourceModule() {
  LockSlotGuard lock(kLockModule);
  if (g_resourceModule == nullptr) AcquireResourceModule();
  return g_resourceModule;
}

HMODULE GetResourceInstance() { return GetResourceModule(); }
