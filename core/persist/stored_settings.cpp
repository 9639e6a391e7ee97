// Converting stored device modes and printer configurations for the printer's model.
#include "core/persist/stored_settings.h"

#include <cstring>

#include "core/database/database.h"
#include "core/persist/blob_format.h"
#include "core/persist/model_defaults.h"
#include "core/persist/printer_config.h"
#include "core/persist/settings_blobs.h"
#include "core/store/item_store.h"
#include "core/system/printer_info.h"
#include "items/item_ids.h"
#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

namespace {

// Layouts below this one kept part of the document in the printer configuration.
constexpr WORD kLayoutWithoutDocumentPart = 0x5005;

// The printer's configuration, read through a handle opened for use only: reading needs no
// administrator, and a standard user's documents convert as well.
bool LoadConfigurationByName(LPCWSTR printerName, ItemStore* store, PrinterConfiguration* config) {
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ACCESS_USE};
  HANDLE printer = nullptr;
  if (printerName == nullptr || !OpenPrinterW(printerName, &printer, &access)) return false;
  const bool loaded = LoadPrinterConfiguration(printer, config, store) == 1;
  ClosePrinter(printer);
  return loaded;
}

// Keeps a rebuilt extension as the printer's "N_Dev", with the fax record and TMBINFO data
// already stored there. Needs administrator access; a printer that cannot be opened so keeps
// its blobs as they were.
void StoreConvertedExtension(LPCWSTR printerName, const BYTE* extension) {
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE printer = nullptr;
  if (!OpenPrinterW(printerName, &printer, &access)) return;
  BYTE* fax = nullptr;
  BYTE* tmb = nullptr;
  DWORD tmbSize = 0;
  BYTE* previous = static_cast<BYTE*>(GlobalAlloc(GPTR, kSettingsExtensionSize));
  if (previous == nullptr ||
      !LoadDeviceBlobs(printer, nullptr, kBlobStorePrinterData, &fax, previous, &tmb, &tmbSize)) {
    fax = nullptr;
    tmb = nullptr;
    tmbSize = 0;
  }
  const DWORD faxSize =
      fax != nullptr ? GetFaxRecordSize(GetLE16(fax + kFaxRecordCountOffset)) : 0;
  // A fax record too large for the blob's 16-bit size leaves the stored blobs as they are.
  if (faxSize <= 0xFFFF)
    SaveDeviceBlobs(printer, nullptr, kBlobStorePrinterData, fax, WORD(faxSize), extension, tmb, tmbSize);
  GlobalFree(previous);
  GlobalFree(fax);
  GlobalFree(tmb);
  ClosePrinter(printer);
}

}  // namespace

int ConvertOldSettings(const BYTE* stored, DWORD storedSize, BYTE* out, LPCWSTR printerName, ItemStore* store) {
  if (stored == nullptr || out == nullptr || store == nullptr) return kConvertFailed;
  ModelDefaults* defaults = static_cast<ModelDefaults*>(GlobalAlloc(GPTR, sizeof(ModelDefaults)));
  if (defaults == nullptr || !BuildModelDefaults(store, printerName, defaults)) {
    GlobalFree(defaults);
    return kConvertFailed;
  }
  SettingsHeader header;
  const bool readable = ReadStoredSettingsHeader(stored, storedSize, &header);
  PrinterConfiguration* config = static_cast<PrinterConfiguration*>(GlobalAlloc(GPTR, sizeof(PrinterConfiguration)));
  const bool haveConfig = readable && header.layout < kLayoutWithoutDocumentPart && config != nullptr &&
                          LoadConfigurationByName(printerName, store, config);
  BYTE* extension = static_cast<BYTE*>(GlobalAlloc(GPTR, kSettingsExtensionSize));
  const bool rebuilds = readable && header.layout < kIntermediateDocumentLayout && extension != nullptr;
  const int result =
      ConvertSettingsOverDefaults(stored, storedSize, out, *defaults, haveConfig ? config : nullptr,
                                  rebuilds ? extension : nullptr);
  if (rebuilds && result == kConvertUpgraded) StoreConvertedExtension(printerName, extension);
  GlobalFree(extension);
  GlobalFree(config);
  GlobalFree(defaults);
  return result;
}

int ConvertPrinterConfiguration(const PrinterConfiguration* stored, PrinterConfiguration* out, ItemStore* store) {
  if (stored == nullptr || out == nullptr || store == nullptr) return kConvertFailed;
  ModelDefaults* defaults = static_cast<ModelDefaults*>(GlobalAlloc(GPTR, sizeof(ModelDefaults)));
  if (defaults == nullptr || !BuildModelDefaults(store, kDefaultsDeviceName, defaults)) {
    GlobalFree(defaults);
    return kConvertFailed;
  }
  const BOOL flagBit = TestFlagItemBit(store->main, store->linked, kItemModelOptions) == 0;
  const int result = ConvertConfigurationOverDefaults(*stored, out, *defaults, flagBit);
  GlobalFree(defaults);
  return result;
}

int ConvertStoredSettingsRecord(HANDLE printer, SettingsRecord* record) {
  if (record == nullptr) return 0;
  LPBYTE info = GetPrinterInfo(printer, 2);
  if (info == nullptr) return 0;
  ItemStore* store = OpenItemStore(printer);
  BYTE converted[kSettingsRecordShortSize];
  const int result = store != nullptr ? ConvertOldSettings(record->bytes, kSettingsRecordSize, converted,
                                                           reinterpret_cast<PRINTER_INFO_2W*>(info)->pPrinterName, store)
                                      : kConvertFailed;
  if (store != nullptr) CloseItemStore(store);
  GlobalFree(info);
  if (result == kConvertFailed) return 0;
  std::memcpy(record->bytes, converted, kSettingsRecordShortSize);
  return 1;
}
