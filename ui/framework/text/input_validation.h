// The check of typed text against the characters a field accepts. The accepted and forbidden
// characters come from strings of the resource module written as byte lists: hexadecimal
// numbers separated by commas ("30,39"); a list is named by a 0-ended array of string ids whose
// strings are joined.
#pragma once

#include <vector>

#include "platform/base/types.h"

// Strings of the number characters: each gives its character in its first ANSI byte.
inline constexpr UINT kMinusSignString = 9239;
inline constexpr UINT kPlusSignString = 9240;
inline constexpr UINT kDecimalPointString = 9241;
// The byte list whose first two bytes are the double-byte blank.
inline constexpr UINT kDoubleByteBlankString = 9236;
// Characters the joined strings of one list may have (after the closing "0,0,0,0").
inline constexpr int kByteListChars = 256;

// The bytes of a list: every string joined, each followed by ",", then four 0 bytes. FALSE
// when a string is missing, the joined text is longer than 256 characters or a number is not
// one hexadecimal byte.
bool ReadByteList(const LONG* stringIds, std::vector<BYTE>* bytes);

// 1 when the text is valid: converted to ANSI; empty only with kEditTolerant; with the numeric
// or decimal flags its sign and decimal point checked and removed first; then every double-
// byte character within a double-byte range and not forbidden, every other byte within a
// single-byte range and not forbidden (an absent list restricts nothing; a given empty range
// list allows nothing); with kEditNotBlank not blanks only. 0 otherwise, and when a list or
// string cannot be read.
int ValidateInputText(LPCWSTR text, const LONG* singleRanges, const LONG* doubleRanges, const LONG* forbiddenSingle,
                      const LONG* forbiddenDouble, DWORD flags, WORD decimals);
