// Code pages: the ANSI code page (a setting, default 1252), conversions between code pages
// and UTF-16, lead bytes of the double-byte pages. 1252 and UTF-8 are the layer's own
// tables; 932, 936, 949 and 950 come from the C library's iconv.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_SYMBOL 42
#define CP_UTF7 65000
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008

#define WC_COMPOSITECHECK 0x00000200
#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_NO_BEST_FIT_CHARS 0x00000400

#define MAX_LEADBYTES 12
#define MAX_DEFAULTCHAR 2

struct CPINFO {
  UINT MaxCharSize;
  BYTE DefaultChar[MAX_DEFAULTCHAR];
  BYTE LeadByte[MAX_LEADBYTES];
};
using LPCPINFO = CPINFO*;
static_assert(sizeof(CPINFO) == 20);

PLATFORM_API UINT GetACP();
PLATFORM_API UINT GetOEMCP();
// FALSE with ERROR_INVALID_PARAMETER for a page the layer does not know.
PLATFORM_API BOOL GetCPInfo(UINT codePage, LPCPINFO info);
PLATFORM_API BOOL IsValidCodePage(UINT codePage);
PLATFORM_API BOOL IsDBCSLeadByte(BYTE testChar);
PLATFORM_API BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar);
// The platform's protocol: a source length of -1 includes the terminator; an output size of
// 0 asks for the size needed; a too small output answers 0 with ERROR_INSUFFICIENT_BUFFER.
// Invalid input bytes become the page's default character (U+30FB for 932, '?' otherwise,
// U+FFFD for UTF-8) unless MB_ERR_INVALID_CHARS asks for ERROR_NO_UNICODE_TRANSLATION; a
// lead byte without its trail byte at the end of the input is such an invalid sequence.
PLATFORM_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte,
                                     LPWSTR wideChar, int cchWideChar);
// Characters without a mapping become the default character (lpDefaultChar's first byte, or
// '?') and set *usedDefaultChar; no best-fit mapping is applied.
PLATFORM_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar,
                                     LPSTR multiByte, int cbMultiByte, LPCSTR defaultChar,
                                     LPBOOL usedDefaultChar);
// DBCS-aware stepping through an ANSI string.
PLATFORM_API LPSTR CharNextA(LPCSTR s);
PLATFORM_API LPSTR CharPrevA(LPCSTR start, LPCSTR s);
PLATFORM_API LPSTR CharNextExA(WORD codePage, LPCSTR s, DWORD flags);
