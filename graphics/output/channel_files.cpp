#include "graphics/output/channel_files.h"

#include "platform/kernel/files.h"

HANDLE OpenFileForChannel(LPCWSTR fileName, DWORD flags) {
  if (fileName == nullptr) return INVALID_HANDLE_VALUE;
  const DWORD access = (flags & kChannelFileReadOnly) ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  const DWORD disposition = (flags & kChannelFileCreate) ? CREATE_ALWAYS : OPEN_ALWAYS;
  return CreateFileW(fileName, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL CloseFileHandle(HANDLE file) { return file == INVALID_HANDLE_VALUE ? FALSE : CloseHandle(file); }

DWORD SeekFileFromStart(HANDLE file, LONG position) {
  if (file == INVALID_HANDLE_VALUE) return INVALID_SET_FILE_POINTER;
  return SetFilePointer(file, position, nullptr, FILE_BEGIN);
}

DWORD SeekFileFromEnd(HANDLE file, LONG distance) {
  if (file == INVALID_HANDLE_VALUE) return INVALID_SET_FILE_POINTER;
  return SetFilePointer(file, distance, nullptr, FILE_END);
}

BOOL DeleteFilePath(LPCWSTR path) { return DeleteFileW(path); }
