#include "platform/kernel/sync.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class Sync : public SandboxTest {};

TEST_F(Sync, CriticalSectionsAreRecursive) {
  int live = SimLiveCriticalSections();
  CRITICAL_SECTION cs;
  EXPECT_TRUE(InitializeCriticalSectionAndSpinCount(&cs, 4000));
  EXPECT_EQ(SimLiveCriticalSections(), live + 1);
  EnterCriticalSection(&cs);
  EnterCriticalSection(&cs);  // the same thread enters again
  EXPECT_EQ(cs.RecursionCount, 2);
  std::atomic<bool> entered{false};
  std::atomic<bool> tried{false};
  std::thread other([&] {
    EXPECT_FALSE(TryEnterCriticalSection(&cs));
    tried = true;
    EnterCriticalSection(&cs);
    entered = true;
    LeaveCriticalSection(&cs);
  });
  while (!tried) std::this_thread::yield();  // the other thread has seen the section held
  LeaveCriticalSection(&cs);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(entered);  // still held once
  LeaveCriticalSection(&cs);
  other.join();
  EXPECT_TRUE(entered);
  EXPECT_EQ(cs.RecursionCount, 0);
  DeleteCriticalSection(&cs);
  EXPECT_EQ(SimLiveCriticalSections(), live);
}

TEST_F(Sync, EventsSemaphoresAndTimeouts) {
  HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE automatic = CreateEventW(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic, 0), WAIT_TIMEOUT);  // reset by the wait
  SetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);  // stays set
  ResetEvent(manual);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForSingleObject(manual, 30), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));

  // Another thread's signal ends an infinite wait.
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    SetEvent(manual);
  });
  EXPECT_EQ(WaitForSingleObject(manual, INFINITE), WAIT_OBJECT_0);
  setter.join();

  HANDLE semaphore = CreateSemaphoreW(nullptr, 1, 2, nullptr);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
  LONG previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
  EXPECT_EQ(previous, 0);
  EXPECT_FALSE(ReleaseSemaphore(semaphore, 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
  HANDLE both[] = {manual, semaphore};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
  ResetEvent(manual);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_OBJECT_0 + 1);

  EXPECT_EQ(CreateSemaphoreW(nullptr, 3, 2, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  for (HANDLE h : {manual, automatic, semaphore}) EXPECT_TRUE(CloseHandle(h));
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(SetEvent(manual));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Sync, NamedObjectsAndMutexes) {
  HANDLE a = CreateEventW(nullptr, TRUE, FALSE, u"Qv.Ready");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  HANDLE b = CreateEventA(nullptr, TRUE, FALSE, "Qv.Ready");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  SetEvent(a);
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_OBJECT_0);  // the same event
  EXPECT_EQ(CreateSemaphoreW(nullptr, 0, 1, u"Qv.Ready"), nullptr);  // a name of another kind
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

  HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // owner re-enters
  std::thread other([&] {
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_TIMEOUT);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
  });
  other.join();
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  for (HANDLE h : {a, b, mutex}) CloseHandle(h);
}

TEST_F(Sync, InterlockedAndIdentities) {
  LONG volatile value = 5;
  EXPECT_EQ(InterlockedIncrement(&value), 6);
  EXPECT_EQ(InterlockedDecrement(&value), 5);
  EXPECT_EQ(InterlockedExchange(&value, 9), 5);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 8), 9);  // no match: unchanged
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 9), 9);
  EXPECT_EQ(value, 1);
  EXPECT_EQ(InterlockedExchangeAdd(&value, 10), 1);
  EXPECT_NE(GetCurrentProcessId(), 0u);
  DWORD mine = GetCurrentThreadId();
  DWORD theirs = 0;
  std::thread([&] { theirs = GetCurrentThreadId(); }).join();
  EXPECT_NE(mine, theirs);
  EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)));
}

TEST_F(Sync, ClockSleepAndTimeConversions) {
  SimSetInstantSleep(TRUE);
  SYSTEMTIME local = {2024, 2, 0, 29, 23, 59, 58, 500};
  SimSetTimeZoneBias(-540);  // nine hours ahead of UTC
  SimSetClock(local);
  DWORD ticks = GetTickCount();
  auto start = std::chrono::steady_clock::now();
  Sleep(60000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_GE(GetTickCount() - ticks, 60000u);
  EXPECT_EQ(SimSleptMilliseconds(), 60000u);
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_EQ(now.wYear, 2024);
  EXPECT_EQ(now.wMonth, 3);
  EXPECT_EQ(now.wDay, 1);
  EXPECT_EQ(now.wDayOfWeek, 5);  // a Friday
  EXPECT_EQ(now.wHour, 0);
  EXPECT_EQ(now.wMinute, 0);
  EXPECT_EQ(now.wSecond, 58);
  EXPECT_EQ(now.wMilliseconds, 500);
  GetSystemTime(&now);
  EXPECT_EQ(now.wDay, 29);
  EXPECT_EQ(now.wHour, 15);

  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  SYSTEMTIME back;
  EXPECT_TRUE(FileTimeToSystemTime(&ft, &back));
  EXPECT_EQ(back.wHour, 15);
  FILETIME localFt;
  FileTimeToLocalFileTime(&ft, &localFt);
  EXPECT_EQ(CompareFileTime(&localFt, &ft), 1);

  LONGLONG t = _time64(nullptr);
  struct tm parts;
  EXPECT_EQ(_localtime64_s(&parts, &t), 0);
  EXPECT_EQ(parts.tm_year, 124);
  EXPECT_EQ(parts.tm_mon, 2);
  EXPECT_EQ(parts.tm_mday, 1);
  EXPECT_EQ(_mktime64(&parts), t);
  parts.tm_mday += 31;  // normalised into April
  EXPECT_EQ(_mktime64(&parts), t + 31 * 86400);
  EXPECT_EQ(parts.tm_mon, 3);

  SYSTEMTIME bad = {2023, 2, 0, 29, 0, 0, 0, 0};  // not a leap year
  EXPECT_FALSE(SystemTimeToFileTime(&bad, &ft));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  FILETIME huge = {0xFFFFFFFFu, 0xFFFFFFFFu};
  EXPECT_FALSE(FileTimeToSystemTime(&huge, &back));
  SYSTEMTIME epoch = {1601, 1, 0, 1, 0, 0, 0, 0};
  EXPECT_TRUE(SystemTimeToFileTime(&epoch, &ft));
  EXPECT_EQ(ft.dwLowDateTime, 0u);
  EXPECT_EQ(ft.dwHighDateTime, 0u);
}

}  // namespace
