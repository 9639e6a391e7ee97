#include "core/system/os_generation.h"

#include "core/runtime/lock_slots.h"
#include "platform/base/types.h"
#include "platform/kernel/version.h"

int GetOsGeneration(WORD* generation) {
  if (!generation) return -1;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return -1;
  WORD code = 0;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
    if (info.dwMajorVersion == 4 && info.dwMinorVersion == 0) code = 0x101;
    else if (info.dwMajorVersion >= 4) code = 0x102;
    else code = 0x100;
  } else if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) {
    code = info.dwMajorVersion < 4 ? 0x200 : info.dwMajorVersion == 4 ? 0x201 : 0x202;
  }
  *generation = code;
  return 1;
}

int CheckOsGeneration(WORD* generation) {
  WORD code = 0;
  if (!generation || GetOsGeneration(&code) != 1) return -1;
  if (code == 0x100 || code == 0x101 || code == 0x200 || code == 0x201) return 0;
  *generation = 512;
  return 1;
}

int IsWindowsXpOrLater() {
  // 0xFF: not yet asked. Computed once under the OS-version lock and kept for the process.
  static BYTE cached = 0xFF;
  LockSlotGuard guard(kLockOsVersion);
  if (cached == 0xFF) {
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof wanted;
    wanted.dwMajorVersion = 5;
    wanted.dwMinorVersion = 1;
    ULONGLONG mask = VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL);
    mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
    cached = VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION, mask) ? 1 : 0;
  }
  return cached;
}
