// Text conversion between wide text and the ANSI code page or a chosen code page. Every
// allocating routine returns a zero-filled global block (GlobalAlloc) that the caller frees
// with GlobalFree; failures leave no block behind.
#pragma once

#include "platform/base/types.h"

// 0, or a code page GetCPInfo refuses, stands for the ANSI code page (GetACP).
UINT CheckCodePage(UINT codePage);

// Caller to come: the printer modules' text routines.
// Wide text -> new ANSI block; *length excludes the terminator. 1 or 0.
int WideToAnsiAlloc(LPSTR* block, LPCWSTR text, int* length);
// Caller to come: the printer modules' text routines.
// ANSI text -> new wide block; *count includes the terminator. 1 or 0.
int AnsiToWideAlloc(LPCSTR text, LPWSTR* block, int* count);
// The same two in a chosen code page (CheckCodePage applied).
int WideToMultiByteCp(LPCWSTR text, LPSTR* block, int* length, UINT codePage);
int MultiByteToWideCp(LPCSTR text, LPWSTR* block, int* count, UINT codePage);

// Caller to come: the printer modules' text routines.
// With bufferSize 0: the bytes the whole text needs, terminator included. Otherwise writes
// as many whole characters as fit before a terminator and answers the bytes written
// (terminator excluded). 0 for a negative size or a positive size without a buffer.
int WideToMultiByteBuffer(UINT codePage, LPCWSTR text, LPSTR buffer, int bufferSize);
// Caller to come: the printer modules' text routines.
// New block of (conversion size + 1) bytes holding the text, or NULL.
LPSTR WideToMultiByteAlloc(UINT codePage, LPCWSTR text);
// Caller to come: the printer modules' text routines.
// Characters of a narrow text, a lead byte and its trail byte counting as one (0 = ANSI;
// the code page is taken as given). With a buffer and a positive count, converts as many
// characters as fit before a terminator into it.
int MultiByteToWideCount(UINT codePage, LPWSTR buffer, LPCSTR text, int bufferCount);
// New block of count + 1 wide characters holding the text; *count excludes the terminator.
LPWSTR MultiByteToWideAlloc(UINT codePage, LPCSTR text, int* count);
