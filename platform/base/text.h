// The platform's 16-bit and 8-bit string routines, with the platform's names and meaning.
// WCHAR is char16_t; the wcs*-named routines here are overloads for 16-bit text (the C
// library's own wcs* work on the 32-bit wchar_t and must not be used).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/base/export.h"
#include "platform/base/types.h"

// Length, copy, concatenation and comparison (kernel32 forms). A NULL string counts as empty
// for lengths and sorts before every other string; copies into a NULL target answer NULL.
PLATFORM_API int lstrlenW(LPCWSTR s);
PLATFORM_API LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src);
// Copies at most max-1 characters and always terminates (when max > 0).
PLATFORM_API LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int max);
PLATFORM_API LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src);
// Comparisons answer -1, 0 or 1. They compare code units in order (lstrcmpiW after mapping
// both sides to upper case); the platform's linguistic ordering is not reproduced.
PLATFORM_API int lstrcmpW(LPCWSTR a, LPCWSTR b);
PLATFORM_API int lstrcmpiW(LPCWSTR a, LPCWSTR b);
PLATFORM_API int lstrlenA(LPCSTR s);
PLATFORM_API LPSTR lstrcpyA(LPSTR dst, LPCSTR src);
PLATFORM_API LPSTR lstrcpynA(LPSTR dst, LPCSTR src, int max);
PLATFORM_API LPSTR lstrcatA(LPSTR dst, LPCSTR src);
PLATFORM_API int lstrcmpA(LPCSTR a, LPCSTR b);
PLATFORM_API int lstrcmpiA(LPCSTR a, LPCSTR b);

// C run-time routines over 16-bit text.
PLATFORM_API size_t wcslen(const WCHAR* s);
PLATFORM_API size_t wcsnlen(const WCHAR* s, size_t max);
PLATFORM_API int wcscmp(const WCHAR* a, const WCHAR* b);
PLATFORM_API int wcsncmp(const WCHAR* a, const WCHAR* b, size_t n);
PLATFORM_API int _wcsicmp(const WCHAR* a, const WCHAR* b);
PLATFORM_API int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t n);
PLATFORM_API WCHAR* wcscpy(WCHAR* dst, const WCHAR* src);
// Copies at most n characters and pads the rest of n with NULs (no terminator when src has
// n characters or more), as the C library does.
PLATFORM_API WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t n);
PLATFORM_API WCHAR* wcscat(WCHAR* dst, const WCHAR* src);
PLATFORM_API WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t n);
PLATFORM_API const WCHAR* wcschr(const WCHAR* s, WCHAR c);
PLATFORM_API WCHAR* wcschr(WCHAR* s, WCHAR c);
PLATFORM_API const WCHAR* wcsrchr(const WCHAR* s, WCHAR c);
PLATFORM_API WCHAR* wcsrchr(WCHAR* s, WCHAR c);
PLATFORM_API const WCHAR* wcsstr(const WCHAR* s, const WCHAR* what);
PLATFORM_API WCHAR* wcsstr(WCHAR* s, const WCHAR* what);
PLATFORM_API const WCHAR* wcspbrk(const WCHAR* s, const WCHAR* set);
PLATFORM_API WCHAR* wcspbrk(WCHAR* s, const WCHAR* set);
PLATFORM_API size_t wcsspn(const WCHAR* s, const WCHAR* set);
PLATFORM_API size_t wcscspn(const WCHAR* s, const WCHAR* set);
// Tokenizer with the caller's context (the C form; wcstok_s is the same).
PLATFORM_API WCHAR* wcstok(WCHAR* s, const WCHAR* delimiters, WCHAR** context);
PLATFORM_API WCHAR* wcstok_s(WCHAR* s, const WCHAR* delimiters, WCHAR** context);
PLATFORM_API WCHAR* _wcsupr(WCHAR* s);
PLATFORM_API WCHAR* _wcslwr(WCHAR* s);
// Numbers: base 0 accepts the 0x and 0 prefixes; out-of-range values saturate (ULONG and LONG
// are 32-bit). _wtoi/_wtol read an optional sign and decimal digits after blanks.
PLATFORM_API ULONG wcstoul(const WCHAR* s, WCHAR** end, int base);
PLATFORM_API LONG wcstol(const WCHAR* s, WCHAR** end, int base);
PLATFORM_API int _wtoi(const WCHAR* s);
PLATFORM_API LONG _wtol(const WCHAR* s);
// Splits a path into drive ("C:"), directory (with its trailing separator), file name and
// extension (with its dot); any output may be NULL. Outputs are cut to the C library's
// sizes (_MAX_DRIVE, _MAX_DIR, _MAX_FNAME, _MAX_EXT) and always terminated.
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256
PLATFORM_API void _wsplitpath(const WCHAR* path, WCHAR* drive, WCHAR* dir, WCHAR* fname, WCHAR* ext);

// Case mapping (user32 forms). CharUpperW/CharLowerW take a string, or one character in the
// low word of the pointer value (then answer the mapped character the same way).
PLATFORM_API LPWSTR CharUpperW(LPWSTR s);
PLATFORM_API LPWSTR CharLowerW(LPWSTR s);
PLATFORM_API DWORD CharUpperBuffW(LPWSTR s, DWORD length);
PLATFORM_API DWORD CharLowerBuffW(LPWSTR s, DWORD length);
PLATFORM_API LPWSTR CharNextW(LPCWSTR s);
PLATFORM_API LPWSTR CharPrevW(LPCWSTR start, LPCWSTR s);
PLATFORM_API BOOL IsCharAlphaW(WCHAR c);
PLATFORM_API BOOL IsCharAlphaNumericW(WCHAR c);
PLATFORM_API BOOL IsCharUpperW(WCHAR c);
PLATFORM_API BOOL IsCharLowerW(WCHAR c);
// Simple one-to-one case mapping (Latin, Greek, Cyrillic, full-width Latin).
PLATFORM_API WCHAR UpcaseChar(WCHAR c);
PLATFORM_API WCHAR DowncaseChar(WCHAR c);
// Whether two texts are the same under UpcaseChar, character by character (the layer's own
// case-insensitive names), without making copies.
PLATFORM_API bool EqualNoCaseW(std::u16string_view a, std::u16string_view b);

// Hexadecimal digits of a value, at least minDigits of them, for the layer's own names.
PLATFORM_API std::u16string FormatHex(DWORD value, int minDigits, bool upper);

// UTF-16 <-> UTF-8 for the layer's own use (host file names, logs); unpaired surrogates
// become U+FFFD, invalid UTF-8 bytes become U+FFFD.
PLATFORM_API std::string Utf16ToUtf8(std::u16string_view text);
PLATFORM_API std::u16string Utf8ToUtf16(std::string_view text);
