// The per-user store of a printer: values under HKEY_CURRENT_USER, in the key named by the
// model's per-user base text (database section 33) followed by the 32 upper-case hexadecimal
// digits of the printer's PRNID, optionally "\" and a sub key.
#pragma once

#include "platform/base/types.h"
#include "platform/registry/registry.h"

// Room for a per-user key path in characters, terminator included.
inline constexpr DWORD kUserKeyPathChars = 520;

// Results of ReadUserValue.
inline constexpr int kUserValueRead = 0;
inline constexpr int kUserValueAbsent = 1;     // no identity, no key or no readable value
inline constexpr int kUserStoreUnavailable = -1;  // no model store or base text

// base + hex(id) [+ "\" + subKey]; FALSE when it does not fit outChars.
BOOL BuildUserKeyPath(LPCWSTR base, const BYTE* id, LPCWSTR subKey, LPWSTR out, DWORD outChars);

// Writes one value under the per-user key, making the identity and the key when missing: 1
// when written. Fails (0) without touching the registry when no identity can be stored.
int WriteUserValue(HANDLE printer, const void* data, DWORD size, DWORD type, LPCWSTR subKey, LPCWSTR name);
// Reads one value of the given registry type into the caller's buffer of *size bytes; on
// success *size is the byte count read. A value of another type, or larger than the buffer,
// counts as not readable. A REG_SZ value is read into all but the last two bytes and always
// ends with a terminator. Creates nothing. userBase: the model's per-user base text when the
// caller has it at hand already; without it the text is read from the printer's model.
int ReadUserValue(HANDLE printer, void* buffer, DWORD* size, DWORD type, LPCWSTR subKey, LPCWSTR name,
                  LPCWSTR userBase = nullptr);
// The same into a new global block of the value's own size (the caller frees it).
int ReadUserValueAlloc(HANDLE printer, DWORD type, LPCWSTR subKey, LPCWSTR name, BYTE** block, DWORD* size);

// 1 with the per-user key (or its sub key) opened or created; makes the identity.
int OpenUserKey(HANDLE printer, LPCWSTR subKey, HKEY* key);
// 1 when the sub key was deleted.
int DeleteUserKey(HANDLE printer, LPCWSTR subKey);
// Whether the key (or its sub key) exists, creating nothing: kUserValueRead when it does,
// kUserValueAbsent when it does not, kUserStoreUnavailable without a model store.
int ProbeUserKey(HANDLE printer, LPCWSTR subKey);
// 1 when the per-user key holds "UserSettingInfo".
int HasUserSettingInfoValue(HANDLE printer);
// Paths of the stamp store (kind 0 "Stamps", 1 "Stamps\Others") and of the paper margins
// ("Paper Margin"); both make the identity. 1 on success.
int BuildStampsKeyPath(HANDLE printer, LPWSTR out, DWORD outChars, WORD kind);
int BuildPaperMarginKeyPath(HANDLE printer, LPWSTR out, DWORD outChars);

// Copies every value and, recursively, every sub key of source into destination: 1, or 0 at
// the first failure.
int CopyKeyTree(HKEY destination, HKEY source);
