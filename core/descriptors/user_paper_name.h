// Default names of the user paper slots ("User1", "User2", ...).
#pragma once

#include "platform/base/types.h"

// The default name of user paper slot n: string 16 of the resource module (or a built-in
// name) without its trailing digits, followed by n + 1. The base is shortened so that the
// number always fits the output of capacity characters. 1, or 0 when nothing fits.
int FormatUserPaperName(int slot, LPWSTR output, int capacity);
