#include "core/job/fax_temp_files.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "core/common/common_routines.h"
#include "platform/base/addr32.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/files.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"
#include "platform/user/format.h"
#include "platform/user/window.h"

namespace {

constexpr WCHAR kDefaultKey[] = u"Software\\Varno Quelmar\\VQ Printer Driver Data\\TempFile";
constexpr WCHAR kOlderKey[] = u"Software\\Varno Quelmar\\VQ Nimbrel Printer Driver\\DirectFax\\TempFile";
constexpr WCHAR kKeySuffix[] = u"TempFile";
constexpr WCHAR kValuePrefix[] = u"DFaxInfo_";
constexpr size_t kValuePrefixChars = 9;
constexpr DWORD kKeyChars = 260;
constexpr DWORD kValueNameChars = 64;

// The registration as stored: file, window and module instance (32-bit tokens).
struct DirectFaxTempRecord {
  WCHAR file[kDirectFaxFileChars];
  DWORD window;
  DWORD instance;
};
static_assert(sizeof(DirectFaxTempRecord) == kDirectFaxRecordSize);

struct TempKeyState {
  std::mutex lock;
  WCHAR path[kKeyChars];
  TempKeyState() { lstrcpynW(path, kDefaultKey, kKeyChars); }
};

TempKeyState& KeyState() {
  static TempKeyState state;
  return state;
}

bool ReadRecord(HKEY key, LPCWSTR name, DirectFaxTempRecord* record) {
  DWORD type = 0, size = sizeof *record;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(record), &size) != ERROR_SUCCESS ||
      type != REG_BINARY || size != sizeof *record)
    return false;
  record->file[kDirectFaxFileChars - 1] = 0;
  return true;
}

// Whether the recorded sheet window still exists and belongs to the recorded instance.
bool IsSheetAlive(const DirectFaxTempRecord& record) {
  HWND window = static_cast<HWND>(FromAddr32(record.window));
  if (window == nullptr || !IsWindow(window)) return false;
  const LONG_PTR instance = GetWindowLongPtrW(window, GWLP_HINSTANCE);
  return instance != 0 && reinterpret_cast<void*>(instance) == FromAddr32(record.instance);
}

// Deletes what a registration no longer needs: true when the value is gone.
bool PurgeRecord(HKEY key, LPCWSTR name, const DirectFaxTempRecord& record) {
  if (GetFileAttributesW(record.file) != INVALID_FILE_ATTRIBUTES) {
    if (IsSheetAlive(record) || !IsFileOlderThan(record.file, kDirectFaxKeepSeconds)) return false;
    // The value goes only with its file, so that a file that cannot be deleted now is found
    // again by a later purge.
    if (!DeleteFileW(record.file)) return false;
  }
  return RegDeleteValueW(key, name) == ERROR_SUCCESS;
}

HWND FindTopLevelWindow(HWND window) {
  for (HWND parent = GetParent(window); parent != nullptr; parent = GetParent(window)) window = parent;
  return window;
}

// Whether the key holds a registration of that file (any case), window and instance.
bool IsRegistered(HKEY key, const DirectFaxTempRecord& wanted) {
  for (DWORD index = 0;; ++index) {
    WCHAR name[kValueNameChars];
    DWORD chars = kValueNameChars;
    const LSTATUS status = RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return false;  // the end, or a key that fails
    if (status != ERROR_SUCCESS || wcsncmp(name, kValuePrefix, kValuePrefixChars) != 0) continue;
    DirectFaxTempRecord record;
    if (ReadRecord(key, name, &record) && _wcsicmp(record.file, wanted.file) == 0 &&
        record.window == wanted.window && record.instance == wanted.instance)
      return true;
  }
}

// Whether the key under the current user holds a registration of that file (any case).
bool KeyRegistersFile(LPCWSTR keyPath, LPCWSTR file) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  bool found = false;
  for (DWORD index = 0; !found; ++index) {
    WCHAR name[kValueNameChars];
    DWORD chars = kValueNameChars;
    const LSTATUS status = RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;
    DirectFaxTempRecord record;
    found = status == ERROR_SUCCESS && wcsncmp(name, kValuePrefix, kValuePrefixChars) == 0 &&
            ReadRecord(key, name, &record) && _wcsicmp(record.file, file) == 0;
  }
  RegCloseKey(key);
  return found;
}

