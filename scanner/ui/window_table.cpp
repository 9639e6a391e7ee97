#include "scanner/ui/window_table.h"

#include "scanner/ui/preview_window.h"
#include "scanner/ui/progress_window.h"
#include "scanner/ui/scan_dialog.h"

const SourceWindows kScannerWindows = {
    .createScanDialog = CreateScanDialog,
    .destroyScanDialog = DestroyScanDialog,
    .scanDialogWindow = ScanDialogWindow,
    .activateScanDialog = ActivateScanDialog,
    .suspendPreviewAnimation = SuspendPreviewAnimation,
    .setProgressShown = SetProgressShown,
    .openProgressWindow = OpenProgressWindow,
    .stepProgressCancelled = StepProgressCancelled,
    .pumpProgressMessages = PumpProgressMessages,
    .closeProgressWindow = CloseProgressWindow,
    .progressDialogWindow = ProgressDialogWindow,
    .unregisterWindowClasses = UnregisterScannerWindowClasses,
};
