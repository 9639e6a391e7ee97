#include "graphics/output/temp_job_store.h"

#include <cstring>
#include <string>

#include "core/persist/file_block.h"
#include "core/runtime/lock_slots.h"
#include "core/system/temp_path.h"
#include "graphics/output/channel_files.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/files.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/kernel/time.h"
#include "platform/registry/registry.h"
#include "platform/user/format.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

namespace {

constexpr int kBoxTextChars = 512;

// The driver key text, guarded by the temporary-registry lock slot.
WCHAR g_registryKey[kTempRegistryKeyChars] = u"Software\\Varno Quelmar\\VQ Nimbrel Printer Driver\\";

std::u16string ReadRegistryKey() {
  LockSlotGuard guard(kLockTempRegistry);
  return g_registryKey;
}

std::u16string TempFileKey(LPCWSTR path) {
  std::u16string name(path);
  for (char16_t& c : name)
    if (c == u'\\') c = u'/';
  return ReadRegistryKey() + kTempFileSubKey + name;
}

bool IsUsable(const TempJobStore* store) {
  return store != nullptr && store->file != INVALID_HANDLE_VALUE && store->writable == 1;
}

// The text of the write-failure box with the drive letter in place of "%c". The text may come
// from the resource module: only that one token is replaced, nothing else is formatted.
std::u16string FormatWriteErrorText(LPCWSTR pattern, WCHAR drive) {
  std::u16string text(pattern);
  const size_t at = text.find(u"%c");
  if (at != std::u16string::npos) text.replace(at, 2, 1, drive);
  return text;
}

// Forgets the appended bytes still waiting and frees their block.
void DropAppended(TempJobStore* store) {
  if (store->appendBlock != nullptr) GlobalFree(store->appendBlock);
  store->appendBlock = nullptr;
  store->appended = 0;
}

// Writes at the current position; bytes written or -1. A failed write asks the user.
int WriteAt(TempJobStore* store, const void* bytes, DWORD length) {
  if (!IsUsable(store) || (length > 0 && bytes == nullptr)) return -1;
  if (length == 0) return 0;
  // Offsets are 32 bits: a store that would pass 4 GiB fails instead of wrapping.
  if (length > 0x7FFFFFFF || length > 0xFFFFFFFF - store->position) return -1;
  const BYTE* data = static_cast<const BYTE*>(bytes);
  store->atEnd = 0;
  DWORD done = WriteFileBlock(store->file, data, length);
  while (done < length) {
    if (ShowTempWriteError(store) != IDOK) {
      store->writable = 0;
      return -1;
    }
    // The retry writes the bytes not yet written where they belong.
    const DWORD at = store->position + done;
    if (SetFilePointer(store->file, static_cast<LONG>(at), nullptr, FILE_BEGIN) != at) return -1;
    done += WriteFileBlock(store->file, data + done, length - done);
  }
  store->position += length;
  if (store->position > store->size) store->size = store->position;
  store->atEnd = store->position == store->size ? 1 : 0;
  return static_cast<int>(length);
}

// Moves to the file's end; the new position or -1. Only the store writes its file, so while
// the file pointer is known to be at the end nothing needs to be asked of the file.
int SeekEnd(TempJobStore* store) {
  if (!IsUsable(store)) return -1;
  if (store->atEnd == 1 && store->position <= 0x7FFFFFFF) return static_cast<int>(store->position);
  const DWORD end = SetFilePointer(store->file, 0, nullptr, FILE_END);
  if (end == INVALID_SET_FILE_POINTER || end > 0x7FFFFFFF) return -1;
  store->position = end;
  store->atEnd = 1;
  return static_cast<int>(end);
}

// Writes the appended bytes still waiting at the file's end; 0, or -1 when the store is not
// usable or the write fails (the bytes are then given up, as a failed write's are).
int WriteAppended(TempJobStore* store) {
  if (store == nullptr || store->appended == 0) return 0;
  const DWORD length = store->appended;
  store->appended = 0;
  if (!IsUsable(store)) return -1;
  return SeekEnd(store) >= 0 && WriteAt(store, store->appendBlock, length) == static_cast<int>(length) ? 0 : -1;
}

}  // namespace

