// Synchronisation: recursive critical sections, events, semaphores and mutexes with waits
// and timeouts, interlocked operations, process and thread identities.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// The platform's 40-byte record. DebugInfo holds the layer's lock; RecursionCount and
// OwningThread show the state, as on the platform.
struct CRITICAL_SECTION {
  void* DebugInfo;
  LONG LockCount;
  LONG RecursionCount;
  HANDLE OwningThread;
  HANDLE LockSemaphore;
  ULONG_PTR SpinCount;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;
static_assert(sizeof(CRITICAL_SECTION) == 40);

PLATFORM_API void InitializeCriticalSection(LPCRITICAL_SECTION cs);
PLATFORM_API BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD spinCount);
PLATFORM_API void EnterCriticalSection(LPCRITICAL_SECTION cs);
PLATFORM_API BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs);
PLATFORM_API void LeaveCriticalSection(LPCRITICAL_SECTION cs);
PLATFORM_API void DeleteCriticalSection(LPCRITICAL_SECTION cs);

// Named objects of the same kind are shared (the second creation answers the same object
// with ERROR_ALREADY_EXISTS).
PLATFORM_API HANDLE CreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCWSTR name);
PLATFORM_API HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
PLATFORM_API BOOL SetEvent(HANDLE event);
PLATFORM_API BOOL ResetEvent(HANDLE event);
// FALSE with ERROR_INVALID_PARAMETER when initial > maximum or maximum < 1.
PLATFORM_API HANDLE CreateSemaphoreW(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount, LPCWSTR name);
PLATFORM_API HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount, LPCSTR name);
// FALSE with ERROR_TOO_MANY_POSTS when the count would pass the maximum.
PLATFORM_API BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount);
PLATFORM_API HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCWSTR name);
PLATFORM_API HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
// FALSE with ERROR_NOT_OWNER when the calling thread does not own the mutex.
PLATFORM_API BOOL ReleaseMutex(HANDLE mutex);

// Waits really wait (timeouts in real milliseconds; instant sleeps do not shorten them).
PLATFORM_API DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
PLATFORM_API DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

PLATFORM_API DWORD GetCurrentProcessId();
PLATFORM_API DWORD GetCurrentThreadId();
// Pseudo handles, as on the platform: (HANDLE)-1 and (HANDLE)-2.
PLATFORM_API HANDLE GetCurrentProcess();
PLATFORM_API HANDLE GetCurrentThread();

// Interlocked operations on 32-bit and pointer-sized values.
inline LONG InterlockedIncrement(LONG volatile* p) { return __atomic_add_fetch(p, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedDecrement(LONG volatile* p) { return __atomic_sub_fetch(p, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedExchange(LONG volatile* p, LONG v) { return __atomic_exchange_n(p, v, __ATOMIC_SEQ_CST); }
inline LONG InterlockedExchangeAdd(LONG volatile* p, LONG v) { return __atomic_fetch_add(p, v, __ATOMIC_SEQ_CST); }
inline LONG InterlockedCompareExchange(LONG volatile* p, LONG exchange, LONG comparand) {
  __atomic_compare_exchange_n(p, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}
inline PVOID InterlockedExchangePointer(PVOID volatile* p, PVOID v) { return __atomic_exchange_n(p, v, __ATOMIC_SEQ_CST); }
inline PVOID InterlockedCompareExchangePointer(PVOID volatile* p, PVOID exchange, PVOID comparand) {
  __atomic_compare_exchange_n(p, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}
