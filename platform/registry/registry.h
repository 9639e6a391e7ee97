// The registry: in-memory HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and HKEY_CLASSES_ROOT with
// the platform's calls, return codes and rules. Key and value names are compared without
// regard to case. Sub keys enumerate in name order (as the platform's hives keep them),
// values in the order they were created. Writes under HKEY_LOCAL_MACHINE need the simulated
// user to be an administrator (registry_sim.h).
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

using LSTATUS = LONG;
using REGSAM = DWORD;

// Predefined keys: the platform's values, sign-extended to pointer width.
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000))))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000001))))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000002))))
#define HKEY_USERS (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000003))))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_DWORD_LITTLE_ENDIAN 4
#define REG_DWORD_BIG_ENDIAN 5
#define REG_LINK 6
#define REG_MULTI_SZ 7
#define REG_QWORD 11

#define DELETE 0x00010000L
#define READ_CONTROL 0x00020000L
#define SYNCHRONIZE 0x00100000L
#define MAXIMUM_ALLOWED 0x02000000L
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_WOW64_64KEY 0x0100
#define KEY_WOW64_32KEY 0x0200
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_EXECUTE 0x20019
#define KEY_ALL_ACCESS 0xF003F

#define REG_OPTION_NON_VOLATILE 0x0000
#define REG_OPTION_VOLATILE 0x0001
#define REG_CREATED_NEW_KEY 1
#define REG_OPENED_EXISTING_KEY 2

// Registry name limits (characters, terminator not counted).
#define MAX_KEY_NAME 255
#define MAX_VALUE_NAME 16383

struct SECURITY_ATTRIBUTES;

// A NULL or empty sub key opens the key itself again (for a predefined key: the key itself).
// RegOpenKeyW and RegCreateKeyW ask for the most access allowed: all of it, or only reading
// under HKEY_LOCAL_MACHINE for a user who is not an administrator.
PLATFORM_API LSTATUS RegOpenKeyW(HKEY key, LPCWSTR subKey, PHKEY result);
PLATFORM_API LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM desired, PHKEY result);
// Creates every missing key of the path.
PLATFORM_API LSTATUS RegCreateKeyW(HKEY key, LPCWSTR subKey, PHKEY result);
PLATFORM_API LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass, DWORD options,
                                     REGSAM desired, SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition);
PLATFORM_API LSTATUS RegCloseKey(HKEY key);
// A forms: names pass through the ANSI code page; RegSetValueExA and RegQueryValueExA convert
// the bytes of REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ values, other types pass unchanged.
PLATFORM_API LSTATUS RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM desired, PHKEY result);
PLATFORM_API LSTATUS RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                                     REGSAM desired, SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition);
PLATFORM_API LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
PLATFORM_API LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
PLATFORM_API LSTATUS RegDeleteValueA(HKEY key, LPCSTR name);
PLATFORM_API LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey);

// A NULL or empty name is the key's default value. With `data` NULL only the type and the
// size are answered; when `*size` is too small: ERROR_MORE_DATA and `*size` = the size needed.
// The stored bytes come back exactly as they were set.
PLATFORM_API LSTATUS RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
PLATFORM_API LSTATUS RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
PLATFORM_API LSTATUS RegDeleteValueW(HKEY key, LPCWSTR name);
// Refused with ERROR_ACCESS_DENIED while the key has sub keys.
PLATFORM_API LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey);

// `*nameSize` is in characters: on entry the buffer's size with the terminator, on success the
// name's length without it. ERROR_NO_MORE_ITEMS past the last one.
PLATFORM_API LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved,
                                   LPWSTR keyClass, LPDWORD classSize, FILETIME* lastWrite);
PLATFORM_API LSTATUS RegEnumKeyW(HKEY key, DWORD index, LPWSTR name, DWORD nameSize);
PLATFORM_API LSTATUS RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD reserved, LPDWORD type,
                                   LPBYTE data, LPDWORD dataSize);
PLATFORM_API LSTATUS RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                                      LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD securityDescriptor,
                                      FILETIME* lastWrite);
