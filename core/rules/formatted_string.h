// A resource string used as a format and filled with text and number arguments, into a new
// block of its own.
#pragma once

#include <initializer_list>

#include "core/services/format_text.h"
#include "platform/base/types.h"

// The usual capacity of a message, in characters.
inline constexpr int kMessageChars = 1024;

// String `id` of the module filled with the arguments (%s a text, %d a number, %S and %D take
// theirs without printing) into a new block of `capacity` characters (<= 0: 1,024). TRUE with
// the text when the string was loaded and the text is shorter than capacity - 1 characters;
// otherwise FALSE and no text. The caller frees the text with GlobalFree.
BOOL LoadFormattedString(HMODULE module, LPWSTR* text, int capacity, UINT id, std::initializer_list<FormatArg> args);
