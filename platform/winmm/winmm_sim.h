// Test control of the multimedia timers: what is armed, firing a timer on the test's thread or
// on a thread of its own, and a hook that runs inside timeKillEvent before it decides (to place
// a firing exactly between a caller's checks).
#pragma once

#include <functional>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/winmm/mmtimer.h"

struct SimMmTimer {
  UINT id;
  UINT delay;
  UINT flags;
  DWORD_PTR user;
};

// The armed timers in the order they were armed.
PLATFORM_API std::vector<SimMmTimer> SimArmedMmTimers();
PLATFORM_API int SimLiveMmTimers();
// Fires an armed timer now on the calling thread (a one-shot is spent first); FALSE when the id
// is not armed.
PLATFORM_API BOOL SimFireMmTimer(UINT id);
// The same on a new thread, as the platform's timer thread does: the timer is spent before this
// returns, the callback may still be running. SimJoinMmTimerThreads waits for every such thread.
PLATFORM_API BOOL SimFireMmTimerOnThread(UINT id);
PLATFORM_API void SimJoinMmTimerThreads();
// Runs inside the next timeKillEvent calls, before the id is looked up (an empty function
// removes it).
PLATFORM_API void SimOnMmTimerKill(std::function<void(UINT id)> hook);
