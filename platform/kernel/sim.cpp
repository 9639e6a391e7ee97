#include "platform/kernel/kernel_sim.h"

#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/kernel/lasterror.h"

namespace {

struct FailureRule {
  DWORD error;
  int skip;   // calls still to pass before the first failure
  int count;  // failures still to give
};

struct CallControl {
  std::mutex lock;
  std::unordered_map<std::string, int> counts;
  std::unordered_map<std::string, std::vector<FailureRule>> rules;
};

CallControl& Control() {
  static CallControl control;
  return control;
}

std::vector<void (*)()>& ResetHooks() {
  static std::vector<void (*)()> hooks;
  return hooks;
}

void ResetCallControl() {
  CallControl& c = Control();
  std::lock_guard<std::mutex> guard(c.lock);
  c.counts.clear();
  c.rules.clear();
}

const bool registered = (SimAddResetHook(&ResetCallControl), true);

}  // namespace

void SimAddResetHook(void (*hook)()) { ResetHooks().push_back(hook); }

void SimReset() {
  for (auto hook : ResetHooks()) hook();
}

void SimFailCall(const std::string& function, DWORD error, int nth, int count) {
  if (nth < 1 || count < 1) return;
  CallControl& c = Control();
  std::lock_guard<std::mutex> guard(c.lock);
  c.rules[function].push_back(FailureRule{error, nth - 1, count});
}

int SimCallCount(const std::string& function) {
  CallControl& c = Control();
  std::lock_guard<std::mutex> guard(c.lock);
  auto found = c.counts.find(function);
  return found == c.counts.end() ? 0 : found->second;
}

bool SimCallFails(const char* function) {
  CallControl& c = Control();
  std::lock_guard<std::mutex> guard(c.lock);
  std::string name(function);
  ++c.counts[name];
  auto found = c.rules.find(name);
  if (found == c.rules.end()) return false;
  bool fails = false;
  DWORD error = 0;
  for (FailureRule& rule : found->second) {
    if (rule.count == 0) continue;
    if (rule.skip > 0) {
      --rule.skip;
      continue;
    }
    if (!fails) {
      fails = true;
      error = rule.error;
      --rule.count;
    }
  }
  if (fails) SetLastError(error);
  return fails;
}
