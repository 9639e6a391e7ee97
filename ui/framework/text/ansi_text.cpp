#include "ui/framework/text/ansi_text.h"

#include <cstring>
#include <string>

#include "platform/base/text.h"
#include "platform/kernel/ansi_text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/memory.h"

namespace {

// The ANSI form of a text; false when a character has no ANSI form (it became the default
// character) is not an error: the platform converts it the same way.
std::string Narrow(LPCWSTR text) { return WideToAnsi(std::u16string_view(text, lstrlenW(text))); }

// Bytes of the ANSI text that hold whole characters within n bytes.
size_t WholeCharactersWithin(const std::string& text, size_t n) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[at])) && at + 1 < text.size() ? 2 : 1;
    if (at + step > n) break;
    at += step;
  }
  return at;
}

// Writes an ANSI text back into a wide buffer that held at least as many characters.
void StoreWide(LPWSTR text, const std::string& ansi) {
  const std::u16string wide = AnsiToWide(ansi.c_str());
  std::memcpy(text, wide.c_str(), (wide.size() + 1) * sizeof(WCHAR));
}

}  // namespace

int WideToNarrow(LPCWSTR text, LPSTR* narrow, DWORD* length) {
  if (text == nullptr || narrow == nullptr) return 0;
  const std::string ansi = Narrow(text);
  *narrow = static_cast<LPSTR>(GlobalAlloc(GMEM_FIXED, ansi.size() + 1));
  if (*narrow == nullptr) return 0;
  std::memcpy(*narrow, ansi.c_str(), ansi.size() + 1);
  if (length != nullptr) *length = static_cast<DWORD>(ansi.size());
  return 1;
}

int NarrowToWide(LPCSTR text, LPWSTR* wide, DWORD* length) {
  if (text == nullptr || wide == nullptr) return 0;
  const std::u16string converted = AnsiToWide(text);
  *wide = static_cast<LPWSTR>(GlobalAlloc(GMEM_FIXED, (converted.size() + 1) * sizeof(WCHAR)));
  if (*wide == nullptr) return 0;
  std::memcpy(*wide, converted.c_str(), (converted.size() + 1) * sizeof(WCHAR));
  if (length != nullptr) *length = static_cast<DWORD>(converted.size());
  return 1;
}

WORD GetAnsiByteLength(LPCWSTR text) {
  if (text == nullptr) return 0;
  const size_t bytes = Narrow(text).size();
  return bytes > 0xFFFF ? 0 : static_cast<WORD>(bytes);
}

int TruncateToBytes(DWORD n, LPWSTR text) {
  if (text == nullptr) return 0;
  std::string ansi = Narrow(text);
  if (ansi.size() <= n) return 1;
  ansi.resize(WholeCharactersWithin(ansi, n));
  StoreWide(text, ansi);
  return 1;
}

int RemoveCharacters(LPWSTR text, LPCWSTR characters) {
  if (text == nullptr || characters == nullptr) return 0;
  const std::string ansi = Narrow(text);
  const std::string remove = Narrow(characters);
  std::string kept;
  for (size_t at = 0; at < ansi.size();) {
    const BYTE byte = static_cast<BYTE>(ansi[at]);
    if (IsDBCSLeadByte(byte) && at + 1 < ansi.size()) {
      kept.append(ansi, at, 2);
      at += 2;
      continue;
    }
    if (remove.find(static_cast<char>(byte)) == std::string::npos) kept.push_back(static_cast<char>(byte));
    ++at;
  }
  StoreWide(text, kept);
  return 1;
}

int AppendBounded(LPWSTR text, LPCWSTR addition, int n) {
  if (text == nullptr || addition == nullptr || n <= 0) return 0;
  const int used = lstrlenW(text);
  if (used >= n) return 0;
  // lstrcpynW copies at most n - used - 1 characters and always terminates.
  lstrcpynW(text + used, addition, n - used);
  return 1;
}

int ExtractDelimited(LPWSTR* part, DWORD* length, LPCWSTR text, WCHAR opening, WCHAR closing) {
  if (part == nullptr || length == nullptr || text == nullptr) return 0;
  const int chars = lstrlenW(text);
  if (chars < 2) return 0;
  int first = -1;
  for (int i = 0; i < chars; ++i)
    if (text[i] == opening) {
      first = i;
      break;
    }
  if (first < 0) return 0;
  int last = -1;
  for (int i = chars - 1; i > first; --i)
    if (text[i] == closing) {
      last = i;
      break;
    }
  if (last < 0) return 0;
  const int count = last - first - 1;
  *part = static_cast<LPWSTR>(GlobalAlloc(GMEM_FIXED, (static_cast<SIZE_T>(count) + 1) * sizeof(WCHAR)));
  if (*part == nullptr) return 0;
  std::memcpy(*part, text + first + 1, static_cast<size_t>(count) * sizeof(WCHAR));
  (*part)[count] = 0;
  *length = static_cast<DWORD>(count);
  return 1;
}

void CutAtLastParenthesis(LPWSTR text) {
  if (text == nullptr) return;
  for (int i = lstrlenW(text) - 1; i >= 0; --i)
    if (text[i] == u'(') {
      text[i] = 0;
      return;
    }
}

LPCWSTR GetFileNamePart(LPCWSTR path) {
  if (path == nullptr) return nullptr;
  LPCWSTR name = path;
  for (LPCWSTR at = path; *at != 0; ++at)
    if (*at == u'\\') name = at + 1;
  return name;
}
