// DrvDeviceCapabilities, DrvQueryColorProfile and DevQueryPrintEx's work.
#include "ui/module/device_queries.h"

#include <cstring>
#include <memory>

#include "core/database/database.h"
#include "core/descriptors/item_defaults.h"
#include "core/descriptors/item_descriptors.h"
#include "core/persist/devmode_worker.h"
#include "core/persist/printer_config.h"
#include "core/persist/public_fields.h"
#include "core/rules/device_capabilities.h"
#include "core/store/item_store.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "ui/framework/text/error_text.h"

namespace {

// Database section with the model's colour profile file name.
constexpr DWORD kColorProfileSection = 13;

constexpr WCHAR kInvalidDevModeText[] = u"Invalid DEVMODE structure.";

// The printer's settings and configuration with the caller's device mode merged: the flags
// that could be loaded (none, or kCapabilitySettingsLoaded).
DWORD LoadCapabilitySettings(HANDLE printer, ItemStore* store, DEVMODEW* devMode, SettingsRecord* settings,
                             PrinterConfiguration* config) {
  DWORD size = kSettingsRecordShortSize;
  BOOL converted = FALSE;
  LPBYTE info = LoadPrinterDocumentSettings(printer, store, settings, &size, &converted);
  GlobalFree(info);
  if (!LoadPrinterConfiguration(printer, config, store)) return 0;
  if (devMode != nullptr &&
      !ValidatePublicFields(store, settings, reinterpret_cast<const BYTE*>(devMode), GetDevModeExtent(devMode), config,
                            printer, kItemOpCheckpublic))
    return 0;
  return kCapabilitySettingsLoaded;
}

}  // namespace

DWORD AnswerDeviceCapability(HANDLE printer, WORD capability, void* output, DEVMODEW* devMode) {
  DWORD available = 0;
  ItemStore* store = OpenItemStore(printer);
  if (store != nullptr) available |= kCapabilityStoreOpen;
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  if (store != nullptr) available |= LoadCapabilitySettings(printer, store, devMode, settings.get(), config.get());
  const LONG answer =
      DispatchDeviceCapability(printer, capability, output, available, settings.get(), config.get(), store);
  if (store != nullptr) CloseItemStore(store);
  return static_cast<DWORD>(answer);
}

BOOL QueryColorProfile(HANDLE printer, DEVMODEW* devMode, ULONG queryMode, void* profileData, ULONG* size,
                       ULONG* profileFlags) {
  if (printer == nullptr || devMode == nullptr || profileData == nullptr || size == nullptr ||
      profileFlags == nullptr || queryMode != QCP_DEVICEPROFILE)
    return FALSE;
  ItemStore* store = OpenItemStore(printer);
  if (store == nullptr) return FALSE;
  LPWSTR name = ReadSectionStringOrNull(store->main, kColorProfileSection, 0);
  BOOL copied = FALSE;
  if (name != nullptr) {
    const ULONG needed = static_cast<ULONG>(lstrlenW(name)) * sizeof(WCHAR) + sizeof(WCHAR);
    if (*size < needed) {
      *size = needed;
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
    } else {
      std::memcpy(profileData, name, needed);
      *profileFlags = QCP_PROFILEDISK;
      copied = TRUE;
    }
    GlobalFree(name);
  }
  CloseItemStore(store);
  return copied;
}

BOOL QueryPrintDevMode(DEVQUERYPRINT_INFO* info) {
  if (info == nullptr) return FALSE;
  if (info->pDevMode == nullptr) return TRUE;
  // The header items are read from a full record holding the job's device mode within its bytes.
  auto record = std::make_unique<SettingsRecord>();
  NormalizeDevmode(reinterpret_cast<const BYTE*>(info->pDevMode), GetDevModeExtent(info->pDevMode), record.get());
  if (ValidateDevmodeHeader(record.get())) return TRUE;
  FormatErrorText(nullptr, info->pszErrorStr, info->cchErrorStr, &info->cchNeeded, kInvalidDevModeText, {});
  return FALSE;
}
