// Preparing a printer's stores the first time: the user-mode driver's name, the user's
// per-user part, and the configuration itself without any user's per-user values.
#include "core/persist/printer_config.h"

#include "core/database/database.h"
#include "core/database/model_texts.h"
#include "core/persist/user_setting_store.h"
#include "core/system/chunked_printer_data.h"
#include "core/system/printer_info.h"
#include "items/user_setting_info.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler.h"

HANDLE OpenPrinterForWriting(HANDLE printer, BOOL* denied) {
  *denied = FALSE;
  LPBYTE info = GetPrinterInfo(printer, 2);
  if (info == nullptr) return nullptr;
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE writable = nullptr;
  if (!OpenPrinterW(reinterpret_cast<PRINTER_INFO_2W*>(info)->pPrinterName, &writable, &access)) {
    *denied = GetLastError() == ERROR_ACCESS_DENIED ? TRUE : FALSE;
    writable = nullptr;
  }
  GlobalFree(info);
  return writable;
}

int InitPrinterConfiguration(HANDLE printer, const PrinterConfiguration* config, BOOL store) {
  if (printer == nullptr || config == nullptr) return 0;
  SetUserModeDriverData(printer);
  PrinterConfiguration* work = static_cast<PrinterConfiguration*>(GlobalAlloc(GPTR, sizeof(PrinterConfiguration)));
  if (work == nullptr) return 0;
  *work = *config;
  BYTE user[kUserSettingInfoSize];
  const bool extracted = ExtractUserSettingInfo(printer, work, user) == 1;
  if (extracted) SaveUserSettingInfo(printer, user, kUserInfoKeepFirst);
  int result = 0;
  if (store) {
    // The printer data never holds one user's per-user values: a copy with the neutral ones
    // is stored, and the caller's record stays as it is.
    BYTE neutral[kUserSettingInfoSize] = {};
    result = FillDefaultUserSettingInfo(neutral) && ApplyUserSettingInfo(work, neutral, kUserInfoBoth) &&
             WritePrinterDataValue(printer, work, sizeof(PrinterConfiguration), kPrinterConfigData) == 1 && extracted;
  }
  GlobalFree(work);
  return result;
}

int SetUserModeDriverData(HANDLE printer) {
  LPWSTR text = ReadUserModeDriverText(printer);
  if (text == nullptr) return 0;
  BOOL denied = FALSE;
  HANDLE writable = OpenPrinterForWriting(printer, &denied);
  int result = 0;
  if (writable != nullptr) {
    result = SetPrinterDataW(writable, kUserModeDriverValue, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             DWORD(2 * lstrlenW(text))) == ERROR_SUCCESS;
    ClosePrinter(writable);
  }
  ReleaseGlobalBlock(text);
  return result;
}

int QueryStartupHook(HANDLE, HMODULE, DWORD, DWORD) { return 0; }
int RunStartupHook(HANDLE, HMODULE) { return 1; }

