// The buffer a job header is built in, and the primitives that append to it. Every append is
// bounded by the buffer: a header that would outgrow it fails (kJobHeaderFull) and the bytes
// appended so far are of no use.
#pragma once

#include "platform/base/types.h"

struct HeaderOutput {
  LPSTR data;
  DWORD capacity;  // bytes
  DWORD length;    // bytes written so far
};

// The universal exit: ESC "%-12345X"; 9.
int WriteUel(HeaderOutput* output);
// The line separator of every written entry: one line feed; 1.
int WriteLineSeparator(HeaderOutput* output);
// n bytes as they are; n, or kJobHeaderFull.
int AppendBytes(const char* bytes, DWORD n, HeaderOutput* output);
// An ANSI text without its terminator; its length, or kJobHeaderFull.
int AppendAnsi(LPCSTR text, HeaderOutput* output);
// A wide text in the ANSI code page; bytes appended, kJobTextConversionFailed or kJobHeaderFull.
int AppendWideAsAnsi(LPCWSTR text, HeaderOutput* output);
// Key, then value (both wide); their total length or the first error.
int AppendKeyValue(LPCWSTR key, LPCWSTR value, HeaderOutput* output);
