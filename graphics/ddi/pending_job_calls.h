// The drawing and escape calls the DDI entry points make whose work (bit-block transfers,
// paths, text, escapes) is not part of this module yet. Until it is, each refuses plainly: a
// drawing call fails with ERROR_NOT_SUPPORTED and draws nothing. The escapes whose work is not
// here yet (the page-end answer, the stamp position, the fax list, the measurement system) are
// not in the escape table: they answer 0 to the call and to QUERYESCSUPPORT.
// This is the one place that says so; the entry points keep their own argument checks.
#pragma once

#include "graphics/ddi/pdev.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

// The drawing entry points' work once their arguments passed: FALSE with ERROR_NOT_SUPPORTED.
BOOL DrawOnDevice(Pdev* pdev, const char* call);
// The direct-mode image escape (4210): its chunks are not drawn yet, so it answers as an escape
// whose feature is missing: 0 (-1 without a device); its query answers as the direct mode's.
LONG HandleDirectImageEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query);
