// Test control of the kernel services: one reset of all simulated state, scripted failures of
// named calls, the sandbox, and the inspection and settings of each service.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/debug.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/identity.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/kernel/sandbox.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/time.h"
#include "platform/kernel/version.h"

// Brings every service back to its defaults: clock, code page, locale, version, user name,
// injected failures, call counts; closes every handle still open. Memory blocks stay (their
// owners free them); the sandbox root and its mounts stay.
PLATFORM_API void SimReset();
// Services register what SimReset must do for them (called from static initialisers).
PLATFORM_API void SimAddResetHook(void (*hook)());

// Scripts a failure: the nth next call (1 = the very next) of the named function fails with
// `error`, and so do the following count-1 calls. Names are the platform names, e.g.
// "GetTempPathW", "GetLocaleInfoW", "GetVersionExW", "CreateDirectoryW".
PLATFORM_API void SimFailCall(const std::string& function, DWORD error, int nth = 1, int count = 1);
// How often the layer served the named function since the last reset (only functions that
// can be scripted to fail are counted).
PLATFORM_API int SimCallCount(const std::string& function);
// Used by the layer at the start of a scriptable function: counts the call and answers TRUE
// (with the scripted last error set) when this call is to fail.
PLATFORM_API bool SimCallFails(const char* function);

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

// Test control: the ANSI code page (and the OEM page that goes with it). Refuses (FALSE) a
// page GetCPInfo does not know.
PLATFORM_API BOOL SimSetAnsiCodePage(UINT codePage);

// Every text sent since the last reset, each exactly as passed (NULL recorded as empty).
PLATFORM_API std::vector<std::u16string> SimDebugOutput();
// Forgets the captured output (also done by SimReset).
PLATFORM_API void SimDebugOutputReset();

// Test control: the number of open handles of a kind.
PLATFORM_API int SimOpenHandles(HandleKind kind);

// Test control. Queued names answer the next GetUserName calls once each, in order (for
// example "SYSTEM" first), then the set name answers again.
PLATFORM_API void SimSetUserName(const std::u16string& name);
PLATFORM_API void SimQueueUserName(const std::u16string& name);
PLATFORM_API void SimSetComputerName(const std::u16string& name);

// Test control. The locales the layer knows: en-US 0x0409, en-GB 0x0809, de-DE 0x0407,
// fr-FR 0x040C, it-IT 0x0410, es-ES 0x0C0A, ja-JP 0x0411, zh-CN 0x0804, zh-TW 0x0404,
// ko-KR 0x0412. Setting an unknown one answers FALSE and changes nothing.
PLATFORM_API BOOL SimSetUserLocale(LCID locale);
PLATFORM_API BOOL SimSetSystemLocale(LCID locale);
PLATFORM_API void SimSetUserUILanguage(LANGID language);
// Replaces one answer of the user's locale (for example LOCALE_ICOUNTRY "44" with an
// otherwise American locale).
PLATFORM_API void SimSetLocaleInfo(LCTYPE type, const std::u16string& value);

// Test control. Live counts are of blocks allocated and not yet freed.
PLATFORM_API int SimLiveGlobalBlocks();
PLATFORM_API int SimLiveLocalBlocks();
// Blocks in one heap, or in every heap (process heap included) when heap is NULL.
PLATFORM_API int SimLiveHeapBlocks(HANDLE heap = nullptr);
// Private heaps created and not destroyed.
PLATFORM_API int SimLiveHeaps();
// Lock count of a movable global or local block (0 for fixed or unknown blocks).
PLATFORM_API int SimLockCount(HANDLE mem);
// The nth next allocation (1 = the very next) of any allocator here fails with
// ERROR_NOT_ENOUGH_MEMORY; 0 cancels.
PLATFORM_API void SimFailNthAllocation(int n);
// Whether the failure scripted by SimFailNthAllocation is still to come (the code under test
// made fewer allocations than n).
PLATFORM_API bool SimAllocationFailurePending();
// Every allocation of more than `bytes` fails (0 cancels).
PLATFORM_API void SimFailAllocationsAbove(SIZE_T bytes);

