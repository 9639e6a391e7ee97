// The scan dialog is built by a later piece of work. Until then these stand-ins answer for it
// without any window: no dialog can be created (MSG_ENABLEDS with ShowUI TRUE is refused).
#pragma once

#include "platform/base/types.h"
#include "scanner/image_record.h"

// The main scan dialog: null (no dialog can be made yet).
HWND CreateScanDialog(ImageRecord& record);
void DestroyScanDialog();
HWND ScanDialogWindow();
// Brings the dialog forward after a scan failure (nothing without a dialog).
void ActivateScanDialog();
// Stops or restarts the preview's crop-frame animation around a transfer.
void SuspendPreviewAnimation(BOOL suspend);
