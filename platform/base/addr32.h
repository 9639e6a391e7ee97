// 32-bit tokens for pointers and handles kept in fixed records whose layout has a
// 32-bit field. The token is stable until released; 0 stands for NULL.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

PLATFORM_API DWORD ToAddr32(const void* p);
PLATFORM_API void* FromAddr32(DWORD token);
// Forgets a token once its object is gone, so that a stale token answers NULL.
PLATFORM_API void ReleaseAddr32(DWORD token);
