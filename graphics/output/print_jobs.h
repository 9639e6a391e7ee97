// The graphics module's spool jobs: a further "RAW" job on the same printer for a later
// output pass, bounded writes to a printer handle, and closing a job it opened.
#pragma once

#include "platform/base/types.h"

// The largest piece handed to one WritePrinter call.
constexpr DWORD kPrinterWritePiece = 1000000;

// A new handle on the printer `printer` stands for, with a "RAW" job named after the document
// started on it and its first page begun; NULL when any step fails (what was opened is closed
// again). `reserved` is not used.
HANDLE OpenRawPrintJob(HANDLE printer, LPCWSTR reserved, LPCWSTR documentName);
// Writes `length` bytes in pieces of at most kPrinterWritePiece. FALSE for a NULL handle, a
// NULL buffer with a length, a failed piece, or a piece before the last that is not taken
// whole (then *written is 0). Otherwise the last piece's answer, with *written the bytes taken
// in all (a short last piece shows there). Length 0: TRUE, 0 written.
BOOL WriteToPrinter(HANDLE printer, const void* bytes, DWORD length, LPDWORD written);
// EndPagePrinter, EndDocPrinter and ClosePrinter, all three in this order; TRUE when all
// succeeded, FALSE for a NULL handle.
BOOL ClosePrintJob(HANDLE printer);
// The printer target of the output channel is the handle itself: nothing is opened.
HANDLE AttachPrinterHandle(HANDLE printer);
// Whether a target handle is set.
BOOL HasFileHandle(HANDLE handle);
