// The document's job as the DDI entry points start, page, end and hand it over: the job state
// machine's document steps with the drawing-library session around them.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// DrvStartDoc's job start: the job state, the job's objects and the library session. FALSE
// when any step failed (what was made stays for CloseDocumentJob).
BOOL StartDocumentJob(Pdev* pdev, LPWSTR docName, DWORD jobId);
// DrvSendPage's page end; FALSE when it failed or the job was aborted.
BOOL EndDocumentPage(Pdev* pdev);
// DrvEndDoc's end of a job whose output began: stored pages, trailer, release of the spool
// job, then the session's end. FALSE when the job failed anywhere (also when it was aborted).
BOOL EndDocumentJob(Pdev* pdev);
// Closes whatever of the document is still open: the library session and the job's objects
// and channel (DrvEndDoc, DrvStartDoc before a new job, DrvDisableSurface, DrvDisablePDEV).
void CloseDocumentJob(Pdev* pdev);
// DrvResetPDEV's hand-over of a running document to the new device.
BOOL MoveDocumentToReset(Pdev* oldPdev, Pdev* newPdev);
