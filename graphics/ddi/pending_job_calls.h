// The escape work that is not part of this module yet. Until it is, each refuses plainly. The
// escapes whose work is not here yet (the page-end answer, the stamp position, the fax list, the
// measurement system) are not in the escape table: they answer 0 to the call and to
// QUERYESCSUPPORT; the direct-mode image escape answers as below. This is the one place that
// says so; the entry points keep their own argument checks.
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

struct Pdev;

// The direct-mode image escape (4210): its chunks are not drawn yet, so it answers as an escape
// whose feature is missing: 0 (-1 without a device); its query answers as the direct mode's.
LONG HandleDirectImageEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out, BOOL query);
