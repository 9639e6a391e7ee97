#include "graphics/job/job_user_name.h"

#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/identity.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"

namespace {

constexpr WCHAR kWinlogonKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr WCHAR kDefaultUserValue[] = u"DefaultUserName";
constexpr WCHAR kServiceUser[] = u"SYSTEM";

// The Winlogon default user into name (at most 64 characters); 0 or -1.
int ReadDefaultUserName(WCHAR name[kJobUserNameChars]) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kWinlogonKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  int result = -1;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, kDefaultUserValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0) {
    auto* value = static_cast<LPWSTR>(GlobalAlloc(GPTR, size));
    if (value != nullptr) {
      if (RegQueryValueExW(key, kDefaultUserValue, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size) ==
          ERROR_SUCCESS) {
        // The stored text need not be terminated: only its own characters are read.
        DWORD chars = size / sizeof(WCHAR);
        if (chars > kJobUserNameChars - 1) chars = kJobUserNameChars - 1;
        DWORD n = 0;
        while (n < chars && value[n] != 0) ++n;
        std::memcpy(name, value, n * sizeof(WCHAR));
        name[n] = 0;
        result = 0;
      }
      GlobalFree(value);
    }
  }
  RegCloseKey(key);
  return result;
}

}  // namespace

int GetJobUserName(void*, void*, WCHAR name[kJobUserNameChars]) {
  name[0] = 0;
  DWORD size = kJobUserNameChars;
  if (GetUserNameW(name, &size) && lstrcmpW(name, kServiceUser) != 0) return 0;
  name[0] = 0;
  return ReadDefaultUserName(name);
}
