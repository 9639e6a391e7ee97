// The message log of the test API (see user_sim.h): every live log hears each message a window
// procedure is about to receive and keeps those of its watched windows.
#include "platform/user/message_log.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <sstream>

#include "platform/base/text.h"
#include "platform/user/message_names.h"
#include "platform/user/user_sim.h"
#include "platform/user/window_internal.h"

// A window's name in reports: one the test gave, else the one it had when it last received a
// message (its text may change while it lives, and it may be gone when the log is read).
struct WindowName {
  HWND hwnd;
  std::string name;
  bool given;
};

struct SimMessageLog::State {
  std::vector<SimWatched> watched;
  std::vector<WindowName> names;
  std::vector<SimLoggedMessage> records;  // their window names are filled in when read
  std::vector<UINT> only;
};

namespace {

struct Logs {
  std::recursive_mutex lock;
  std::vector<SimMessageLog::State*> live;
};

Logs& AllLogs() {
  static Logs* logs = new Logs;
  return *logs;
}

// How many logs are live: read on every message sent, without taking the lock.
std::atomic<int> liveLogs{0};

std::u16string ClassOf(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  return w && w->cls ? w->cls->name : std::u16string();
}

// `Button 1001 "OK"`, `#32770 "Paper"`: the class, a child's id and the text.
std::string DefaultName(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  if (!w) return "a window that is gone";
  std::string name = Utf16ToUtf8(w->cls ? w->cls->name : u"");
  if ((w->style & WS_CHILD) && w->id != 0) name += " " + std::to_string(w->id);
  if (!w->text.empty()) name += " \"" + Utf16ToUtf8(w->text) + "\"";
  return name;
}

WindowName* KnownName(SimMessageLog::State& s, HWND hwnd) {
  for (WindowName& n : s.names)
    if (n.hwnd == hwnd) return &n;
  return nullptr;
}

std::string NameOf(SimMessageLog::State& s, HWND hwnd) {
  const WindowName* known = KnownName(s, hwnd);
  return known != nullptr ? known->name : DefaultName(hwnd);
}

// Keeps the name of a window that receives a message up to date.
void NoteName(SimMessageLog::State& s, HWND hwnd) {
  WindowName* known = KnownName(s, hwnd);
  if (known == nullptr)
    s.names.push_back(WindowName{hwnd, DefaultName(hwnd), false});
  else if (!known->given)
    known->name = DefaultName(hwnd);
}

bool Watches(const SimMessageLog::State& s, HWND hwnd) {
  for (const SimWatched& w : s.watched) {
    if (!w.className.empty()) {
      if (lstrcmpiW(w.className.c_str(), ClassOf(hwnd).c_str()) == 0) return true;
    } else if (w.hwnd == nullptr || w.hwnd == hwnd || (w.descendants && IsChild(w.hwnd, hwnd))) {
      return true;
    }
  }
  return false;
}

std::string MessageText(const std::u16string& className, UINT msg, UINT code) {
  std::string name = UserMessageName(className, msg);
  return msg == WM_NOTIFY ? name + " " + UserNoticeName(code) : name;
}

std::string Hex(ULONG_PTR value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

// The message as reports show it; wParam and lParam when the expectation names them.
std::string Describe(const std::string& name, const std::string& window, const SimMessage* shape, WPARAM w, LPARAM l) {
  std::string text = name;
  if (shape != nullptr && shape->wParam) text += " wParam " + Hex(w);
  if (shape != nullptr && shape->lParam) text += " lParam " + Hex(ULONG_PTR(l));
  return text + " to " + window;
}

std::string DescribeExpected(SimMessageLog::State& s, const SimMessage& m) {
  const std::u16string cls = ClassOf(m.hwnd);
  const std::string name = m.code ? MessageText(cls, m.msg, *m.code) : UserMessageName(cls, m.msg);
  return Describe(name, NameOf(s, m.hwnd), &m, m.wParam.value_or(0), m.lParam.value_or(0));
}

std::string DescribeGot(const SimLoggedMessage& r, const SimMessage* shape) {
  return Describe(r.name, r.window, shape, r.wParam, r.lParam);
}

bool Fits(const SimLoggedMessage& r, const SimMessage& m) {
  return r.hwnd == m.hwnd && r.msg == m.msg && (!m.wParam || *m.wParam == r.wParam) &&
         (!m.lParam || *m.lParam == r.lParam) && (!m.code || *m.code == r.code);
}

// The messages of interest, with their windows' names.
std::vector<SimLoggedMessage> OfInterest(SimMessageLog::State& s) {
  std::vector<SimLoggedMessage> out;
  for (const SimLoggedMessage& r : s.records) {
    if (!s.only.empty() && std::find(s.only.begin(), s.only.end(), r.msg) == s.only.end()) continue;
    out.push_back(r);
    out.back().window = NameOf(s, r.hwnd);
  }
  return out;
}

std::string Listing(const std::vector<SimLoggedMessage>& records) {
  std::ostringstream out;
  for (size_t i = 0; i < records.size(); ++i) out << i + 1 << ". " << DescribeGot(records[i], nullptr) << "\n";
  return out.str();
}

}  // namespace

void UserLogMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (liveLogs.load(std::memory_order_relaxed) == 0) return;
  Logs& logs = AllLogs();
  std::lock_guard<std::recursive_mutex> guard(logs.lock);
  UINT code = 0;
  if (msg == WM_NOTIFY && lParam != 0) code = reinterpret_cast<const NMHDR*>(lParam)->code;
  for (SimMessageLog::State* s : logs.live) {
    if (!Watches(*s, hwnd)) continue;
    NoteName(*s, hwnd);
    s->records.push_back(SimLoggedMessage{hwnd, msg, wParam, lParam, code, MessageText(ClassOf(hwnd), msg, code), ""});
  }
}

