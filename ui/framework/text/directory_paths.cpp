#include "ui/framework/text/directory_paths.h"

#include "platform/base/text.h"
#include "platform/kernel/files.h"

void CreateDirectoryPath(LPCWSTR path) {
  if (path == nullptr) return;
  const int length = lstrlenW(path);
  if (length == 0 || length > kFolderPathChars) return;
  WCHAR prefix[kFolderPathChars + 1] = {};
  int backslashes = 0;
  for (int i = 0; i < length; ++i) {
    if (path[i] == u'\\' && ++backslashes >= 2) {
      lstrcpynW(prefix, path, i + 1);
      CreateDirectoryW(prefix, nullptr);
    }
  }
  CreateDirectoryW(path, nullptr);
}

// The folder is looked up by its attributes: changing into it and back would move the current
// directory of every thread of the application meanwhile.
int IsDirectoryPresent(LPCWSTR path) {
  if (path == nullptr || path[0] == 0) return 0;
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 1 : 0;
}

int IsDevicePath(LPCWSTR path) {
  static constexpr const WCHAR* kDevicePrefixes[] = {u"\\\\.\\", u"\\\\?\\"};
  if (path == nullptr) return 0;
  for (LPCWSTR prefix : kDevicePrefixes) {
    const int n = lstrlenW(prefix);
    if (lstrlenW(path) >= n && _wcsnicmp(path, prefix, static_cast<size_t>(n)) == 0) return 1;
  }
  return 0;
}
