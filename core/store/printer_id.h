// The printer's identity, PRNID: 16 bytes in the printer data "PRNID" (REG_BINARY), the MD5
// digest of the creation time (low 32 bits, little-endian) followed by the printer's name in
// UTF-16LE without terminator. It names the printer's per-user registry key.
#pragma once

#include "platform/base/types.h"

inline constexpr DWORD kPrinterIdSize = 16;
inline constexpr WCHAR kPrinterIdValueName[] = u"PRNID";

// The digest of the time and the name.
void ComputePrinterId(DWORD time, LPCWSTR name, BYTE* id);
// 1 with a new identity for the printer (its PRINTER_INFO_1 name and the clock); 0 when the
// name cannot be read.
int CreatePrinterId(HANDLE printer, BYTE* id);
// 1 when "PRNID" holds exactly 16 bytes, read into id.
int ReadPrinterId(HANDLE printer, BYTE* id);
// 1 when "PRNID" already exists (it is never replaced) or was written now; 0 when writing
// failed.
int WritePrinterIdOnce(HANDLE printer, const BYTE* id);
// The identity the printer has, making and storing one when it has none. Only a stored
// identity is handed out: when storing fails, or another process stored a different one
// first, the stored one (or none: 0) is the answer.
int EnsurePrinterId(HANDLE printer, BYTE* id);
