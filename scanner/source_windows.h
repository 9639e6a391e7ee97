// The data source's windows as the data source reaches them. The scan dialog, its preview and
// the progress window live in scanner/ui/, above the data source; the module hands their
// routines in as a table when it attaches. Until it has, the source has no windows: no dialog
// opens, no progress window opens (a transfer that shows one is refused) and nothing cancels a
// scan run.
#pragma once

#include "platform/base/types.h"
#include "scanner/image_record.h"

struct SourceWindows {
  // The scan dialog of MSG_ENABLEDS with its user interface; null when it cannot be made.
  HWND (*createScanDialog)(ImageRecord& record);
  void (*destroyScanDialog)();
  HWND (*scanDialogWindow)();
  // After a scan failure: the dialog made the active and foreground window.
  void (*activateScanDialog)();
  // Stops (TRUE) or restarts the preview's frame animation around a transfer.
  BOOL (*suspendPreviewAnimation)(BOOL stop);
  // Whether the next progress window is shown.
  void (*setProgressShown)(BOOL shown);
  // The progress window for a total amount of work; null when it cannot be opened.
  HWND (*openProgressWindow)(double total);
  // Steps the bar; TRUE when the user has cancelled the transfer.
  BOOL (*stepProgressCancelled)(double amount);
  BOOL (*pumpProgressMessages)();
  BOOL (*closeProgressWindow)(BOOL atOnce);
  HWND (*progressDialogWindow)();
  // The window classes of the source's windows unregistered (module detach).
  void (*unregisterWindowClasses)();
};

// The table the data source calls through from now on; NULL: no windows.
void SetSourceWindows(const SourceWindows* windows);
// The table in force (never null: without a table the source's answers for no windows).
const SourceWindows& CurrentSourceWindows();
