#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/sync.h"

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/time.h"

namespace {

// Every waitable object's state is guarded by one lock; any change wakes every waiter, who
// then check their own objects again.
std::mutex& SyncLock() {
  static std::mutex lock;
  return lock;
}
std::condition_variable& SyncChanged() {
  static std::condition_variable changed;
  return changed;
}

struct Waitable : KernelObject {
  using KernelObject::KernelObject;
  virtual bool Ready(DWORD thread) const = 0;
  virtual void Take(DWORD thread) = 0;
};

struct Event : Waitable {
  Event(bool manual, bool initial) : Waitable(HandleKind::Event), manualReset(manual), signaled(initial) {}
  bool Ready(DWORD) const override { return signaled; }
  void Take(DWORD) override {
    if (!manualReset) signaled = false;
  }
  bool manualReset;
  bool signaled;
};

struct Semaphore : Waitable {
  Semaphore(LONG initial, LONG max) : Waitable(HandleKind::Semaphore), count(initial), maximum(max) {}
  bool Ready(DWORD) const override { return count > 0; }
  void Take(DWORD) override { --count; }
  LONG count;
  LONG maximum;
};

struct Mutex : Waitable {
  Mutex() : Waitable(HandleKind::Mutex) {}
  bool Ready(DWORD thread) const override { return owner == 0 || owner == thread; }
  void Take(DWORD thread) override {
    owner = thread;
    ++recursion;
  }
  DWORD owner = 0;
  int recursion = 0;
};

// Named objects, one namespace for all kinds (names compared case-sensitively, as the
// platform's object names are).
std::map<std::u16string, std::weak_ptr<KernelObject>>& Names() {
  static std::map<std::u16string, std::weak_ptr<KernelObject>> names;
  return names;
}

std::atomic<int> liveCriticalSections{0};

struct CsLock {
  std::recursive_mutex mutex;
};

CsLock* LockOf(LPCRITICAL_SECTION cs) {
  if (cs == nullptr || cs->DebugInfo == nullptr) {
    std::fprintf(stderr, "platform: critical section used before InitializeCriticalSection or after Delete\n");
    std::abort();
  }
  return static_cast<CsLock*>(cs->DebugInfo);
}

// Creates (or opens, for a name in use) a waitable object and answers its handle.
template <typename T, typename Make>
HANDLE CreateNamed(LPCWSTR name, HandleKind kind, Make make) {
  std::lock_guard<std::mutex> guard(SyncLock());
  if (name != nullptr && name[0] != 0) {
    auto found = Names().find(name);
    if (found != Names().end()) {
      if (std::shared_ptr<KernelObject> existing = found->second.lock()) {
        if (existing->kind != kind) {
          SetLastError(ERROR_INVALID_HANDLE);
          return nullptr;
        }
        HANDLE h = HandleInsert(existing);
        SetLastError(ERROR_ALREADY_EXISTS);
        return h;
      }
    }
  }
  std::shared_ptr<T> object = make();
  if (name != nullptr && name[0] != 0) Names()[name] = object;
  SetLastError(NO_ERROR);
  return HandleInsert(object);
}

std::u16string WideName(LPCSTR name) {
  if (name == nullptr) return std::u16string();
  int n = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
  std::u16string wide(n > 0 ? n : 1, u'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), n);
  wide.resize(lstrlenW(wide.c_str()));
  return wide;
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION cs) { InitializeCriticalSectionAndSpinCount(cs, 0); }

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD spinCount) {
  if (cs == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  cs->DebugInfo = new CsLock;
  cs->LockCount = -1;
  cs->RecursionCount = 0;
  cs->OwningThread = nullptr;
  cs->LockSemaphore = nullptr;
  cs->SpinCount = spinCount;
  ++liveCriticalSections;
  return TRUE;
}

void EnterCriticalSection(LPCRITICAL_SECTION cs) {
  LockOf(cs)->mutex.lock();
  if (cs->RecursionCount++ == 0) cs->OwningThread = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs) {
  if (!LockOf(cs)->mutex.try_lock()) return FALSE;
  if (cs->RecursionCount++ == 0) cs->OwningThread = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
  return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION cs) {
  CsLock* lock = LockOf(cs);
  if (cs->RecursionCount <= 0) return;  // not entered: nothing to release
  if (--cs->RecursionCount == 0) cs->OwningThread = nullptr;
  lock->mutex.unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION cs) {
  if (cs == nullptr || cs->DebugInfo == nullptr) return;
  delete static_cast<CsLock*>(cs->DebugInfo);
  cs->DebugInfo = nullptr;
  --liveCriticalSections;
}

int SimLiveCriticalSections() { return liveCriticalSections; }

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
  return CreateNamed<Event>(name, HandleKind::Event,
                            [&] { return std::make_shared<Event>(manualReset != FALSE, initialState != FALSE); });
}

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name) {
  std::u16string wide = WideName(name);
  return CreateEventW(attributes, manualReset, initialState, name != nullptr ? wide.c_str() : nullptr);
}

