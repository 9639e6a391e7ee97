// Text protection: stored user and fax texts are scrambled with a repeating four-byte XOR
// key and written as Base64, so that a casual reader does not see them in plain. This hides
// a text; it does not encrypt it.
//
// The five-argument routines take (input, input length in bytes, output, out count written,
// output capacity in bytes) and answer one of the TextProtection codes. None of them writes
// a terminator: callers hand in zero-filled buffers.
#pragma once

#include "platform/base/types.h"

enum TextProtectionResult : int {
  kTextProtectOk = 0,
  kTextProtectNullArgument = -1,
  kTextProtectBadLength = -2,   // input length or capacity 0 or negative
  kTextProtectTooSmall = -3,    // the output does not fit
  kTextProtectNoMemory = -10,   // scratch block not available (also: size routines, n < 0)
};

// (n + 2) / 3 * 4 + 1: the characters of n encoded bytes plus a terminator; -10 for n < 0
// or when the size does not fit an int.
int Base64EncodedSize(int n);
// Caller to come: the user-interface module's text routines.
// n / 4 * 3 + 1: the bytes that n Base64 characters decode to at most plus one; -10 for n < 0.
int Base64DecodedSize(int n);

// Output byte i = input byte i XOR "kbtq"[i mod 4]. Its own inverse.
int ScrambleBytes(const void* input, int length, void* output, int* written, int capacity);
// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks).
int EncodeBase64(const void* input, int length, char* output, int* written, int capacity);
// Base64 decoding that skips white space; a final group of three characters without "="
// yields one byte; characters outside the alphabet count as 255 and are not refused.
int DecodeBase64(const char* input, int length, void* output, int* written, int capacity);
// ScrambleBytes then EncodeBase64.
int EncodeText(const void* input, int length, char* output, int* written, int capacity);
// DecodeBase64 then ScrambleBytes.
int DecodeText(const char* input, int length, void* output, int* written, int capacity);


// Mode 1 encodes a wide text (ANSI code page, EncodeText, back to wide); any other mode
// decodes one. On success *result is a new global block the caller frees with GlobalFree;
// answers 1, or 0 (and no string) for an empty or NULL text or any failing step.
constexpr int kConvertEncode = 1;
constexpr int kConvertDecode = 2;
int ConvertEncodedText(int mode, LPCWSTR text, LPWSTR* result);
