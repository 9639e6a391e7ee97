// The per-document state machine that maps the engine's document and page calls onto job,
// sheet-side and page steps: the job's start (its objects) and lazy output begin (settings,
// header), each page begun at its first drawing, each sheet side ended when it is full, and the
// job's end (stored pages, trailer, release of the spool job). An aborted job answers -1 to
// every later step until the next InitJobState.
//
// Results: 0 for success, -1 (or another non-zero value) for failure.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// The stream versions the job's output may name.
DWORD GetStreamVersion(Pdev* pdev);

// Document level.
int InitJobState(Pdev* pdev, HANDLE printer);
int StartJob(Pdev* pdev, LPCWSTR documentName, LPCWSTR outputName);
int StoreJobId(Pdev* pdev, DWORD jobId);
// Job flags 1 and 2 both set.
BOOL IsJobBegun(const Pdev* pdev);
int EndPageInJob(Pdev* pdev);
int EndJob(Pdev* pdev);
int CloseJob(Pdev* pdev);
int AbortJob(Pdev* pdev);
// A ResetDC in mid-document: the new device's next page re-reads its paper.
int MarkJobReset(Pdev* newPdev, Pdev* oldPdev);
// The fax items carried from the old settings into the new ones.
int CarrySettings(SettingsRecord* newSettings, SettingsRecord* oldSettings, PrinterConfiguration* config);

// Page level.
int DispatchPageEnd(Pdev* pdev);
int StartPageInJob(Pdev* pdev);
int BeginJob(Pdev* pdev);
int FinishPage(Pdev* pdev);
int StartPageOutput(Pdev* pdev);
int BeginPage(Pdev* pdev);
int EmitPageEnd(Pdev* pdev);
int EndSheetSide(Pdev* pdev, BOOL force);
int BeginJobOutput(Pdev* pdev, WORD pass);
int EndJobOutput(Pdev* pdev);
int ReadJobSettings(Pdev* pdev, SettingsRecord* settings, PrinterConfiguration* config);
int ReloadPageSettings(Pdev* pdev);
void FreeJobResources(Pdev* pdev);
// Forgets the library's graphics state; with force (or the banner-text flag) the page state too.
int ResetGraphicsState(Pdev* pdev, BOOL force);
int ResetGraphicsStateChecked(Pdev* pdev, BOOL force);

// Switches the overlay drawing of an open side: -1 without one, and -1 when a stamp is switched
// on while none is chosen (the switch then stays on, the job-information switch as it was).
int SetOverlayMode(Pdev* pdev, BOOL stamp, BOOL jobInformation);
// The page colour 0 to 3; -1 for any other value.
int SetPageColorState(Pdev* pdev, LONG value);
