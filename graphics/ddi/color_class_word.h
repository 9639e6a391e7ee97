// The 4-byte word in which colour detection leaves the class of the last object it checked:
// created zero-filled at the job's start and freed at its end.
#pragma once

#include "platform/base/types.h"

// 0 done, -1 no place given, -2 no memory.
int AllocColorClassWord(DWORD** place);
// 0 done (also when the place holds none), -1 no place given; the place is cleared.
int FreeColorClassWord(DWORD** place);
