// DrvEscape's work: the public escapes, the direct mode and the user-interface module's private
// escapes. 1 done, 0 not supported, -1 bad size or missing buffer (Direct mode: -2 to -6).
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

// The answer as DrvEscape returns it (a negative result in its 32 bits).
ULONG HandleEscape(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out);
