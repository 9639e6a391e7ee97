// Conversions between the ANSI code page and UTF-16 for the layer's A forms.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/base/types.h"

// The text of a NULL-terminated ANSI string in UTF-16 (NULL gives an empty text).
PLATFORM_API std::u16string AnsiToWide(LPCSTR text);
// The ANSI bytes of a UTF-16 text (unmappable characters become the default character).
PLATFORM_API std::string WideToAnsi(std::u16string_view text);
