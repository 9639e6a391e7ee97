// The job record of a device: job flags and the page-store state.
#pragma once

#include "platform/base/types.h"

// Job flags.
constexpr DWORD kJobOutputBegun = 0x2;  // the job's output has begun: its bytes may be written

struct JobState {
  DWORD flags;
  // 0 nothing stored; the stored-page states of the temporary job store otherwise.
  DWORD pageStoreState;
};
