// Window-less stand-ins for the scan dialog (see ui_standin.h).
#include "platform/base/types.h"
#include "scanner/ui_standin.h"

HWND CreateScanDialog(ImageRecord&) { return nullptr; }
void DestroyScanDialog() {}
HWND ScanDialogWindow() { return nullptr; }
void ActivateScanDialog() {}
void SuspendPreviewAnimation(BOOL) {}
