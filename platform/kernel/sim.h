// Test control shared by every service of the layer: one reset of all simulated state, and
// scripted failures of named calls.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"

// Brings every service back to its defaults: clock, code page, locale, version, user name,
// injected failures, call counts; closes every handle still open. Memory blocks stay (their
// owners free them); the sandbox root and its mounts stay.
PLATFORM_API void SimReset();
// Services register what SimReset must do for them (called from static initialisers).
PLATFORM_API void SimAddResetHook(void (*hook)());

// Scripts a failure: the nth next call (1 = the very next) of the named function fails with
// `error`, and so do the following count-1 calls. Names are the platform names, e.g.
// "GetTempPathW", "GetLocaleInfoW", "GetVersionExW", "CreateDirectoryW".
PLATFORM_API void SimFailCall(const std::string& function, DWORD error, int nth = 1, int count = 1);
// How often the layer served the named function since the last reset (only functions that
// can be scripted to fail are counted).
PLATFORM_API int SimCallCount(const std::string& function);
// Used by the layer at the start of a scriptable function: counts the call and answers TRUE
// (with the scripted last error set) when this call is to fail.
PLATFORM_API bool SimCallFails(const char* function);
