// Typed text judged in the ANSI code page: lengths are ANSI byte counts, and a lead byte and
// its trail byte count 2 and are never split. Conversions hand out new global blocks.
#pragma once

#include "platform/base/types.h"

// The text in the ANSI code page as a new block (GlobalFree) and its byte length without the
// terminator: 1, or 0 for no text or no memory.
int WideToNarrow(LPCWSTR text, LPSTR* narrow, DWORD* length);
// An ANSI text as a new wide block (GlobalFree) and its length in characters: 1 or 0.
int NarrowToWide(LPCSTR text, LPWSTR* wide, DWORD* length);
// The bytes of the text in the ANSI code page; 0 when it cannot be converted.
WORD GetAnsiByteLength(LPCWSTR text);
// Cuts the text in place so that its ANSI form holds at most n bytes, never between a lead
// byte and its trail byte. 1, or 0 for no text or a failed conversion.
int TruncateToBytes(DWORD n, LPWSTR text);
// Removes every single-byte character of `characters` from the text, working on its ANSI
// form (double-byte characters are kept whole). 1, or 0 for missing texts or a failed
// conversion.
int RemoveCharacters(LPWSTR text, LPCWSTR characters);
// Appends the whole addition when the combined length stays below n characters, else as
// much as fits with the terminator. 1, or 0 for missing texts or n of 0.
int AppendBounded(LPWSTR text, LPCWSTR addition, int n);
// The part between the first `opening` and the last `closing` after it, as a new block
// (GlobalFree) with its length; an opening directly followed by the closing one at the text's
// end gives an empty text. 0 for texts shorter than two characters or without the delimiters.
int ExtractDelimited(LPWSTR* part, DWORD* length, LPCWSTR text, WCHAR opening, WCHAR closing);
// Ends the text at its last "(".
void CutAtLastParenthesis(LPWSTR text);
// The part after the last backslash, or the whole path.
LPCWSTR GetFileNamePart(LPCWSTR path);
