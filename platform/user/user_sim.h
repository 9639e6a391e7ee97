// Test control of the user-interface services: scripted message boxes and their log, the
// message pump and timers, the keyboard state, and the counts of live windows, classes and
// timers.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/user/msgbox.h"

// One box as shown. A NULL text or caption is recorded as empty.
struct SimMessageBox {
  HWND owner = nullptr;
  std::u16string text;
  std::u16string caption;
  UINT type = 0;
  int answer = 0;
  bool scripted = false;  // false: answered IDCANCEL for want of a scripted answer
  bool ansi = false;      // shown through MessageBoxA
};

// Queues the answer of the next box (boxes take answers in the order queued).
PLATFORM_API void SimMessageBoxAnswer(int answer);
// Every box shown since the last reset, in order.
PLATFORM_API std::vector<SimMessageBox> SimMessageBoxLog();
// Forgets the log and the answers not yet used (also done by SimReset).
PLATFORM_API void SimMessageBoxReset();

// Dispatches queued messages (and timers already due) until none is left; answers how many.
PLATFORM_API int SimPumpMessages();
// Moves the clock on by `milliseconds`, stopping at each timer that falls due to dispatch it
// and whatever it posts; answers the number of messages dispatched.
PLATFORM_API int SimRunTimers(DWORD milliseconds);
// Messages waiting in the queue.
PLATFORM_API int SimQueuedMessages();
// How often GetMessageW found nothing to wait for (no message, no timer).
PLATFORM_API int SimIdleWaits();
// The key is held down (GetKeyState) until set up again; SimReset lifts every key.
PLATFORM_API void SimSetKeyState(int virtualKey, bool down);
// Every MessageBeep type since the last reset.
PLATFORM_API std::vector<UINT> SimBeeps();
// What GetCursorPos answers (screen coordinates).
PLATFORM_API void SimSetCursorPos(POINT point);

// Live counts for leak checks: windows (the desktop not counted), application window classes,
// timers.
PLATFORM_API int SimLiveWindows();
PLATFORM_API int SimLiveWindowClasses();
PLATFORM_API int SimLiveTimers();
