#include "ui/module/printer_upgrade.h"

#include <memory>

#include "core/fonts/font_sub_table.h"
#include "core/persist/blob_format.h"
#include "core/persist/model_defaults.h"
#include "core/persist/printer_config.h"
#include "core/persist/settings_blobs.h"
#include "core/store/item_store.h"
#include "core/store/printer_id.h"
#include "items/setting_records.h"
#include "platform/base/byte_order.h"
#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"
#include "ui/module/printer_data.h"

namespace {

// A printer opened by name for the length of one event.
struct OpenedPrinter {
  HANDLE handle = nullptr;
  explicit OpenedPrinter(LPCWSTR name) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (name == nullptr || !OpenPrinterW(name, &handle, &defaults)) handle = nullptr;
  }
  ~OpenedPrinter() {
    if (handle != nullptr) ClosePrinter(handle);
  }
  OpenedPrinter(const OpenedPrinter&) = delete;
  OpenedPrinter& operator=(const OpenedPrinter&) = delete;
};

// Blocks the blob store hands out.
struct LoadedBlobs {
  BYTE* fax = nullptr;
  BYTE* tmbInfo = nullptr;
  DWORD tmbInfoSize = 0;
  ~LoadedBlobs() {
    GlobalFree(fax);
    GlobalFree(tmbInfo);
  }
};

int RewriteConfiguration(HANDLE printer, ItemStore* store) {
  auto config = std::make_unique<PrinterConfiguration>();
  return LoadPrinterConfiguration(printer, config.get(), store) && InitPrinterConfiguration(printer, config.get(), TRUE)
             ? 1
             : 0;
}

// The extension and its blobs read from the printer data (or the model's default extension)
// and stored again in this release's layout.
int RewriteDeviceBlobs(HANDLE printer) {
  BYTE extension[kSettingsExtensionSize] = {};
  LoadedBlobs blobs;
  if (!LoadDeviceBlobs(printer, nullptr, kBlobStorePrinterData, &blobs.fax, extension, &blobs.tmbInfo,
                       &blobs.tmbInfoSize) &&
      !LoadDefaultExtension(printer, extension))
    return 0;
  DWORD faxSize = 0;
  if (blobs.fax != nullptr) {
    faxSize = GetFaxRecordSize(GetLE16(blobs.fax + kFaxRecordCountOffset));
    // The store takes a fax record of at most 16-bit size; a larger one is left as stored.
    if (faxSize > 0xFFFF) return 0;
  }
  return SaveDeviceBlobs(printer, nullptr, kBlobStorePrinterData, blobs.fax, static_cast<WORD>(faxSize), extension,
                         blobs.tmbInfo, blobs.tmbInfoSize);
}

}  // namespace

int UpgradeStoredSettings(HANDLE printer, ItemStore* store, WORD /*mode*/) {
  if (printer == nullptr || store == nullptr) return 0;
  if (!RewriteConfiguration(printer, store)) return 0;
  if (!RewriteDeviceBlobs(printer)) return 0;
  EnsureFontSubTable(printer, store);
  return 1;
}

BOOL UpgradePrinter(DWORD level, const BYTE* info) {
  const auto* upgrade = reinterpret_cast<const DRIVER_UPGRADE_INFO_1W*>(info);
  if (level != 1 || upgrade == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  OpenedPrinter printer(upgrade->pPrinterName);
  if (printer.handle == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  ItemStore* store = OpenItemStore(printer.handle);
  if (store == nullptr) return FALSE;
  BYTE id[kPrinterIdSize];
  if (!ReadPrinterId(printer.handle, id) && CreatePrinterId(printer.handle, id)) WritePrinterIdOnce(printer.handle, id);
  AddDriverForms(printer.handle, store);
  const int result = UpgradeStoredSettings(printer.handle, store, kUpgradeFull);
  CloseItemStore(store);
  return result != 0;
}

void HandlePrinterEvent(LPCWSTR printerName, INT event) {
  if (event != PRINTER_EVENT_ADD_CONNECTION && event != PRINTER_EVENT_INITIALIZE) return;
  OpenedPrinter printer(printerName);
  if (printer.handle == nullptr) return;
  if (event == PRINTER_EVENT_ADD_CONNECTION) {
    SetUserModeDriverData(printer.handle);
    return;
  }
  ItemStore* store = OpenItemStore(printer.handle);
  if (store == nullptr) return;
  SetUserModeDriverData(printer.handle);
  UpgradeStoredSettings(printer.handle, store, kUpgradeFull);
  AddDriverForms(printer.handle, store);
  CloseItemStore(store);
}
