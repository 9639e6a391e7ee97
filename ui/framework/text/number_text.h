// Numbers as text: fixed-point texts of stored values, and the parse of a typed number.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// Flags of the numeric edit fields (the typed-text checks take them too).
inline constexpr DWORD kEditNumeric = 0x0001;
inline constexpr DWORD kEditSigned = 0x0010;
inline constexpr DWORD kEditUnsigned = 0x0020;
inline constexpr DWORD kEditDecimal = 0x0040;
inline constexpr DWORD kEditNotBlank = 0x0100;
inline constexpr DWORD kEditTolerant = 0x0200;
// FormatFixedPoint: leave out the point and the fraction when the fraction is 0.
inline constexpr DWORD kFixedPointOmitZeroFraction = 0x0100;

// Most decimals a 32-bit fixed-point value has.
inline constexpr WORD kMaxDecimals = 9;

// The value v with d decimals as a new text (GlobalFree): "-" for a negative value with the
// signed flag, v / 10^d, ".", the fraction with leading zeros to d digits; without the point
// and fraction when it is 0 and kFixedPointOmitZeroFraction is given. 1; 0 (no text) without
// kEditDecimal, for more than 9 decimals or without memory.
int FormatFixedPoint(LPWSTR* text, WORD decimals, BOOL isSigned, DWORD flags, DWORD value);
// With decimals: FormatFixedPoint with kEditDecimal; without: the number in its value type as
// a new 24-character text. 1, or 0 for a type that is no number or no memory.
int FormatNumberText(LPWSTR* text, WORD decimals, BOOL isSigned, ValueTypeCode type, const void* value);
// An optional "-" or "+", then 1 to 10 digits; ten digits may not exceed 2147483648 after
// "-" or 4294967295 otherwise. 1 with the value (texts from 2147483648 to 4294967295 give
// negative values), 0 for anything else.
int ParseInt32Text(LPCSTR text, LONG* value);
