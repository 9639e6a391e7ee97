// The outside job-attribute library: the N-up, host address, job owner and host name texts of
// the job header. The model's description database names its file (header text 3, in the
// module's directory); it is loaded the first time a header build needs it and released when
// that build ends. Functions are looked up by name at each call.
#pragma once

#include "core/job/job_attributes.h"
#include "platform/base/types.h"

// Buffer sizes handed to the library's functions.
inline constexpr DWORD kNupTextBytes = 18;
inline constexpr DWORD kHostAddressTextBytes = 28;
inline constexpr DWORD kOwnerTextBytes = 47;
inline constexpr DWORD kHostNameTextBytes = 47;

// 1 when the library is loaded (or already was); 0 when its name is missing, the module
// directory cannot be read or the load fails.
int BindJobAttributeLibrary(JobHeaderBuild* build);
// 1 with the function's address; loads the library first when needed. 0 when it is missing.
int GetVjclHelperProc(JobHeaderBuild* build, LPCSTR name, FARPROC* address);
// Frees the library when the build loaded it.
void ReleaseJobAttributeLibrary(JobHeaderBuild* build);
// Appends the library's lines for one extension entry (N-up, host address, owner, host name
// as the feature word asks); bytes appended or a negative code (kJobLibraryFailed when a
// function is missing or fails).
int WriteLibraryAttributes(JobHeaderBuild* build);
// The tray code handed to the owner functions.
int GetTrayCode(JobHeaderBuild* build, DWORD* code);
