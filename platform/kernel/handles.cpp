#include "platform/kernel/handles.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace {

// Handle values start well above NULL and step by 4 like the platform's.
constexpr ULONG_PTR kFirstHandle = 0x1000;

struct HandleTable {
  std::mutex lock;
  std::map<ULONG_PTR, std::shared_ptr<KernelObject>> objects;
  ULONG_PTR next = kFirstHandle;
};

HandleTable& Table() {
  static HandleTable table;
  return table;
}

// Reset closes everything except heaps (their blocks may still be in use by their owners).
void CloseAllHandles() {
  std::vector<std::shared_ptr<KernelObject>> closing;
  {
    HandleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    for (auto it = t.objects.begin(); it != t.objects.end();) {
      if (it->second->kind == HandleKind::Heap) {
        ++it;
      } else {
        closing.push_back(std::move(it->second));
        it = t.objects.erase(it);
      }
    }
  }
  closing.clear();  // objects close outside the table's lock
}

const bool registered = (SimAddResetHook(&CloseAllHandles), true);

}  // namespace

HANDLE HandleInsert(std::shared_ptr<KernelObject> object) {
  HandleTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  ULONG_PTR value = t.next;
  t.next += 4;
  t.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> HandleLookupAny(HANDLE handle) {
  HandleTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto found = t.objects.find(reinterpret_cast<ULONG_PTR>(handle));
  if (found == t.objects.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return found->second;
}

std::shared_ptr<KernelObject> HandleLookup(HANDLE handle, HandleKind kind) {
  std::shared_ptr<KernelObject> object = HandleLookupAny(handle);
  if (object != nullptr && object->kind != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return object;
}

BOOL HandleRemove(HANDLE handle, HandleKind kind) {
  std::shared_ptr<KernelObject> removed;
  {
    HandleTable& t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    auto found = t.objects.find(reinterpret_cast<ULONG_PTR>(handle));
    if (found == t.objects.end() || found->second->kind != kind) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    removed = std::move(found->second);
    t.objects.erase(found);
  }
  return TRUE;  // the object closes here, outside the lock, once its last user lets go
}

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<KernelObject> object = HandleLookupAny(handle);
  if (object == nullptr || object->kind == HandleKind::Heap || object->kind == HandleKind::Find) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return HandleRemove(handle, object->kind);
}

int SimOpenHandles(HandleKind kind) {
  HandleTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  int n = 0;
  for (const auto& entry : t.objects)
    if (entry.second->kind == kind) ++n;
  return n;
}
