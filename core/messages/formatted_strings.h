// Messages made from resource strings: a string of the resource module filled with typed
// arguments by the core's own formatter (core/common/format_text.h) into a new text.
#pragma once

#include <initializer_list>

#include "core/common/format_text.h"
#include "platform/base/types.h"

// Capacity of a formatted text when the caller gives none.
inline constexpr int kFormattedTextChars = 1024;

// Loads string `id` of the module and formats it with the arguments into a new text of
// `capacity` characters (0 or less: kFormattedTextChars), which the caller frees with
// GlobalFree. TRUE when the string was loaded and the text is shorter than capacity - 1
// characters; otherwise FALSE and *text is NULL (a text that fills its capacity counts as
// none, as one that may have lost its end).
BOOL LoadFormattedString(HMODULE module, LPWSTR* text, int capacity, UINT id, std::initializer_list<FormatArg> args);
