// Wide and multibyte text conversion over the platform's code pages.
#include "items/codepage.h"

#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/memory.h"

namespace {

// Converts a terminated wide text into a new block in an already checked code page.
int WideToBlock(LPCWSTR text, LPSTR* block, int* length, UINT codePage, int extra) {
  if (text == nullptr || block == nullptr) return 0;
  const int needed = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return 0;
  LPSTR out = static_cast<LPSTR>(GlobalAlloc(GPTR, static_cast<SIZE_T>(needed) + extra));
  if (out == nullptr) return 0;
  if (WideCharToMultiByte(codePage, 0, text, -1, out, needed, nullptr, nullptr) != needed) {
    GlobalFree(out);
    return 0;
  }
  *block = out;
  if (length != nullptr) *length = needed - 1;
  return 1;
}

// Converts a terminated narrow text into a new block; *count includes the terminator.
int NarrowToBlock(LPCSTR text, LPWSTR* block, int* count, UINT codePage) {
  if (text == nullptr || block == nullptr) return 0;
  const int needed = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
  if (needed <= 0) return 0;
  LPWSTR out = static_cast<LPWSTR>(GlobalAlloc(GPTR, static_cast<SIZE_T>(needed) * sizeof(WCHAR)));
  if (out == nullptr) return 0;
  if (MultiByteToWideChar(codePage, 0, text, -1, out, needed) != needed) {
    GlobalFree(out);
    return 0;
  }
  *block = out;
  if (count != nullptr) *count = needed;
  return 1;
}

// Bytes one character takes in the code page (at least one).
int CharacterBytes(UINT codePage, WCHAR c) {
  const int n = WideCharToMultiByte(codePage, 0, &c, 1, nullptr, 0, nullptr, nullptr);
  return n > 0 ? n : 1;
}

}  // namespace

UINT CheckCodePage(UINT codePage) {
  CPINFO info;
  if (codePage == CP_ACP || !GetCPInfo(codePage, &info)) return GetACP();
  return codePage;
}

int WideToAnsiAlloc(LPSTR* block, LPCWSTR text, int* length) {
  return WideToBlock(text, block, length, GetACP(), 0);
}

int AnsiToWideAlloc(LPCSTR text, LPWSTR* block, int* count) {
  return NarrowToBlock(text, block, count, GetACP());
}

int WideToMultiByteCp(LPCWSTR text, LPSTR* block, int* length, UINT codePage) {
  return WideToBlock(text, block, length, CheckCodePage(codePage), 0);
}

int MultiByteToWideCp(LPCSTR text, LPWSTR* block, int* count, UINT codePage) {
  return NarrowToBlock(text, block, count, CheckCodePage(codePage));
}

int WideToMultiByteBuffer(UINT codePage, LPCWSTR text, LPSTR buffer, int bufferSize) {
  if (text == nullptr || bufferSize < 0 || (bufferSize > 0 && buffer == nullptr)) return 0;
  codePage = CheckCodePage(codePage);
  // Count character by character, so that a cut never splits a double-byte character.
  int bytes = 0;
  int chars = 0;
  for (; text[chars] != 0; ++chars) {
    const int n = CharacterBytes(codePage, text[chars]);
    if (bufferSize > 0 && bytes + n > bufferSize - 1) break;
    bytes += n;
  }
  if (bufferSize == 0) return bytes + 1;
  int written = 0;
  if (chars > 0) {
    // The capacity is the counted size, so a character the count misjudged cannot overflow.
    written = WideCharToMultiByte(codePage, 0, text, chars, buffer, bytes, nullptr, nullptr);
    if (written <= 0) written = 0;
  }
  buffer[written] = '\0';
  return written;
}

LPSTR WideToMultiByteAlloc(UINT codePage, LPCWSTR text) {
  LPSTR block = nullptr;
  return WideToBlock(text, &block, nullptr, CheckCodePage(codePage), 1) ? block : nullptr;
}

int MultiByteToWideCount(UINT codePage, LPWSTR buffer, LPCSTR text, int bufferCount) {
  if (text == nullptr) return 0;
  const UINT leadPage = codePage == CP_ACP ? GetACP() : codePage;
  const bool convert = buffer != nullptr && bufferCount > 0;
  int bytes = 0;
  int chars = 0;
  while (text[bytes] != '\0') {
    if (convert && chars >= bufferCount - 1) break;
    // A lead byte takes its trail byte along, unless the text ends right after it.
    const bool pair = IsDBCSLeadByteEx(leadPage, static_cast<BYTE>(text[bytes])) && text[bytes + 1] != '\0';
    bytes += pair ? 2 : 1;
    ++chars;
  }
  if (!convert) return chars;
  int written = 0;
  if (bytes > 0) {
    written = MultiByteToWideChar(codePage, 0, text, bytes, buffer, bufferCount - 1);
    if (written <= 0) {
      buffer[0] = 0;
      return 0;
    }
  }
  buffer[written] = 0;
  return chars;
}

LPWSTR MultiByteToWideAlloc(UINT codePage, LPCSTR text, int* count) {
  LPWSTR block = nullptr;
  int withTerminator = 0;
  if (!NarrowToBlock(text, &block, &withTerminator, CheckCodePage(codePage))) return nullptr;
  if (count != nullptr) *count = withTerminator - 1;
  return block;
}
