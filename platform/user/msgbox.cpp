// Scripted message boxes (see msgbox.h): one of the modal interactions of modal.h.
#include "platform/user/msgbox.h"

#include <deque>
#include <mutex>

#include "platform/kernel/ansi_text.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/user/modal.h"
#include "platform/user/user_sim.h"

namespace {

// A scripted answer: a fixed button, or a driver that runs while the box is up.
struct BoxAnswer {
  int answer = IDCANCEL;
  SimMessageBoxDriver driver;
};

struct MessageBoxes {
  std::mutex lock;
  std::deque<BoxAnswer> answers;
  std::vector<SimMessageBox> log;
};

MessageBoxes& Boxes() {
  static MessageBoxes* boxes = new MessageBoxes;
  return *boxes;
}

const bool registeredReset = (SimAddResetHook(&SimMessageBoxReset), true);

int ShowBox(SimMessageBox box) {
  MessageBoxes& b = Boxes();
  size_t entry = UserBeginModal(SimModal::MessageBox, box.owner, 0, box.text);
  box.depth = SimModalDepth();
  BoxAnswer answer;
  size_t logged;
  {
    std::lock_guard<std::mutex> guard(b.lock);
    box.scripted = !b.answers.empty();
    if (box.scripted) {
      answer = std::move(b.answers.front());
      b.answers.pop_front();
    }
    logged = b.log.size();
    b.log.push_back(box);  // in the order shown; boxes a driver shows come after
  }
  box.answer = answer.driver ? answer.driver(box) : answer.answer;
  UserEndModal(entry, box.answer, box.scripted, false, false);
  std::lock_guard<std::mutex> guard(b.lock);
  if (logged < b.log.size()) b.log[logged].answer = box.answer;
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
  b.answers.push_back(BoxAnswer{answer, nullptr});
}

void SimOnMessageBox(SimMessageBoxDriver driver) {
  MessageBoxes& b = Boxes();
  std::lock_guard<std::mutex> guard(b.lock);
  b.answers.push_back(BoxAnswer{IDCANCEL, std::move(driver)});
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
