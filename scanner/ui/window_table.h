// The data source's windows (scanner/source_windows.h) as this folder provides them; the module
// hands the table to the data source when it attaches.
#pragma once

#include "scanner/source_windows.h"

extern const SourceWindows kScannerWindows;
