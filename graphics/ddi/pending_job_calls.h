// The document and job steps the DDI entry points call whose job code (job state machine,
// drawing-library session, drawing) is not part of this module yet. Until it is, each step
// refuses plainly: no document can start, so no page is drawn, nothing is printed and no job
// object ever exists for the close steps to free. This is the one place that says so; the
// entry points keep their own argument checks and state bits around these calls.
#pragma once

#include "graphics/ddi/pdev.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

// DrvStartDoc's job start: FALSE with ERROR_NOT_SUPPORTED (the document then counts as failed).
BOOL StartDocumentJob(Pdev* pdev, LPWSTR docName, DWORD jobId);
// DrvSendPage's page end: FALSE with ERROR_NOT_SUPPORTED (a page cannot be open).
BOOL EndDocumentPage(Pdev* pdev);
// DrvEndDoc, DrvDisableSurface and DrvDisablePDEV's close of the job and its session: there
// is nothing open to close.
void CloseDocumentJob(Pdev* pdev);
// DrvResetPDEV's hand-over of a running document: FALSE with ERROR_NOT_SUPPORTED.
BOOL MoveDocumentToReset(Pdev* oldPdev, Pdev* newPdev);
// The drawing entry points' work once their arguments passed: FALSE with ERROR_NOT_SUPPORTED.
BOOL DrawOnDevice(Pdev* pdev, const char* call);
// DrvEscape: 0, no escape is supported yet.
ULONG HandleEscape(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out);
