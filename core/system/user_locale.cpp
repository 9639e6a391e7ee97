// User name, measurement system and country defaults.
#include "core/system/user_locale.h"

#include <array>
#include <atomic>

#include "core/runtime/lock_slots.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/identity.h"
#include "platform/kernel/locale.h"
#include "platform/registry/registry.h"

namespace {

constexpr WCHAR kWinlogonKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\";
constexpr WCHAR kDefaultUserValue[] = u"DefaultUserName";
constexpr WCHAR kUnknownUser[] = u"UnknownUser";
constexpr int kLocaleTextChars = 260;

struct CountryDefault {
  LONG country;
  BYTE first;
  BYTE second;
};

constexpr std::array<CountryDefault, 47> kCountryDefaultTable = {{
    {1, 4, 0},    {2, 4, 0},    {7, 0, 0},    {20, 0, 0},   {27, 0, 0},   {30, 0, 0},   {31, 0, 0},
    {32, 0, 0},   {33, 0, 0},   {34, 0, 0},   {36, 0, 0},   {39, 0, 0},   {40, 0, 0},   {41, 0, 0},
    {43, 0, 0},   {44, 0, 0},   {45, 0, 0},   {46, 0, 0},   {47, 0, 0},   {48, 0, 0},   {49, 0, 0},
    {51, 3, 0},   {52, 3, 0},   {54, 3, 0},   {55, 3, 0},   {56, 3, 0},   {57, 3, 0},   {58, 3, 0},
    {60, 2, 0},   {61, 0, 0},   {63, 2, 0},   {64, 0, 0},   {65, 2, 0},   {66, 2, 0},   {81, 1, 0},
    {82, 2, 0},   {86, 2, 1},   {90, 0, 0},   {91, 0, 0},   {212, 0, 0},  {351, 0, 0},  {353, 0, 0},
    {358, 0, 0},  {359, 0, 0},  {420, 0, 0},  {852, 2, 1},  {886, 2, 0},
}};

// Answers of the country table; 255 = not yet looked up.
constexpr BYTE kCountryNotLooked = 255;
constexpr BYTE kCountryUnreadable = 254;
std::atomic<BYTE> g_countryDefault{kCountryNotLooked};
std::atomic<BYTE> g_countryDefault2{kCountryNotLooked};

int g_measureSystem = 0;  // 0 = not yet asked; guarded by the measurement slot

// Country code of the user locale; false when the locale cannot be read.
bool ReadLocaleCountry(int* country) {
  WCHAR text[kLocaleTextChars] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, text, kLocaleTextChars) == 0) return false;
  *country = _wtoi(text);
  return true;
}

int ReadLocaleCountryClass() {
  int country = 0;
  if (!ReadLocaleCountry(&country)) return kMeasureMetric;
  const bool inch = country == 1 || country == 2 || (country >= 50 && country <= 59) ||
                    (country >= 500 && country <= 599);
  return inch ? kMeasureInch : kMeasureMetric;
}

BYTE LookUpCountryColumn(std::atomic<BYTE>& cache, bool second) {
  BYTE answer = cache.load(std::memory_order_relaxed);
  if (answer != kCountryNotLooked) return answer;
  int country = 0;
  if (!ReadLocaleCountry(&country)) {
    answer = kCountryUnreadable;
  } else {
    answer = 0;
    for (const CountryDefault& row : kCountryDefaultTable) {
      if (row.country == country) {
        answer = second ? row.second : row.first;
        break;
      }
    }
  }
  cache.store(answer, std::memory_order_relaxed);
  return answer;
}

// Copies a fall-back answer and reports its length with the terminator.
void AnswerUserName(LPWSTR buffer, LPDWORD size, LPCWSTR name) {
  lstrcpynW(buffer, name, static_cast<int>(*size));
  *size = static_cast<DWORD>(lstrlenW(buffer)) + 1;
}

// The Winlogon default user name into the buffer, terminated; false when it cannot be read.
bool ReadDefaultUserName(LPWSTR buffer, DWORD chars) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kWinlogonKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0;
  DWORD bytes = chars * sizeof(WCHAR);
  const LSTATUS status = RegQueryValueExW(key, kDefaultUserValue, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &bytes);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
  // The stored text may lack its terminator: add one when there is room, else refuse it.
  const DWORD n = bytes / sizeof(WCHAR);
  if (n == 0 || buffer[n - 1] != 0) {
    if (n >= chars) return false;
    buffer[n] = 0;
  }
  return buffer[0] != 0;
}

}  // namespace

int GetCurrentUserName(LPWSTR buffer, LPDWORD size) {
  if (buffer == nullptr || size == nullptr || *size == 0) return 0;
  DWORD n = *size;
  if (GetUserNameW(buffer, &n) && lstrcmpW(buffer, u"System") != 0 && lstrcmpW(buffer, u"SYSTEM") != 0) {
    *size = n;
    return 1;
  }
  if (ReadDefaultUserName(buffer, *size)) {
    *size = static_cast<DWORD>(lstrlenW(buffer)) + 1;
    return 1;
  }
  AnswerUserName(buffer, size, kUnknownUser);
  return 1;
}

int GetLocaleMeasureSystem(int modelFlag) {
  if (modelFlag == 0) return kMeasureMetric;
  LockSlotGuard lock(kLockMeasure);
  if (g_measureSystem == 0) g_measureSystem = ReadLocaleCountryClass();
  return g_measureSystem;
}

int SetLocaleMeasureSystem(int value) {
  if (value != kMeasureInch && value != kMeasureMetric) return 0;
  LockSlotGuard lock(kLockMeasure);
  g_measureSystem = value;
  return 1;
}

BYTE LookUpCountryDefault() { return LookUpCountryColumn(g_countryDefault, false); }

BYTE LookUpCountryDefault2() { return LookUpCountryColumn(g_countryDefault2, true); }
