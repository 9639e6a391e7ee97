#include "graphics/ddi/driver_state.h"

#include "core/runtime/lock_slots.h"
#include "platform/engine/engine.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/sync.h"

namespace {

constexpr DWORD kFontLockSpinCount = 4000;

struct DriverState {
  CRITICAL_SECTION fontLock;
  bool fontLockReady;
  FD_GLYPHSET* defaultGlyphSet;  // engine memory (EngFreeMem)
  FD_GLYPHSET* resourceGlyphSet;  // a global block
};
DriverState g_driver{};

}  // namespace

BOOL InitDriverState() {
  for (int slot = 0; slot < kLockSlotCount; ++slot) InitLock(slot);
  if (!g_driver.fontLockReady)
    g_driver.fontLockReady = InitializeCriticalSectionAndSpinCount(&g_driver.fontLock, kFontLockSpinCount) != FALSE;
  if (!g_driver.fontLockReady) return FALSE;
  EnterFontLock();
  if (g_driver.defaultGlyphSet == nullptr) g_driver.defaultGlyphSet = EngComputeGlyphSet(0, 0, 256);
  const bool made = g_driver.defaultGlyphSet != nullptr;
  LeaveFontLock();
  return made;
}

void ReleaseDriverState() {
  for (int slot = 0; slot < kLockSlotCount; ++slot) DeleteLock(slot);
  if (!g_driver.fontLockReady) return;
  EnterFontLock();
  if (g_driver.resourceGlyphSet != nullptr) GlobalFree(g_driver.resourceGlyphSet);
  g_driver.resourceGlyphSet = nullptr;
  if (g_driver.defaultGlyphSet != nullptr) EngFreeMem(g_driver.defaultGlyphSet);
  g_driver.defaultGlyphSet = nullptr;
  LeaveFontLock();
  DeleteCriticalSection(&g_driver.fontLock);
  g_driver.fontLockReady = false;
}

void EnterFontLock() {
  if (g_driver.fontLockReady) EnterCriticalSection(&g_driver.fontLock);
}

void LeaveFontLock() {
  if (g_driver.fontLockReady) LeaveCriticalSection(&g_driver.fontLock);
}

FD_GLYPHSET* DefaultGlyphSet() { return g_driver.defaultGlyphSet; }
FD_GLYPHSET* CachedResourceGlyphSet() { return g_driver.resourceGlyphSet; }
void SetCachedResourceGlyphSet(FD_GLYPHSET* set) { g_driver.resourceGlyphSet = set; }
