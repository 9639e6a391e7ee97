// The windows of the data source (scan dialog with preview, progress window) are built by a
// later piece of work. Until then these stand-ins answer for them without any window: no
// dialog can be created (MSG_ENABLEDS with ShowUI TRUE is refused), and the progress of a
// transfer is only counted, never cancelled.
#pragma once

#include "platform/base/types.h"
#include "scanner/image_record.h"

// The main scan dialog: null (no dialog can be made yet).
HWND CreateScanDialog(ImageRecord& record);
void DestroyScanDialog();
HWND ScanDialogWindow();
HWND ProgressDialogWindow();
// Brings the dialog forward after a scan failure (nothing without a dialog).
void ActivateScanDialog();
// Stops or restarts the preview's crop-frame animation around a transfer.
void SuspendPreviewAnimation(BOOL suspend);

// The progress of a transfer: whether the window is shown (CAP_INDICATORS without the
// dialog), its creation for an image width, its total, and its steps. StepProgress answers
// TRUE when the user cancelled.
void SetProgressShown(BOOL shown);
BOOL CreateProgressDialog(DWORD width);
void SetProgressTotal(ULONGLONG total);
BOOL StepProgress(ULONGLONG amount);
void CloseProgressDialog();
// Lets the windows of the data source handle their waiting messages.
void PumpScanMessages();
