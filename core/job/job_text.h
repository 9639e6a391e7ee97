// The strings the job code builds its texts in: ANSI bytes and wide characters with character
// traits of their own. Their members are then this library's own code and never stand in for
// the C++ runtime's standard string members in a program that links the library.
#pragma once

#include <string>

struct AnsiTraits : std::char_traits<char> {};
struct WideTraits : std::char_traits<char16_t> {};
using AnsiText = std::basic_string<char, AnsiTraits>;
using WideText = std::basic_string<char16_t, WideTraits>;
