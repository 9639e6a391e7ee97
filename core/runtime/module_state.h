// The printer module's own instance handle and directory. All state here is guarded by the
// module lock slot.
#pragma once

#include "platform/base/types.h"

// Smallest buffer GetModuleDirectory accepts, in bytes (260 characters and a terminator).
constexpr DWORD kModuleDirectoryBufferBytes = 520;

void SetModuleInstance(HINSTANCE instance);
HINSTANCE GetModuleInstance();
// The directory of the module's file with a trailing backslash. Refuses (0) a buffer of
// fewer than 520 bytes; computed once, then served from a cache; 1 on success.
int GetModuleDirectory(LPWSTR buffer, DWORD bufferBytes);