// Test control. Patterns are platform paths, case-insensitive, with '*' and '?'. Rules stay
// until SimReset.
// Opening (CreateFile, also as the source or target of a copy) a matching path fails.
PLATFORM_API void SimFailOpen(LPCWSTR pattern, DWORD error = 5 /* ERROR_ACCESS_DENIED */);
// WriteFile to a matching path fails with `error` and writes nothing.
PLATFORM_API void SimFailWrite(LPCWSTR pattern, DWORD error = 29 /* ERROR_WRITE_FAULT */);
// After `bytes` more bytes written to matching paths, writes are cut short: WriteFile answers
// TRUE with fewer bytes written (short write) ...
PLATFORM_API void SimShortWrite(LPCWSTR pattern, DWORD bytes);
// ... or FALSE with ERROR_DISK_FULL and the bytes that still fitted (disk full).
PLATFORM_API void SimDiskFull(LPCWSTR pattern, DWORD bytes);
// Forgets every rule above, for a test whose cases each set their own.
PLATFORM_API void SimClearFileRules();
// GetShortPathNameW answers `shortPath` for this path.
PLATFORM_API void SimSetShortPathName(LPCWSTR longPath, LPCWSTR shortPath);
// The folder GetTempPathW answers (default "C:\Windows\Temp\").
PLATFORM_API void SimSetTempPath(LPCWSTR path);
// Open handles (files) and live views of mappings.
PLATFORM_API int SimOpenFiles();
PLATFORM_API int SimLiveMappedViews();

// Test control (SimReset forgets hidden exports, scripted load failures and the counts, and
// unloads kept images; loaded modules stay loaded).
// GetProcAddress answers NULL (ERROR_PROC_NOT_FOUND) for this export of the module with
// this file name (for example u"qorvexdata.dll"), loaded now or later.
PLATFORM_API void SimModuleHideExport(LPCWSTR fileName, const char* exportName);
// Every load of the module with this file name fails with `error` (0 lifts it).
PLATFORM_API void SimModuleFailLoad(LPCWSTR fileName, DWORD error);
// Successful LoadLibrary calls and FreeLibrary calls for a file name since the last reset.
PLATFORM_API int SimModuleLoadCount(LPCWSTR fileName);
PLATFORM_API int SimModuleFreeCount(LPCWSTR fileName);
// The use count of a loaded module (0 for an unknown handle; built-ins and the host answer 1).
PLATFORM_API int SimModuleUseCount(HMODULE module);
// Modules loaded and not yet freed (built-ins and the host not counted).
PLATFORM_API int SimModuleLiveCount();
// Images of modules that keep no state, kept mapped after their last FreeLibrary for the next
// load of the same file (module_note.h); a reset unloads them.
PLATFORM_API int SimModuleKeptImageCount();
// The platform path GetModuleFileNameW answers for the host (NULL handle).
PLATFORM_API void SimSetHostModulePath(LPCWSTR path);
// Why the last failed load of a file failed, in the host's words (dlopen's message), or "".
PLATFORM_API std::string SimModuleLastLoadMessage();

// Test control: critical sections initialised and not deleted.
PLATFORM_API int SimLiveCriticalSections();

// Test control. By default the clock follows the host's clock with a time-zone bias of 0.
// SimSetClock stops it at a local time; from then on only instant sleeps and SimAdvanceClock
// move it. The tick count always moves with instant sleeps and SimAdvanceClock too.
PLATFORM_API void SimSetClock(const SYSTEMTIME& localTime);
PLATFORM_API void SimRunClock();
PLATFORM_API void SimAdvanceClock(DWORD milliseconds);
// Minutes to add to local time to get UTC (the platform's Bias: -540 for Japan).
PLATFORM_API void SimSetTimeZoneBias(LONG minutes);
// Instant sleeps return at once and advance the clock and tick count instead.
PLATFORM_API void SimSetInstantSleep(BOOL instant);
// Milliseconds slept (instantly or not) since the last reset.
PLATFORM_API ULONGLONG SimSleptMilliseconds();

// Test control.
PLATFORM_API void SimSetVersion(DWORD major, DWORD minor, DWORD build, WORD servicePackMajor = 0,
                                WORD servicePackMinor = 0, const std::u16string& csdVersion = u"",
                                BYTE productType = VER_NT_WORKSTATION);
