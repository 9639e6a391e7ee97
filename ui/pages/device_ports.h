// What a printer's port and attributes say about reaching the device directly.
#pragma once

#include "platform/base/types.h"

// True for "LPT1:", "LPT2:", "LPT3:" and for names beginning with "USB" or "VQUSB".
bool IsLocalPortName(LPCWSTR port);
// True when the printer's attributes have bidirectional support enabled.
bool HasBidiAttribute(HANDLE printer);
