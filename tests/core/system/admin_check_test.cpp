// The administrator check against the process token's groups.
#include <gtest/gtest.h>

#include <vector>

#include "core/system/admin_check.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class AdminCheck : public SandboxTest {};

constexpr DWORD kEnabled = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;

SimTokenGroup Admins(DWORD attributes) {
  return {SECURITY_NT_AUTHORITY, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS}, attributes};
}

TEST_F(AdminCheck, AnswersByTheAdministratorsGroup) {
  struct Case {
    const char* what;
    std::vector<SimTokenGroup> groups;
    int expected;
  };
  const SimTokenGroup users{SECURITY_NT_AUTHORITY, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS}, kEnabled};
  // 544 under another authority, or as a single sub-authority, is not the group.
  const SimTokenGroup lookalike{SECURITY_WORLD_SID_AUTHORITY, {SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS},
                                kEnabled};
  const SimTokenGroup shortSid{SECURITY_NT_AUTHORITY, {DOMAIN_ALIAS_RID_ADMINS}, kEnabled};
  std::vector<SimTokenGroup> many(80, users);  // more than 1024 bytes of groups
  many.push_back(Admins(kEnabled));
  const Case cases[] = {
      {"enabled member", {users, Admins(kEnabled | SE_GROUP_OWNER)}, 1},
      {"deny-only (filtered token)", {users, Admins(SE_GROUP_USE_FOR_DENY_ONLY)}, 0},
      {"not a member", {users, lookalike, shortSid}, 0},
      {"no groups", {}, 0},
      {"groups beyond the first buffer", many, 1},
  };
  for (const Case& c : cases) {
    SimSetTokenGroups(c.groups);
    EXPECT_EQ(IsUserAdministrator(), c.expected) << c.what;
  }
  // The default token follows the administrator switch.
  SimUseDefaultTokenGroups();
  EXPECT_EQ(IsUserAdministrator(), 1);
  SimRegistrySetAdministrator(FALSE);
  EXPECT_EQ(IsUserAdministrator(), 0);
}

TEST_F(AdminCheck, AnyFailedCallAnswersNoAndLeavesNothingOpen) {
  SimSetTokenGroups({Admins(kEnabled)});
  const int heapBlocks = SimLiveHeapBlocks(GetProcessHeap());
  for (const char* call : {"OpenProcessToken", "GetTokenInformation", "AllocateAndInitializeSid"}) {
    SimFailCall(call, ERROR_ACCESS_DENIED);
    EXPECT_EQ(IsUserAdministrator(), 0) << call;
    EXPECT_EQ(SimOpenHandles(HandleKind::Token), 0) << call;
    EXPECT_EQ(SimLiveHeapBlocks(GetProcessHeap()), heapBlocks) << call;
  }
  // A large group set whose second read fails, or whose block cannot be allocated.
  std::vector<SimTokenGroup> many(80, Admins(kEnabled));
  SimSetTokenGroups(many);
  const int globalBlocks = SimLiveGlobalBlocks();
  SimFailCall("GetTokenInformation", ERROR_ACCESS_DENIED, 2);
  EXPECT_EQ(IsUserAdministrator(), 0);
  SimFailNthAllocation(1);
  EXPECT_EQ(IsUserAdministrator(), 0);
  EXPECT_EQ(SimLiveGlobalBlocks(), globalBlocks);
  EXPECT_EQ(IsUserAdministrator(), 1);
}

}  // namespace
