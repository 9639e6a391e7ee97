// The device fonts a device exposes: one entry per printer-resident font of the model whose
// face is not installed on the system, built on the device's private heap when it is enabled.
#pragma once

#include "platform/base/types.h"

struct DeviceFontEntry;

struct DeviceFontTable {
  DWORD count;                // faces 1..count answer the font queries
  DeviceFontEntry** entries;  // entry i - 1 is face i
};
