// Window-less stand-ins for the scan dialog and the progress window (see ui_standin.h).
#include "platform/base/types.h"
#include "scanner/ui_standin.h"

namespace {

struct ProgressState {
  BOOL Shown = FALSE;
  BOOL Open = FALSE;
  ULONGLONG Total = 0;
  ULONGLONG Done = 0;
};

ProgressState g_Progress;

}  // namespace

HWND CreateScanDialog(ImageRecord&) { return nullptr; }
void DestroyScanDialog() {}
HWND ScanDialogWindow() { return nullptr; }
HWND ProgressDialogWindow() { return nullptr; }
void ActivateScanDialog() {}
void SuspendPreviewAnimation(BOOL) {}

void SetProgressShown(BOOL shown) { g_Progress.Shown = shown; }

BOOL CreateProgressDialog(DWORD) {
  g_Progress.Open = TRUE;
  g_Progress.Total = 0;
  g_Progress.Done = 0;
  return TRUE;
}

void SetProgressTotal(ULONGLONG total) { g_Progress.Total = total; }

BOOL StepProgress(ULONGLONG amount) {
  if (g_Progress.Open) g_Progress.Done += amount;
  return FALSE;
}

void CloseProgressDialog() { g_Progress.Open = FALSE; }
void PumpScanMessages() {}
