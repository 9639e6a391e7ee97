#include "platform/kernel/version.h"

#include <cstring>
#include <mutex>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace {

struct Version {
  DWORD major = 10, minor = 0, build = 19045;
  WORD spMajor = 0, spMinor = 0;
  std::u16string csd;
  BYTE productType = VER_NT_WORKSTATION;
  WORD suiteMask = 0x0100;  // VER_SUITE_SINGLEUSERTS, as a workstation reports
};

std::mutex versionLock;
Version current;

void ResetVersion() {
  std::lock_guard<std::mutex> guard(versionLock);
  current = Version{};
}
const bool registered = (SimAddResetHook(&ResetVersion), true);

Version Current() {
  std::lock_guard<std::mutex> guard(versionLock);
  return current;
}

// The 3-bit condition of one type bit inside a condition mask.
BYTE ConditionOf(ULONGLONG mask, DWORD typeBit) {
  int index = 0;
  while ((1u << index) != typeBit) ++index;
  return static_cast<BYTE>((mask >> (index * 3)) & 7);
}

bool Compare(ULONGLONG actual, ULONGLONG wanted, BYTE condition) {
  switch (condition) {
    case VER_EQUAL: return actual == wanted;
    case VER_GREATER: return actual > wanted;
    case VER_GREATER_EQUAL: return actual >= wanted;
    case VER_LESS: return actual < wanted;
    case VER_LESS_EQUAL: return actual <= wanted;
    default: return false;
  }
}

}  // namespace

BOOL GetVersionExW(LPOSVERSIONINFOW info) {
  if (info == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  if (SimCallFails("GetVersionExW")) return FALSE;
  DWORD size = info->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOW) && size != sizeof(OSVERSIONINFOEXW)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  Version v = Current();
  info->dwMajorVersion = v.major;
  info->dwMinorVersion = v.minor;
  info->dwBuildNumber = v.build;
  info->dwPlatformId = VER_PLATFORM_WIN32_NT;
  lstrcpynW(info->szCSDVersion, v.csd.c_str(), 128);
  if (size == sizeof(OSVERSIONINFOEXW)) {
    auto* ex = reinterpret_cast<LPOSVERSIONINFOEXW>(info);
    ex->wServicePackMajor = v.spMajor;
    ex->wServicePackMinor = v.spMinor;
    ex->wSuiteMask = v.suiteMask;
    ex->wProductType = v.productType;
    ex->wReserved = 0;
  }
  return TRUE;
}

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
  if (info == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  DWORD size = info->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  OSVERSIONINFOEXW wide{};
  wide.dwOSVersionInfoSize = sizeof(wide);
  if (!GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&wide))) return FALSE;
  info->dwMajorVersion = wide.dwMajorVersion;
  info->dwMinorVersion = wide.dwMinorVersion;
  info->dwBuildNumber = wide.dwBuildNumber;
  info->dwPlatformId = wide.dwPlatformId;
  std::memset(info->szCSDVersion, 0, sizeof(info->szCSDVersion));
  WideCharToMultiByte(CP_ACP, 0, wide.szCSDVersion, -1, info->szCSDVersion, 127, nullptr, nullptr);
  if (size == sizeof(OSVERSIONINFOEXA)) {
    auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
    ex->wServicePackMajor = wide.wServicePackMajor;
    ex->wServicePackMinor = wide.wServicePackMinor;
    ex->wSuiteMask = wide.wSuiteMask;
    ex->wProductType = wide.wProductType;
    ex->wReserved = 0;
  }
  return TRUE;
}

DWORD GetVersion() {
  Version v = Current();
  return (v.major & 0xFF) | ((v.minor & 0xFF) << 8) | ((v.build & 0x7FFF) << 16);
}

ULONGLONG VerSetConditionMask(ULONGLONG conditionMask, DWORD typeMask, BYTE condition) {
  if (typeMask == 0) return conditionMask;
  for (int index = 0; index < 8; ++index) {
    if (!(typeMask & (1u << index))) continue;
    conditionMask &= ~(7ull << (index * 3));
    conditionMask |= static_cast<ULONGLONG>(condition & 7) << (index * 3);
  }
  return conditionMask;
}

BOOL VerifyVersionInfoW(LPOSVERSIONINFOEXW info, DWORD typeMask, ULONGLONG conditionMask) {
  if (info == nullptr || typeMask == 0 || conditionMask == 0) {
    SetLastError(ERROR_BAD_ARGUMENTS);
    return FALSE;
  }
  Version v = Current();
  bool ok = true;
  // Major, minor and service pack as one version number, compared with the condition of
  // the most significant field asked for.
  constexpr DWORD kVersionFields[] = {VER_MAJORVERSION, VER_MINORVERSION, VER_SERVICEPACKMAJOR, VER_SERVICEPACKMINOR};
  ULONGLONG actual = 0, wanted = 0;
  BYTE condition = 0;
  const ULONGLONG actualParts[] = {v.major, v.minor, v.spMajor, v.spMinor};
  const ULONGLONG wantedParts[] = {info->dwMajorVersion, info->dwMinorVersion, info->wServicePackMajor, info->wServicePackMinor};
  for (int i = 0; i < 4; ++i) {
    actual <<= 16;
    wanted <<= 16;
    if (!(typeMask & kVersionFields[i])) continue;
    actual |= actualParts[i] & 0xFFFF;
    wanted |= wantedParts[i] & 0xFFFF;
    if (condition == 0) condition = ConditionOf(conditionMask, kVersionFields[i]);
  }
  if (condition != 0) ok = Compare(actual, wanted, condition);
  if (ok && (typeMask & VER_BUILDNUMBER))
    ok = Compare(v.build, info->dwBuildNumber, ConditionOf(conditionMask, VER_BUILDNUMBER));
  if (ok && (typeMask & VER_PLATFORMID))
    ok = Compare(VER_PLATFORM_WIN32_NT, info->dwPlatformId, ConditionOf(conditionMask, VER_PLATFORMID));
  if (ok && (typeMask & VER_PRODUCT_TYPE))
    ok = Compare(v.productType, info->wProductType, ConditionOf(conditionMask, VER_PRODUCT_TYPE));
  if (ok && (typeMask & VER_SUITENAME)) {
    BYTE c = ConditionOf(conditionMask, VER_SUITENAME);
    ok = c == VER_OR ? (v.suiteMask & info->wSuiteMask) != 0 : (v.suiteMask & info->wSuiteMask) == info->wSuiteMask;
  }
  if (!ok) {
    SetLastError(ERROR_OLD_WIN_VERSION);
    return FALSE;
  }
  return TRUE;
}

void SimSetVersion(DWORD major, DWORD minor, DWORD build, WORD servicePackMajor, WORD servicePackMinor,
                   const std::u16string& csdVersion, BYTE productType) {
  std::lock_guard<std::mutex> guard(versionLock);
  current.major = major;
  current.minor = minor;
  current.build = build;
  current.spMajor = servicePackMajor;
  current.spMinor = servicePackMinor;
  current.csd = csdVersion;
  current.productType = productType;
}
