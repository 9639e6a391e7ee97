// Numbers as the dialog's edits and read-outs show them: lengths in the display units,
// fixed-point values with a number of decimals, and rounded decimal text.
#pragma once

#include "platform/base/types.h"

// Display units.
constexpr WORD kUnitInch = 0;
constexpr WORD kUnitCentimetre = 1;
constexpr WORD kUnitMillimetre = 2;
constexpr WORD kUnitPixel = 3;
constexpr WORD kUnitPica = 4;
constexpr WORD kUnitPoint = 5;

// A length in 1/1200 inch in a unit: 1, or 0 for an unknown unit.
BOOL DocumentUnitsTo(LONG length, WORD unit, LONG dpi, double* out);
// "-" when negative, the integer part, then a point and `decimals` digits (v = value x 10^d).
void FormatDecimalValue(LPSTR text, LONG value, int decimals);
// The text's value x 10^decimals; reading stops at a second point, any other character, or
// once `decimals` fraction digits are read. Saturates at the 32-bit limits.
LONG ParseFixedPoint(LPCSTR text, int decimals);
// A non-negative real rounded to `decimals` digits (halves away from zero), "0" for an empty
// integer part; `size` bytes at most with the terminator.
void FormatDecimal(LPSTR text, int size, double value, int decimals);
void SetEditNumber(HWND dialog, int control, LONG value, BOOL isSigned, int decimals);
LONG ReadEditInteger(HWND dialog, int control, LONG fallback);
LONG ReadEditFixed(HWND dialog, int control, LONG fallback, int decimals);
