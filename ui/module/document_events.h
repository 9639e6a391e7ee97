// The document events GDI sends the user-interface module at every step of a printing
// document, and the work each event does: the device context's devmode, the job record, the
// print-time prompt, the job data handed to the graphics module in one escape batch, the page
// margins at each page start and the stamp and job-information overlays at each page end.
#pragma once

#include "ui/module/job_record.h"

// Answers of the document events.
inline constexpr int kEventDone = 1;
inline constexpr int kEventNotHandled = 0;
inline constexpr int kEventFailed = -1;

// Runs one document event (the work of DrvDocumentEvent inside its bracket).
int DispatchDocumentEvent(HANDLE printer, HDC dc, int event, ULONG cbIn, PVOID in, ULONG cbOut, PVOID out);

// CREATEDCPRE: the record, then the devmode for the device context into *out (may stay NULL).
int HandleCreateDcPre(const void* in, ULONG cbIn, HANDLE printer, DEVMODEW** out);
// The printer's document settings merged with the application's devmode (NULL: none), handed
// out as the device context's devmode. 1 or -1.
int PrepareDcDevMode(HANDLE printer, const DEVMODEW* devMode, DEVMODEW** out);
// 0 and the paper's four margins (tenths of a millimetre) in the device context's order, or -1
// (the margins then hold the default 46).
int GetJobPaperMargins(HANDLE printer, WORD paperId, LONG perUser, WORD margins[4]);

int HandleStartDocPre(HANDLE printer, HDC dc, ULONG cbIn, const void* in);
// The print-time prompt for the user's account details, when the settings ask for it. 1 or -1.
int PromptUserDetails(DcJobRecord* record, HDC dc);
int HandleStartPageEvent(HANDLE printer, HDC dc);
// STARTDOCPOST's confirmation on a shared network printer. 1 or -1.
int ConfirmStartDoc(HANDLE printer, HDC dc);

// The job data in one escape batch (RESETDCPOST and STARTDOCPOST). 1 or -1.
int SendJobDataEscapes(HANDLE printer, HDC dc);
// The job-header block of the record (one header per fax destination). 1 or -1.
int BuildJobHeaders(HANDLE printer, HDC dc);
// Announces the job to the document monitor, one entry per destination. 1 or -1.
int SubmitDocumentMonitorJobs(HANDLE printer);

// ENDPAGE and ENDDOCPRE: the stamp and job information the graphics module asks for.
int HandlePageEndEvent(HANDLE printer, HDC dc, bool endOfDocument);
