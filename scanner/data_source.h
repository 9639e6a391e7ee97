// The TWAIN data source's front door: the entry point's dispatch, the state machine and the
// notifications sent back to the source manager.
#pragma once

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/connection.h"
#include "scanner/scan_settings.h"

// Attach and detach work of the module entry point.
// The application's window (TW_USERINTERFACE hParent), owner of the progress window without a
// scan dialog.
extern HWND g_ParentWindow;

void AttachDataSource(HINSTANCE instance);
void DetachDataSource();

// The exported entry point's work.
TW_UINT16 EnterDataSource(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 type, TW_UINT16 message, TW_MEMREF data);
TW_UINT16 DispatchTriplet(const Triplet& triplet, const TwainDispatchRow* table);


// The scan is ready: state 6 and MSG_XFERREADY to the source manager. settings: the dialog's
// choices when the Scan button sent it (null without the dialog).
void NotifyXferReady(const ScanSettings* settings, const void* previewImage, BOOL showProgress);
// The user closed the dialog: MSG_CLOSEDSREQ asks the application to disable the source; the
// state does not change.
void NotifyCloseRequest();

// Ends whatever the connection has running (a memory-transfer scan run, the progress window,
// the dialog, the device): the work of MSG_DISABLEDS, also done when the source is closed
// from states 5 to 7.
void EndConnectionWork();
