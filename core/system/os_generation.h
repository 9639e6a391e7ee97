// The generation of the running platform, as the settings code distinguishes it.
#pragma once

#include "platform/base/types.h"

// 1 after writing the generation: 0x100, 0x101 or 0x102 for the Windows 9x family (3.x and
// older, 4.0, later), 0x200, 0x201 or 0x202 for the NT family (before 4, 4, 5 and later), 0 for
// another platform; -1 when the argument is missing or the version cannot be read.
int GetOsGeneration(WORD* generation);
// 0 on generations 0x100, 0x101, 0x200 and 0x201; otherwise writes 512 and returns 1; -1 on
// error.
int CheckOsGeneration(WORD* generation);
// 1 when the platform is version 5.1 or later; asked once and kept.
int IsWindowsXpOrLater();
