// The platform's version (a setting; default a current NT: 10.0 build 19045, workstation)
// and the version checks.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
#define VER_NT_WORKSTATION 0x0000001
#define VER_NT_DOMAIN_CONTROLLER 0x0000002
#define VER_NT_SERVER 0x0000003

#define VER_MINORVERSION 0x0000001u
#define VER_MAJORVERSION 0x0000002u
#define VER_BUILDNUMBER 0x0000004u
#define VER_PLATFORMID 0x0000008u
#define VER_SERVICEPACKMINOR 0x0000010u
#define VER_SERVICEPACKMAJOR 0x0000020u
#define VER_SUITENAME 0x0000040u
#define VER_PRODUCT_TYPE 0x0000080u
#define VER_EQUAL 1
#define VER_GREATER 2
#define VER_GREATER_EQUAL 3
#define VER_LESS 4
#define VER_LESS_EQUAL 5
#define VER_AND 6
#define VER_OR 7

struct OSVERSIONINFOW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
};
struct OSVERSIONINFOEXW {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  WCHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
};
struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
};
struct OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  CHAR szCSDVersion[128];
  WORD wServicePackMajor;
  WORD wServicePackMinor;
  WORD wSuiteMask;
  BYTE wProductType;
  BYTE wReserved;
};
using LPOSVERSIONINFOW = OSVERSIONINFOW*;
using LPOSVERSIONINFOEXW = OSVERSIONINFOEXW*;
using LPOSVERSIONINFOA = OSVERSIONINFOA*;
static_assert(sizeof(OSVERSIONINFOW) == 276 && sizeof(OSVERSIONINFOEXW) == 284);
static_assert(sizeof(OSVERSIONINFOA) == 148 && sizeof(OSVERSIONINFOEXA) == 156);

// The caller sets dwOSVersionInfoSize to the size of the plain or the EX record; any other
// size answers FALSE with ERROR_INSUFFICIENT_BUFFER.
PLATFORM_API BOOL GetVersionExW(LPOSVERSIONINFOW info);
PLATFORM_API BOOL GetVersionExA(LPOSVERSIONINFOA info);
// Low byte major, next byte minor, high word the build number.
PLATFORM_API DWORD GetVersion();
PLATFORM_API ULONGLONG VerSetConditionMask(ULONGLONG conditionMask, DWORD typeMask, BYTE condition);
// Major, minor, service-pack major and minor compare as one version (the first of them in
// the type mask gives the condition); the other fields compare on their own. FALSE with
// ERROR_OLD_WIN_VERSION when the platform does not meet the request, ERROR_BAD_ARGUMENTS for
// an empty type or condition mask.
PLATFORM_API BOOL VerifyVersionInfoW(LPOSVERSIONINFOEXW info, DWORD typeMask, ULONGLONG conditionMask);