// Writes the record under the first free "DFaxInfo_<n>" name.
void WriteRegistration(HKEY key, const DirectFaxTempRecord& record) {
  for (DWORD n = 1; n != 0; ++n) {
    WCHAR name[kValueNameChars];
    wsprintfW(name, u"%s%lu", kValuePrefix, n);
    DWORD size = 0;
    const LSTATUS status = RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size);
    if (status == ERROR_SUCCESS) continue;
    if (status == ERROR_FILE_NOT_FOUND)
      RegSetValueExW(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&record), sizeof record);
    return;
  }
}

}  // namespace

void SetDirectFaxTempKey(DatabaseStream* main) {
  LPWSTR base = nullptr;
  if (main == nullptr || ReadDriverText(main, kDbDriverTextUserBase, &base) != kDbOk || base == nullptr) return;
  TempKeyState& state = KeyState();
  if (static_cast<DWORD>(lstrlenW(base)) + (sizeof kKeySuffix / sizeof(WCHAR)) <= kKeyChars) {
    std::lock_guard<std::mutex> guard(state.lock);
    lstrcpyW(state.path, base);
    lstrcatW(state.path, kKeySuffix);
  }
  ReleaseGlobalBlock(base);
}

void GetDirectFaxTempKey(LPWSTR path, DWORD chars) {
  TempKeyState& state = KeyState();
  std::lock_guard<std::mutex> guard(state.lock);
  lstrcpynW(path, state.path, static_cast<int>(chars));
}

void PurgeDirectFaxTempKey(LPCWSTR keyPath) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ | KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  // After a deletion the walk starts again from the first value; a value that is kept or
  // could not be deleted is passed, so the walk always ends.
  for (DWORD index = 0;;) {
    WCHAR name[kValueNameChars];
    DWORD chars = kValueNameChars;
    const LSTATUS status = RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    DirectFaxTempRecord record;
    if (status == ERROR_SUCCESS && wcsncmp(name, kValuePrefix, kValuePrefixChars) == 0 &&
        ReadRecord(key, name, &record) && PurgeRecord(key, name, record)) {
      index = 0;
      continue;
    }
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;
    ++index;
  }
  RegCloseKey(key);
}

void PurgeAllDirectFaxTempFiles() {
  WCHAR current[kKeyChars];
  GetDirectFaxTempKey(current, kKeyChars);
  PurgeDirectFaxTempKey(kOlderKey);
  PurgeDirectFaxTempKey(current);
}

void FinishDirectFaxSheet(HWND window, LPCWSTR file) {
  PurgeAllDirectFaxTempFiles();
  if (window == nullptr || file == nullptr || lstrlenW(file) >= kDirectFaxFileChars) return;
  const HWND top = FindTopLevelWindow(window);
  DirectFaxTempRecord record{};
  lstrcpyW(record.file, file);
  record.window = ToAddr32(top);
  record.instance = ToAddr32(reinterpret_cast<void*>(GetWindowLongPtrW(top, GWLP_HINSTANCE)));
  WCHAR current[kKeyChars];
  GetDirectFaxTempKey(current, kKeyChars);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, current, 0, nullptr, 0, KEY_READ | KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  if (!IsRegistered(key, record)) WriteRegistration(key, record);
  RegCloseKey(key);
}

BOOL IsRegisteredDirectFaxFile(DatabaseStream* main, LPCWSTR file) {
  if (file == nullptr || file[0] == 0) return FALSE;
  WCHAR current[kKeyChars];
  GetDirectFaxTempKey(current, kKeyChars);
  if (KeyRegistersFile(current, file) || KeyRegistersFile(kOlderKey, file) || KeyRegistersFile(kDefaultKey, file))
    return TRUE;
  LPWSTR base = nullptr;
  if (main == nullptr || ReadDriverText(main, kDbDriverTextUserBase, &base) != kDbOk || base == nullptr) return FALSE;
  WCHAR model[kKeyChars];
  bool found = false;
  if (static_cast<DWORD>(lstrlenW(base)) + (sizeof kKeySuffix / sizeof(WCHAR)) <= kKeyChars) {
    lstrcpyW(model, base);
    lstrcatW(model, kKeySuffix);
    found = KeyRegistersFile(model, file);
  }
  ReleaseGlobalBlock(base);
  return found ? TRUE : FALSE;
}
