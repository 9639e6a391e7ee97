// Directory macros in the paths the file dialogs start from: %SYSTEM%, %ICM% and %DRIVER%.
#pragma once

#include "platform/base/types.h"

// Longest path a macro expansion yields, in characters.
inline constexpr int kMacroPathChars = 260;

// 1 and a new path (GlobalFree) in *expanded: the text before the first "%", then the
// directory the macro names; whatever follows the closing "%" is dropped. A path without "%"
// is copied whole. 0 (and *expanded NULL) for an unknown or empty macro, a missing closing
// "%", a result longer than 260 characters, or no memory.
int ExpandPathMacros(LPCWSTR path, LPWSTR* expanded);
