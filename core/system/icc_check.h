// Check of an ICC profile file's header before the colour code uses it.
#pragma once

#include "platform/base/types.h"

// Caller to come: the colour profile page.
// 0 usable; -1 NULL path; -2 not openable; -3 shorter than 132 bytes; -4 closing failed;
// -5 no "acsp" signature; -6 colour space not RGB or device class neither monitor nor
// scanner; -7 connection space neither XYZ nor Lab.
int CheckIccProfileFile(LPCSTR path);
