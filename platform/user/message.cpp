// Sending, the posted-message queue, timers, the keyboard state (see message.h).
#include <algorithm>
#include <array>
#include <deque>
#include <mutex>

#include "platform/base/errors.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/time.h"
#include "platform/user/message_log.h"
#include "platform/user/user_sim.h"
#include "platform/user/window_internal.h"

namespace {

struct Timer {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  ULONGLONG due = 0;
};

// Ids of timers without a window count from here.
constexpr UINT_PTR kFirstThreadTimerId = 0x7FF0;
// A pump stops after this many messages, so a window that keeps posting to itself cannot
// hold a test forever (SimPumpMessages says so by its count).
constexpr int kPumpLimit = 100000;

struct MessageState {
  std::recursive_mutex lock;
  std::deque<MSG> queue;
  std::vector<Timer> timers;
  UINT_PTR nextThreadTimer = kFirstThreadTimerId;
  std::array<bool, 256> keys{};
  std::vector<UINT> beeps;
  POINT cursor{0, 0};
  int idleWaits = 0;
};

MessageState& State() {
  static MessageState* state = new MessageState;
  return *state;
}

// Timers run on the layer's clock in milliseconds: the system time, which a test stops
// (SimSetClock) so that only SimAdvanceClock and instant sleeps move it.
ULONGLONG ClockMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return ((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000;
}

LONGLONG TicksUntil(ULONGLONG now, ULONGLONG due) { return LONGLONG(due - now); }

bool Matches(const MSG& m, HWND filter, UINT first, UINT last) {
  if (filter != nullptr && m.hwnd != filter && !IsChild(filter, m.hwnd)) return false;
  if (first == 0 && last == 0) return true;
  return m.message >= first && m.message <= last;
}

void ResetMessages() {
  UserForgetMessages();
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.keys.fill(false);
  s.beeps.clear();
  s.cursor = POINT{0, 0};
  s.idleWaits = 0;
}

const bool registeredReset = (SimAddResetHook(&ResetMessages), true);

}  // namespace

void UserDropWindowMessages(HWND hwnd) {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                s.queue.end());
  s.timers.erase(std::remove_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
                 s.timers.end());
}

void UserForgetMessages() {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.queue.clear();
  s.timers.clear();
  s.nextThreadTimer = kFirstThreadTimerId;
}

LRESULT SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<Window> w = UserFindWindow(hwnd);
  if (!w || w == UserPeekWindow(GetDesktopWindow())) return 0;
  UserLogMessage(hwnd, msg, wParam, lParam);
  return w->proc(hwnd, msg, wParam, lParam);
}

LRESULT SendMessageTimeoutW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            PDWORD_PTR result) {
  if (result != nullptr) *result = 0;
  std::shared_ptr<Window> w = UserFindWindow(hwnd);
  if (!w) return 0;
  if (w->hung) {
    if (!(flags & SMTO_ABORTIFHUNG)) Sleep(timeout);
    SetLastError(ERROR_TIMEOUT);
    return 0;
  }
  LRESULT answer = SendMessageW(hwnd, msg, wParam, lParam);
  if (result != nullptr) *result = DWORD_PTR(answer);
  return 1;
}

BOOL SimSetWindowHung(HWND hwnd, BOOL hung) {
  std::shared_ptr<Window> w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  w->hung = hung != FALSE;
  return TRUE;
}

BOOL PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (hwnd != nullptr && !UserFindWindow(hwnd)) return FALSE;
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.queue.push_back(MSG{hwnd, msg, wParam, lParam, GetTickCount(), s.cursor});
  return TRUE;
}

void PostQuitMessage(int exitCode) {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.queue.push_back(MSG{nullptr, WM_QUIT, WPARAM(exitCode), 0, GetTickCount(), s.cursor});
}

BOOL PeekMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove) {
  if (msg == nullptr) return FALSE;
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
    if (!Matches(*it, hwnd, first, last)) continue;
    *msg = *it;
    if (remove & PM_REMOVE) s.queue.erase(it);
    return TRUE;
  }
  ULONGLONG now = ClockMs();
  for (Timer& t : s.timers) {
    MSG m{t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), GetTickCount(), s.cursor};
    if (TicksUntil(now, t.due) > 0 || !Matches(m, hwnd, first, last)) continue;
    *msg = m;
    if (remove & PM_REMOVE) t.due = now + t.elapse;
    return TRUE;
  }
  return FALSE;
}

