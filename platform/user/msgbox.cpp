// Scripted message boxes (see msgbox.h).
#include "platform/user/msgbox.h"

#include <deque>
#include <mutex>

#include "platform/kernel/ansi_text.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/user/user_sim.h"

namespace {

struct MessageBoxes {
  std::mutex lock;
  std::deque<int> answers;
  std::vector<SimMessageBox> log;
};

MessageBoxes& Boxes() {
  static MessageBoxes* boxes = new MessageBoxes;
  return *boxes;
}

const bool registeredReset = (SimAddResetHook(&SimMessageBoxReset), true);

int ShowBox(SimMessageBox box) {
  MessageBoxes& b = Boxes();
  std::lock_guard<std::mutex> guard(b.lock);
  box.scripted = !b.answers.empty();
  box.answer = box.scripted ? b.answers.front() : IDCANCEL;
  if (box.scripted) b.answers.pop_front();
  b.log.push_back(box);
  return box.answer;
}

}  // namespace

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  SimMessageBox box;
  box.owner = owner;
  box.text = text ? text : u"";
  box.caption = caption ? caption : u"";
  box.type = type;
  return ShowBox(std::move(box));
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  SimMessageBox box;
  box.owner = owner;
  box.text = AnsiToWide(text);
  box.caption = AnsiToWide(caption);
  box.type = type;
  box.ansi = true;
  return ShowBox(std::move(box));
}

void SimMessageBoxAnswer(int answer) {
  MessageBoxes& b = Boxes();
  std::lock_guard<std::mutex> guard(b.lock);
  b.answers.push_back(answer);
}

std::vector<SimMessageBox> SimMessageBoxLog() {
  MessageBoxes& b = Boxes();
  std::lock_guard<std::mutex> guard(b.lock);
  return b.log;
}

void SimMessageBoxReset() {
  MessageBoxes& b = Boxes();
  std::lock_guard<std::mutex> guard(b.lock);
  b.answers.clear();
  b.log.clear();
}
