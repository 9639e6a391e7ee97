// Printer and driver information: a size query, then the real call into a block of that size.
#include "core/system/printer_info.h"

#include "platform/base/errors.h"
#include "platform/base/types.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

namespace {

BOOL QueryPrinter(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  return GetPrinterW(printer, level, buffer, size, needed);
}

BOOL QueryDriver(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
  return GetPrinterDriverW(printer, nullptr, level, buffer, size, needed);
}

template <typename Query>
LPBYTE QueryInfoBlock(HANDLE printer, DWORD level, Query query) {
  DWORD needed = 0;
  // The size query must fail for want of room; anything else is a failure.
  if (query(printer, level, nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
    return nullptr;
  }
  LPBYTE block = static_cast<LPBYTE>(GlobalAlloc(GPTR, needed));
  if (block == nullptr) return nullptr;
  DWORD used = 0;
  if (!query(printer, level, block, needed, &used)) {
    GlobalFree(block);
    return nullptr;
  }
  return block;
}

}  // namespace

LPBYTE GetPrinterInfo(HANDLE printer, DWORD level) { return QueryInfoBlock(printer, level, QueryPrinter); }

LPBYTE GetDriverInfo(HANDLE printer, DWORD level) { return QueryInfoBlock(printer, level, QueryDriver); }
