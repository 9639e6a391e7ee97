// Integer arithmetic routines of the kernel.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

// number x numerator / denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when the denominator is 0 or the result does not fit 32 bits.
PLATFORM_API int MulDiv(int number, int numerator, int denominator);
