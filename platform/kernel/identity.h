// The user's and the computer's names (settings: "User" and "QVHOST" by default).
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"

#define UNLEN 256
#define MAX_COMPUTERNAME_LENGTH 15

// *size is in characters with the terminator: on entry the buffer's size, on return the
// name's size. A too small buffer answers FALSE with ERROR_INSUFFICIENT_BUFFER and the size
// needed.
PLATFORM_API BOOL GetUserNameW(LPWSTR buffer, LPDWORD size);
PLATFORM_API BOOL GetUserNameA(LPSTR buffer, LPDWORD size);
// Like GetUserNameW, but *size on return counts without the terminator; a too small buffer
// answers ERROR_BUFFER_OVERFLOW.
PLATFORM_API BOOL GetComputerNameW(LPWSTR buffer, LPDWORD size);
PLATFORM_API BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
