// The user name that the job header carries.
#pragma once

#include "platform/base/types.h"

// Characters of the caller's buffer: 64 and a terminator.
constexpr DWORD kJobUserNameChars = 65;

// The logged-on user (GetUserNameW) unless it is "SYSTEM" or cannot be read; then the
// machine's Winlogon "DefaultUserName". At most 64 characters, always terminated. 0, or -1
// with an empty text when neither can be read. The first two arguments are not used.
int GetJobUserName(void* reserved1, void* reserved2, WCHAR name[kJobUserNameChars]);
