// Test control of the user-interface services: scripted message boxes and their log.
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
