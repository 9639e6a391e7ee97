// The directory of the printer module that carries this code, where string libraries lie.
// Stands in for the module directory service of the module start-up code until that lands.
#pragma once

#include "platform/platform.h"

// The directory with a trailing backslash; FALSE when it cannot be told or does not fit.
BOOL GetDatabaseModuleDirectory(LPWSTR buffer, DWORD chars);
