#include "platform/base/addr32.h"

#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

struct Addr32Table {
  std::mutex lock;
  std::vector<const void*> slots{nullptr};  // slot 0 is NULL
  std::unordered_map<const void*, DWORD> tokens;
  std::vector<DWORD> freeSlots;
};

Addr32Table& Table() {
  static Addr32Table table;
  return table;
}

}  // namespace

DWORD ToAddr32(const void* p) {
  if (p == nullptr) return 0;
  Addr32Table& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  auto found = t.tokens.find(p);
  if (found != t.tokens.end()) return found->second;
  DWORD token;
  if (!t.freeSlots.empty()) {
    token = t.freeSlots.back();
    t.freeSlots.pop_back();
    t.slots[token] = p;
  } else {
    token = static_cast<DWORD>(t.slots.size());
    t.slots.push_back(p);
  }
  t.tokens.emplace(p, token);
  return token;
}

void* FromAddr32(DWORD token) {
  Addr32Table& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  if (token >= t.slots.size()) return nullptr;
  return const_cast<void*>(t.slots[token]);
}

void ReleaseAddr32(DWORD token) {
  Addr32Table& t = Table();
  std::lock_guard<std::mutex> guard(t.lock);
  if (token == 0 || token >= t.slots.size() || t.slots[token] == nullptr) return;
  t.tokens.erase(t.slots[token]);
  t.slots[token] = nullptr;
  t.freeSlots.push_back(token);
}
