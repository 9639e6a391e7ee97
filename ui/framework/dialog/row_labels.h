// Labels of rows: the accelerator pattern inserted into a name.
#pragma once

#include "platform/base/types.h"

// The label with "&" before the first letter that the pattern's marked character names (or
// with the pattern appended when none is found), the extra text and the suffix string after
// it; string ids of -3 stand for none. 1, or 0 for a NULL module or output.
int FormatAcceleratorLabel(HMODULE module, LPWSTR text, int size, LPCWSTR label, LONG patternId, LONG suffixId,
                           LPCWSTR extra);
