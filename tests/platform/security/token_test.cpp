// The process token: its groups as the test control sets them, the buffer-size protocol of
// GetTokenInformation, and SIDs.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class Token : public SandboxTest {};

std::vector<BYTE> ReadGroups(HANDLE token) {
  DWORD needed = 0;
  EXPECT_FALSE(GetTokenInformation(token, TokenGroups, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
  std::vector<BYTE> buffer(needed);
  DWORD again = 0;
  EXPECT_FALSE(GetTokenInformation(token, TokenGroups, buffer.data(), needed - 1, &again));
  EXPECT_EQ(again, needed);
  EXPECT_TRUE(GetTokenInformation(token, TokenGroups, buffer.data(), needed, &again));
  return buffer;
}

TEST_F(Token, DefaultGroupsFollowTheAdministratorSwitch) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                       &admins));
  EXPECT_EQ(GetLengthSid(admins), 16u);
  for (BOOL administrator : {TRUE, FALSE}) {
    SimRegistrySetAdministrator(administrator);
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_READ, &token));
    std::vector<BYTE> buffer = ReadGroups(token);
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    ASSERT_EQ(groups->GroupCount, 4u);
    // Every SID lies inside the caller's buffer.
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
      const BYTE* sid = static_cast<const BYTE*>(groups->Groups[i].Sid);
      EXPECT_GE(sid, buffer.data());
      EXPECT_LE(sid + GetLengthSid(groups->Groups[i].Sid), buffer.data() + buffer.size());
    }
    EXPECT_TRUE(EqualSid(groups->Groups[3].Sid, admins));
    EXPECT_FALSE(EqualSid(groups->Groups[2].Sid, admins));
    EXPECT_EQ(groups->Groups[3].Attributes & SE_GROUP_USE_FOR_DENY_ONLY, administrator ? 0u : DWORD(SE_GROUP_USE_FOR_DENY_ONLY));
    EXPECT_TRUE(CloseHandle(token));
    EXPECT_FALSE(CloseHandle(token));
  }
  EXPECT_EQ(FreeSid(admins), nullptr);
}

TEST_F(Token, SetGroupsAccessAndBadArguments) {
  SimSetTokenGroups({{SECURITY_NT_AUTHORITY, {7, 8, 9}, SE_GROUP_ENABLED}});
  HANDLE token = nullptr;
  EXPECT_FALSE(OpenProcessToken(reinterpret_cast<HANDLE>(0x1234), TOKEN_READ, &token));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_READ, &token));
  std::vector<BYTE> buffer = ReadGroups(token);
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  ASSERT_EQ(groups->GroupCount, 1u);
  const auto* sid = static_cast<const SID*>(groups->Groups[0].Sid);
  EXPECT_EQ(sid->SubAuthorityCount, 3);
  EXPECT_EQ(sid->IdentifierAuthority.Value[5], 5);
  EXPECT_EQ(sid->SubAuthority[2], 9u);
  DWORD needed = 0;
  EXPECT_FALSE(GetTokenInformation(token, TokenUser, buffer.data(), DWORD(buffer.size()), &needed));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  CloseHandle(token);
  // A token opened without query access cannot be read.
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE, &token));
  EXPECT_FALSE(GetTokenInformation(token, TokenGroups, buffer.data(), DWORD(buffer.size()), &needed));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  CloseHandle(token);
  // Scripted failures.
  SimFailCall("OpenProcessToken", ERROR_ACCESS_DENIED);
  EXPECT_FALSE(OpenProcessToken(GetCurrentProcess(), TOKEN_READ, &token));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID sid9 = nullptr;
  EXPECT_FALSE(AllocateAndInitializeSid(&nt, 9, 1, 2, 3, 4, 5, 6, 7, 8, &sid9));
  EXPECT_FALSE(AllocateAndInitializeSid(&nt, 0, 0, 0, 0, 0, 0, 0, 0, 0, &sid9));
  BYTE junk[12] = {7};
  EXPECT_FALSE(EqualSid(junk, junk));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_SID));
}

}  // namespace
