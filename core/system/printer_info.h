// The spooler's printer and driver information blocks.
#pragma once

#include "platform/base/types.h"

// A new zero-filled global block holding GetPrinterW (GetPrinterDriverW with the default
// environment) at the level, or NULL on any failure. The caller frees it with GlobalFree.
LPBYTE GetPrinterInfo(HANDLE printer, DWORD level);
LPBYTE GetDriverInfo(HANDLE printer, DWORD level);
