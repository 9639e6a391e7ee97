// The binding of the outside document-monitor client. The client is registered under the
// machine key (its default value names a file that must exist, "QdmApi" the library), loaded by
// name and bound entry by entry. Each announcement holds one reference: InitializePirvex takes
// it (loading the library and opening a client handle), UnInitializePirvex gives it back. The
// binding state is shared by the process and guarded by a lock, so that one thread's release
// never unbinds a client that another thread is still using.
#pragma once

#include "platform/base/types.h"

// The client's handle, 0 when none.
using PirvexHandle = ULONG_PTR;

// The platform kinds the client runs on.
inline constexpr int kPlatformNt = 3;
inline constexpr int kPlatform9x = 2;
// 3 on an NT platform, 2 on Windows 9x, 1 on any other, 0 when the version cannot be read.
int GetPlatformKind();
// Whether the client's registration names a file that exists and a library.
bool IsPirvexInstalled();

// A client handle with a reference held, or 0 (nothing held) when the platform, the
// registration, the library, one of its required entries or the client fails.
PirvexHandle InitializePirvex(DWORD reserved);
// Closes the handle and gives back its reference: the client's answer (0 when unbound or for
// a 0 handle, which holds no reference).
BOOL UnInitializePirvex(PirvexHandle handle);
// Whether a client handle can be opened and closed again.
BOOL IsPirvexAvailable();

// The client's entries for a held handle; 0 when unbound.
BOOL CreatePirvexId(PirvexHandle handle, bool jobId, LPSTR buffer);
// Hands the 600-byte header (its record token at byte 596 designating the 812-byte job record)
// to the client: through the newer entry when the client has it, else as the older block.
BOOL SetPirvexData(PirvexHandle handle, const BYTE* header, const BYTE* record);
BOOL ExecPirvex(PirvexHandle handle);
