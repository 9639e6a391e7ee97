// The resources pictures were loaded from (see picture_resources.h). Handles of GDI objects
// are never reused, so a record outlives its picture harmlessly until the reset.
#include "platform/user/picture_resources.h"

#include <map>
#include <mutex>

#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/resource.h"

namespace {

struct Origin {
  HMODULE module;
  WORD id;
};

struct Origins {
  std::mutex lock;
  std::map<HGDIOBJ, Origin> of;
};

Origins& State() {
  static Origins* o = new Origins;
  return *o;
}

void ResetOrigins() {
  Origins& o = State();
  std::lock_guard<std::mutex> guard(o.lock);
  o.of.clear();
}

const bool registered = (SimAddResetHook(&ResetOrigins), true);

}  // namespace

void UserNotePictureResource(HGDIOBJ picture, HMODULE module, LPCWSTR name) {
  if (picture == nullptr || !IS_INTRESOURCE(name)) return;
  Origins& o = State();
  std::lock_guard<std::mutex> guard(o.lock);
  o.of[picture] = Origin{module, WORD(reinterpret_cast<ULONG_PTR>(name))};
}

void UserCopyPictureResource(HGDIOBJ from, HGDIOBJ to) {
  Origins& o = State();
  std::lock_guard<std::mutex> guard(o.lock);
  auto it = o.of.find(from);
  if (it != o.of.end() && to != nullptr) o.of[to] = it->second;
}

bool UserPictureResource(HGDIOBJ picture, HMODULE& module, WORD& id) {
  Origins& o = State();
  std::lock_guard<std::mutex> guard(o.lock);
  auto it = o.of.find(picture);
  if (it == o.of.end()) return false;
  module = it->second.module;
  id = it->second.id;
  return true;
}
