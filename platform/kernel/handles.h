// The layer's one table of kernel handles (files, events, semaphores, mutexes, file
// mappings, find handles, heaps). Services keep their objects here; CloseHandle and the
// waits find them by handle. A handle value is never reused, so a stale handle is refused.
#pragma once

#include <memory>

#include "platform/base/export.h"
#include "platform/base/types.h"

enum class HandleKind { File, Event, Semaphore, Mutex, Mapping, Find, Heap, Token };

struct KernelObject {
  explicit KernelObject(HandleKind k) : kind(k) {}
  virtual ~KernelObject() = default;
  const HandleKind kind;
};

// Adds an object and answers its new handle.
PLATFORM_API HANDLE HandleInsert(std::shared_ptr<KernelObject> object);
// The object of a handle when it has the given kind, else NULL (with ERROR_INVALID_HANDLE).
PLATFORM_API std::shared_ptr<KernelObject> HandleLookup(HANDLE handle, HandleKind kind);
// Any object of a handle, or NULL (with ERROR_INVALID_HANDLE).
PLATFORM_API std::shared_ptr<KernelObject> HandleLookupAny(HANDLE handle);
// Removes a handle of the given kind; FALSE (ERROR_INVALID_HANDLE) when it is not one.
PLATFORM_API BOOL HandleRemove(HANDLE handle, HandleKind kind);

template <typename T>
std::shared_ptr<T> HandleGet(HANDLE handle, HandleKind kind) {
  return std::static_pointer_cast<T>(HandleLookup(handle, kind));
}

// Closes a file, event, semaphore, mutex or file-mapping handle. Heap and find handles are
// not closed this way (HeapDestroy, FindClose): they answer ERROR_INVALID_HANDLE.
PLATFORM_API BOOL CloseHandle(HANDLE handle);
