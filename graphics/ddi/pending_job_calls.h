// The escape calls whose work is not part of this module yet. Until it is, DrvEscape refuses
// plainly: no escape is supported. This is the one place that says so; the entry point keeps its
// own argument checks.
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

// DrvEscape: 0, no escape is supported yet.
ULONG HandleEscape(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out);
