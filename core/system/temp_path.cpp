// Temporary file names of the two module builds.
#include "core/system/temp_path.h"

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/sandbox.h"

namespace {

// One way of finding a directory for temporary files; answers its length (0 on failure).
using DirectoryQuery = DWORD (*)(LPWSTR buffer, DWORD chars);

DWORD QueryTempPath(LPWSTR buffer, DWORD chars) { return GetTempPathW(chars, buffer); }
DWORD QueryWindowsDirectory(LPWSTR buffer, DWORD chars) { return GetWindowsDirectoryW(buffer, chars); }
DWORD QuerySystemDirectory(LPWSTR buffer, DWORD chars) { return GetSystemDirectoryW(buffer, chars); }
DWORD QueryCurrentDirectory(LPWSTR buffer, DWORD chars) { return GetCurrentDirectoryW(chars, buffer); }

constexpr DirectoryQuery kDirectoryQueries[] = {QueryTempPath, QueryWindowsDirectory, QuerySystemDirectory,
                                                QueryCurrentDirectory};

// True when the query gave a directory that fits the buffer.
bool QueryDirectory(DirectoryQuery query, LPWSTR directory) {
  const DWORD n = query(directory, MAX_PATH);
  return n > 0 && n < MAX_PATH;
}

}  // namespace

#if defined(QV_BUILD_UI)
int MakeTempFilePath(LPWSTR buffer, int kind) {
  if (buffer == nullptr) return 0;
  WCHAR directory[MAX_PATH] = {};
  for (DirectoryQuery query : kDirectoryQueries) {
    if (!QueryDirectory(query, directory)) continue;
    if (GetTempFileNameW(directory, u"VQF", 0, buffer) != 0) return 1;
    break;  // only the first directory that answers is tried
  }
  lstrcpynW(buffer, kind == kTempFileOutput ? u"c:\\vqfot.tmp" : u"c:\\vqfdp.tmp", MAX_PATH);
  return 0;
}
#elif defined(QV_BUILD_GR)
int MakeTempFilePath(LPWSTR buffer) {
  if (buffer == nullptr) return 0;
  WCHAR directory[MAX_PATH] = {};
  for (DirectoryQuery query : kDirectoryQueries) {
    if (QueryDirectory(query, directory) && GetTempFileNameW(directory, u"VQP", 0, buffer) != 0) return 1;
  }
  lstrcpynW(buffer, u"c:\\vqnimbrel.tmp", MAX_PATH);
  return 1;
}
#endif
