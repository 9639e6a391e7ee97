// Multimedia timers: one-shot and periodic callbacks that the platform runs on a timer thread
// of its own. Nothing here runs by itself: an armed timer fires when a test makes it fire
// (winmm_sim.h), on the test's thread or on a thread of its own, so a test decides exactly when
// and where each callback runs.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define TIME_ONESHOT 0x0000
#define TIME_PERIODIC 0x0001
#define TIME_CALLBACK_FUNCTION 0x0000

#define TIMERR_NOERROR 0
#define MMSYSERR_INVALPARAM 11

using LPTIMECALLBACK = void (*)(UINT id, UINT message, DWORD_PTR user, DWORD_PTR reserved1, DWORD_PTR reserved2);

// Arms a timer that calls `callback` after `delay` milliseconds (once, or every `delay` for
// TIME_PERIODIC); answers its id, or 0 for a missing callback, a delay of 0, other flags, or a
// scripted failure ("timeSetEvent").
PLATFORM_API UINT timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
// Disarms a timer: TIMERR_NOERROR, or MMSYSERR_INVALPARAM for an id that is not armed (unknown,
// killed, or a one-shot that has fired: a one-shot is spent as soon as its callback starts).
PLATFORM_API UINT timeKillEvent(UINT id);
