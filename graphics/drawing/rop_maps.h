// Raster-operation maps between the engine's four-byte operations, its two-operand mix codes
// (R2_ values) and the ternary codes that use only pattern and destination.
#pragma once

#include "platform/base/types.h"

// Each byte of the ROP4's low 16 bits as an R2_ code (13, R2_COPYPEN, for a ternary code that
// uses the source): (code of the high byte << 8) | code of the low byte.
WORD MapRopToRop2(DWORD rop4);
// Each byte of a MIX (R2_ codes, taken modulo 16) as its ternary code:
// (ternary of the high byte << 8) | ternary of the low byte.
WORD MapMixToRop3(DWORD mix);
