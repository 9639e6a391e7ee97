// Reading and writing values in a printer's per-user key.
#include "core/store/user_store.h"

#include "core/database/database.h"
#include "core/database/model_texts.h"
#include "core/store/printer_id.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"

namespace {

constexpr WCHAR kHexDigits[] = u"0123456789ABCDEF";
constexpr WCHAR kUserSettingInfoName[] = u"UserSettingInfo";
// Value names are at most this many characters (with the terminator) when copying trees.
constexpr DWORD kValueNameChars = 261;

// The per-user key path: 1, 0 when the printer has (or, creating, can get) no identity,
// -1 without a base text or when the path does not fit. The base text is read from the
// printer's model unless the caller gives it (userBase).
int GetUserKeyPath(HANDLE printer, BOOL createIdentity, LPCWSTR subKey, LPWSTR out, DWORD outChars,
                   LPCWSTR userBase = nullptr) {
  LPWSTR read = userBase == nullptr ? ReadUserBaseText(printer) : nullptr;
  LPCWSTR base = userBase != nullptr ? userBase : read;
  if (base == nullptr) return -1;
  BYTE id[kPrinterIdSize];
  int result = createIdentity ? EnsurePrinterId(printer, id) : ReadPrinterId(printer, id);
  if (result == 1 && !BuildUserKeyPath(base, id, subKey, out, outChars)) result = -1;
  if (read != nullptr) ReleaseGlobalBlock(read);
  return result;
}

// Opens the existing per-user key for reading: kUserValueRead with the key, or the reason.
int OpenExistingUserKey(HANDLE printer, LPCWSTR subKey, REGSAM access, HKEY* key, LPCWSTR userBase = nullptr) {
  WCHAR path[kUserKeyPathChars];
  const int found = GetUserKeyPath(printer, FALSE, subKey, path, kUserKeyPathChars, userBase);
  if (found != 1) return found == 0 ? kUserValueAbsent : kUserStoreUnavailable;
  return RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, access, key) == ERROR_SUCCESS ? kUserValueRead : kUserValueAbsent;
}

}  // namespace

BOOL BuildUserKeyPath(LPCWSTR base, const BYTE* id, LPCWSTR subKey, LPWSTR out, DWORD outChars) {
  if (base == nullptr || id == nullptr || out == nullptr) return FALSE;
  const DWORD baseChars = DWORD(lstrlenW(base));
  const DWORD subChars = subKey != nullptr && *subKey != 0 ? DWORD(lstrlenW(subKey)) + 1 : 0;
  if (baseChars + 2 * kPrinterIdSize + subChars + 1 > outChars) return FALSE;
  LPWSTR p = out;
  for (DWORD i = 0; i < baseChars; ++i) *p++ = base[i];
  for (DWORD i = 0; i < kPrinterIdSize; ++i) {
    *p++ = kHexDigits[id[i] >> 4];
    *p++ = kHexDigits[id[i] & 15];
  }
  if (subChars != 0) {
    *p++ = u'\\';
    for (LPCWSTR s = subKey; *s != 0;) *p++ = *s++;
  }
  *p = 0;
  return TRUE;
}

int OpenUserKey(HANDLE printer, LPCWSTR subKey, HKEY* key) {
  if (key == nullptr) return 0;
  WCHAR path[kUserKeyPathChars];
  if (GetUserKeyPath(printer, TRUE, subKey, path, kUserKeyPathChars) != 1) return 0;
  return RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                         key, nullptr) == ERROR_SUCCESS
             ? 1
             : 0;
}

int WriteUserValue(HANDLE printer, const void* data, DWORD size, DWORD type, LPCWSTR subKey, LPCWSTR name) {
  if (data == nullptr && size != 0) return 0;
  HKEY key;
  if (!OpenUserKey(printer, subKey, &key)) return 0;
  const LSTATUS status = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? 1 : 0;
}

int ReadUserValue(HANDLE printer, void* buffer, DWORD* size, DWORD type, LPCWSTR subKey, LPCWSTR name,
                  LPCWSTR userBase) {
  if (buffer == nullptr || size == nullptr) return kUserValueAbsent;
  const bool text = type == REG_SZ;
  if (text && *size < 2) return kUserValueAbsent;
  HKEY key;
  const int opened = OpenExistingUserKey(printer, subKey, KEY_READ, &key, userBase);
  if (opened != kUserValueRead) return opened;
  DWORD storedType = 0, stored = 0;
  int result = kUserValueAbsent;
  if (RegQueryValueExW(key, name, nullptr, &storedType, nullptr, &stored) == ERROR_SUCCESS && storedType == type) {
    DWORD room = text ? *size - 2 : *size;
    if (stored <= room && RegQueryValueExW(key, name, nullptr, &storedType, static_cast<BYTE*>(buffer), &room) ==
                              ERROR_SUCCESS) {
      if (text) {
        // Ends the text at the last whole character read.
        BYTE* bytes = static_cast<BYTE*>(buffer);
        const DWORD end = room & ~DWORD(1);
        bytes[end] = 0;
        bytes[end + 1] = 0;
      }
      *size = room;
      result = kUserValueRead;
    }
  }
  RegCloseKey(key);
  return result;
}

