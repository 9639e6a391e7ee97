// Initialisation (INI) files with the platform's rules: section and key names compare
// case-insensitively; blanks around names and values are dropped and one pair of enclosing
// quotes is stripped from a value; a file name without a folder lives in the Windows folder.
// Files are read as UTF-16 when they start with its byte-order mark, else in the ANSI code
// page; a new file is written in the ANSI code page, an existing one keeps its form.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

// Answers the number of characters stored, terminator not counted. A missing file, section
// or key gives the default (trailing blanks dropped; NULL is ""), and a missing file sets
// ERROR_FILE_NOT_FOUND. Too long a text is cut to size-1 characters (answer size-1). A NULL
// key lists the section's keys, a NULL section the section names, each ended by a NUL with
// one more NUL at the end; a list that does not fit is cut and ends with two NULs (answer
// size-2). A NULL key on a missing or empty section gives the default.
PLATFORM_API DWORD GetPrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR defaultText,
                                            LPWSTR returned, DWORD size, LPCWSTR fileName);
PLATFORM_API DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultText, LPSTR returned,
                                            DWORD size, LPCSTR fileName);
PLATFORM_API DWORD GetPrivateProfileSectionNamesW(LPWSTR returned, DWORD size, LPCWSTR fileName);
// The value's leading decimal number (with its sign); the default when the key is missing
// or its value empty; 0 when the value does not start with a number.
PLATFORM_API UINT GetPrivateProfileIntW(LPCWSTR appName, LPCWSTR keyName, INT defaultValue, LPCWSTR fileName);
PLATFORM_API UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName);
// Sets "key=value" (replacing the value of an existing key, else adding the key at the end
// of its section, or a new section at the end of the file). A NULL value deletes the key; a
// NULL key deletes the whole section. The file is written through CreateFileW, so sharing
// rules and injected failures apply.
PLATFORM_API BOOL WritePrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR value, LPCWSTR fileName);
PLATFORM_API BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName);
