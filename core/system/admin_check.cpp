#include "core/system/admin_check.h"

#include "platform/base/errors.h"
#include "platform/base/types.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/sync.h"
#include "platform/security/security.h"

namespace {

// The groups are first read into this buffer; a larger set gets a block of its own.
constexpr DWORD kGroupBufferBytes = 1024;

// The token's groups: in the caller's buffer, or in a new global block (*allocated).
TOKEN_GROUPS* ReadTokenGroups(HANDLE token, BYTE* buffer, HGLOBAL* allocated) {
  DWORD needed = 0;
  if (GetTokenInformation(token, TokenGroups, buffer, kGroupBufferBytes, &needed))
    return reinterpret_cast<TOKEN_GROUPS*>(buffer);
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return nullptr;
  *allocated = GlobalAlloc(GPTR, needed);
  if (*allocated == nullptr) return nullptr;
  DWORD again = 0;
  if (!GetTokenInformation(token, TokenGroups, *allocated, needed, &again)) return nullptr;
  return static_cast<TOKEN_GROUPS*>(*allocated);
}

}  // namespace

int IsUserAdministrator() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_READ, &token)) return 0;
  alignas(8) BYTE buffer[kGroupBufferBytes];
  HGLOBAL allocated = nullptr;
  PSID administrators = nullptr;
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  int answer = 0;
  TOKEN_GROUPS* groups = ReadTokenGroups(token, buffer, &allocated);
  if (groups != nullptr && AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    for (DWORD i = 0; i < groups->GroupCount && answer == 0; ++i) {
      // A group kept only to deny access grants no administrator rights.
      if ((groups->Groups[i].Attributes & SE_GROUP_USE_FOR_DENY_ONLY) != 0) continue;
      if (EqualSid(groups->Groups[i].Sid, administrators)) answer = 1;
    }
  }
  if (administrators != nullptr) FreeSid(administrators);
  if (allocated != nullptr) GlobalFree(allocated);
  CloseHandle(token);
  return answer;
}
