#include "platform/kernel/time.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <thread>

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace {

constexpr ULONGLONG kTicksPerMs = 10000;                 // FILETIME counts 100 ns
constexpr ULONGLONG kTicksPerSecond = 10000000;
constexpr LONGLONG kUnixEpochSeconds = 11644473600LL;    // 1601-01-01 to 1970-01-01
constexpr LONGLONG kMaxFileTime = 0x7FFFFFFFFFFFFFFFLL;

struct ClockState {
  std::mutex lock;
  bool frozen = false;
  ULONGLONG frozenAt = 0;   // FILETIME value (UTC) when stopped, before later advances
  ULONGLONG advancedMs = 0; // total of instant sleeps and SimAdvanceClock
  ULONGLONG advancedAtFreeze = 0;
  LONG biasMinutes = 0;
  bool instantSleep = false;
  ULONGLONG sleptMs = 0;
};

ClockState& State() {
  static ClockState state;
  return state;
}

void ResetClock() {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.frozen = false;
  s.biasMinutes = 0;
  s.instantSleep = false;
  s.sleptMs = 0;
}
const bool registered = (SimAddResetHook(&ResetClock), true);

ULONGLONG HostFileTime() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  auto hundredNs = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() / 100;
  return static_cast<ULONGLONG>(hundredNs) + static_cast<ULONGLONG>(kUnixEpochSeconds) * kTicksPerSecond;
}

ULONGLONG NowUtc() {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.frozen) return s.frozenAt + (s.advancedMs - s.advancedAtFreeze) * kTicksPerMs;
  return HostFileTime() + s.advancedMs * kTicksPerMs;
}

LONGLONG BiasTicks() {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return static_cast<LONGLONG>(s.biasMinutes) * 60 * static_cast<LONGLONG>(kTicksPerSecond);
}

ULONGLONG ToValue(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }
FILETIME FromValue(ULONGLONG v) { return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)}; }

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
LONGLONG DaysFromCivil(LONGLONG y, unsigned m, unsigned d) {
  y -= m <= 2;
  LONGLONG era = (y >= 0 ? y : y - 399) / 400;
  unsigned yoe = static_cast<unsigned>(y - era * 400);
  unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<LONGLONG>(doe) - 719468;
}

void CivilFromDays(LONGLONG z, LONGLONG& y, unsigned& m, unsigned& d) {
  z += 719468;
  LONGLONG era = (z >= 0 ? z : z - 146096) / 146097;
  unsigned doe = static_cast<unsigned>(z - era * 146097);
  unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  y = static_cast<LONGLONG>(yoe) + era * 400;
  unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y += m <= 2;
}

bool IsLeap(LONGLONG y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

unsigned DaysInMonth(LONGLONG y, unsigned m) {
  static constexpr unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

SYSTEMTIME ToSystemTime(ULONGLONG v) {
  LONGLONG seconds = static_cast<LONGLONG>(v / kTicksPerSecond) - kUnixEpochSeconds;
  LONGLONG days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  LONGLONG rest = seconds - days * 86400;
  LONGLONG y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  SYSTEMTIME st;
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
  st.wHour = static_cast<WORD>(rest / 3600);
  st.wMinute = static_cast<WORD>(rest / 60 % 60);
  st.wSecond = static_cast<WORD>(rest % 60);
  st.wMilliseconds = static_cast<WORD>(v / kTicksPerMs % 1000);
  return st;
}

bool FromSystemTime(const SYSTEMTIME& st, ULONGLONG& v) {
  if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
      st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 ||
      st.wMilliseconds > 999)
    return false;
  LONGLONG days = DaysFromCivil(st.wYear, st.wMonth, st.wDay);
  LONGLONG seconds = days * 86400 + st.wHour * 3600 + st.wMinute * 60 + st.wSecond + kUnixEpochSeconds;
  v = static_cast<ULONGLONG>(seconds) * kTicksPerSecond + st.wMilliseconds * kTicksPerMs;
  return true;
}

void FillTm(struct tm* out, LONGLONG seconds) {
  LONGLONG days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
  LONGLONG rest = seconds - days * 86400;
  LONGLONG y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  *out = {};
  out->tm_year = static_cast<int>(y - 1900);
  out->tm_mon = static_cast<int>(m - 1);
  out->tm_mday = static_cast<int>(d);
  out->tm_hour = static_cast<int>(rest / 3600);
  out->tm_min = static_cast<int>(rest / 60 % 60);
  out->tm_sec = static_cast<int>(rest % 60);
  out->tm_wday = static_cast<int>(((days % 7) + 7 + 4) % 7);
  out->tm_yday = static_cast<int>(days - DaysFromCivil(y, 1, 1));
  out->tm_isdst = 0;
}

ULONGLONG SteadyMs() {
  return static_cast<ULONGLONG>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now().time_since_epoch())
                                    .count());
}

ULONGLONG AdvancedMs() {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.advancedMs;
}

}  // namespace

