// The process token and SIDs (rules in security.h).
#include "platform/security/security.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/sync.h"
#include "platform/registry/registry_sim.h"
#include "platform/security/security_sim.h"

namespace {

constexpr DWORD kSidHeaderBytes = offsetof(SID, SubAuthority);
constexpr BYTE kMaxAllocatedSubAuthorities = 8;

// One group of a token as a SID's bytes and the group's attributes.
struct TokenGroup {
  std::vector<BYTE> sid;
  DWORD attributes;
};

struct TokenObject : KernelObject {
  TokenObject() : KernelObject(HandleKind::Token) {}
  DWORD access = 0;
  std::vector<TokenGroup> groups;
};

struct TokenSettings {
  std::mutex lock;
  bool useDefault = true;
  std::vector<SimTokenGroup> groups;
};

TokenSettings& Settings() {
  static TokenSettings settings;
  return settings;
}

void ResetTokenGroups() { SimUseDefaultTokenGroups(); }
const bool registeredReset = (SimAddResetHook(&ResetTokenGroups), true);

std::vector<BYTE> SidBytes(const SID_IDENTIFIER_AUTHORITY& authority, const std::vector<DWORD>& subAuthorities) {
  std::vector<BYTE> bytes(kSidHeaderBytes + 4 * subAuthorities.size());
  bytes[0] = SID_REVISION;
  bytes[1] = static_cast<BYTE>(subAuthorities.size());
  std::memcpy(&bytes[2], authority.Value, 6);
  for (size_t i = 0; i < subAuthorities.size(); ++i) std::memcpy(&bytes[kSidHeaderBytes + 4 * i], &subAuthorities[i], 4);
  return bytes;
}

std::vector<SimTokenGroup> DefaultGroups() {
  constexpr DWORD kPlainGroup = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;
  const DWORD admins = SimRegistryIsAdministrator() ? kPlainGroup | SE_GROUP_OWNER : SE_GROUP_USE_FOR_DENY_ONLY;
  return {
      {SECURITY_WORLD_SID_AUTHORITY, {SECURITY_WORLD_RID}, kPlainGroup},
      {SECURITY_NT_AUTHORITY, {SECURITY_AUTHENTICATED_USER_RID}, kPlainGroup},
      {SECURITY_NT_AUTHORITY, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS}, kPlainGroup},
      {SECURITY_NT_AUTHORITY, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}, admins},
  };
}

std::vector<TokenGroup> CurrentGroups() {
  TokenSettings& s = Settings();
  std::lock_guard<std::mutex> guard(s.lock);
  std::vector<SimTokenGroup> source = s.useDefault ? DefaultGroups() : s.groups;
  std::vector<TokenGroup> groups;
  for (const SimTokenGroup& g : source) groups.push_back({SidBytes(g.authority, g.subAuthorities), g.attributes});
  return groups;
}

// Bytes of a valid SID, 0 for an invalid one.
DWORD SidLength(PSID sid) {
  if (sid == nullptr) return 0;
  const BYTE* bytes = static_cast<const BYTE*>(sid);
  if (bytes[0] != SID_REVISION || bytes[1] > SID_MAX_SUB_AUTHORITIES) return 0;
  return kSidHeaderBytes + 4 * bytes[1];
}

}  // namespace

void SimSetTokenGroups(const std::vector<SimTokenGroup>& groups) {
  TokenSettings& s = Settings();
  std::lock_guard<std::mutex> guard(s.lock);
  s.useDefault = false;
  s.groups = groups;
}

void SimUseDefaultTokenGroups() {
  TokenSettings& s = Settings();
  std::lock_guard<std::mutex> guard(s.lock);
  s.useDefault = true;
  s.groups.clear();
}

BOOL OpenProcessToken(HANDLE process, DWORD desiredAccess, HANDLE* token) {
  if (SimCallFails("OpenProcessToken")) return FALSE;
  if (token == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (process != GetCurrentProcess()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  auto object = std::make_shared<TokenObject>();
  object->access = desiredAccess;
  object->groups = CurrentGroups();
  *token = HandleInsert(object);
  return TRUE;
}

BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS informationClass, LPVOID information, DWORD length,
                         PDWORD returnLength) {
  if (SimCallFails("GetTokenInformation")) return FALSE;
  std::shared_ptr<TokenObject> object = HandleGet<TokenObject>(token, HandleKind::Token);
  if (object == nullptr) return FALSE;
  if ((object->access & TOKEN_QUERY) == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (informationClass != TokenGroups || returnLength == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD arrayEnd = offsetof(TOKEN_GROUPS, Groups) + sizeof(SID_AND_ATTRIBUTES) * object->groups.size();
  DWORD needed = arrayEnd;
  for (const TokenGroup& g : object->groups) needed += static_cast<DWORD>(g.sid.size());
  *returnLength = needed;
  if (information == nullptr || length < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  BYTE* base = static_cast<BYTE*>(information);
  auto* groups = static_cast<TOKEN_GROUPS*>(information);
  groups->GroupCount = static_cast<DWORD>(object->groups.size());
  DWORD at = arrayEnd;
  for (size_t i = 0; i < object->groups.size(); ++i) {
    std::memcpy(base + at, object->groups[i].sid.data(), object->groups[i].sid.size());
    groups->Groups[i].Sid = base + at;
    groups->Groups[i].Attributes = object->groups[i].attributes;
    at += static_cast<DWORD>(object->groups[i].sid.size());
  }
  return TRUE;
}

BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD sub0, DWORD sub1, DWORD sub2,
                              DWORD sub3, DWORD sub4, DWORD sub5, DWORD sub6, DWORD sub7, PSID* sid) {
  if (SimCallFails("AllocateAndInitializeSid")) return FALSE;
  if (authority == nullptr || sid == nullptr || count == 0 || count > kMaxAllocatedSubAuthorities) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD all[kMaxAllocatedSubAuthorities] = {sub0, sub1, sub2, sub3, sub4, sub5, sub6, sub7};
  std::vector<BYTE> bytes = SidBytes(*authority, std::vector<DWORD>(all, all + count));
  void* block = HeapAlloc(GetProcessHeap(), 0, bytes.size());
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  std::memcpy(block, bytes.data(), bytes.size());
  *sid = block;
  return TRUE;
}

PVOID FreeSid(PSID sid) {
  if (sid == nullptr || HeapFree(GetProcessHeap(), 0, sid)) return nullptr;
  return sid;
}

BOOL IsValidSid(PSID sid) { return SidLength(sid) != 0; }

DWORD GetLengthSid(PSID sid) { return SidLength(sid); }

BOOL EqualSid(PSID a, PSID b) {
  const DWORD lengthA = SidLength(a);
  const DWORD lengthB = SidLength(b);
  if (lengthA == 0 || lengthB == 0) {
    SetLastError(ERROR_INVALID_SID);
    return FALSE;
  }
  SetLastError(ERROR_SUCCESS);
  return lengthA == lengthB && std::memcmp(a, b, lengthA) == 0;
}
