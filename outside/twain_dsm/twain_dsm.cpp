// Stand-in TWAIN source manager (see twain_dsm_sim.h).
#include <cstring>
#include <mutex>
#include <vector>

#include "outside/twain_dsm/twain_dsm_sim.h"
#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/spooler/spooler_state.h"
#include "platform/twain/twain.h"

namespace {

struct SourceManager {
  std::mutex Lock;
  std::vector<SimDsmCall> Calls;
  SimDsmHookProc Hook = nullptr;
  void* HookContext = nullptr;
};

// The record lives as long as the library stays loaded (tests keep it loaded).
SourceManager& State() {
  static SourceManager manager;
  return manager;
}

}  // namespace

DLLEXPORT TW_UINT16 WINAPI DSM_Entry(pTW_IDENTITY origin, pTW_IDENTITY destination, TW_UINT32 group, TW_UINT16 type,
                                     TW_UINT16 message, TW_MEMREF data) {
  SimDsmCall call{};
  if (origin != nullptr) std::memcpy(&call.Origin, origin, sizeof call.Origin);
  if (destination != nullptr) std::memcpy(&call.Destination, destination, sizeof call.Destination);
  call.Group = group;
  call.Type = type;
  call.Message = message;
  call.HasData = data != nullptr;
  SimDsmHookProc hook;
  void* context;
  {
    std::lock_guard<std::mutex> guard(State().Lock);
    State().Calls.push_back(call);
    hook = State().Hook;
    context = State().HookContext;
  }
  if (hook != nullptr) hook(&call, context);
  return TWRC_SUCCESS;
}

DLLEXPORT void SimDsmReset() {
  std::lock_guard<std::mutex> guard(State().Lock);
  State().Calls.clear();
  State().Hook = nullptr;
  State().HookContext = nullptr;
}

DLLEXPORT DWORD SimDsmCallCount() {
  std::lock_guard<std::mutex> guard(State().Lock);
  return static_cast<DWORD>(State().Calls.size());
}

DLLEXPORT BOOL SimDsmCall(DWORD index, SimDsmCall* call) {
  std::lock_guard<std::mutex> guard(State().Lock);
  if (call == nullptr || index >= State().Calls.size()) return FALSE;
  *call = State().Calls[index];
  return TRUE;
}

DLLEXPORT void SimDsmSetHook(SimDsmHookProc hook, void* context) {
  std::lock_guard<std::mutex> guard(State().Lock);
  State().Hook = hook;
  State().HookContext = context;
}
