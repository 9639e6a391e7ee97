// The spooler's shared state: printers, handles, jobs and added forms, the opening check of
// handle calls, and the reset that empties it.
#include "platform/spooler/spooler_state.h"

#include <cstdio>

#include "platform/base/errors.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"

namespace spooler {

State& GetState() {
  static State state;
  return state;
}

Handle* FindHandle(State& state, HANDLE hPrinter) {
  auto* handle = static_cast<Handle*>(hPrinter);
  return state.handles.count(handle) ? handle : nullptr;
}

Handle* StartHandleCall(State& state, const char* function, HANDLE hPrinter, bool pointersGiven) {
  if (SimCallFails(function)) return nullptr;
  Handle* handle = FindHandle(state, hPrinter);
  if (!handle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!pointersGiven) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return handle;
}

std::shared_ptr<Printer> FindPrinter(State& state, std::u16string_view name) {
  for (auto& printer : state.printers)
    if (EqualNoCase(printer->setup.name, name)) return printer;
  return nullptr;
}

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i], y = b[i];
    if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - 32);
    if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - 32);
    if (x != y) return false;
  }
  return true;
}

std::u16string FromWide(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

void CloseJobFile(Job& job, SimJobState state) {
  if (job.file) std::fclose(job.file);
  job.file = nullptr;
  job.info.state = state;
}

void LogJobCall(Job& job, const char* function, BOOL result, DWORD asked, DWORD written) {
  job.info.calls.push_back({function, result, asked, written});
}

namespace {

// SimReset: no printers, handles or jobs; the built-in forms only.
void ResetSpooler() {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  for (Handle* handle : state.handles) delete handle;
  state.handles.clear();
  for (Job& job : state.jobs)
    if (job.file) CloseJobFile(job, SimJobState::Aborted);
  state.jobs.clear();
  state.printers.clear();
  state.userForms.clear();
  state.nextJobId = 1;
  state.writeLimitSkip = state.writeLimitCount = 0;
  state.writeLimitBytes = 0;
}

const bool registered = (SimAddResetHook(&ResetSpooler), true);

}  // namespace

}  // namespace spooler
