// The stand-in TWAIN source manager "TWAIN_32.DLL": DSM_Entry records every call a data source
// makes (its notifications MSG_XFERREADY and MSG_CLOSEDSREQ) and answers TWRC_SUCCESS. Tests
// reach the record with GetProcAddress on the loaded library (the typedefs below); a test can
// also have a function called inside each DSM_Entry call.
#pragma once

#include "platform/base/types.h"
#include "platform/twain/twain.h"

struct SimDsmCall {
  TW_IDENTITY Origin;  // copies of the identities passed (zero when null)
  TW_IDENTITY Destination;
  TW_UINT32 Group;
  TW_UINT16 Type;
  TW_UINT16 Message;
  BOOL HasData;
};

using SimDsmHookProc = void (*)(const SimDsmCall* call, void* context);

using SimDsmResetProc = void (*)();
using SimDsmCallCountProc = DWORD (*)();
using SimDsmCallProc = BOOL (*)(DWORD index, SimDsmCall* call);
// The hook runs inside DSM_Entry after the call is recorded (null removes it).
using SimDsmSetHookProc = void (*)(SimDsmHookProc hook, void* context);
