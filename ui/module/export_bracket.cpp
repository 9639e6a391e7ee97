#include "ui/module/export_bracket.h"

#include "core/runtime/resource_module.h"
#include "core/runtime/trace_log.h"
#include "platform/kernel/lasterror.h"

void EnterExport(LPCWSTR name) {
  TraceEnter(name);
  AcquireResourceModule();
}

void LeaveExport(bool keepLastError) {
  const DWORD error = GetLastError();
  ReleaseResourceModule();
  if (keepLastError) SetLastError(error);
}