int InitTempStore(TempJobStore* store, BOOL cleanUp, HMODULE resourceModule) {
  if (store == nullptr) return -1;
  if (cleanUp) CleanUpStaleTempFiles();
  store->file = INVALID_HANDLE_VALUE;
  store->name[0] = 0;
  store->size = store->position = 0;
  store->writable = 0;
  store->atEnd = 0;
  store->appendBlock = nullptr;
  store->appended = 0;
  store->resourceModule = resourceModule;
  return 0;
}

int CreateTempStoreFile(TempJobStore* store) {
  if (store == nullptr) return -1;
  if (store->file != INVALID_HANDLE_VALUE || store->name[0] != 0) DeleteTempStore(store);
  if (!MakeTempFilePath(store->name)) {
    store->name[0] = 0;
    return -1;
  }
  store->file = CreateFileW(store->name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (store->file == INVALID_HANDLE_VALUE) {
    store->name[0] = 0;
    return -1;
  }
  RegisterTempFile(store->name);
  store->size = store->position = 0;
  store->writable = 1;
  store->atEnd = 1;  // a new, empty file
  return 0;
}

int DeleteTempStore(TempJobStore* store) {
  if (store == nullptr) return -1;
  DropAppended(store);
  int result = 0;
  if (store->file != INVALID_HANDLE_VALUE && !CloseHandle(store->file)) result = -1;
  store->file = INVALID_HANDLE_VALUE;
  if (store->name[0] != 0 && DeleteFileW(store->name)) UnregisterTempFile(store->name);
  else result = -1;
  InitTempStore(store, FALSE, store->resourceModule);
  return result;
}

int IsTempStoreOpen(const TempJobStore* store) { return IsUsable(store) ? 1 : -1; }

int AppendTempStore(TempJobStore* store, const void* bytes, DWORD length) {
  if (!IsUsable(store) || (length > 0 && bytes == nullptr)) return -1;
  if (length == 0) return 0;
  // The same limits as a write at the end: offsets stay below 2 GiB and never wrap.
  const DWORD end = store->size + store->appended;
  if (end > 0x7FFFFFFF || length > 0x7FFFFFFF || length > 0xFFFFFFFF - end) return -1;
  if (length > kTempStoreAppendBlockSize - store->appended && WriteAppended(store) != 0) return -1;
  if (store->appendBlock == nullptr && length < kTempStoreAppendBlockSize)
    store->appendBlock = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, kTempStoreAppendBlockSize));
  if (store->appendBlock == nullptr || length >= kTempStoreAppendBlockSize) {
    // Too large for the block, or no memory for one: straight to the file's end.
    return SeekEnd(store) >= 0 && WriteAt(store, bytes, length) == static_cast<int>(length) ? 0 : -1;
  }
  std::memcpy(store->appendBlock + store->appended, bytes, length);
  store->appended += length;
  return 0;
}

BYTE* FindTempStoreAppendRoom(TempJobStore* store, DWORD* room) {
  if (!IsUsable(store) || room == nullptr) return nullptr;
  const DWORD end = store->size + store->appended;
  if (end >= 0x7FFFFFFF) return nullptr;
  if (store->appendBlock == nullptr)
    store->appendBlock = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, kTempStoreAppendBlockSize));
  if (store->appendBlock == nullptr) return nullptr;
  DWORD left = kTempStoreAppendBlockSize - store->appended;
  if (left > 0x7FFFFFFF - end) left = 0x7FFFFFFF - end;
  if (left == 0) return nullptr;
  *room = left;
  return store->appendBlock + store->appended;
}

int WriteTempStore(TempJobStore* store, const void* bytes, DWORD length) {
  if (WriteAppended(store) != 0) return -1;
  return WriteAt(store, bytes, length);
}

int ReadTempStore(TempJobStore* store, void* buffer, DWORD count) {
  if (WriteAppended(store) != 0 || !IsUsable(store) || (count > 0 && buffer == nullptr)) return -1;
  if (count == 0) return 0;
  if (store->position > store->size || count > store->size - store->position || count > 0x7FFFFFFF) return -1;
  store->atEnd = 0;
  DWORD read = 0;
  if (!ReadFile(store->file, buffer, count, &read, nullptr) || read > count) return -1;
  store->position += read;
  store->atEnd = store->position == store->size ? 1 : 0;
  return static_cast<int>(read);
}

int SeekTempStore(TempJobStore* store, DWORD offset) {
  if (WriteAppended(store) != 0 || !IsUsable(store) || offset > store->size || offset > 0x7FFFFFFF) return -1;
  store->atEnd = 0;
  if (SetFilePointer(store->file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) != offset) return -1;
  store->position = offset;
  store->atEnd = offset == store->size ? 1 : 0;
  return static_cast<int>(offset);
}

