// The model's machine registry base (database section 30): the driver's own key under
// HKEY_LOCAL_MACHINE, below which the machine-wide templates of the per-user stores lie.
#pragma once

#include "platform/base/types.h"

// The base text of the printer's model as a new global string, NULL when the printer has no
// readable database or the text is absent.
LPWSTR ReadMachineBaseText(HANDLE printer);
// base + subKey as a new global string. The base names a key: when it does not end with a
// backslash one is put between them, so the sub key lies below the base and not beside it.
LPWSTR JoinMachineKeyPath(LPCWSTR base, LPCWSTR subKey);
