// Debugger output: every line sent with OutputDebugStringW/A is kept in order for tests.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"

PLATFORM_API void OutputDebugStringW(LPCWSTR text);
// Converted from the ANSI code page.
PLATFORM_API void OutputDebugStringA(LPCSTR text);
