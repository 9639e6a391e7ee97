// Conversions between tenths of a millimetre and hundredths of an inch, and the split of a
// value in hundredths into its whole part and its decimals, as the pages show paper sizes.
#pragma once

#include "platform/base/types.h"

// sign(v) * ((|v| * 1000 / 254 + 5) / 10), integer divisions: rounds half away from zero.
LONG TenthMmToHundredthInch(LONG value);
// sign(v) * ((|v| * 254 / 10 + 5) / 10), integer divisions.
LONG HundredthInchToTenthMm(LONG value);
// whole = value / 100; fraction = value % 100, or with the tens flag its tens digit.
// Answers 1, or 0 when an out pointer is NULL.
int SplitHundredths(BOOL tensOnly, WORD value, int* whole, int* fraction);
