// Modules: our ELF modules (files with the platform's names, such as "qorvexdata.dll") are
// opened with dlopen and their exported DllMain runs at the first load (attach) and the last
// FreeLibrary (detach); resource files are opened as data modules that serve resources only.
// A module that declares it keeps no state (module_note.h) may have its image kept mapped
// after its last FreeLibrary when its writable memory is as it was loaded; the next load of
// the same file version then takes that image instead of mapping the file again. Everything
// else happens as for any load: a new handle, DllMain attach, the counts.
// What a file is follows from its first bytes, whatever the flags say (a resource file loads
// with LoadLibraryW as well as with LOAD_LIBRARY_AS_DATAFILE).
//
// A bare name ("qorvexdata.dll", ".dll" added when the name has no extension) means an
// already loaded module of that name, else the first file found in the sandbox's driver
// directory and then the system directory (C:\Windows\System32). There is no host executable
// directory to search here; everything a host loads lives in those two directories. Other
// names are platform paths, resolved through the sandbox.
//
// The layer itself appears as the built-in modules "kernel32.dll", "user32.dll", "gdi32.dll",
// "advapi32.dll", "comctl32.dll", "compstui.dll", "comdlg32.dll", "shell32.dll" and
// "hhctrl.ocx" (always loaded, never unloaded, in C:\Windows\System32); GetProcAddress answers
// the layer's functions listed for them in module.cpp or added by the service that owns them
// (by name, and by ordinal where the platform exports one so). A test may still make a
// built-in fail to load (SimModuleFailLoad) or hide one of its exports.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#define DONT_RESOLVE_DLL_REFERENCES 0x00000001
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
#define LOAD_IGNORE_CODE_AUTHZ_LEVEL 0x00000010
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020
#define LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE 0x00000040
#define LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR 0x00000100
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#define LOAD_LIBRARY_SEARCH_USER_DIRS 0x00000400
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000

#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004

// The entry point a module may export: DllMain(its own handle, reason, reserved).
using DllEntryProc = BOOL (*)(HINSTANCE instance, DWORD reason, LPVOID reserved);

// The names under which a module's resource block is exported (made by qv_add_resources).
#define QV_MODULE_RESOURCES_SYMBOL "QvModuleResources"
#define QV_MODULE_RESOURCES_SIZE_SYMBOL "QvModuleResourcesSize"

// Failures: ERROR_MOD_NOT_FOUND (no such file, or the file cannot be opened as a module),
// ERROR_BAD_EXE_FORMAT (neither an ELF module nor a resource file), ERROR_BAD_FORMAT or
// ERROR_INVALID_DATA (a malformed resource file), ERROR_DLL_INIT_FAILED (DllMain answered
// FALSE; it then also gets the detach call), ERROR_INVALID_PARAMETER.
// A second load of the same file answers the same handle and raises its use count. The data
// flags load an ELF module without running DllMain; GetProcAddress then answers NULL.
PLATFORM_API HMODULE LoadLibraryW(LPCWSTR name);
PLATFORM_API HMODULE LoadLibraryA(LPCSTR name);
PLATFORM_API HMODULE LoadLibraryExW(LPCWSTR name, HANDLE file, DWORD flags);
PLATFORM_API HMODULE LoadLibraryExA(LPCSTR name, HANDLE file, DWORD flags);
PLATFORM_API BOOL FreeLibrary(HMODULE module);
// By name only: an ordinal (MAKEINTRESOURCEA) answers NULL with ERROR_PROC_NOT_FOUND.
PLATFORM_API FARPROC GetProcAddress(HMODULE module, LPCSTR name);
// The platform path the module was loaded from. A too small buffer gets the path cut to
// size-1 characters and terminated; the answer is then `size` with ERROR_INSUFFICIENT_BUFFER.
// NULL is the host, whose path is C:\Windows\System32\<executable name> unless a test sets it.
PLATFORM_API DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
PLATFORM_API DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// A loaded module by bare name or path, without raising its use count; NULL is the host.
// Data modules are not found this way.
PLATFORM_API HMODULE GetModuleHandleW(LPCWSTR name);
PLATFORM_API HMODULE GetModuleHandleA(LPCSTR name);
PLATFORM_API BOOL GetModuleHandleExW(DWORD flags, LPCWSTR name, HMODULE* module);
// Adds a function of the layer to a built-in module's exports (a name, an ordinal or both;
// called by the services from their static initialisers).
PLATFORM_API void KernelAddBuiltinExport(LPCWSTR module, const char* name, WORD ordinal, FARPROC address);
// Thread notifications are never sent, so this only checks the handle.
PLATFORM_API BOOL DisableThreadLibraryCalls(HMODULE module);
