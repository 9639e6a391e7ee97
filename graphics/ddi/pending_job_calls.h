// The drawing and escape calls the DDI entry points make whose work (bit-block transfers,
// paths, escapes) is not part of this module yet. Until it is, each refuses plainly: a
// drawing call fails with ERROR_NOT_SUPPORTED and draws nothing, and no escape is supported.
// This is the one place that says so; the entry points keep their own argument checks.
#pragma once

#include "graphics/ddi/pdev.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

// The drawing entry points' work once their arguments passed: FALSE with ERROR_NOT_SUPPORTED.
BOOL DrawOnDevice(Pdev* pdev, const char* call);
// DrvEscape: 0, no escape is supported yet.
ULONG HandleEscape(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out);
