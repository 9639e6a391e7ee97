// Making, reading and storing the printer identity.
#include "core/store/printer_id.h"

#include <md5.h>

#include "core/system/printer_info.h"
#include "platform/base/errors.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/time.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler.h"

void ComputePrinterId(DWORD time, LPCWSTR name, BYTE* id) {
  MD5_CTX context;
  MD5Init(&context);
  const BYTE timeBytes[4] = {BYTE(time), BYTE(time >> 8), BYTE(time >> 16), BYTE(time >> 24)};
  MD5Update(&context, timeBytes, sizeof timeBytes);
  for (LPCWSTR p = name; p != nullptr && *p != 0; ++p) {
    const BYTE unit[2] = {BYTE(*p), BYTE(*p >> 8)};
    MD5Update(&context, unit, sizeof unit);
  }
  MD5Final(id, &context);
}

int CreatePrinterId(HANDLE printer, BYTE* id) {
  if (id == nullptr) return 0;
  LPBYTE info = GetPrinterInfo(printer, 1);
  if (info == nullptr) return 0;
  const PRINTER_INFO_1W* info1 = reinterpret_cast<const PRINTER_INFO_1W*>(info);
  // The clock's 64-bit time; its low 32 bits enter the digest.
  ComputePrinterId(DWORD(_time64(nullptr)), info1->pName, id);
  GlobalFree(info);
  return 1;
}

int ReadPrinterId(HANDLE printer, BYTE* id) {
  if (id == nullptr) return 0;
  BYTE buffer[kPrinterIdSize];
  DWORD type = 0, needed = 0;
  if (GetPrinterDataW(printer, kPrinterIdValueName, &type, buffer, sizeof buffer, &needed) != ERROR_SUCCESS ||
      needed != kPrinterIdSize)
    return 0;
  for (DWORD i = 0; i < kPrinterIdSize; ++i) id[i] = buffer[i];
  return 1;
}

int WritePrinterIdOnce(HANDLE printer, const BYTE* id) {
  if (id == nullptr) return 0;
  DWORD type = 0, needed = 0;
  if (GetPrinterDataW(printer, kPrinterIdValueName, &type, nullptr, 0, &needed) == ERROR_MORE_DATA) return 1;
  return SetPrinterDataW(printer, kPrinterIdValueName, REG_BINARY, id, kPrinterIdSize) == ERROR_SUCCESS ? 1 : 0;
}

int EnsurePrinterId(HANDLE printer, BYTE* id) {
  if (ReadPrinterId(printer, id)) return 1;
  BYTE fresh[kPrinterIdSize];
  if (!CreatePrinterId(printer, fresh) || !WritePrinterIdOnce(printer, fresh)) return 0;
  return ReadPrinterId(printer, id);
}
