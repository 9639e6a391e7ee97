// Numbered locks of a printer module. Each slot is a re-entrant critical section created
// with a spin count of 4000. Entering or leaving a slot that is out of range or not
// initialised does nothing, so the library also runs before start-up and after shut-down.
// The slots' roles differ between the two module builds: use the named constants.
#pragma once

#include "platform/base/types.h"

#if defined(QV_BUILD_UI)
constexpr int kLockDatabase = 0;     // loading of the description database
constexpr int kLockModule = 1;       // module handle, module directory, resource module
constexpr int kLockJobList = 2;      // per-device-context job list
constexpr int kLockStartup = 3;      // once-per-process start-up step
constexpr int kLockClock = 4;        // clock and local time
constexpr int kLockOsVersion = 5;    // OS-version cache
constexpr int kLockMeasure = 6;      // measurement-system cache
constexpr int kLockSlotCount = 7;
#elif defined(QV_BUILD_GR)
constexpr int kLockDatabase = 0;      // loading of the description database
constexpr int kLockModule = 1;        // module handle, module directory, resource module
constexpr int kLockTempRegistry = 2;  // temporary-file registry key
constexpr int kLockTableSwitch = 3;   // global table switch of the graphics module
constexpr int kLockDataAccess = 4;    // use count of the data-access module
constexpr int kLockClock = 5;         // clock and local time
constexpr int kLockOsVersion = 6;     // OS-version cache
constexpr int kLockMeasure = 7;       // measurement-system cache
constexpr int kLockSlotCount = 8;
#else
#error "the core library is built for one printer module: define QV_BUILD_UI or QV_BUILD_GR"
#endif

// 1 when the slot is (or already was) initialised; 0 for a slot out of range or when the
// critical section cannot be created.
int InitLock(int slot);
void EnterLock(int slot);
void LeaveLock(int slot);
// Deletes an initialised slot's critical section and clears its flag.
void DeleteLock(int slot);

// Holds a slot for the lifetime of the object.
class LockSlotGuard {
 public:
  explicit LockSlotGuard(int slot) : slot_(slot) { EnterLock(slot_); }
  ~LockSlotGuard() { LeaveLock(slot_); }
  LockSlotGuard(const LockSlotGuard&) = delete;
  LockSlotGuard& operator=(const LockSlotGuard&) = delete;

 private:
  int slot_;
};
