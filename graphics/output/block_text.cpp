#include "graphics/output/block_text.h"

#include <algorithm>
#include <cstring>

#include "platform/kernel/codepage.h"
#include "platform/kernel/memory.h"

void* ResizeGlobalBlock(void* block, DWORD oldLength, DWORD newLength) {
  void* grown = GlobalAlloc(GPTR, newLength);
  if (grown == nullptr) return nullptr;
  if (block != nullptr) {
    std::memcpy(grown, block, std::min(oldLength, newLength));
    GlobalFree(block);
  }
  return grown;
}

void CopyWideTextBounded(LPWSTR destination, LPCWSTR source, DWORD n) {
  if (n == 0) return;
  DWORD i = 0;
  if (source != nullptr)
    for (; i + 1 < n && source[i] != 0; ++i) destination[i] = source[i];
  for (; i < n; ++i) destination[i] = 0;
}

DWORD BoundedWideLength(LPCWSTR text, DWORD maximum) {
  if (text == nullptr) return 0;
  DWORD length = 0;
  while (length < maximum && text[length] != 0) ++length;
  return length;
}

int AnsiToWideBytes(LPWSTR destination, DWORD destinationBytes, LPDWORD bytesWritten, LPCSTR ansi, int ansiLength) {
  const int chars = MultiByteToWideChar(GetACP(), 0, ansi, ansiLength, destination,
                                        static_cast<int>(destinationBytes / sizeof(WCHAR)));
  const int bytes = chars * static_cast<int>(sizeof(WCHAR));
  if (bytesWritten != nullptr) *bytesWritten = static_cast<DWORD>(bytes);
  return bytes;
}

int AnsiToWideText(LPWSTR destination, int n, LPCSTR ansi) {
  // The destination's size must be known: a size taken from the source could overrun it.
  if (n < 1 || destination == nullptr) return 0;
  destination[0] = 0;
  if (ansi == nullptr || n == 1) return 0;
  const int length = static_cast<int>(std::strlen(ansi));
  // A text longer than the buffer converts to nothing.
  const int chars = length == 0 ? 0 : MultiByteToWideChar(GetACP(), 0, ansi, length, destination, n - 1);
  destination[chars > 0 ? chars : 0] = 0;
  return chars > 0 ? chars : 0;
}

void FreeGlobalBlock(void* block) { GlobalFree(block); }