int ReadUserValueAlloc(HANDLE printer, DWORD type, LPCWSTR subKey, LPCWSTR name, BYTE** block, DWORD* size) {
  if (block == nullptr || size == nullptr) return kUserValueAbsent;
  *block = nullptr;
  HKEY key;
  const int opened = OpenExistingUserKey(printer, subKey, KEY_READ, &key);
  if (opened != kUserValueRead) return opened;
  DWORD storedType = 0, stored = 0;
  int result = kUserValueAbsent;
  if (RegQueryValueExW(key, name, nullptr, &storedType, nullptr, &stored) == ERROR_SUCCESS && storedType == type &&
      stored > 0) {
    BYTE* data = static_cast<BYTE*>(GlobalAlloc(GPTR, stored));
    DWORD room = stored;
    if (data != nullptr && RegQueryValueExW(key, name, nullptr, &storedType, data, &room) == ERROR_SUCCESS &&
        room == stored) {
      *block = data;
      *size = stored;
      result = kUserValueRead;
    } else if (data != nullptr) {
      GlobalFree(data);
    }
  }
  RegCloseKey(key);
  return result;
}

int DeleteUserKey(HANDLE printer, LPCWSTR subKey) {
  WCHAR path[kUserKeyPathChars];
  if (GetUserKeyPath(printer, FALSE, subKey, path, kUserKeyPathChars) != 1) return 0;
  return RegDeleteKeyW(HKEY_CURRENT_USER, path) == ERROR_SUCCESS ? 1 : 0;
}

int ProbeUserKey(HANDLE printer, LPCWSTR subKey) {
  HKEY key;
  const int opened = OpenExistingUserKey(printer, subKey, KEY_READ, &key);
  if (opened == kUserValueRead) RegCloseKey(key);
  return opened;
}

int HasUserSettingInfoValue(HANDLE printer) {
  HKEY key;
  if (OpenExistingUserKey(printer, nullptr, KEY_READ, &key) != kUserValueRead) return 0;
  const bool present = RegQueryValueExW(key, kUserSettingInfoName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return present ? 1 : 0;
}

int BuildStampsKeyPath(HANDLE printer, LPWSTR out, DWORD outChars, WORD kind) {
  return GetUserKeyPath(printer, TRUE, kind == 0 ? u"Stamps" : u"Stamps\\Others", out, outChars) == 1 ? 1 : 0;
}

int BuildPaperMarginKeyPath(HANDLE printer, LPWSTR out, DWORD outChars) {
  return GetUserKeyPath(printer, TRUE, u"Paper Margin", out, outChars) == 1 ? 1 : 0;
}

int CopyKeyTree(HKEY destination, HKEY source) {
  for (DWORD index = 0;; ++index) {
    WCHAR name[kValueNameChars];
    DWORD nameChars = kValueNameChars, type = 0, size = 0;
    LSTATUS status = RegEnumValueW(source, index, name, &nameChars, nullptr, &type, nullptr, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) return 0;
    BYTE* data = size > 0 ? static_cast<BYTE*>(GlobalAlloc(GPTR, size)) : nullptr;
    if (size > 0 && data == nullptr) return 0;
    nameChars = kValueNameChars;
    DWORD read = size;
    status = RegEnumValueW(source, index, name, &nameChars, nullptr, &type, data, &read);
    if (status == ERROR_SUCCESS) status = RegSetValueExW(destination, name, 0, type, data, read);
    GlobalFree(data);
    if (status != ERROR_SUCCESS) return 0;
  }
  for (DWORD index = 0;; ++index) {
    WCHAR name[MAX_KEY_NAME + 1];
    DWORD nameChars = MAX_KEY_NAME + 1;
    LSTATUS status = RegEnumKeyExW(source, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) return 0;
    HKEY from, to;
    if (RegOpenKeyExW(source, name, 0, KEY_READ, &from) != ERROR_SUCCESS) return 0;
    if (RegCreateKeyExW(destination, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &to,
                        nullptr) != ERROR_SUCCESS) {
      RegCloseKey(from);
      return 0;
    }
    const int copied = CopyKeyTree(to, from);
    RegCloseKey(to);
    RegCloseKey(from);
    if (!copied) return 0;
  }
  return 1;
}
