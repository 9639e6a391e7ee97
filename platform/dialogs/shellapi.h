// The shell's ShellExecuteW: recorded (dialogs_sim.h), nothing is started; it answers a value
// above 32 (success) unless a test queued another answer.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

// What ShellExecuteW answers when nothing else is queued (any value above 32 means success).
inline constexpr INT_PTR kShellExecuteDone = 42;

PLATFORM_API HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                                     INT show);