int SeekTempStoreEnd(TempJobStore* store) {
  if (WriteAppended(store) != 0) return -1;
  return SeekEnd(store);
}

LONG GetTempStoreSize(const TempJobStore* store) {
  return IsUsable(store) ? static_cast<LONG>(store->size + store->appended) : -1;
}

int FlushTempStore(TempJobStore* store) { return IsUsable(store) ? WriteAppended(store) : -1; }

int ShowTempWriteError(const TempJobStore* store) {
  if (store == nullptr) return IDCANCEL;
  WCHAR drive = u' ';
  if (store->name[0] != 0 && store->name[1] == u':') {
    drive = store->name[0];
    if (drive >= u'a' && drive <= u'z') drive = static_cast<WCHAR>(drive - u'a' + u'A');
  }
  WCHAR caption[kBoxTextChars] = {};
  if (LoadStringW(store->resourceModule, kTempWriteFailureCaptionString, caption, kBoxTextChars) <= 0)
    lstrcpynW(caption, kTempWriteFailureCaption, kBoxTextChars);
  WCHAR pattern[kBoxTextChars] = {};
  if (LoadStringW(store->resourceModule, kTempWriteFailureString, pattern, kBoxTextChars) <= 0)
    lstrcpynW(pattern, kTempWriteFailureText, kBoxTextChars);
  const std::u16string text = FormatWriteErrorText(pattern, drive);
  return MessageBoxW(GetActiveWindow(), text.c_str(), caption, kTempWriteFailureBoxFlags);
}

int SetTempRegistryKey(LPCWSTR text) {
  if (text == nullptr || lstrlenW(text) >= kTempRegistryKeyChars) return -1;
  LockSlotGuard guard(kLockTempRegistry);
  lstrcpynW(g_registryKey, text, kTempRegistryKeyChars);
  return 0;
}

void ToRegistryKeyName(LPWSTR path) {
  for (; path != nullptr && *path != 0; ++path)
    if (*path == u'\\') *path = u'/';
}

int RegisterTempFile(LPCWSTR path) {
  if (path == nullptr) return -1;
  HKEY key = nullptr;
  if (RegCreateKeyW(HKEY_LOCAL_MACHINE, TempFileKey(path).c_str(), &key) != ERROR_SUCCESS) return -1;
  SYSTEMTIME now{};
  GetLocalTime(&now);
  WCHAR stamp[40];
  wsprintfW(stamp, u"[%04d,%02d/%02d,%02d:%02d:%02d]", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
            now.wSecond);
  const LSTATUS set = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(stamp),
                                     static_cast<DWORD>((lstrlenW(stamp) + 1) * sizeof(WCHAR)));
  RegCloseKey(key);
  return set == ERROR_SUCCESS ? 0 : -1;
}

int UnregisterTempFile(LPCWSTR path) {
  if (path == nullptr) return -1;
  return RegDeleteKeyW(HKEY_LOCAL_MACHINE, TempFileKey(path).c_str()) == ERROR_SUCCESS ? 0 : -1;
}

int CleanUpStaleTempFiles() {
  const std::u16string listKey = ReadRegistryKey() + kTempFileSubKey;
  HKEY key = nullptr;
  if (RegOpenKeyW(HKEY_LOCAL_MACHINE, listKey.c_str(), &key) != ERROR_SUCCESS) return -1;
  DWORD index = 0;
  for (;;) {
    WCHAR name[MAX_PATH + 1] = {};
    const LSTATUS status = RegEnumKeyW(key, index, name, MAX_PATH + 1);
    if (status != ERROR_SUCCESS) {
      RegCloseKey(key);
      return status == ERROR_NO_MORE_ITEMS ? 0 : -1;
    }
    for (WCHAR* c = name; *c != 0; ++c)
      if (*c == u'/') *c = u'\\';
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    bool gone = false;
    if (file == INVALID_HANDLE_VALUE) {
      // Only a file that is really gone loses its registration; one that cannot be opened
      // (a running job holds it) keeps it.
      const DWORD error = GetLastError();
      gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    } else {
      gone = CloseHandle(file) && DeleteFileW(name);
    }
    if (!gone) {
      ++index;
      continue;
    }
    if (UnregisterTempFile(name) != 0) {
      RegCloseKey(key);
      return -1;
    }
    index = 0;
  }
}
