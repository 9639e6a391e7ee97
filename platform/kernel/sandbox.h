// The sandbox: platform paths ("C:\...", backslashes or slashes, case-insensitive names) map
// into one host root directory. "X:\a\b" is <root>/X/a/b, "\\server\share\a" is
// <root>/UNC/server/share/a; a mounted platform folder maps to its host folder instead (the
// longest mount wins). Each name is matched case-insensitively against what exists on disk;
// a new name keeps the caller's case. ".." never climbs above a drive or share root.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"

// The sandbox root; by default a fresh temporary folder made on first use (and removed when
// the process ends). Setting a root creates it and the platform's standard folders in it
// (C:\Windows\System32, C:\Windows\Temp, the driver directory); mounts are kept.
PLATFORM_API void SimSetSandboxRoot(const std::string& hostDir);
PLATFORM_API std::string SimSandboxRoot();
// A platform folder maps to a host folder (mounting the same folder again replaces it).
PLATFORM_API void SimMountDirectory(LPCWSTR platformDir, const std::string& hostDir);
PLATFORM_API void SimUnmountAll();
// The host path of a platform path; "" when the path cannot be mapped (invalid name, no
// drive). Relative paths count from the current directory.
PLATFORM_API std::string SimHostPath(LPCWSTR platformPath);
// The platform path of a host path; "" when it lies outside the sandbox and the mounts.
PLATFORM_API std::u16string SimPlatformPath(const std::string& hostPath);
// The platform path of the printer driver directory.
PLATFORM_API LPCWSTR SimDriverDirectory();
// Links every entry of hostDir (the build's driver directory) into the sandbox's driver
// directory. Writing to a linked file first replaces the link by a copy, so the build's
// files are never changed.
PLATFORM_API void SimInstallDriverFiles(const std::string& hostDir);

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
