// GDI's document events: every step of a printing document on a printer device context.
#include "core/runtime/resource_module.h"
#include "core/runtime/trace_log.h"
#include "platform/base/export.h"
#include "ui/module/document_events.h"
#include "ui/module/export_bracket.h"

DLLEXPORT int WINAPI DrvDocumentEvent(HANDLE printer, HDC dc, int event, ULONG cbIn, PVOID in, ULONG cbOut, PVOID out) {
  TraceEnter(u"DrvDocumentEvent");
  // Without a printer there is nothing to keep a record for: no reference, no exit line.
  if (printer == nullptr) return kEventFailed;
  AcquireResourceModule();
  const int result = DispatchDocumentEvent(printer, dc, event, cbIn, in, cbOut, out);
  LeaveExport();
  TraceLeave(u"DrvDocumentEvent RetValue = %d, iEsc = %d", result, event);
  return result;
}
