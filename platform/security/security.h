// Security: the process token and its groups, and security identifiers (SIDs). The token's
// groups are set by the test control in security_sim.h; by default they follow the
// registry's administrator switch, as a filtered token would.
#pragma once

#include <cstddef>

#include "platform/base/export.h"
#include "platform/base/types.h"

#define ERROR_INVALID_SID 1337L

#define STANDARD_RIGHTS_READ 0x00020000L
#define TOKEN_ASSIGN_PRIMARY 0x0001
#define TOKEN_DUPLICATE 0x0002
#define TOKEN_IMPERSONATE 0x0004
#define TOKEN_QUERY 0x0008
#define TOKEN_QUERY_SOURCE 0x0010
#define TOKEN_READ (STANDARD_RIGHTS_READ | TOKEN_QUERY)

#define SE_GROUP_MANDATORY 0x00000001L
#define SE_GROUP_ENABLED_BY_DEFAULT 0x00000002L
#define SE_GROUP_ENABLED 0x00000004L
#define SE_GROUP_OWNER 0x00000008L
#define SE_GROUP_USE_FOR_DENY_ONLY 0x00000010L
#define SE_GROUP_LOGON_ID 0xC0000000L

#define SID_REVISION 1
#define SID_MAX_SUB_AUTHORITIES 15
#define SECURITY_NULL_SID_AUTHORITY {0, 0, 0, 0, 0, 0}
#define SECURITY_WORLD_SID_AUTHORITY {0, 0, 0, 0, 0, 1}
#define SECURITY_NT_AUTHORITY {0, 0, 0, 0, 0, 5}
#define SECURITY_WORLD_RID 0x00000000L
#define SECURITY_AUTHENTICATED_USER_RID 0x0000000BL
#define SECURITY_BUILTIN_DOMAIN_RID 0x00000020L
#define DOMAIN_ALIAS_RID_ADMINS 0x00000220L
#define DOMAIN_ALIAS_RID_USERS 0x00000221L

struct SID_IDENTIFIER_AUTHORITY {
  BYTE Value[6];
};
using PSID_IDENTIFIER_AUTHORITY = SID_IDENTIFIER_AUTHORITY*;

// A SID: 8 bytes of header and one 32-bit sub-authority per count.
struct SID {
  BYTE Revision;
  BYTE SubAuthorityCount;
  SID_IDENTIFIER_AUTHORITY IdentifierAuthority;
  DWORD SubAuthority[1];
};
using PSID = void*;

struct SID_AND_ATTRIBUTES {
  PSID Sid;
  DWORD Attributes;
};

struct TOKEN_GROUPS {
  DWORD GroupCount;
  SID_AND_ATTRIBUTES Groups[1];
};
using PTOKEN_GROUPS = TOKEN_GROUPS*;

enum TOKEN_INFORMATION_CLASS { TokenUser = 1, TokenGroups = 2, TokenPrivileges = 3, TokenOwner = 4 };

static_assert(sizeof(SID_IDENTIFIER_AUTHORITY) == 6 && offsetof(SID, SubAuthority) == 8 && sizeof(SID) == 12);
static_assert(sizeof(SID_AND_ATTRIBUTES) == 16 && offsetof(TOKEN_GROUPS, Groups) == 8);

// Only the current process's pseudo handle (GetCurrentProcess) has a token here; any other
// process handle answers ERROR_INVALID_HANDLE. The token is closed with CloseHandle.
PLATFORM_API BOOL OpenProcessToken(HANDLE process, DWORD desiredAccess, HANDLE* token);
// Only TokenGroups is answered (ERROR_INVALID_PARAMETER for the other classes); it needs
// TOKEN_QUERY access. The groups' SIDs follow the array inside the caller's buffer. A buffer
// that is too small: FALSE, ERROR_INSUFFICIENT_BUFFER and *returnLength = the size needed.
PLATFORM_API BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS informationClass, LPVOID information,
                                      DWORD length, PDWORD returnLength);
// A new SID from the process heap with `count` (1 to 8) sub-authorities; free it with FreeSid.
PLATFORM_API BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD sub0, DWORD sub1,
                                           DWORD sub2, DWORD sub3, DWORD sub4, DWORD sub5, DWORD sub6, DWORD sub7,
                                           PSID* sid);
// NULL when freed.
PLATFORM_API PVOID FreeSid(PSID sid);
// TRUE when both SIDs are valid and equal byte for byte (FALSE with ERROR_SUCCESS when they
// differ, ERROR_INVALID_SID when one is not a valid SID).
PLATFORM_API BOOL EqualSid(PSID a, PSID b);
PLATFORM_API BOOL IsValidSid(PSID sid);
PLATFORM_API DWORD GetLengthSid(PSID sid);
