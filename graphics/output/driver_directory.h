// The directory of the printer's driver files, where the module finds the outside libraries
// and data files.
#pragma once

#include "platform/base/types.h"

// A new global wide string: the driver path (DRIVER_INFO_2) up to and including the last
// backslash before its first ".DLL" (compared without case). NULL when the path holds no
// ".DLL" or no backslash before it, or when the driver information cannot be read.
LPWSTR GetDriverDirectory(HANDLE printer);
