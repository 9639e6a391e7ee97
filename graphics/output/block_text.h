// Small block and text helpers of the graphics module: growing a global block, bounded copies
// of wide texts and conversion from the ANSI code page.
#pragma once

#include "platform/base/types.h"

// Caller to come: the cover page and the fax destinations.
// A new zero-filled global block of newLength bytes holding the first min(old, new) bytes of
// `block`, which is then freed; NULL with the old block kept when no memory is left.
void* ResizeGlobalBlock(void* block, DWORD oldLength, DWORD newLength);
// Caller to come: the cover page and the fax destinations.
// Copies at most n - 1 characters and zero-fills the rest of the n characters; n = 0 does
// nothing.
void CopyWideTextBounded(LPWSTR destination, LPCWSTR source, DWORD n);
// Caller to come: the device fonts and the cover page.
// Characters before the terminator, at most `maximum`; 0 for a NULL text.
DWORD BoundedWideLength(LPCWSTR text, DWORD maximum);
// Caller to come: the cover page and the fax destinations.
// MultiByteToWideChar from the ANSI code page into a buffer of destinationBytes bytes; the
// bytes written (also into *bytesWritten when given).
int AnsiToWideBytes(LPWSTR destination, DWORD destinationBytes, LPDWORD bytesWritten, LPCSTR ansi, int ansiLength);
// Caller to come: the cover page and the fax destinations.
// Converts the zero-terminated ANSI text into a buffer of n characters and terminates it at
// character n - 1 at the latest; the characters converted. n below 1 writes nothing.
int AnsiToWideText(LPWSTR destination, int n, LPCSTR ansi);
// Caller to come: the cover page and the fax destinations.
void FreeGlobalBlock(void* block);
