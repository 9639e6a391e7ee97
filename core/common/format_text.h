// A small formatter for resource strings whose arguments may be reordered by the text:
// "%s" a text, "%d" a number, "%S"/"%D" take their argument without printing it, a digit
// 1..9 after the percent sign ("%2s") names the argument by position, "%%" prints one
// percent sign, any other percent sign is plain text.
//
// Patterns come from the resource file, so the arguments are a typed, counted list: a
// directive for which the caller passed no argument prints its own pattern text.
#pragma once

#include <concepts>
#include <initializer_list>
#include <span>

#include "platform/base/types.h"

struct FormatArg {
  enum class Kind { kText, kNumber };
  Kind kind;
  LPCWSTR text;
  LONG number;

  FormatArg(LPCWSTR t) : kind(Kind::kText), text(t), number(0) {}  // NOLINT: implicit by design
  template <std::integral T>
  FormatArg(T n) : kind(Kind::kNumber), text(nullptr), number(static_cast<LONG>(n)) {}  // NOLINT
};

// Limits of one pattern: pieces of text and directives, and argument directives.
constexpr int kFormatMaxPieces = 20;
constexpr int kFormatMaxDirectives = 9;

// Writes the formatted text into output (size characters, terminator included); a piece
// that does not fit is left out and the following ones are still tried. Answers the
// output's length; 0 (nothing written) for a missing output or pattern or a size below 1.
int FormatTextV(LPWSTR output, int size, LPCWSTR pattern, std::span<const FormatArg> args);
int FormatText(LPWSTR output, int size, LPCWSTR pattern, std::initializer_list<FormatArg> args);