static BOOL ChangeEvent(HANDLE event, bool signaled) {
  std::shared_ptr<Event> e = HandleGet<Event>(event, HandleKind::Event);
  if (e == nullptr) return FALSE;
  {
    std::lock_guard<std::mutex> guard(SyncLock());
    e->signaled = signaled;
  }
  SyncChanged().notify_all();
  return TRUE;
}

BOOL SetEvent(HANDLE event) { return ChangeEvent(event, true); }
BOOL ResetEvent(HANDLE event) { return ChangeEvent(event, false); }

HANDLE CreateSemaphoreW(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCWSTR name) {
  if (maximumCount < 1 || initialCount < 0 || initialCount > maximumCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateNamed<Semaphore>(name, HandleKind::Semaphore,
                                [&] { return std::make_shared<Semaphore>(initialCount, maximumCount); });
}

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount, LPCSTR name) {
  std::u16string wide = WideName(name);
  return CreateSemaphoreW(attributes, initialCount, maximumCount, name != nullptr ? wide.c_str() : nullptr);
}

BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount) {
  std::shared_ptr<Semaphore> s = HandleGet<Semaphore>(semaphore, HandleKind::Semaphore);
  if (s == nullptr) return FALSE;
  {
    std::lock_guard<std::mutex> guard(SyncLock());
    if (releaseCount < 1) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    if (releaseCount > s->maximum - s->count) {
      SetLastError(ERROR_TOO_MANY_POSTS);
      return FALSE;
    }
    if (previousCount != nullptr) *previousCount = s->count;
    s->count += releaseCount;
  }
  SyncChanged().notify_all();
  return TRUE;
}

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCWSTR name) {
  DWORD thread = GetCurrentThreadId();
  return CreateNamed<Mutex>(name, HandleKind::Mutex, [&] {
    auto m = std::make_shared<Mutex>();
    if (initialOwner) m->Take(thread);
    return m;
  });
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name) {
  std::u16string wide = WideName(name);
  return CreateMutexW(attributes, initialOwner, name != nullptr ? wide.c_str() : nullptr);
}

BOOL ReleaseMutex(HANDLE mutex) {
  std::shared_ptr<Mutex> m = HandleGet<Mutex>(mutex, HandleKind::Mutex);
  if (m == nullptr) return FALSE;
  {
    std::lock_guard<std::mutex> guard(SyncLock());
    if (m->owner != GetCurrentThreadId() || m->recursion == 0) {
      SetLastError(ERROR_NOT_OWNER);
      return FALSE;
    }
    if (--m->recursion == 0) m->owner = 0;
  }
  SyncChanged().notify_all();
  return TRUE;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<Waitable>> objects;
  for (DWORD i = 0; i < count; ++i) {
    std::shared_ptr<KernelObject> o = HandleLookupAny(handles[i]);
    if (o == nullptr || (o->kind != HandleKind::Event && o->kind != HandleKind::Semaphore && o->kind != HandleKind::Mutex)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects.push_back(std::static_pointer_cast<Waitable>(o));
  }
  DWORD thread = GetCurrentThreadId();
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  std::unique_lock<std::mutex> guard(SyncLock());
  for (;;) {
    if (waitAll) {
      bool all = true;
      for (const auto& o : objects) all = all && o->Ready(thread);
      if (all) {
        for (const auto& o : objects) o->Take(thread);
        break;
      }
    } else {
      for (DWORD i = 0; i < count; ++i) {
        if (objects[i]->Ready(thread)) {
          objects[i]->Take(thread);
          guard.unlock();
          SyncChanged().notify_all();
          return WAIT_OBJECT_0 + i;
        }
      }
    }
    if (milliseconds == INFINITE) {
      SyncChanged().wait(guard);
    } else if (SyncChanged().wait_until(guard, deadline) == std::cv_status::timeout &&
               std::chrono::steady_clock::now() >= deadline) {
      // One last look: the state may have changed just as the time ran out.
      bool ready = waitAll;
      for (const auto& o : objects) ready = waitAll ? (ready && o->Ready(thread)) : (ready || o->Ready(thread));
      if (!ready) return WAIT_TIMEOUT;
    }
  }
  guard.unlock();
  SyncChanged().notify_all();
  return WAIT_OBJECT_0;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &handle, TRUE, milliseconds);
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }
namespace {
// The calling thread's id, asked of the kernel once per thread. A forked child's only thread
// asks again: it is another thread than the one that forked.
thread_local DWORD t_threadId = 0;
void ForgetThreadIdInChild() { t_threadId = 0; }
const bool registeredForgetThreadId = (::pthread_atfork(nullptr, nullptr, &ForgetThreadIdInChild), true);
}  // namespace

DWORD GetCurrentThreadId() {
  if (t_threadId == 0) t_threadId = static_cast<DWORD>(::syscall(SYS_gettid));
  return t_threadId;
}
HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)); }
HANDLE GetCurrentThread() { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2)); }
