// Spellings of the text model shared by its parser and its formatter: value types, operators,
// connectors, record names, and the encoding of stored texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/dddtool/ddd_model.h"

struct DddValueSyntax {
  std::uint8_t type;
  const char* name;
  std::uint8_t size;  // bytes of the value; 0: texts and byte strings
  long long min;
  long long max;
};

constexpr DddValueSyntax DDD_VALUE_SYNTAX[] = {
    {DDD_VALUE_FLAG, "flag", 1, 0, 255},
    {DDD_VALUE_INT16, "i16", 2, -32768, 32767},
    {DDD_VALUE_UINT16, "u16", 2, 0, 65535},
    {DDD_VALUE_INT32, "i32", 4, -2147483648ll, 2147483647ll},
    {DDD_VALUE_UINT32, "u32", 4, 0, 4294967295ll},
    {DDD_VALUE_STRING, "str", 0, 0, 0},
    {DDD_VALUE_FLOAT, "f32", 4, 0, 0},
    {DDD_VALUE_BYTE, "u8", 1, 0, 255},
    {DDD_VALUE_FONT, "font", 0, 0, 0},
    {DDD_VALUE_LONG, "l32", 4, -2147483648ll, 2147483647ll},
    {DDD_VALUE_REFERENCE, "array", 2, 1, 65535},
};

struct DddNamedCode {
  const char* name;
  std::uint8_t code;
};

// Condition operators: 1 equal, 2 differs, 3-6 comparisons, 9 size-range check.
constexpr DddNamedCode DDD_OPERATORS[] = {{"=", 1}, {"!=", 2}, {">", 3}, {">=", 4}, {"<", 5}, {"<=", 6}, {"size", 9}};
// Connectors: 1 and-with-next, 2 or-with-next, 3 end of a group.
constexpr DddNamedCode DDD_CONNECTORS[] = {{"and", 1}, {"or", 2}, {"end", 3}};

inline const DddValueSyntax* FindValueSyntax(std::uint8_t type) {
  for (const auto& s : DDD_VALUE_SYNTAX)
    if (s.type == type) return &s;
  return nullptr;
}
inline const DddValueSyntax* FindValueSyntaxByName(const std::string& name) {
  for (const auto& s : DDD_VALUE_SYNTAX)
    if (name == s.name) return &s;
  return nullptr;
}
inline int FindOperatorCode(const std::string& name) {
  for (const auto& o : DDD_OPERATORS)
    if (name == o.name) return o.code;
  return -1;
}
inline int FindConnectorCode(const std::string& name) {
  for (const auto& c : DDD_CONNECTORS)
    if (name == c.name) return c.code;
  return -1;
}
inline const DddRecordShape* FindRecordShapeByName(const std::string& name) {
  for (const auto& layout : DDD_RECORD_SHAPES)
    if (name == layout.name) return &layout;
  return nullptr;
}

inline void AppendLe(std::vector<std::uint8_t>& out, std::uint64_t v, unsigned size) {
  for (unsigned i = 0; i < size; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Stored bytes of a text: the complement of its ANSI bytes, or for a reference the complement
// of its prefix (one complemented NUL when it has none) then library, id and a 0 byte.
inline std::vector<std::uint8_t> EncodeDddText(const DddText& text) {
  std::vector<std::uint8_t> out;
  for (char c : text.text) out.push_back(static_cast<std::uint8_t>(~static_cast<std::uint8_t>(c)));
  if (text.reference) {
    if (out.empty()) out.push_back(0xFF);
    AppendLe(out, text.library, 2);
    AppendLe(out, text.id, 2);
    out.push_back(0);
  }
  return out;
}

// The reverse of EncodeDddText.
inline DddText DecodeDddText(const std::uint8_t* bytes, std::uint32_t n) {
  DddText text;
  std::uint32_t plain = n;
  if (IsTextReference(bytes, n, &text.library, &text.id)) {
    text.reference = true;
    plain = n - DDD_TEXT_REFERENCE_TAIL;
  }
  for (std::uint32_t i = 0; i < plain; ++i) text.text += static_cast<char>(~bytes[i]);
  if (text.reference && text.text == std::string(1, '\0')) text.text.clear();
  return text;
}
