#include "graphics/output/print_jobs.h"

#include "core/system/printer_info.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

HANDLE OpenRawPrintJob(HANDLE printer, LPCWSTR, LPCWSTR documentName) {
  LPBYTE info = GetPrinterInfo(printer, 1);
  if (info == nullptr) return nullptr;
  HANDLE job = nullptr;
  const BOOL opened = OpenPrinterW(reinterpret_cast<PRINTER_INFO_1W*>(info)->pName, &job, nullptr);
  GlobalFree(info);
  if (!opened) return nullptr;
  DOC_INFO_1W doc{const_cast<LPWSTR>(documentName), nullptr, const_cast<LPWSTR>(u"RAW")};
  // A pass that cannot start its own job must not write into another one.
  if (StartDocPrinterW(job, 1, reinterpret_cast<const BYTE*>(&doc)) == 0) {
    ClosePrinter(job);
    return nullptr;
  }
  if (!StartPagePrinter(job)) {
    AbortPrinter(job);
    ClosePrinter(job);
    return nullptr;
  }
  return job;
}

BOOL WriteToPrinter(HANDLE printer, const void* bytes, DWORD length, LPDWORD written) {
  if (written != nullptr) *written = 0;
  if (printer == nullptr) return FALSE;
  if (length == 0) return TRUE;
  if (bytes == nullptr) return FALSE;
  const auto* next = static_cast<const BYTE*>(bytes);
  DWORD total = 0;
  while (length > kPrinterWritePiece) {
    DWORD done = 0;
    if (!WritePrinter(printer, next, kPrinterWritePiece, &done) || done != kPrinterWritePiece) return FALSE;
    total += done;
    next += kPrinterWritePiece;
    length -= kPrinterWritePiece;
  }
  DWORD done = 0;
  const BOOL result = WritePrinter(printer, next, length, &done);
  if (!result) return FALSE;
  if (written != nullptr) *written = total + done;
  return result;
}

BOOL ClosePrintJob(HANDLE printer) {
  if (printer == nullptr) return FALSE;
  const BOOL pageEnded = EndPagePrinter(printer);
  const BOOL docEnded = EndDocPrinter(printer);
  const BOOL closed = ClosePrinter(printer);
  return pageEnded && docEnded && closed;
}

HANDLE AttachPrinterHandle(HANDLE printer) { return printer; }

BOOL HasFileHandle(HANDLE handle) { return handle != nullptr; }
