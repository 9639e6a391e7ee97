// The TWAIN data source's front door: module-wide connection state, the entry point's
// dispatch, the state machine and the notifications sent back to the source manager.
#pragma once

#include <initializer_list>

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/image_record.h"
#include "scanner/scan_settings.h"

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

// Module-wide state of the data source.
extern TW_IDENTITY g_SourceIdentity;
extern TW_IDENTITY g_ApplicationIdentity;
extern DWORD g_SourceState;
extern TW_UINT16 g_ConditionCode;
extern HWND g_ParentWindow;
extern ImageRecord g_ImageRecord;

// Attach and detach work of the module entry point.
void AttachDataSource(HINSTANCE instance);
void DetachDataSource();

// The exported entry point's work.
TW_UINT16 EnterDataSource(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 type, TW_UINT16 message, TW_MEMREF data);
TW_UINT16 DispatchTriplet(const Triplet& triplet, const TwainDispatchRow* table);

// Sets the condition code and answers TWRC_FAILURE.
TW_UINT16 RefuseRequest(TW_UINT16 condition);
// TRUE when SourceState is one of the states listed (TWAIN numbers, 3 to 7).
BOOL InState(std::initializer_list<int> states);

// The scan is ready: state 6 and MSG_XFERREADY to the source manager. settings: the dialog's
// choices when the Scan button sent it (null without the dialog).
void NotifyXferReady(const ScanSettings* settings, const void* previewImage, BOOL showProgress);
// The dialog asks the application to close the source (MSG_CLOSEDSREQ).
void NotifyCloseRequest();

// Ends whatever the connection has running (a memory-transfer scan run, the progress window,
// the dialog, the device): the work of MSG_DISABLEDS, also done when the source is closed
// from states 5 to 7.
void EndConnectionWork();
