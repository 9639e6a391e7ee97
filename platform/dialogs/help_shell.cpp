// HTML help and the shell (see htmlhelp.h, shellapi.h): recorded calls and queued answers.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dialogs/dialogs_sim.h"
#include "platform/dialogs/htmlhelp.h"
#include "platform/dialogs/shellapi.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/kernel_sim.h"

namespace {

// The window handle the help commands answer: a token no window call knows.
constexpr ULONG_PTR kHelpWindowToken = 0x4E1F0000;

struct HelpAndShell {
  std::recursive_mutex lock;
  std::vector<SimHelpCall> help;
  bool showsWindows = true;
  bool open = false;  // a help window is shown
  std::vector<SimShellCall> shell;
  std::deque<INT_PTR> shellAnswers;
};

HelpAndShell& S() {
  static auto* s = new HelpAndShell;
  return *s;
}

const bool registeredReset = (SimAddResetHook([] {
                                HelpAndShell& s = S();
                                std::lock_guard<std::recursive_mutex> guard(s.lock);
                                s.help.clear();
                                s.showsWindows = true;
                                s.open = false;
                                s.shell.clear();
                                s.shellAnswers.clear();
                              }),
                              true);

bool ShowsHelp(UINT command) {
  switch (command) {
    case HH_DISPLAY_TOPIC:
    case HH_DISPLAY_TOC:
    case HH_DISPLAY_INDEX:
    case HH_DISPLAY_SEARCH:
    case HH_DISPLAY_TEXT_POPUP:
    case HH_KEYWORD_LOOKUP:
    case HH_HELP_CONTEXT:
    case HH_TP_HELP_CONTEXTMENU:
    case HH_TP_HELP_WM_HELP:
    case HH_ALINK_LOOKUP: return true;
    default: return false;
  }
}

// A help window is open from the first command that shows help until HH_CLOSE_ALL;
// HH_GET_WIN_HANDLE finds it only meanwhile.
HWND Help(HWND caller, std::u16string file, UINT command, DWORD_PTR data, bool ansi) {
  HelpAndShell& s = S();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  HWND window = reinterpret_cast<HWND>(kHelpWindowToken);
  HWND answer = nullptr;
  if (s.showsWindows && ShowsHelp(command)) {
    s.open = true;
    answer = window;
  }
  if (command == HH_GET_WIN_HANDLE && s.open) answer = window;
  if (command == HH_CLOSE_ALL) s.open = false;
  // HH_INITIALIZE hands back a cookie through its data, which HH_UNINITIALIZE returns.
  if (command == HH_INITIALIZE && data != 0) *reinterpret_cast<DWORD*>(data) = 1;
  s.help.push_back(SimHelpCall{caller, std::move(file), command, data, ansi, answer});
  return answer;
}

std::u16string Text(LPCWSTR s) { return s ? std::u16string(s) : std::u16string(); }

}  // namespace

HWND HtmlHelpW(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data) {
  return Help(caller, Text(file), command, data, false);
}

HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data) {
  std::u16string wide;
  if (file != nullptr) {
    int n = MultiByteToWideChar(CP_ACP, 0, file, -1, nullptr, 0);
    if (n > 0) {
      wide.resize(size_t(n));
      MultiByteToWideChar(CP_ACP, 0, file, -1, wide.data(), n);
      wide.resize(size_t(n - 1));
    }
  }
  return Help(caller, wide, command, data, true);
}

HINSTANCE ShellExecuteW(HWND hwnd, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show) {
  HelpAndShell& s = S();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  INT_PTR answer = kShellExecuteDone;
  if (!s.shellAnswers.empty()) {
    answer = s.shellAnswers.front();
    s.shellAnswers.pop_front();
  }
  s.shell.push_back(SimShellCall{hwnd, Text(verb), Text(file), Text(parameters), Text(directory), show, answer});
  return reinterpret_cast<HINSTANCE>(answer);
}

std::vector<SimHelpCall> SimHelpLog() {
  HelpAndShell& s = S();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return s.help;
}

void SimHelpShowsWindows(bool shows) {
  HelpAndShell& s = S();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.showsWindows = shows;
}

std::vector<SimShellCall> SimShellLog() {
  HelpAndShell& s = S();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  return s.shell;
}

void SimShellExecuteAnswer(INT_PTR answer) {
  HelpAndShell& s = S();
  std::lock_guard<std::recursive_mutex> guard(s.lock);
  s.shellAnswers.push_back(answer);
}
