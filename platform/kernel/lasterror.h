// The calling thread's last error code.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

PLATFORM_API DWORD GetLastError();
PLATFORM_API void SetLastError(DWORD error);