SimMessageLog::SimMessageLog(const std::vector<SimWatched>& windows) : state_(std::make_unique<State>()) {
  for (const SimWatched& w : windows) Watch(w);
  Logs& logs = AllLogs();
  std::lock_guard<std::recursive_mutex> guard(logs.lock);
  logs.live.push_back(state_.get());
  liveLogs++;
}

SimMessageLog::~SimMessageLog() {
  Logs& logs = AllLogs();
  std::lock_guard<std::recursive_mutex> guard(logs.lock);
  logs.live.erase(std::find(logs.live.begin(), logs.live.end(), state_.get()));
  liveLogs--;
}

void SimMessageLog::Watch(const SimWatched& window) {
  std::lock_guard<std::recursive_mutex> guard(AllLogs().lock);
  state_->watched.push_back(window);
  if (window.name.empty()) return;
  if (WindowName* known = KnownName(*state_, window.hwnd))
    *known = WindowName{window.hwnd, window.name, true};
  else
    state_->names.push_back(WindowName{window.hwnd, window.name, true});
}

void SimMessageLog::Only(const std::vector<UINT>& messages) {
  std::lock_guard<std::recursive_mutex> guard(AllLogs().lock);
  state_->only = messages;
}

void SimMessageLog::Clear() {
  std::lock_guard<std::recursive_mutex> guard(AllLogs().lock);
  state_->records.clear();
}

std::vector<SimLoggedMessage> SimMessageLog::Messages() const {
  std::lock_guard<std::recursive_mutex> guard(AllLogs().lock);
  return OfInterest(*state_);
}

std::string SimMessageLog::Text() const { return Listing(Messages()); }

std::string SimMessageLog::Difference(const std::vector<SimMessage>& expected, SimSequence how) const {
  std::lock_guard<std::recursive_mutex> guard(AllLogs().lock);
  const std::vector<SimLoggedMessage> got = OfInterest(*state_);
  const std::string received = "\nreceived:\n" + Listing(got);
  if (how == SimSequence::Exact) {
    for (size_t i = 0; i < std::max(expected.size(), got.size()); ++i) {
      const SimMessage* want = i < expected.size() ? &expected[i] : nullptr;
      if (want != nullptr && i < got.size() && Fits(got[i], *want)) continue;
      std::string head = "message " + std::to_string(i + 1) + ": expected ";
      head += want != nullptr ? DescribeExpected(*state_, *want) : "nothing more";
      head += ", got " + (i < got.size() ? DescribeGot(got[i], want) : std::string("nothing more"));
      return head + received;
    }
    return "";
  }
  size_t at = 0;
  for (size_t k = 0; k < expected.size(); ++k) {
    size_t found = at;
    while (found < got.size() && !Fits(got[found], expected[k])) ++found;
    if (found < got.size()) {
      at = found + 1;
      continue;
    }
    std::string head = "expected message " + std::to_string(k + 1) + ", " + DescribeExpected(*state_, expected[k]);
    head += at == 0 ? ", got none like it"
                    : ", got none like it after message " + std::to_string(at) + " (" +
                          DescribeGot(got[at - 1], nullptr) + ")";
    return head + received;
  }
  return "";
}

bool SimMessageLog::Matches(const std::vector<SimMessage>& expected, SimSequence how) const {
  return Difference(expected, how).empty();
}
