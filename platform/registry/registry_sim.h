// Test control of the registry: seeding, reading, dumping, the administrator switch and
// failures. Seeding and reading ignore the administrator switch. SimReset() empties the
// registry and makes the user an administrator again. Failures of single calls are scripted
// with SimFailCall("RegSetValueExW", ERROR_...) (platform/kernel/kernel_sim.h): the call answers
// that code and changes nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/registry/registry.h"

// Empties every hive, closes every open key and turns the administrator on.
PLATFORM_API void SimRegistryReset();
// Whether the simulated user is an administrator (default TRUE). When not, writes under
// HKEY_LOCAL_MACHINE answer ERROR_ACCESS_DENIED, and so do opens asking for write access.
PLATFORM_API void SimRegistrySetAdministrator(BOOL administrator);
PLATFORM_API BOOL SimRegistryIsAdministrator();

// Creates the key `path` (backslash-separated) under a predefined key, with its parents.
PLATFORM_API void SimRegistrySeedKey(HKEY root, LPCWSTR path);
// Sets a value, creating the key as needed.
PLATFORM_API void SimRegistrySeedValue(HKEY root, LPCWSTR path, LPCWSTR name, DWORD type, const void* data, DWORD size);
PLATFORM_API void SimRegistrySeedString(HKEY root, LPCWSTR path, LPCWSTR name, LPCWSTR text);  // REG_SZ with terminator
PLATFORM_API void SimRegistrySeedDword(HKEY root, LPCWSTR path, LPCWSTR name, DWORD value);

PLATFORM_API bool SimRegistryKeyExists(HKEY root, LPCWSTR path);
// Reads a value's type and bytes; false when the key or the value is missing.
PLATFORM_API bool SimRegistryReadValue(HKEY root, LPCWSTR path, LPCWSTR name, DWORD& type, std::vector<BYTE>& data);

// The tree under `path` (NULL: the whole hive) as UTF-8 text, one line per key and value,
// keys in name order and values in creation order:
//   [HKEY_CURRENT_USER\Software\Qorvex]
//   "Name" = REG_SZ "text"          (REG_EXPAND_SZ the same; REG_MULTI_SZ "a", "b")
//   "Flag" = REG_DWORD 0x00000001
//   @ = REG_BINARY 01 02 ff        (@ is the default value; other types print their bytes)
// An empty string when the key does not exist.
PLATFORM_API std::string SimRegistryDump(HKEY root, LPCWSTR path);

// Open key handles (predefined keys not counted), for leak checks.
PLATFORM_API int SimRegistryOpenKeyCount();
