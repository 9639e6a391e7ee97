// Small shared routines.
#include "core/common/common_routines.h"

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/time.h"

namespace {

constexpr ULONGLONG kFileTimeUnitsPerSecond = 10000000;  // 100 ns units
constexpr DWORD kFeatureBitBase = 0xFFFF0000;

ULONGLONG FileTimeValue(const FILETIME& t) {
  return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

int IsVersionAtLeast(DWORD a, DWORD b) { return a >= b ? 1 : 0; }

int WideToInt(LPCWSTR text) { return _wtoi(text); }

int WideLengthBounded(LPCWSTR text, int n) {
  if (text == nullptr || n <= 0) return 0;
  int i = 0;
  while (i < n && text[i] != 0) ++i;
  return i;
}

int NarrowLengthBounded(LPCSTR text, int n) {
  if (text == nullptr || n <= 0) return 0;
  int i = 0;
  while (i < n && text[i] != '\0') ++i;
  return i;
}

int IsFileOlderThan(LPCWSTR path, DWORD seconds) {
  if (path == nullptr) return 0;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(path, &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG written = FileTimeValue(found.ftLastWriteTime);
  const ULONGLONG current = FileTimeValue(now);
  if (written > current) return 0;
  return current - written > seconds * kFileTimeUnitsPerSecond ? 1 : 0;
}

void SafeGlobalFree(HGLOBAL block) {
  if (block != nullptr) GlobalFree(block);
}

int FreeIfAllocated(HGLOBAL block) {
  SafeGlobalFree(block);
  return 1;
}

int TestFeatureFlag(const DWORD words[2], DWORD feature) {
  if (words == nullptr) return 0;
  if ((feature & 0xFFFF0000) == kFeatureBitBase) {
    const DWORD n = feature & 0xFFFF;
    if (n < 32) return (words[0] >> n) & 1;
    if (n < 64) return (words[1] >> (n - 32)) & 1;
  }
  return (words[0] & feature) != 0 ? 1 : 0;
}
