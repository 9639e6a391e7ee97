// The stand-in document-monitor client "qvqdm.dll": what its entries answer and how tests
// inspect them through GetProcAddress on the loaded library (the state lives in the library,
// so a test keeps it loaded while it looks).
//
// QdmInitializePirvex(0) answers a client handle (0x51D0) while the client is available, 0
// otherwise. QdmCreateClientId and QdmCreateJobId write the scripted ids ("C01" and "J0001"
// unless set). QdmSetQdmDataEx copies the 600-byte header and the 812-byte job record its
// 32-bit record token designates; QdmSetQdmData copies the older block (532 bytes and 660 per
// record, the count from its first word). Every entry logs its call and answers 1 unless
// scripted to fail.
//
// Variants: <test dir>/qvqdm_without_QdmSetQdmDataEx.dll lacks the newer data entry,
// <test dir>/qvqdm_without_QdmSetJobId.dll lacks a required one.
#pragma once

#include "platform/base/types.h"

inline constexpr ULONG_PTR kSimQdmHandle = 0x51D0;

enum SimQdmEntry : DWORD {
  kSimQdmInitialize = 0,
  kSimQdmUnInitialize,
  kSimQdmCreateClientId,
  kSimQdmCreateJobId,
  kSimQdmSetQdmDataEx,
  kSimQdmSetQdmData,
  kSimQdmExec,
  kSimQdmOther,  // the bound entries the system never calls
  kSimQdmEntryCount,
};

struct SimQdmCall {
  DWORD entry;
  ULONG_PTR handle;
};

using SimQdmResetProc = void (*)();
// available FALSE: QdmInitializePirvex answers 0.
using SimQdmSetAvailableProc = void (*)(BOOL available);
// Scripts an entry's answer (0 fails; 1 the default).
using SimQdmSetResultProc = void (*)(DWORD entry, BOOL result);
using SimQdmSetIdsProc = void (*)(const char* clientId, const char* jobId);
using SimQdmCallCountProc = DWORD (*)();
using SimQdmGetCallProc = BOOL (*)(DWORD index, SimQdmCall* call);
// The bytes the last data call handed over (header then record, or the older block): the
// count of bytes, copied into out up to capacity.
using SimQdmGetDataProc = DWORD (*)(BYTE* out, DWORD capacity);
// The number of live client handles (initialised and not yet uninitialised).
using SimQdmOpenHandlesProc = LONG (*)();
