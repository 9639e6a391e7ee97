#include "ui/framework/text/input_validation.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/runtime/resource_module.h"
#include "platform/base/text.h"
#include "platform/kernel/ansi_text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/resource.h"
#include "ui/framework/text/number_text.h"

namespace {

// Characters read of a number character's string.
constexpr int kSignStringChars = 7;

bool IsBlankByte(BYTE b) { return b == ' ' || b == '\t' || b == '\n' || b == '\v' || b == '\f' || b == '\r'; }

int HexDigit(WCHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Parses the joined text: hexadecimal numbers, each followed by blanks or tabs and a comma.
bool ParseByteList(const std::u16string& text, std::vector<BYTE>* bytes) {
  size_t at = 0;
  while (at < text.size()) {
    DWORD number = 0;
    size_t digits = 0;
    for (int d; at < text.size() && (d = HexDigit(text[at])) >= 0; ++at, ++digits) number = number * 16 + d;
    if (digits == 0 || digits > 2 || number > 0xFF) return false;
    bytes->push_back(static_cast<BYTE>(number));
    while (at < text.size() && (text[at] == u' ' || text[at] == u'\t')) ++at;
    if (at < text.size()) {
      if (text[at] != u',') return false;
      ++at;
    }
  }
  return true;
}

// The first ANSI byte of a string, or nothing when the string is missing.
std::optional<BYTE> ReadSignByte(UINT id) {
  WCHAR text[kSignStringChars + 1] = {};
  if (LoadStringW(GetResourceModule(), id, text, kSignStringChars + 1) <= 0) return std::nullopt;
  const std::string ansi = WideToAnsi(std::u16string_view(text, lstrlenW(text)));
  if (ansi.empty()) return std::nullopt;
  return static_cast<BYTE>(ansi[0]);
}

// The sign and decimal point checks of numeric texts; the text loses them. False: invalid.
bool CheckNumberText(std::string* text, DWORD flags, WORD decimals) {
  const std::optional<BYTE> minus = ReadSignByte(kMinusSignString);
  const std::optional<BYTE> plus = ReadSignByte(kPlusSignString);
  const std::optional<BYTE> point = ReadSignByte(kDecimalPointString);
  if (!minus || !plus || !point) return false;
  if (!text->empty() && (static_cast<BYTE>((*text)[0]) == *minus || static_cast<BYTE>((*text)[0]) == *plus)) {
    if (flags & kEditUnsigned) return false;
    if (flags & kEditSigned) text->erase(0, 1);
  }
  if (flags & kEditDecimal) {
    const size_t at = text->find(static_cast<char>(*point));
    if (at != std::string::npos) {
      if (text->find(static_cast<char>(*point), at + 1) != std::string::npos) return false;
      const size_t after = text->size() - at - 1;
      if ((flags & kEditTolerant) == 0 && after > decimals) return false;
      text->erase(at, 1);
    }
  }
  return !text->empty();
}

bool InSingleRanges(const std::vector<BYTE>& ranges, BYTE b) {
  for (size_t i = 0; i + 1 < ranges.size() && ranges[i] != 0; i += 2)
    if (b >= ranges[i] && b <= ranges[i + 1]) return true;
  return false;
}

bool InForbiddenSingles(const std::vector<BYTE>& bytes, BYTE b) {
  for (size_t i = 0; i < bytes.size() && bytes[i] != 0; ++i)
    if (bytes[i] == b) return true;
  return false;
}

bool InDoubleRanges(const std::vector<BYTE>& ranges, WORD c) {
  for (size_t i = 0; i + 3 < ranges.size() && ranges[i] != 0; i += 4) {
    const WORD low = static_cast<WORD>(ranges[i] << 8 | ranges[i + 1]);
    const WORD high = static_cast<WORD>(ranges[i + 2] << 8 | ranges[i + 3]);
    if (c >= low && c <= high) return true;
  }
  return false;
}

bool InForbiddenDoubles(const std::vector<BYTE>& pairs, WORD c) {
  for (size_t i = 0; i + 1 < pairs.size() && pairs[i] != 0; i += 2)
    if (static_cast<WORD>(pairs[i] << 8 | pairs[i + 1]) == c) return true;
  return false;
}

// A list that may be absent: an absent one is empty and marked so.
struct OptionalList {
  bool given = false;
  std::vector<BYTE> bytes;
};

bool ReadOptionalList(const LONG* ids, OptionalList* list) {
  list->given = ids != nullptr;
  return ids == nullptr || ReadByteList(ids, &list->bytes);
}

}  // namespace

bool ReadByteList(const LONG* stringIds, std::vector<BYTE>* bytes) {
  if (stringIds == nullptr || bytes == nullptr) return false;
  std::u16string joined;
  for (const LONG* id = stringIds; *id != 0; ++id) {
    WCHAR text[kByteListChars + 1] = {};
    if (LoadStringW(GetResourceModule(), static_cast<UINT>(*id), text, kByteListChars + 1) <= 0) return false;
    joined += text;
    joined += u',';
  }
  joined += u"0,0,0,0";
  if (joined.size() > kByteListChars) return false;
  bytes->clear();
  return ParseByteList(joined, bytes);
}

int ValidateInputText(LPCWSTR text, const LONG* singleRanges, const LONG* doubleRanges, const LONG* forbiddenSingle,
                      const LONG* forbiddenDouble, DWORD flags, WORD decimals) {
  if (text == nullptr) return 0;
  std::string ansi = WideToAnsi(std::u16string_view(text, lstrlenW(text)));
  if (ansi.empty()) return (flags & kEditTolerant) ? 1 : 0;
  if ((flags & (kEditNumeric | kEditDecimal)) && !CheckNumberText(&ansi, flags, decimals)) return 0;
  OptionalList singles, doubles, forbidden, forbiddenPairs;
  if (!ReadOptionalList(singleRanges, &singles) || !ReadOptionalList(doubleRanges, &doubles) ||
      !ReadOptionalList(forbiddenSingle, &forbidden) || !ReadOptionalList(forbiddenDouble, &forbiddenPairs))
    return 0;
  std::vector<BYTE> blankList;
  const LONG blankIds[] = {kDoubleByteBlankString, 0};
  WORD doubleBlank = 0;
  if (ReadByteList(blankIds, &blankList) && blankList.size() >= 2)
    doubleBlank = static_cast<WORD>(blankList[0] << 8 | blankList[1]);

  size_t blanks = 0;
  for (size_t at = 0; at < ansi.size();) {
    const BYTE b = static_cast<BYTE>(ansi[at]);
    if (IsDBCSLeadByte(b) && at + 1 < ansi.size()) {
      const WORD c = static_cast<WORD>(b << 8 | static_cast<BYTE>(ansi[at + 1]));
      if (doubles.given && !InDoubleRanges(doubles.bytes, c)) return 0;
      if (forbiddenPairs.given && InForbiddenDoubles(forbiddenPairs.bytes, c)) return 0;
      if (doubleBlank != 0 && c == doubleBlank) blanks += 2;
      at += 2;
      continue;
    }
    if (singles.given && !InSingleRanges(singles.bytes, b)) return 0;
    if (forbidden.given && InForbiddenSingles(forbidden.bytes, b)) return 0;
    if (IsBlankByte(b)) ++blanks;
    ++at;
  }
  if ((flags & kEditNotBlank) && blanks == ansi.size()) return 0;
  return 1;
}