void Sleep(DWORD milliseconds) {
  ClockState& s = State();
  {
    std::lock_guard<std::mutex> guard(s.lock);
    s.sleptMs += milliseconds == INFINITE ? 0 : milliseconds;
    if (s.instantSleep) {
      if (milliseconds != INFINITE) s.advancedMs += milliseconds;
      return;
    }
  }
  if (milliseconds == INFINITE) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD SleepEx(DWORD milliseconds, BOOL) {
  Sleep(milliseconds);
  return 0;
}

ULONGLONG GetTickCount64() { return SteadyMs() + AdvancedMs(); }
DWORD GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  if (frequency == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  frequency->QuadPart = 10000000;  // 100 ns units
  return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  if (count == nullptr) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch());
  count->QuadPart = ns.count() / 100 + static_cast<LONGLONG>(AdvancedMs() * kTicksPerMs);
  return TRUE;
}

void GetSystemTimeAsFileTime(LPFILETIME time) {
  if (time != nullptr) *time = FromValue(NowUtc());
}

void GetSystemTime(LPSYSTEMTIME time) {
  if (time != nullptr) *time = ToSystemTime(NowUtc());
}

void GetLocalTime(LPSYSTEMTIME time) {
  if (time != nullptr) *time = ToSystemTime(static_cast<ULONGLONG>(static_cast<LONGLONG>(NowUtc()) - BiasTicks()));
}

BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime) {
  if (fileTime == nullptr || systemTime == nullptr || ToValue(*fileTime) > static_cast<ULONGLONG>(kMaxFileTime)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *systemTime = ToSystemTime(ToValue(*fileTime));
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime) {
  ULONGLONG v;
  if (systemTime == nullptr || fileTime == nullptr || !FromSystemTime(*systemTime, v)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *fileTime = FromValue(v);
  return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime) {
  if (fileTime == nullptr || localFileTime == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *localFileTime = FromValue(static_cast<ULONGLONG>(static_cast<LONGLONG>(ToValue(*fileTime)) - BiasTicks()));
  return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime) {
  if (fileTime == nullptr || localFileTime == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *fileTime = FromValue(static_cast<ULONGLONG>(static_cast<LONGLONG>(ToValue(*localFileTime)) + BiasTicks()));
  return TRUE;
}

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
  if (a == nullptr || b == nullptr) return 0;
  ULONGLONG va = ToValue(*a), vb = ToValue(*b);
  return va < vb ? -1 : (va > vb ? 1 : 0);
}

LONGLONG _time64(LONGLONG* out) {
  LONGLONG seconds = static_cast<LONGLONG>(NowUtc() / kTicksPerSecond) - kUnixEpochSeconds;
  if (out != nullptr) *out = seconds;
  return seconds;
}

errno_t _gmtime64_s(struct tm* out, const LONGLONG* time) {
  if (out == nullptr || time == nullptr || *time < 0) {
    if (out != nullptr) *out = {};
    return EINVAL;
  }
  FillTm(out, *time);
  return 0;
}

errno_t _localtime64_s(struct tm* out, const LONGLONG* time) {
  if (out == nullptr || time == nullptr || *time < 0) {
    if (out != nullptr) *out = {};
    return EINVAL;
  }
  FillTm(out, *time - BiasTicks() / static_cast<LONGLONG>(kTicksPerSecond));
  return 0;
}

LONGLONG _mktime64(struct tm* t) {
  if (t == nullptr) return -1;
  // Normalise the month into its year, then let days, hours, minutes and seconds carry.
  LONGLONG year = 1900LL + t->tm_year + (t->tm_mon >= 0 ? t->tm_mon / 12 : (t->tm_mon - 11) / 12);
  LONGLONG month = ((t->tm_mon % 12) + 12) % 12;
  LONGLONG local = DaysFromCivil(year, static_cast<unsigned>(month + 1), 1) * 86400 +
                   (static_cast<LONGLONG>(t->tm_mday) - 1) * 86400 + static_cast<LONGLONG>(t->tm_hour) * 3600 +
                   static_cast<LONGLONG>(t->tm_min) * 60 + t->tm_sec;
  LONGLONG utc = local + BiasTicks() / static_cast<LONGLONG>(kTicksPerSecond);
  if (utc < 0) return -1;
  FillTm(t, local);
  return utc;
}

void SimSetClock(const SYSTEMTIME& localTime) {
  ULONGLONG v;
  if (!FromSystemTime(localTime, v)) return;
  LONGLONG bias = BiasTicks();
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.frozen = true;
  s.frozenAt = static_cast<ULONGLONG>(static_cast<LONGLONG>(v) + bias);
  s.advancedAtFreeze = s.advancedMs;
}

void SimRunClock() {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.frozen = false;
}

void SimAdvanceClock(DWORD milliseconds) {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.advancedMs += milliseconds;
}

void SimSetTimeZoneBias(LONG minutes) {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.biasMinutes = minutes;
}

void SimSetInstantSleep(BOOL instant) {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.instantSleep = instant != FALSE;
}

ULONGLONG SimSleptMilliseconds() {
  ClockState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.sleptMs;
}
