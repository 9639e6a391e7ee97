// wsprintf: the platform's own small formatter of wide and narrow text.
#pragma once

#include <cstdarg>

#include "platform/base/export.h"
#include "platform/base/types.h"

// Formatting with the platform's rules: %s is wide in the W forms and narrow in the A forms;
// %hs/%hc are narrow and %ls/%lc wide in both (converted through the ANSI code page); %S/%C
// are the other width; %d %i %u %x %X read 32-bit values with or without l; %I64d %lld and
// kin read 64-bit values; %p prints a pointer in 16 hex digits; flags - # 0, width and
// precision; no floating point; an unknown conversion prints its letter. The output stops at
// 1023 characters plus the terminator (the platform's 1024-character buffer limit).
// Answers the number of characters stored, terminator not counted.
#define WSPRINTF_LIMIT 1024
PLATFORM_API int wsprintfW(LPWSTR out, LPCWSTR format, ...);
PLATFORM_API int wvsprintfW(LPWSTR out, LPCWSTR format, va_list args);
PLATFORM_API int wsprintfA(LPSTR out, LPCSTR format, ...);
PLATFORM_API int wvsprintfA(LPSTR out, LPCSTR format, va_list args);
