// The connection between the data source and its application: the TWAIN states, one request
// as the handlers receive it, and the connection's state with its single owner.
#pragma once

#include <initializer_list>

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/image_record.h"

// SourceState values: the TWAIN state times 100.
constexpr DWORD kState3Closed = 300;
constexpr DWORD kState4Open = 400;
constexpr DWORD kState5Enabled = 500;
constexpr DWORD kState6TransferReady = 600;
constexpr DWORD kState7Transferring = 700;

// One request as the handlers receive it.
struct Triplet {
  pTW_IDENTITY Origin;
  TW_UINT32 Group;
  TW_UINT16 Type;
  TW_UINT16 Message;
  TW_MEMREF Data;
};

using TripletHandler = TW_UINT16 (*)(const Triplet& triplet);

struct TwainDispatchRow {
  DWORD Type;  // DAT_ value; 0 ends a table (DAT_NULL is never dispatched)
  TripletHandler Handler;
};

void SetSourceState(DWORD state);
TW_UINT16 ConditionCode();
void SetConditionCode(TW_UINT16 condition);
ImageRecord& CurrentImageRecord();

// Sets the condition code and answers TWRC_FAILURE.
TW_UINT16 RefuseRequest(TW_UINT16 condition);
// TRUE when SourceState is one of the states listed (TWAIN numbers, 3 to 7).
BOOL InState(std::initializer_list<int> states);