BOOL GetMessageW(LPMSG msg, HWND hwnd, UINT first, UINT last) {
  if (msg == nullptr) return FALSE;
  for (;;) {
    if (PeekMessageW(msg, hwnd, first, last, PM_REMOVE)) return msg->message != WM_QUIT;
    MessageState& s = State();
    ULONGLONG now = ClockMs();
    LONGLONG wait = -1;
    {
      std::lock_guard<std::recursive_mutex> guard(s.lock);
      for (const Timer& t : s.timers) {
        MSG m{t.hwnd, WM_TIMER, t.id, 0, 0, s.cursor};
        if (!Matches(m, hwnd, first, last)) continue;
        LONGLONG d = std::max<LONGLONG>(0, TicksUntil(now, t.due));
        if (wait < 0 || d < wait) wait = d;
      }
    }
    if (wait < 0) {
      std::lock_guard<std::recursive_mutex> guard(s.lock);
      s.idleWaits++;
      *msg = MSG{nullptr, WM_QUIT, 0, 0, GetTickCount(), s.cursor};
      return FALSE;
    }
    SimAdvanceClock(DWORD(wait));
  }
}

LRESULT DispatchMessageW(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, UINT_PTR(msg->wParam), GetTickCount());
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;
  return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (hwnd != nullptr && !UserFindWindow(hwnd)) return 0;
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  elapse = std::max<UINT>(elapse, USER_TIMER_MINIMUM);
  Timer t{hwnd, id, elapse, proc, ClockMs() + elapse};
  if (hwnd == nullptr) {
    auto same = std::find_if(s.timers.begin(), s.timers.end(), [&](const Timer& o) { return o.hwnd == nullptr && o.id == id; });
    if (id != 0 && same != s.timers.end()) {
      *same = t;
      return id;
    }
    t.id = s.nextThreadTimer++;
    s.timers.push_back(t);
    return t.id;
  }
  auto same = std::find_if(s.timers.begin(), s.timers.end(), [&](const Timer& o) { return o.hwnd == hwnd && o.id == id; });
  if (same != s.timers.end())
    *same = t;
  else
    s.timers.push_back(t);
  return id == 0 ? 1 : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  auto it = std::find_if(s.timers.begin(), s.timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == s.timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  s.timers.erase(it);
  s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(),
                               [&](const MSG& m) { return m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == id; }),
                s.queue.end());
  return TRUE;
}

SHORT GetKeyState(int virtualKey) {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return (virtualKey >= 0 && virtualKey < 256 && s.keys[size_t(virtualKey)]) ? SHORT(0x8000) : SHORT(0);
}

SHORT GetAsyncKeyState(int virtualKey) { return GetKeyState(virtualKey); }

BOOL MessageBeep(UINT type) {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.beeps.push_back(type);
  return TRUE;
}

BOOL GetCursorPos(LPPOINT point) {
  if (point == nullptr) return FALSE;
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  *point = s.cursor;
  return TRUE;
}

int SimPumpMessages() {
  int count = 0;
  MSG m;
  while (count < kPumpLimit && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message != WM_QUIT) DispatchMessageW(&m);
    ++count;
  }
  return count;
}

int SimRunTimers(DWORD milliseconds) {
  MessageState& s = State();
  int count = SimPumpMessages();
  DWORD left = milliseconds;
  for (;;) {
    ULONGLONG now = ClockMs();
    LONGLONG next = -1;
    {
      std::lock_guard<std::recursive_mutex> guard(s.lock);
      for (const Timer& t : s.timers) {
        LONGLONG d = std::max<LONGLONG>(0, TicksUntil(now, t.due));
        if (next < 0 || d < next) next = d;
      }
    }
    if (next < 0 || next > LONGLONG(left)) break;
    SimAdvanceClock(DWORD(next));
    left -= DWORD(next);
    count += SimPumpMessages();
  }
  SimAdvanceClock(left);
  return count + SimPumpMessages();
}

int SimLiveTimers() {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return int(s.timers.size());
}

int SimQueuedMessages() {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return int(s.queue.size());
}

void SimSetKeyState(int virtualKey, bool down) {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  if (virtualKey >= 0 && virtualKey < 256) s.keys[size_t(virtualKey)] = down;
}

std::vector<UINT> SimBeeps() {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return s.beeps;
}

void SimSetCursorPos(POINT point) {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.cursor = point;
}

int SimIdleWaits() {
  MessageState& s = State();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return s.idleWaits;
}
