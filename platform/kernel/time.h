// Time: a settable clock behind every time query (system, local, file times, the C run
// time's time functions), the tick count, and Sleep that tests can make instant.
#pragma once

#include <ctime>

#include "platform/base/export.h"
#include "platform/base/types.h"

#define INFINITE 0xFFFFFFFF

using errno_t = int;

PLATFORM_API void Sleep(DWORD milliseconds);
PLATFORM_API DWORD SleepEx(DWORD milliseconds, BOOL alertable);
PLATFORM_API DWORD GetTickCount();
PLATFORM_API ULONGLONG GetTickCount64();
PLATFORM_API BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
PLATFORM_API BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

PLATFORM_API void GetSystemTime(LPSYSTEMTIME time);
PLATFORM_API void GetLocalTime(LPSYSTEMTIME time);
PLATFORM_API void GetSystemTimeAsFileTime(LPFILETIME time);
// Conversions; FALSE with ERROR_INVALID_PARAMETER for out-of-range fields or values.
PLATFORM_API BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
PLATFORM_API BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
PLATFORM_API BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime);
PLATFORM_API BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime);
PLATFORM_API LONG CompareFileTime(const FILETIME* a, const FILETIME* b);

// The C run time's 64-bit time functions (what time(), localtime() and mktime() are on the
// platform), over the same clock and time zone.
PLATFORM_API LONGLONG _time64(LONGLONG* out);
PLATFORM_API errno_t _localtime64_s(struct tm* out, const LONGLONG* time);
PLATFORM_API errno_t _gmtime64_s(struct tm* out, const LONGLONG* time);
// Reads *t as local time, normalises its fields and answers the time, or -1.
PLATFORM_API LONGLONG _mktime64(struct tm* t);
