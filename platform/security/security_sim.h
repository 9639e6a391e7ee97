// Test control of the process token: the groups it holds.
#pragma once

#include <vector>

#include "platform/base/export.h"
#include "platform/security/security.h"

struct SimTokenGroup {
  SID_IDENTIFIER_AUTHORITY authority;
  std::vector<DWORD> subAuthorities;  // 1 to 15
  DWORD attributes;
};

// Tokens opened from now on hold these groups, in this order.
PLATFORM_API void SimSetTokenGroups(const std::vector<SimTokenGroup>& groups);
// Back to the default groups (also done by SimReset): Everyone, Authenticated Users, Users,
// and Administrators, the last one enabled while the registry's administrator switch is on
// and deny-only while it is off (a filtered token), read when the token is opened.
PLATFORM_API void SimUseDefaultTokenGroups();
