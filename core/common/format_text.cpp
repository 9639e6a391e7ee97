// Resource-string formatter and the default user paper names.
#include "core/common/format_text.h"

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/user/format.h"

namespace {

enum class PieceKind { kLiteral, kText, kNumber };

struct FormatPiece {
  PieceKind kind;
  int argument;      // directives: 0-based argument index
  LPCWSTR text;      // the piece's characters inside the pattern
  int length;
  bool print;        // false for %S and %D
  const FormatArg* value;
};

struct ParsedPattern {
  FormatPiece pieces[kFormatMaxPieces];
  int count = 0;
  int directives = 0;
};

// Appends a literal character at p, joining the previous literal piece when adjacent.
bool AddLiteral(ParsedPattern& parsed, LPCWSTR p) {
  if (parsed.count > 0) {
    FormatPiece& last = parsed.pieces[parsed.count - 1];
    if (last.kind == PieceKind::kLiteral && last.text + last.length == p) {
      ++last.length;
      return true;
    }
  }
  if (parsed.count == kFormatMaxPieces) return false;
  parsed.pieces[parsed.count++] = {PieceKind::kLiteral, 0, p, 1, true, nullptr};
  return true;
}

// Tries a directive at the percent sign p; answers the characters it takes (0: none).
int ParseDirective(ParsedPattern& parsed, LPCWSTR p) {
  int at = 1;
  int position = 0;
  if (p[at] >= u'1' && p[at] <= u'9') position = p[at++] - u'0';
  PieceKind kind;
  bool print = true;
  switch (p[at]) {
    case u's': kind = PieceKind::kText; break;
    case u'd': kind = PieceKind::kNumber; break;
    case u'S': kind = PieceKind::kText; print = false; break;
    case u'D': kind = PieceKind::kNumber; print = false; break;
    default: return 0;
  }
  const int index = position > 0 ? position - 1 : parsed.directives;
  parsed.pieces[parsed.count++] = {kind, index, p, at + 1, print, nullptr};
  ++parsed.directives;
  return at + 1;
}

void ParsePattern(LPCWSTR pattern, ParsedPattern& parsed) {
  for (LPCWSTR p = pattern; *p != 0;) {
    // Directives while fewer than 19 pieces exist (the rest becomes one literal piece) and
    // while the pattern has fewer than nine argument directives.
    if (*p == u'%' && parsed.count < kFormatMaxPieces - 1) {
      if (p[1] == u'%') {
        parsed.pieces[parsed.count++] = {PieceKind::kLiteral, 0, p + 1, 1, true, nullptr};
        p += 2;
        continue;
      }
      if (parsed.directives < kFormatMaxDirectives) {
        if (const int taken = ParseDirective(parsed, p); taken > 0) {
          p += taken;
          continue;
        }
      }
    }
    if (!AddLiteral(parsed, p)) return;
    ++p;
  }
}

// Hands out the arguments: for index 0, 1, ... every directive naming it takes the next one.
void AssignArguments(ParsedPattern& parsed, std::span<const FormatArg> args) {
  std::size_t next = 0;
  for (int index = 0; index < parsed.directives; ++index) {
    for (int i = 0; i < parsed.count; ++i) {
      FormatPiece& piece = parsed.pieces[i];
      if (piece.kind == PieceKind::kLiteral || piece.argument != index) continue;
      if (next < args.size()) piece.value = &args[next++];
    }
  }
}

}  // namespace

int FormatTextV(LPWSTR output, int size, LPCWSTR pattern, std::span<const FormatArg> args) {
  if (output == nullptr || pattern == nullptr || size < 1) return 0;
  ParsedPattern parsed;
  ParsePattern(pattern, parsed);
  AssignArguments(parsed, args);
  int total = 0;
  for (int i = 0; i < parsed.count; ++i) {
    const FormatPiece& piece = parsed.pieces[i];
    LPCWSTR text = piece.text;
    int length = piece.length;
    WCHAR number[16];
    if (piece.kind != PieceKind::kLiteral && piece.argument < parsed.directives && piece.value != nullptr) {
      if (!piece.print) continue;
      if (piece.value->kind == FormatArg::Kind::kNumber) {
        length = wsprintfW(number, u"%d", piece.value->number);
        text = number;
      } else {
        text = piece.value->text != nullptr ? piece.value->text : u"";
        length = lstrlenW(text);
      }
    }
    if (total + length >= size) continue;
    for (int k = 0; k < length; ++k) output[total + k] = text[k];
    total += length;
  }
  output[total] = 0;
  return total;
}

int FormatText(LPWSTR output, int size, LPCWSTR pattern, std::initializer_list<FormatArg> args) {
  return FormatTextV(output, size, pattern, std::span<const FormatArg>(args.begin(), args.size()));
}
