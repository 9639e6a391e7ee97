// Error texts written into a caller's fixed buffer, counting what the whole text would need.
#pragma once

#include <initializer_list>
#include <span>

#include "core/common/format_text.h"
#include "platform/base/types.h"

// Formats `format` into `buffer` (size characters, terminator included): "%!" a string of the
// resource module named by the next (number) argument, "%s" a text argument (NULL writes one
// blank), "%c" a character argument, "%d", "%u", "%x" and "%X" a 32-bit number argument; "%"
// before any other character writes that character. A directive without its argument writes
// nothing. As much as fits is written and terminated; with no buffer or a size of 0 nothing is
// written. *needed (when given) gets the whole text's length plus the terminator. Answers the
// characters written.
DWORD FormatErrorText(HMODULE resourceModule, LPWSTR buffer, DWORD size, DWORD* needed, LPCWSTR format,
                      std::span<const FormatArg> args);
inline DWORD FormatErrorText(HMODULE resourceModule, LPWSTR buffer, DWORD size, DWORD* needed, LPCWSTR format,
                             std::initializer_list<FormatArg> args) {
  return FormatErrorText(resourceModule, buffer, size, needed, format, std::span<const FormatArg>(args));
}
