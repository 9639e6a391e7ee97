// Lock slots over the platform's critical sections.
#include "core/runtime/lock_slots.h"

#include <atomic>

#include "platform/base/types.h"
#include "platform/kernel/sync.h"

namespace {

constexpr DWORD kLockSpinCount = 4000;

CRITICAL_SECTION g_sections[kLockSlotCount];
std::atomic<bool> g_initialised[kLockSlotCount];

bool InRange(int slot) { return slot >= 0 && slot < kLockSlotCount; }

}  // namespace

int InitLock(int slot) {
  if (!InRange(slot)) return 0;
  if (g_initialised[slot].load()) return 1;
  if (!InitializeCriticalSectionAndSpinCount(&g_sections[slot], kLockSpinCount)) return 0;
  g_initialised[slot].store(true);
  return 1;
}

void EnterLock(int slot) {
  if (InRange(slot) && g_initialised[slot].load()) EnterCriticalSection(&g_sections[slot]);
}

void LeaveLock(int slot) {
  if (InRange(slot) && g_initialised[slot].load()) LeaveCriticalSection(&g_sections[slot]);
}

void DeleteLock(int slot) {
  if (!InRange(slot) || !g_initialised[slot].load()) return;
  g_initialised[slot].store(false);
  DeleteCriticalSection(&g_sections[slot]);
}
