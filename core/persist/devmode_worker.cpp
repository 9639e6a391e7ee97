// The device-mode conversion worker and the load of a printer's own device mode through it.
#include "core/persist/devmode_worker.h"

#include <cstring>
#include <memory>

#include "core/descriptors/item_defaults.h"
#include "core/persist/paper_fields.h"
#include "core/persist/settings_conversion.h"
#include "core/persist/stored_settings.h"
#include "core/store/item_store.h"
#include "core/store/policy_file.h"
#include "core/system/printer_info.h"
#include "platform/base/errors.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

namespace {

// The printer's name and model, opened by name for the length of one conversion.
struct NamedPrinterModel {
  LPWSTR name = nullptr;
  ItemStore* store = nullptr;

  ~NamedPrinterModel() {
    if (store != nullptr) CloseItemStore(store);
    GlobalFree(name);
  }
};

// Opens the printer by name with default access, copies its own name and opens its model;
// the printer handle is closed again. FALSE when any step fails.
bool OpenNamedPrinterModel(LPCWSTR printerName, NamedPrinterModel* model) {
  HANDLE printer = nullptr;
  if (!OpenPrinterW(printerName, &printer, nullptr)) return false;
  LPBYTE info = GetPrinterInfo(printer, 2);
  if (info != nullptr) {
    model->name = GlobalCopyText(reinterpret_cast<PRINTER_INFO_2W*>(info)->pPrinterName);
    model->store = OpenItemStore(printer);
    GlobalFree(info);
  }
  ClosePrinter(printer);
  return model->name != nullptr && model->store != nullptr;
}

// CDM_DRIVER_DEFAULT: the model's defaults with the form name of their paper; the first 1548
// bytes go to the output even when a step failed.
int WriteDriverDefaults(const NamedPrinterModel& model, DEVMODEW* output) {
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  bool done = ApplyDataFileDefaults(model.store, settings.get(), config.get(), model.name) != FALSE;
  if (done) {
    HANDLE printer = nullptr;
    done = OpenPrinterW(model.name, &printer, nullptr) != FALSE;
    if (done) {
      done = SyncFormNameItem(model.store, printer, settings.get(), config.get()) != FALSE;
      ClosePrinter(printer);
    }
  }
  std::memcpy(output, settings->bytes, kSettingsRecordShortSize);
  return done ? kDevModeDefaults : kDevModeFailed;
}

// The size rule shared by both modes: -1 (and the size needed) for a short output, else 0.
int CheckOutputSize(LONG* size) {
  if (*size < static_cast<LONG>(kSettingsRecordShortSize)) {
    *size = kSettingsRecordShortSize;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return kDevModeTooSmall;
  }
  *size = kSettingsRecordShortSize;
  return 0;
}

}  // namespace

DWORD GetDevModeExtent(const DEVMODEW* mode) { return DWORD(mode->dmSize) + mode->dmDriverExtra; }

int ConvertDevModeWorker(LPCWSTR printerName, const DEVMODEW* input, DEVMODEW* output, LONG* size, DWORD mode) {
  if (size == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return kDevModeFailed;
  }
  NamedPrinterModel model;
  if (printerName == nullptr || !OpenNamedPrinterModel(printerName, &model)) return kDevModeFailed;
  if (mode == CDM_CONVERT) {
    if (int refused = CheckOutputSize(size); refused != 0) return refused;
    if (input == nullptr || output == nullptr) return kDevModeFailed;
    const int result = ConvertOldSettings(reinterpret_cast<const BYTE*>(input), GetDevModeExtent(input),
                                          reinterpret_cast<BYTE*>(output), model.name, model.store);
    switch (result) {
      case kConvertUpgraded: return kDevModeUpgraded;
      case kConvertCopied: return kDevModeCopied;
      case kConvertDefaults: return kDevModeDefaults;
      default: return kDevModeFailed;
    }
  }
  if (mode == CDM_DRIVER_DEFAULT) {
    if (int refused = CheckOutputSize(size); refused != 0) return refused;
    if (output == nullptr) return kDevModeFailed;
    return WriteDriverDefaults(model, output);
  }
  return kDevModeFailed;
}

LPBYTE LoadPrinterDocumentSettings(HANDLE printer, ItemStore* store, SettingsRecord* settings, DWORD* size,
                                   BOOL* converted) {
  if (printer == nullptr || store == nullptr || settings == nullptr || size == nullptr || converted == nullptr)
    return nullptr;
  LPBYTE info = GetPrinterInfo(printer, 2);
  if (info == nullptr) return nullptr;
  auto* printerInfo = reinterpret_cast<PRINTER_INFO_2W*>(info);
  if (printerInfo->pDevMode == nullptr) {
    GlobalFree(info);
    return nullptr;
  }
  LONG bytes = static_cast<LONG>(*size);
  const int result = ConvertDevModeWorker(printerInfo->pPrinterName, printerInfo->pDevMode,
                                          reinterpret_cast<DEVMODEW*>(settings->bytes), &bytes, CDM_CONVERT);
  *size = static_cast<DWORD>(bytes);
  if (result != kDevModeUpgraded && result != kDevModeCopied && result != kDevModeDefaults) {
    GlobalFree(info);
    return nullptr;
  }
  *converted = TRUE;
  ApplyPolicyList(store->policy, settings, nullptr, kPolicyModeEnforced);
  printerInfo->pDevMode = reinterpret_cast<DEVMODEW*>(settings->bytes);
  return info;
}
