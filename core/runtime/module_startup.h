// The user-interface module's start-up entry.
#pragma once

#include "platform/base/types.h"

#if defined(QV_BUILD_UI)
constexpr DWORD kDllProcessDetach = 0;
constexpr DWORD kDllProcessAttach = 1;
// Process attach: initialises the lock slots and stores the instance; detach deletes the
// slots. Both write an entry and exit trace line. Always 1.
BOOL DllInitialize(HINSTANCE instance, DWORD reason, LPVOID reserved);
#endif
