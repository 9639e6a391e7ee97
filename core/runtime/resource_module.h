// The use-counted resource module: the file that holds the printer driver's texts, icons,
// bitmaps and dialog templates. Its file name is string 32767 of the module's own string
// table; it lies in the module's directory and is loaded as data.
#pragma once

#include "platform/base/types.h"

// String of the module's own table that names the resource module file.
constexpr UINT kResourceModuleNameString = 32767;

// Adds one reference, loading the file on the first one. A failed load leaves the count at
// 0 and is tried again at the next call.
void AcquireResourceModule();
// Drops one reference; the last one frees the module.
void ReleaseResourceModule();
// The module handle, taking a first reference when it is not loaded (that reference is
// never released). NULL when the file cannot be loaded.
HMODULE GetResourceModule();
// Frees the module whatever its use count, for the module's detach (GetResourceModule's
// lasting reference ends here).
void FreeResourceModule();
// Caller to come: the property-sheet pages and picture controls.
// The same call under the name the pages and picture controls use.
HMODULE GetResourceInstance();
