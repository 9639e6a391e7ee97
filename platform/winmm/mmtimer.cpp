// Multimedia timers (see mmtimer.h): a table of armed timers that tests fire through
// winmm_sim.h. One lock guards the table; callbacks run without it.
#include "platform/winmm/mmtimer.h"

#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/kernel/kernel_sim.h"
#include "platform/winmm/winmm_sim.h"

namespace {

struct Armed {
  UINT delay;
  UINT flags;
  LPTIMECALLBACK callback;
  DWORD_PTR user;
  ULONGLONG order;
};

struct TimerTable {
  std::mutex lock;
  std::map<UINT, Armed> armed;
  UINT nextId = 1;
  ULONGLONG nextOrder = 0;
  std::function<void(UINT)> killHook;
  std::mutex threadsLock;
  std::vector<std::thread> threads;
};

TimerTable& Table() {
  static TimerTable* t = new TimerTable;
  return *t;
}

// Takes the timer for one firing: a one-shot leaves the table. False when it is not armed.
bool TakeForFiring(UINT id, Armed& out) {
  TimerTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto found = t.armed.find(id);
  if (found == t.armed.end()) return false;
  out = found->second;
  if ((out.flags & TIME_PERIODIC) == 0) t.armed.erase(found);
  return true;
}

void ResetTimers() {
  SimJoinMmTimerThreads();
  TimerTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  t.armed.clear();
  t.killHook = nullptr;
}

const bool registered = (SimAddResetHook(&ResetTimers), true);

}  // namespace

UINT timeSetEvent(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
  if (SimCallFails("timeSetEvent")) return 0;
  if (callback == nullptr || delay == 0 || (flags & ~UINT(TIME_PERIODIC)) != 0) return 0;
  TimerTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  UINT id = t.nextId++;
  if (t.nextId == 0) t.nextId = 1;
  t.armed[id] = Armed{delay, flags, callback, user, t.nextOrder++};
  return id;
}

UINT timeKillEvent(UINT id) {
  TimerTable& t = Table();
  std::function<void(UINT)> hook;
  {
    std::lock_guard<std::mutex> guard(t.lock);
    hook = t.killHook;
  }
  if (hook) hook(id);
  std::lock_guard<std::mutex> guard(t.lock);
  return t.armed.erase(id) != 0 ? TIMERR_NOERROR : MMSYSERR_INVALPARAM;
}

std::vector<SimMmTimer> SimArmedMmTimers() {
  TimerTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  std::map<ULONGLONG, SimMmTimer> ordered;
  for (const auto& [id, a] : t.armed) ordered[a.order] = SimMmTimer{id, a.delay, a.flags, a.user};
  std::vector<SimMmTimer> out;
  for (const auto& [order, timer] : ordered) out.push_back(timer);
  return out;
}

int SimLiveMmTimers() {
  TimerTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  return static_cast<int>(t.armed.size());
}

BOOL SimFireMmTimer(UINT id) {
  Armed a{};
  if (!TakeForFiring(id, a)) return FALSE;
  a.callback(id, 0, a.user, 0, 0);
  return TRUE;
}

BOOL SimFireMmTimerOnThread(UINT id) {
  Armed a{};
  if (!TakeForFiring(id, a)) return FALSE;
  TimerTable& t = Table();
  std::lock_guard<std::mutex> guard(t.threadsLock);
  t.threads.emplace_back([id, a] { a.callback(id, 0, a.user, 0, 0); });
  return TRUE;
}

void SimJoinMmTimerThreads() {
  TimerTable& t = Table();
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> guard(t.threadsLock);
    threads.swap(t.threads);
  }
  for (std::thread& thread : threads) thread.join();
}

void SimOnMmTimerKill(std::function<void(UINT id)> hook) {
  TimerTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  t.killHook = std::move(hook);
}
