// Captured debugger output (see debug.h).
#include "platform/kernel/debug.h"

#include <mutex>

#include "platform/kernel/ansi_text.h"
#include "platform/kernel/kernel_sim.h"

namespace {

struct DebugOutput {
  std::mutex lock;
  std::vector<std::u16string> lines;
};

DebugOutput& Output() {
  static DebugOutput* output = new DebugOutput;
  return *output;
}

const bool registeredReset = (SimAddResetHook(&SimDebugOutputReset), true);

void Capture(std::u16string text) {
  DebugOutput& o = Output();
  std::lock_guard<std::mutex> guard(o.lock);
  o.lines.push_back(std::move(text));
}

}  // namespace

void OutputDebugStringW(LPCWSTR text) { Capture(text ? text : u""); }

void OutputDebugStringA(LPCSTR text) { Capture(AnsiToWide(text)); }

std::vector<std::u16string> SimDebugOutput() {
  DebugOutput& o = Output();
  std::lock_guard<std::mutex> guard(o.lock);
  return o.lines;
}

void SimDebugOutputReset() {
  DebugOutput& o = Output();
  std::lock_guard<std::mutex> guard(o.lock);
  o.lines.clear();
}
