#include "platform/kernel/identity.h"

#include <deque>
#include <mutex>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace {

constexpr const char16_t* kDefaultUserName = u"User";
constexpr const char16_t* kDefaultComputerName = u"QVHOST";

struct IdentityState {
  std::mutex lock;
  std::u16string user = kDefaultUserName;
  std::deque<std::u16string> queued;
  std::u16string computer = kDefaultComputerName;
};

IdentityState& State() {
  static IdentityState state;
  return state;
}

void ResetIdentity() {
  IdentityState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.user = kDefaultUserName;
  s.queued.clear();
  s.computer = kDefaultComputerName;
}
const bool registered = (SimAddResetHook(&ResetIdentity), true);

std::u16string NextUserName() {
  IdentityState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.queued.empty()) return s.user;
  std::u16string name = s.queued.front();
  s.queued.pop_front();
  return name;
}

std::u16string ComputerName() {
  IdentityState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.computer;
}

std::string Ansi(const std::u16string& text) {
  int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(n > 0 ? n : 1, '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), n, nullptr, nullptr);
  bytes.resize(bytes.size() - 1);
  return bytes;
}

// Stores a name with the size protocol of the user-name calls; `withTerminator` tells how
// the answered size counts, `shortError` the error for a small buffer.
template <typename C>
BOOL StoreName(const std::basic_string<C>& name, C* buffer, LPDWORD size, bool withTerminator, DWORD shortError) {
  if (size == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD needed = static_cast<DWORD>(name.size()) + 1;
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    SetLastError(shortError);
    return FALSE;
  }
  for (size_t i = 0; i < name.size(); ++i) buffer[i] = name[i];
  buffer[name.size()] = 0;
  *size = withTerminator ? needed : needed - 1;
  return TRUE;
}

}  // namespace

BOOL GetUserNameW(LPWSTR buffer, LPDWORD size) {
  if (SimCallFails("GetUserNameW")) return FALSE;
  return StoreName(NextUserName(), buffer, size, true, ERROR_INSUFFICIENT_BUFFER);
}

BOOL GetUserNameA(LPSTR buffer, LPDWORD size) {
  if (SimCallFails("GetUserNameW")) return FALSE;
  return StoreName(Ansi(NextUserName()), buffer, size, true, ERROR_INSUFFICIENT_BUFFER);
}

BOOL GetComputerNameW(LPWSTR buffer, LPDWORD size) {
  if (SimCallFails("GetComputerNameW")) return FALSE;
  return StoreName(ComputerName(), buffer, size, false, ERROR_BUFFER_OVERFLOW);
}

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size) {
  if (SimCallFails("GetComputerNameW")) return FALSE;
  return StoreName(Ansi(ComputerName()), buffer, size, false, ERROR_BUFFER_OVERFLOW);
}

void SimSetUserName(const std::u16string& name) {
  IdentityState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.user = name;
}

void SimQueueUserName(const std::u16string& name) {
  IdentityState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.queued.push_back(name);
}

void SimSetComputerName(const std::u16string& name) {
  IdentityState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.computer = name;
}
