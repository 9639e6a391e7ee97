// Resources of modules and resource files: strings, and typed resources found by type and
// name (a MAKEINTRESOURCEW number, "#123", or a name compared without regard to ASCII
// case). Every language is the same here: a container holds one language.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/qrs.h"

using ENUMRESNAMEPROCW = BOOL (*)(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param);

// NULL with ERROR_RESOURCE_DATA_NOT_FOUND (the module has no resources),
// ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND or ERROR_INVALID_HANDLE.
PLATFORM_API HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
PLATFORM_API HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
PLATFORM_API HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language);
// The resource's bytes stay where they are until the module is freed; LockResource answers
// their address (read only).
PLATFORM_API HGLOBAL LoadResource(HMODULE module, HRSRC resource);
PLATFORM_API LPVOID LockResource(HGLOBAL resource);
PLATFORM_API DWORD SizeofResource(HMODULE module, HRSRC resource);
// Nothing to free: answers FALSE (success), as the platform does.
PLATFORM_API BOOL FreeResource(HGLOBAL resource);
// Calls `proc` for each name of a type in directory order (named ones first) until it
// answers FALSE. A name's text is valid only during the call.
PLATFORM_API BOOL EnumResourceNamesW(HMODULE module, LPCWSTR type, ENUMRESNAMEPROCW proc, LONG_PTR param);

// Copies at most size-1 characters of string `id` and a terminator; answers the number of
// characters copied, 0 when the string is absent (the buffer then holds an empty text).
// With size 0 the buffer receives a read-only pointer to the text itself (not terminated)
// and the answer is its length.
PLATFORM_API int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
// The text converted to the ANSI code page, cut to at most size-1 bytes without splitting a
// double-byte character; answers the number of bytes copied.
PLATFORM_API int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
