// The progress window: a small modeless dialog with a bar and Cancel, shown while image data is
// transferred. The transfer steps the bar, pumps the windows' messages and closes it; a Cancel
// closes it at once, which the transfer sees as 0 from StepProgress and PumpProgressMessages.
#pragma once

#include "platform/base/types.h"

// Whether the next progress window is shown (1 at load).
void SetProgressShown(BOOL shown);
// The window for a total amount of work; null when one is open already or it cannot be made.
HWND OpenProgressWindow(double total);
// 1, or 0 when no progress window exists (a Cancel closed it).
BOOL StepProgress(double amount);
// Steps and answers 1 when the user has cancelled the transfer (its window's Cancel).
BOOL StepProgressCancelled(double amount);
BOOL ScaleProgressTotal(double factor);
BOOL PumpProgressMessages();
// 1, or 0 when there is no window or a close is already running. Not at once: the finished
// text shows for a moment first.
BOOL CloseProgressWindow(BOOL atOnce);
HWND ProgressDialogWindow();
BOOL ProgressWindowOpen();
// Whether the last progress window was closed by its Cancel button (until the next opens).
BOOL ProgressCancelled();
// The bar's state: total, done, and the number of the text it shows (0: the percentage).
struct ProgressState {
  double Total;
  double Done;
  UINT MessageId;
};
const ProgressState& CurrentProgress();

INT_PTR ProgressDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ProgressBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam);
