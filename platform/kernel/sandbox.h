// The sandbox: platform paths ("C:\...", backslashes or slashes, case-insensitive names) map
// into one host root directory. "X:\a\b" is <root>/X/a/b, "\\server\share\a" is
// <root>/UNC/server/share/a; a mounted platform folder maps to its host folder instead (the
// longest mount wins). Each name is matched case-insensitively against what exists on disk;
// a new name keeps the caller's case. ".." never climbs above a drive or share root.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"

// The layer's path resolution, used by the file services. `full` receives the full platform
// form ("C:\dir\name", "\\server\share\name"); `host` the host path. On failure answers
// FALSE with the platform's error: ERROR_INVALID_NAME for characters a name cannot hold
// (wildcards are allowed in the last name when allowWildcards), ERROR_PATH_NOT_FOUND for an
// empty path or one without a usable root.
PLATFORM_API BOOL SandboxResolve(LPCWSTR path, bool allowWildcards, std::u16string* full, std::string* host,
                                 DWORD* error);

// The process's current directory (a platform path; default "C:\").
PLATFORM_API DWORD GetCurrentDirectoryW(DWORD bufferLength, LPWSTR buffer);
PLATFORM_API BOOL SetCurrentDirectoryW(LPCWSTR path);
