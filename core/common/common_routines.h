// Small shared routines of the core library: version and text helpers, file age, global
// blocks and the model feature words.
#pragma once

#include "platform/base/types.h"

// Caller to come: the graphics and user-interface modules.
// a >= b, unsigned.
int IsVersionAtLeast(DWORD a, DWORD b);
// Caller to come: the about dialog.
int WideToInt(LPCWSTR text);
// Characters (bytes) before the first NUL, at most n.
int WideLengthBounded(LPCWSTR text, int n);
// Caller to come: the graphics and user-interface modules.
int NarrowLengthBounded(LPCSTR text, int n);
// 1 when the file exists and was last written more than seconds ago; 0 when it is missing,
// newer, or dated in the future.
int IsFileOlderThan(LPCWSTR path, DWORD seconds);
// GlobalFree of a non-NULL block.
void SafeGlobalFree(HGLOBAL block);
// Caller to come: the graphics and user-interface modules.
// The same; always 1.
int FreeIfAllocated(HGLOBAL block);

// Feature 0xFFFF0000 + n tests bit n of the first word (n < 32) or bit n - 32 of the second
// (n < 64); any other value is a mask on the first word. 1 or 0.
int TestFeatureFlag(const DWORD words[2], DWORD feature);
