// Locales: the user's and the system's locale and the user's UI language (settings, default
// English - United States), and the locale facts the system asks for.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"

using LCTYPE = DWORD;

#define MAKELANGID(primary, sub) (static_cast<WORD>((static_cast<WORD>(sub) << 10) | static_cast<WORD>(primary)))
#define PRIMARYLANGID(lang) (static_cast<WORD>(lang) & 0x3FF)
#define SUBLANGID(lang) (static_cast<WORD>(lang) >> 10)
#define MAKELCID(lang, sort) (static_cast<DWORD>((static_cast<DWORD>(static_cast<WORD>(sort)) << 16) | static_cast<DWORD>(static_cast<WORD>(lang))))
#define LANGIDFROMLCID(lcid) (static_cast<WORD>(lcid))
#define SORT_DEFAULT 0x0

#define LANG_NEUTRAL 0x00
#define LANG_CHINESE 0x04
#define LANG_GERMAN 0x07
#define LANG_ENGLISH 0x09
#define LANG_SPANISH 0x0A
#define LANG_FRENCH 0x0C
#define LANG_ITALIAN 0x10
#define LANG_JAPANESE 0x11
#define LANG_KOREAN 0x12
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01

#define LOCALE_NEUTRAL 0x0000
#define LOCALE_INVARIANT 0x007F
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800

#define LOCALE_NOUSEROVERRIDE 0x80000000u
#define LOCALE_USE_CP_ACP 0x40000000u
#define LOCALE_RETURN_NUMBER 0x20000000u
#define LOCALE_ILANGUAGE 0x00000001u
#define LOCALE_SLANGUAGE 0x00000002u
#define LOCALE_SABBREVLANGNAME 0x00000003u
#define LOCALE_SNATIVELANGNAME 0x00000004u
#define LOCALE_ICOUNTRY 0x00000005u
#define LOCALE_SCOUNTRY 0x00000006u
#define LOCALE_SABBREVCTRYNAME 0x00000007u
#define LOCALE_SNATIVECTRYNAME 0x00000008u
#define LOCALE_IDEFAULTCODEPAGE 0x0000000Bu
#define LOCALE_SLIST 0x0000000Cu
#define LOCALE_IMEASURE 0x0000000Du
#define LOCALE_IDATE 0x00000021u  // short date order: 0 month-day-year, 1 day-month-year, 2 year-month-day
#define LOCALE_SDECIMAL 0x0000000Eu
#define LOCALE_STHOUSAND 0x0000000Fu
#define LOCALE_SENGLANGUAGE 0x00001001u
#define LOCALE_SENGCOUNTRY 0x00001002u
#define LOCALE_IDEFAULTANSICODEPAGE 0x00001004u
#define LOCALE_IPAPERSIZE 0x0000100Au
#define LOCALE_SISO639LANGNAME 0x00000059u
#define LOCALE_SISO3166CTRYNAME 0x0000005Au

// Answers the characters stored with the terminator; with size 0 the size needed. A too
// small buffer gives 0 with ERROR_INSUFFICIENT_BUFFER, an unknown type ERROR_INVALID_FLAGS,
// an unknown locale ERROR_INVALID_PARAMETER. LOCALE_RETURN_NUMBER stores a DWORD (answer 2).
// The A form converts through the locale's ANSI code page (the ANSI code page with
// LOCALE_USE_CP_ACP).
PLATFORM_API int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int size);
PLATFORM_API int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size);
PLATFORM_API BOOL IsValidLocale(LCID locale, DWORD flags);
PLATFORM_API LCID GetUserDefaultLCID();
PLATFORM_API LCID GetSystemDefaultLCID();
PLATFORM_API LCID GetThreadLocale();
PLATFORM_API LANGID GetUserDefaultLangID();
PLATFORM_API LANGID GetSystemDefaultLangID();
PLATFORM_API LANGID GetUserDefaultUILanguage();
PLATFORM_API LANGID GetSystemDefaultUILanguage();
