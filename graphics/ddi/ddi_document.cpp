// The document and page exports: the DdiStateFlags of a device around the job's steps.
#include "core/runtime/trace_log.h"
#include "graphics/ddi/ddi_exports.h"
#include "graphics/ddi/document_job.h"
#include "graphics/ddi/escapes.h"
#include "graphics/device/pdev.h"
#include "graphics/drawing/clip_cache.h"
#include "graphics/job/job_control.h"
#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"

namespace {

constexpr FLONG kEndDocAbort = 1;  // ED_ABORTDOC

// The device of a document call's surface: NULL for a NULL surface (no error code), NULL with
// ERROR_INVALID_PARAMETER for a surface whose device is not a live record.
Pdev* DocumentPdev(SURFOBJ* surface) {
  if (surface == nullptr) return nullptr;
  auto* pdev = reinterpret_cast<Pdev*>(surface->dhpdev);
  if (!IsPdevValid(pdev)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return pdev;
}

BOOL StartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId) {
  Pdev* pdev = DocumentPdev(surface);
  if (pdev == nullptr) return FALSE;
  // A document that failed before does not make this one fail, and whatever an aborted
  // document left open is closed before a new job starts.
  pdev->ddiState &= ~kDdiDocFailed;
  pdev->ddiState |= kDdiDocStarted;
  if (pdev->ddiState & kDdiMadeByReset) return TRUE;
  CloseDocumentJob(pdev);
  const BOOL ok = StartDocumentJob(pdev, docName, jobId);
  pdev->ddiState &= ~(kDdiJobOutputBegun | kDdiPageOpen);
  if (!ok) pdev->ddiState |= kDdiDocFailed;
  return ok;
}

BOOL StartPage(SURFOBJ* surface) {
  Pdev* pdev = DocumentPdev(surface);
  if (pdev == nullptr || (pdev->ddiState & kDdiDocFailed)) return FALSE;
  if (pdev->ddiState & kDdiPageOpen) return TRUE;
  if (!IsJobBegun(pdev)) pdev->ddiState |= kDdiJobOutputBegun;
  pdev->ddiState |= kDdiPageOpen;
  ResetClipCache(pdev);
  pdev->ddiState &= ~kDdiMadeByReset;
  return TRUE;
}

BOOL SendPage(SURFOBJ* surface) {
  Pdev* pdev = DocumentPdev(surface);
  if (pdev == nullptr) return FALSE;
  // The page end draws the queued images (unless the job was aborted) and ends the page.
  const BOOL result = EndDocumentPage(pdev);
  pdev->ddiState &= ~kDdiPageOpen;
  return result;
}

BOOL EndDoc(SURFOBJ* surface, FLONG flags) {
  Pdev* pdev = DocumentPdev(surface);
  if (pdev == nullptr) return FALSE;
  // A job that failed anywhere (aborted on the way, or its end could not be written) is
  // reported as failed once everything is closed.
  BOOL result = TRUE;
  if (flags != kEndDocAbort) {
    if (pdev->ddiState & kDdiJobOutputBegun) result = EndDocumentJob(pdev);
    if (pdev->job.flags & kJobAborted) result = FALSE;
    CloseDocumentJob(pdev);
  }
  pdev->ddiState &= ~(kDdiDocStarted | kDdiJobOutputBegun | kDdiMadeByReset);
  return result;
}

}  // namespace

BOOL DrvStartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId) {
  TraceEnter(u"DrvStartDoc");
  const BOOL result = StartDoc(surface, docName, jobId);
  TraceLeave(u"DrvStartDoc RetValue = %d", result);
  return result;
}

BOOL DrvStartPage(SURFOBJ* surface) {
  TraceEnter(u"DrvStartPage");
  const BOOL result = StartPage(surface);
  TraceLeave(u"DrvStartPage RetValue = %d", result);
  return result;
}

BOOL DrvSendPage(SURFOBJ* surface) {
  TraceEnter(u"DrvSendPage");
  const BOOL result = SendPage(surface);
  TraceLeave(u"DrvSendPage RetValue = %d", result);
  return result;
}

BOOL DrvEndDoc(SURFOBJ* surface, FLONG flags) {
  TraceEnter(u"DrvEndDoc");
  const BOOL result = EndDoc(surface, flags);
  TraceLeave(u"DrvEndDoc RetValue = %d", result);
  return result;
}

ULONG DrvEscape(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out) {
  TraceEnter(u"DrvEscape");
  const ULONG result = HandleEscape(surface, code, cjIn, in, cjOut, out);
  TraceLeave(u"DrvEscape RetValue = %ld", result);
  return result;
}
