// Cursors (see cursors.h): one record per loaded cursor, kept for the life of the process.
#include "platform/user/cursors.h"

#include <map>
#include <mutex>
#include <utility>

#include "platform/base/errors.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/qrs.h"
#include "platform/kernel/resource.h"

namespace {

struct CursorRecord {
  SimCursorSource source;
};

// The standard cursors the layer knows.
constexpr WORD kStandardCursors[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                     32644, 32645, 32646, 32648, 32649, 32650};

struct CursorTable {
  std::mutex lock;
  std::map<std::pair<HINSTANCE, WORD>, CursorRecord*> loaded;
  HCURSOR current = nullptr;
};

CursorTable& Table() {
  static CursorTable* t = new CursorTable;
  return *t;
}

bool IsNumber(const void* name) { return (reinterpret_cast<ULONG_PTR>(name) >> 16) == 0; }

HCURSOR Find(HINSTANCE instance, WORD id) {
  CursorTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  CursorRecord*& record = t.loaded[{instance, id}];
  if (record == nullptr) record = new CursorRecord{SimCursorSource{instance, id}};
  return reinterpret_cast<HCURSOR>(record);
}

void ResetCurrent() {
  CursorTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  t.current = nullptr;
}

const bool registered = (SimAddResetHook(&ResetCurrent), true);

}  // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
  if (name == nullptr || !IsNumber(name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
  if (instance == nullptr) {
    for (WORD standard : kStandardCursors)
      if (standard == id) return Find(nullptr, id);
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  if (FindResourceW(instance, name, RT_GROUP_CURSOR) == nullptr) return nullptr;
  return Find(instance, id);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (name == nullptr || !IsNumber(name)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return LoadCursorW(instance, reinterpret_cast<LPCWSTR>(name));
}

HCURSOR SetCursor(HCURSOR cursor) {
  CursorTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  return std::exchange(t.current, cursor);
}

HCURSOR GetCursor() {
  CursorTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  return t.current;
}

SimCursorSource SimCursorOrigin(HCURSOR cursor) {
  CursorTable& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  for (const auto& [key, record] : t.loaded)
    if (reinterpret_cast<HCURSOR>(record) == cursor) return record->source;
  return SimCursorSource{nullptr, 0};
}
